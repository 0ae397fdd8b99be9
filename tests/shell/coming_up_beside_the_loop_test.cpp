// The days ahead read beside the event loop, against ComingUp on the loop's
// thread: the same entries in the same order over many days of varied
// records, and nothing handed over by a reading ended early; the readers
// under them run every task once, count a fault where it was raised and
// let the loop wait for them.
#include "tests/shell/installed_program.h"

#include "shell/coming_up.h"
#include "shell/coming_up_beside_the_loop.h"
#include "shell/table_readers.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <optional>
#include <random>
#include <thread>

namespace {

class ComingUpBesideTheLoopTest : public InstalledProgram {
  protected:
    // An entry as a line that differs wherever two entries differ.
    static QStringList Lines(const std::vector<ComingUpEntry>& entries) {
        QStringList lines;
        for (const ComingUpEntry& entry : entries)
            lines.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                             .arg(entry.day.toString(Qt::ISODate), entry.time)
                             .arg(entry.overdue)
                             .arg(static_cast<int>(entry.meaning))
                             .arg(entry.kind->id)
                             .arg(entry.record)
                             .arg(entry.text));
        return lines;
    }

    // What the reading hands over, waited for on the loop.
    static std::vector<ComingUpEntry> ReadBesideTheLoop(const QDate& today, int days,
                                                        bool customDateReminds) {
        std::optional<std::vector<ComingUpEntry>> handed;
        ComingUpBesideTheLoop reading(
            today, days, customDateReminds,
            [&handed](std::vector<ComingUpEntry> entries) { handed = std::move(entries); });
        while (!handed)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_FALSE(reading.running());
        return *handed;
    }
};

TEST_F(ComingUpBesideTheLoopTest, HandsOverComingUpsEntriesInItsOrderOnEveryDay) {
    OpenMainWindow();
    // Dates around the days looked at, empty ones and leap days, done and
    // open projects, birthdays on and off the list, some records deleted.
    std::mt19937 random(11);
    const QDate days[] = {QDate(2027, 2, 26), QDate(2028, 2, 27), QDate(2026, 12, 29),
                          QDate(2100, 2, 27)};
    const auto someDate = [&random, &days]() -> QVariant {
        const int pick = static_cast<int>(random() % 8);
        if (pick == 0) return QDate();
        if (pick == 1) return QDate(1980 + static_cast<int>(random() % 40), 2, 29);
        const QDate near = days[random() % std::size(days)];
        const QDate day = near.addDays(static_cast<int>(random() % 70) - 40);
        return pick == 2 ? QDate(1950 + static_cast<int>(random() % 60), day.month(), day.day())
                         : day;
    };
    const auto someTime = [&random] {
        return QString::number(random() % 24).rightJustified(2, '0');
    };
    for (int n = 0; n < 60; ++n) {
        const QString name = QStringLiteral("r%1").arg(n);
        AddRecord(
            "agenda.dbf",
            {{"DATUM", someDate()}, {"STUN", someTime()}, {"MINU", someTime()}, {"TERMIN", name}});
        AddRecord("notiz.dbf", {{"DATUM", someDate()}, {"N_TITEL", name}});
        AddRecord("projekt.dbf",
                  {{"DATUME", someDate()}, {"N_TITEL", name}, {"FERTIG", random() % 4 == 0}});
        AddRecord("adressen_p.dbf",
                  {{"VORNAME", name}, {"GEBURTSTAG", someDate()}, {"LISTE", random() % 3 != 0}});
        AddRecord("kespfree.dbf", {{"FREE01", name}, {"FREE09", someDate()}});
    }
    const std::pair<QString, QString> named[] = {{"agenda.dbf", "TERMIN"},
                                                 {"notiz.dbf", "N_TITEL"},
                                                 {"projekt.dbf", "N_TITEL"},
                                                 {"adressen_p.dbf", "VORNAME"}};
    for (const auto& [table, field] : named)
        DeleteRecords(table, [&field] { return FIELD(field).toString().trimmed().endsWith('7'); });

    int listed = 0;
    for (const QDate& today : days) {
        for (const int ahead : {1, 7, 60}) {
            for (const bool customDateReminds : {false, true}) {
                const QStringList onTheLoop = Lines(ComingUp(today, ahead, customDateReminds));
                EXPECT_EQ(Lines(ReadBesideTheLoop(today, ahead, customDateReminds)), onTheLoop)
                    << qPrintable(today.toString(Qt::ISODate)) << " +" << ahead
                    << (customDateReminds ? " with" : " without") << " the own date";
                listed += static_cast<int>(onTheLoop.size());
            }
        }
    }
    EXPECT_GT(listed, 500) << "the days looked at hold entries of every kind";
}

TEST_F(ComingUpBesideTheLoopTest, AReadingEndedEarlyHandsOverNothingAndLetsGoOfItsTables) {
    OpenMainWindow();
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 29)}, {"N_TITEL", "Anrufen"}});
    bool handed = false;
    {
        ComingUpBesideTheLoop reading(QDate(2026, 12, 29), 7, false,
                                      [&handed](std::vector<ComingUpEntry>) { handed = true; });
    }
    EXPECT_FALSE(TableReadersRunning());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(handed);
    // A table held on the loop's thread is left out, as ComingUp leaves it.
    DBUSEAREA(false, DataFile("notiz.dbf"), "held");
    EXPECT_TRUE(ReadBesideTheLoop(QDate(2026, 12, 29), 7, false).empty());
    DBCLOSEALL();
    EXPECT_EQ(ReadBesideTheLoop(QDate(2026, 12, 29), 7, false).size(), 1u);
}

TEST(TableReaders, RunEveryTaskOnceOffTheCallersThreadAndCountTheFaultsRaised) {
    constexpr std::size_t kTasks = 50;
    std::vector<int> runs(kTasks, 0);
    std::vector<std::thread::id> where(kTasks);
    TableReaders readers(kTasks, [&](std::size_t task, const std::atomic<bool>&) {
        ++runs[task];
        where[task] = std::this_thread::get_id();
        if (task % 7 == 3) kesp::RaiseFault({.subCode = 1012, .description = "Corruption"});
    });
    EXPECT_TRUE(TableReadersRunning() || !readers.running());
    WaitForTableReaders();
    EXPECT_FALSE(readers.running());
    EXPECT_FALSE(TableReadersRunning());
    for (std::size_t task = 0; task < kTasks; ++task) {
        EXPECT_EQ(runs[task], 1) << task;
        EXPECT_NE(where[task], std::this_thread::get_id()) << task;
        EXPECT_EQ(readers.faulted(task), task % 7 == 3) << task;
    }
}

TEST(TableReaders, CancelledTheyRunNoFurtherTaskAndNeverSayTheyAreDone) {
    std::atomic<int> started{0};
    bool done = false;
    {
        TableReaders readers(
            1000,
            [&started](std::size_t, const std::atomic<bool>& cancelled) {
                ++started;
                while (!cancelled)
                    std::this_thread::yield();
            },
            [&done] { done = true; });
        while (started < 2)
            std::this_thread::yield();
        readers.Cancel();
        readers.Wait();
        EXPECT_EQ(started, 2) << "the two running tasks stop, no other begins";
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(done);
}

}  // namespace
