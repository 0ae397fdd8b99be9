// The main window's figures counted where each table lies, on threads of
// their own, against the count of the work area that packs the table first:
// the same figure for every statistic and day, and nothing where the work
// area has to do it.
#include "tests/shell/installed_program.h"

#include "shell/kept_figures.h"
#include "shell/record_kinds.h"
#include "shell/statistic_count.h"
#include "store/file_handle.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QFile>

#include <cerrno>
#include <random>

namespace {

class StatisticCount : public InstalledProgram {
  protected:
    // Every statistic of the catalogue, as the main window counts them.
    static std::vector<StatisticToCount> Wanted(const QString& dataFolder) {
        std::vector<StatisticToCount> wanted;
        for (const PlacedKind& placed : PlacedKinds())
            for (const KindStatistic& statistic : placed.kind->statistics)
                wanted.push_back({dataFolder + placed.kind->table, placed.kind, &statistic});
        return wanted;
    }

    // What the work area counts: the table packed, then LIVECOUNT or DBEVAL
    // over the date's condition.
    static long long WorkAreaCount(const StatisticToCount& one, const QDate& today) {
        DBUSEAREA(false, one.path, "counted");
        __DBPACK();
        long long counted = 0;
        if (!one.statistic->today) {
            counted = LIVECOUNT();
        } else {
            const KindDate* date = DateOf(*one.kind, *one.statistic->today);
            DBEVAL([&counted] { ++counted; }, DateFallsOnDayOfYear(*date, "counted", today));
        }
        DBCLOSEALL();
        return counted;
    }
};

TEST_F(StatisticCount, EveryFigureIsTheWorkAreasOnEveryDay) {
    // Dates around the days looked at, empty ones and leap days, some
    // birthdays not to be listed.
    std::mt19937 random(7);
    const QDate days[] = {QDate(2007, 12, 24), QDate(2008, 2, 29), QDate(2007, 2, 28),
                          QDate(2008, 2, 28), QDate(2100, 2, 28)};
    const auto someDate = [&random, &days]() -> QVariant {
        const int pick = static_cast<int>(random() % 7);
        if (pick == 0) return QDate();
        if (pick == 1) return QDate(1980 + static_cast<int>(random() % 30), 2, 29 - pick % 2);
        const QDate near = days[random() % std::size(days)];
        return QDate(1950 + static_cast<int>(random() % 150), near.month(), near.day())
            .addDays(static_cast<int>(random() % 3) - 1);
    };
    for (int n = 0; n < 40; ++n) {
        AddRecord("agenda.dbf", {{"DATUM", someDate()}, {"TERMIN", "t"}});
        AddRecord("notiz.dbf", {{"DATUM", someDate()}, {"N_TITEL", "n"}});
        AddRecord("projekt.dbf", {{"DATUMA", someDate()}, {"DATUME", someDate()}});
        AddRecord("adressen_p.dbf",
                  {{"VORNAME", "v"}, {"GEBURTSTAG", someDate()}, {"LISTE", random() % 3 != 0}});
        AddRecord("internet.dbf", {{"N_HYPER", "https://example.org"}});
    }
    const std::vector<StatisticToCount> wanted = Wanted(DataFile(""));
    ASSERT_GE(wanted.size(), 10u);
    // Counted again each day: from the second on, the figures kept are taken
    // where the clock has passed the tables' last change.
    for (const QDate& today : days) {
        const std::vector<std::optional<long long>> counts = CountEachWithoutPacking(wanted, today);
        ASSERT_EQ(counts.size(), wanted.size());
        for (std::size_t at = 0; at < wanted.size(); ++at) {
            ASSERT_TRUE(counts[at].has_value()) << qPrintable(wanted[at].path);
            EXPECT_EQ(*counts[at], WorkAreaCount(wanted[at], today))
                << qPrintable(wanted[at].kind->id) << " on " << qPrintable(today.toString());
            EXPECT_EQ(CountWithoutPacking(wanted[at].path, *wanted[at].kind, *wanted[at].statistic,
                                          today),
                      counts[at]);
        }
    }
}

TEST_F(StatisticCount, DeletedRecordsAHeldTableOrAMissingOneAreLeftToTheWorkArea) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "keep"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "drop"}});
    DeleteRecords("agenda.dbf", [] { return FIELD("TERMIN").toString().trimmed() == "drop"; });
    AddRecord("Tricks.dbf", {});
    ASSERT_TRUE(QFile::remove(DataFile("internet.dbf")));
    DBUSEAREA(false, DataFile("notiz.dbf"), "held");

    const std::vector<StatisticToCount> wanted = Wanted(DataFile(""));
    const std::vector<std::optional<long long>> counts =
        CountEachWithoutPacking(wanted, QDate(2007, 12, 24));
    DBCLOSEALL();
    for (std::size_t at = 0; at < wanted.size(); ++at) {
        const QString table = wanted[at].kind->table;
        const bool leftToTheWorkArea =
            table == "agenda.dbf" || table == "internet.dbf" || table == "notiz.dbf";
        EXPECT_EQ(counts[at].has_value(), !leftToTheWorkArea) << qPrintable(table);
        if (table == "Tricks.dbf") {
            EXPECT_EQ(counts[at], 1);
        }
    }
    // The table keeps its record marked deleted until the statistics pack it.
    EXPECT_EQ(RecordCount("agenda.dbf"), 2);
}

