// The reminders: which are due at a moment, and the command that posts them
// as desktop notifications, run against a private session bus with a
// stand-in notification service (python3-dbusmock's notification daemon).
#include "shell/reminders.h"
#include "kernel/public_variables.h"
#include "shell/start_up.h"
#include "tests/shell/installed_program.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <ostream>

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

namespace {

class Reminders : public InstalledProgram {
  protected:
    static QStringList Bodies(const std::vector<Reminder>& due) {
        QStringList bodies;
        for (const Reminder& reminder : due)
            bodies.append(reminder.summary + ": " + reminder.body);
        return bodies;
    }
};

TEST_F(Reminders, AreDueAtTheirMomentAndMissedOnesComeAtTheNextChance) {
    OpenMainWindow();
    for (const auto& [time, text] : {std::pair{"18:20", "Soon"}, std::pair{"18:40", "Later"},
                                     std::pair{"17:20", "Started"}, std::pair{"16:00", "Long ago"}})
        AddRecord("agenda.dbf", {{"DATUM", QDate(2026, 12, 29)},
                                 {"STUN", QString(time).left(2)},
                                 {"MINU", QString(time).mid(3)},
                                 {"TERMIN", text}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 22)}, {"N_TITEL", "A week ago"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 21)}, {"N_TITEL", "Too old"}});
    AddRecord("projekt.dbf", {{"DATUME", QDate(2026, 10, 1)}, {"N_TITEL", "Late"}});
    AddRecord("projekt.dbf", {{"DATUME", QDate(2026, 12, 30)}, {"N_TITEL", "Tomorrow"}});
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Anna"}, {"GEBURTSTAG", QDate(1986, 12, 29)}, {"LISTE", true}});
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Bert"}, {"GEBURTSTAG", QDate(1986, 12, 30)}, {"LISTE", true}});

    EXPECT_EQ(Bodies(DueReminders(QDateTime(QDate(2026, 12, 29), QTime(18, 10)))),
              (QStringList{"Projects: Late – overdue since 10/01/2026", "Notes: A week ago",
                           "Contacts(friends): Anna – turns 40", "Agenda: 17:20 Started",
                           "Agenda: 18:20 Soon"}));
}

// A private session bus with the stand-in service on it, for the program
// started as a command; both end with the test.
class RemindCommand : public Reminders {
  protected:
    void SetUp() override {
        Reminders::SetUp();
        bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(bus_.waitForReadyRead(10000));
        address_ = QString::fromUtf8(bus_.readLine()).trimmed();
        ASSERT_FALSE(address_.isEmpty());
        AddRecord("projekt.dbf", {{"DATUME", QDate(2001, 1, 1)}, {"N_TITEL", "Uralt"}});
    }
    void TearDown() override {
        service_.kill();
        service_.waitForFinished();
        bus_.kill();
        bus_.waitForFinished();
        Reminders::TearDown();
    }

    void StartService() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        service_.setProcessEnvironment(environment);
        service_.start("/usr/bin/python3", {"-m", "dbusmock", "--session", "--template",
                                            "notification_daemon", "-l", log_.filePath("calls")});
        QDBusConnection probe = QDBusConnection::connectToBus(address_, "probe");
        for (int i = 0; i < 500; ++i) {
            if (probe.interface()->isServiceRegistered("org.freedesktop.Notifications")) break;
            service_.waitForFinished(20);  // the service's start, not a fixed pause
        }
        QDBusConnection::disconnectFromBus("probe");
    }

    int Remind(QString* err = nullptr) {
        const CommandRun run = RunProgram({"--remind"}, {{"DBUS_SESSION_BUS_ADDRESS", address_}});
        if (err) *err = run.err;
        return run.exitCode;
    }

    int Posted() {
        QFile calls(log_.filePath("calls"));
        if (!calls.open(QIODevice::ReadOnly)) return 0;
        return static_cast<int>(calls.readAll().count("Notify"));
    }

    QProcess bus_;
    QProcess service_;
    QString address_;
    QTemporaryDir log_;
};

TEST_F(RemindCommand, PostsEachReminderOnceAcrossRunsAndNeverFailsWithoutAService) {
    StartService();
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), 0) << "the running program posts its reminders itself";

    LetGoOfTheDataFolder();
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), 1);
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), 1) << "posted once, and remembered";
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 1);

    service_.kill();
    service_.waitForFinished();
    AddRecord("projekt.dbf", {{"DATUME", QDate(2002, 2, 2)}, {"N_TITEL", "Auch alt"}});
    QString err;
    EXPECT_EQ(Remind(&err), 0);
    EXPECT_TRUE(err.contains("no notification service")) << err.toStdString();
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 1) << "kept for the next chance";
}

}  // namespace
