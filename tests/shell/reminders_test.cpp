// The reminders: which are due at a moment, and the command that posts them
// as desktop notifications, run against a private session bus with a
// stand-in notification service (python3-dbusmock's notification daemon).
#include "shell/reminders.h"
#include "kernel/public_variables.h"
#include "shell/start_up.h"
#include "tests/shell/installed_program.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
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
                           "Contacts (friends): Anna – turns 40", "Agenda: 17:20 Started",
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

    // The stand-in service; `notify`, when given, is the Python code its
    // Notify runs instead of the notification daemon's.
    void StartService(const QString& notify = {}) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        service_.setProcessEnvironment(environment);
        const QString service = "org.freedesktop.Notifications";
        const QString path = "/org/freedesktop/Notifications";
        QStringList arguments{"-m", "dbusmock", "--session", "-l", log_.filePath("calls")};
        arguments += notify.isEmpty() ? QStringList{"--template", "notification_daemon"}
                                      : QStringList{service, path, service};
        service_.start("/usr/bin/python3", arguments);
        QDBusConnection probe = QDBusConnection::connectToBus(address_, "probe");
        for (int i = 0; i < 500; ++i) {
            if (probe.interface()->isServiceRegistered(service)) break;
            service_.waitForFinished(20);  // the service's start, not a fixed pause
        }
        if (!notify.isEmpty()) {
            QDBusMessage add = QDBusMessage::createMethodCall(
                service, path, "org.freedesktop.DBus.Mock", "AddMethod");
            add << ""
                << "Notify"
                << "susssasa{sv}i"
                << "u" << notify;
            EXPECT_EQ(probe.call(add).type(), QDBusMessage::ReplyMessage);
        }
        QDBusConnection::disconnectFromBus("probe");
    }

    int Remind(QString* err = nullptr) {
        const CommandRun run = RunProgram({"--remind"}, {{"DBUS_SESSION_BUS_ADDRESS", address_}});
        if (err) *err = run.err;
        return run.exitCode;
    }

    QByteArray Calls() {
        QFile calls(log_.filePath("calls"));
        return calls.open(QIODevice::ReadOnly) ? calls.readAll() : QByteArray();
    }
    // The calls, not the errors the service raised on them.
    int Posted() { return static_cast<int>(Calls().count("Notify \"")); }

    // Projects due from 1 January 2001 on, one a day (the fixture's is one more).
    void AddOverdueProjects(int count) {
        DBUSEAREA(false, DataFile("projekt.dbf"), "t");
        for (int n = 0; n < count; ++n) {
            DBAPPEND();
            REPLACE("DATUME", QDate(2001, 1, 2).addDays(n));
            REPLACE("N_TITEL", QString("Projekt %1").arg(n + 1));
        }
        DBCOMMIT();
        DBCLOSEALL();
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

TEST_F(RemindCommand, PostsTheFirstFiveAndOneThatCountsTheRest) {
    AddOverdueProjects(99);
    StartService();
    LetGoOfTheDataFolder();
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), kRemindersPostedAtOnce + 1);
    EXPECT_EQ(Calls().count("Uralt"), 1) << "the earliest come one by one";
    EXPECT_EQ(Calls().count("… and 95 more due today"), 1) << Calls().toStdString();
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 100) << "the counted ones are posted too";
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), kRemindersPostedAtOnce + 1) << "and none of them comes again";

    for (const auto& [language, text] : {std::pair{"DE", "… und 99.995 weitere heute fällig"},
                                         std::pair{"AM", "… and 99,995 more due today"},
                                         std::pair{"BR", "… e mais 99.995 para hoje"}}) {
        THE_LANG = language;
        EXPECT_EQ(MoreRemindersText(99995), text);
    }
}

TEST_F(RemindCommand, WhatWasPostedIsKeptWhateverTheServiceAnswers) {
    AddOverdueProjects(2);
    // A service that refuses every notification, as one too busy to answer in time would.
    StartService("raise dbus.exceptions.DBusException('busy', name='org.example.Busy')");
    LetGoOfTheDataFolder();
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), 3);
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 3);
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(Posted(), 3) << "not posted again at the next run";
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 3);

    // A service that answers after the command stopped waiting.
    service_.kill();
    service_.waitForFinished();
    StartService("import time\ntime.sleep(7)\nret = dbus.UInt32(1)");
    AddRecord("projekt.dbf", {{"DATUME", QDate(2002, 2, 2)}, {"N_TITEL", "Auch alt"}});
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(Remind(), 0);
    EXPECT_LT(waited.elapsed(), 7000) << "waits five seconds at most";
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 4);
    EXPECT_EQ(Remind(), 0);
    EXPECT_EQ(RecordCount("gemeldet.dbf"), 4) << "kept, though the answer came late";
}

}  // namespace