TEST_F(StatisticCount, KeptFiguresAreTakenOnlyWhileTheTableIsAsCounted) {
    AddRecord("Tricks.dbf", {});
    AddRecord("geburt.dbf", {});
    const std::vector<StatisticToCount> wanted = Wanted(DataFile(""));
    const QDate today(2007, 12, 24);
    const auto figureOf = [&](const QString& table) -> std::optional<long long> {
        const std::vector<std::optional<long long>> counts = CountEachWithoutPacking(wanted, today);
        for (std::size_t at = 0; at < wanted.size(); ++at)
            if (wanted[at].kind->table == table) return counts[at];
        return std::nullopt;
    };
    const std::optional<long long> counted = figureOf("Tricks.dbf");
    ASSERT_EQ(counted, 1);

    // Figures no count would give, kept for the table as it is: they are the ones shown.
    const std::optional<kesp::store::FileStamp> stamp =
        kesp::store::FileHandle::StampOf(DataFile("Tricks.dbf"));
    ASSERT_TRUE(stamp);
    KeptFigures kept = KeptFigures::ReadFrom(DataFile("").chopped(1));
    kept.Keep("Tricks.dbf", *stamp, std::max(stamp->modifiedNs, stamp->changedNs) + 1,
              TableFigures{.live = 41});
    ASSERT_TRUE(kept.WriteTo(DataFile("").chopped(1)));
    EXPECT_EQ(figureOf("Tricks.dbf"), 41);

    // Kept from a moment before the last change, they are not.
    kept.Keep("Tricks.dbf", *stamp, stamp->modifiedNs, TableFigures{.live = 41});
    ASSERT_TRUE(kept.WriteTo(DataFile("").chopped(1)));
    EXPECT_EQ(figureOf("Tricks.dbf"), 1);

    // A table written since is counted again, and so is one held by a work area.
    kept.Keep("Tricks.dbf", *stamp, std::max(stamp->modifiedNs, stamp->changedNs) + 1,
              TableFigures{.live = 41});
    ASSERT_TRUE(kept.WriteTo(DataFile("").chopped(1)));
    AddRecord("Tricks.dbf", {});
    EXPECT_EQ(figureOf("Tricks.dbf"), 2);
    DBUSEAREA(false, DataFile("Tricks.dbf"), "held");
    EXPECT_EQ(figureOf("Tricks.dbf"), std::nullopt);
    DBCLOSEALL();
}

TEST_F(StatisticCount, ADamagedFileOfFiguresOrOneThatCannotBeWrittenLeavesTheCountsRight) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "t"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(1999, 12, 24)}, {"TERMIN", "t"}});
    const std::vector<StatisticToCount> wanted = Wanted(DataFile(""));
    const QDate today(2007, 12, 24);
    const std::vector<std::optional<long long>> right = CountEachWithoutPacking(wanted, today);
    const QString figures = DataFile(kKeptFiguresFile);
    QFile file(figures);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    file.close();
    ASSERT_GT(whole.size(), 100);

    const QByteArray damaged[] = {whole.left(whole.size() / 2), whole.left(whole.size() - 1) + "X",
                                  QByteArray(whole.size(), '\xff'), QByteArray()};
    for (const QByteArray& bytes : damaged) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        EXPECT_EQ(CountEachWithoutPacking(wanted, today), right);
        // Written again whole.
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().endsWith("KESPEND1"));
        file.close();
    }

    QFile::remove(figures);
    kesp::store::RefuseChangesToFilesForTests(kKeptFiguresFile, EACCES);
    EXPECT_EQ(CountEachWithoutPacking(wanted, today), right);
    kesp::store::RefuseChangesToFilesForTests({}, 0);
    EXPECT_FALSE(QFile::exists(figures));
    EXPECT_FALSE(QFile::exists(figures + ".new"));
}

}  // namespace
