// Two computers, each a copy of the program with its own data folder run as
// `kesp --import-ics`, `kesp --sync` and `kesp --export-ics`, and one server
// (Radicale and Xandikos): a series made on one appears on the other with
// its changed occurrence; a project done on one is done on the other; the
// program killed or its connection cut at any moment, the next sync leaves
// every event once here and once on the server.
#include "store/xbase.h"
#include "tests/sync/cutting_proxy.h"
#include "tests/sync/dav_test_server.h"
#include "tests/sync/sync_computer.h"

#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class CalendarComputers : public ::testing::TestWithParam<DavServerKind> {
  protected:
    void SetUp() override {
        server_ = std::make_unique<DavTestServer>(GetParam());
        if (!server_->installed())
            GTEST_SKIP() << "not installed: " << davServerName(GetParam()).toStdString();
        ASSERT_TRUE(server_->running()) << server_->problem().toStdString();
    }
    static void run(const SyncComputer& computer, const QStringList& arguments) {
        const ProgramRun run = computer.kesp(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
    }
    QString file(const QString& name, const QByteArray& bytes = {}) const {
        QFile out(files_.filePath(name));
        if (!bytes.isEmpty() && out.open(QIODevice::WriteOnly)) out.write(bytes);
        return out.fileName();
    }
    // The first project of `computer`'s table: its done flag set to `done`
    // (as the window's Save does) unless `title` is empty; whether it is done.
    static bool project(const SyncComputer& computer, const QString& title = {},
                        bool done = false) {
        DBUSEAREA(false, computer.dataFile("projekt.dbf"), "project");
        if (!title.isEmpty()) {
            if (RECCOUNT() == 0) DBAPPEND();
            DBGOTO(1);
            REPLACE("project->N_TITEL", title);
            REPLACE("project->FERTIG", done);
            DBCOMMIT();
        }
        DBGOTO(1);
        const bool isDone = FIELD("project->FERTIG").toBool();
        DBCLOSEAREA();
        return isDone;
    }

    // Each event's UID once on `computer` and once on the server.
    void eachOnce(const SyncComputer& computer, const QString& calendar, int events) const {
        run(computer, {"--export-ics", file("all.ics")});
        QFile exported(file("all.ics"));
        ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
        EXPECT_EQ(exported.readAll().count("BEGIN:VEVENT"), events);
        QProcess phone;
        phone.start(KESP_PYTHON, {KESP_CALENDAR_PHONE, "list", calendar});
        ASSERT_TRUE(phone.waitForFinished(60000));
        EXPECT_EQ(phone.readAllStandardOutput().count('\n'), events);
    }
    static QByteArray Events(int from, int to) {
        QByteArray calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
        for (int n = from; n < to; ++n)
            calendar += QString(
                            "BEGIN:VEVENT\r\nUID:e%1@test\r\nDTSTART;TZID=Europe/Berlin:"
                            "202701%2T090000\r\nRRULE:FREQ=DAILY;COUNT=%3\r\nSUMMARY:E%1"
                            "\r\nEND:VEVENT\r\n")
                            .arg(n)
                            .arg(n % 28 + 1, 2, 10, QChar('0'))
                            .arg(n % 3 + 1)
                            .toUtf8();
        return calendar + "END:VCALENDAR\r\n";
    }

    std::unique_ptr<DavTestServer> server_;
    QTemporaryDir files_;
};

TEST_P(CalendarComputers, ASeriesAndADoneProjectTravelFromOneComputerToTheOther) {
    SyncComputer a;
    SyncComputer b;
    const ProgramRun mapped = a.kesp({"--server", server_->url().toString(), "kesp"});
    EXPECT_TRUE(mapped.out.contains(QRegularExpression("agenda → http\\S+/agenda/")))
        << mapped.out.toStdString();
    EXPECT_TRUE(mapped.out.contains(QRegularExpression("projects → http\\S+/projects/")));
    b.setServer(server_->url().toString());
    run(a, {"--import-ics",
            file("team.ics",
                 "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                 "BEGIN:VEVENT\r\nUID:team@test\r\nDTSTART;TZID=Europe/Berlin:20270105T090000\r\n"
                 "DTEND;TZID=Europe/Berlin:20270105T100000\r\nRRULE:FREQ=WEEKLY;COUNT=6\r\n"
                 "SUMMARY:Team\r\nEND:VEVENT\r\n"
                 "BEGIN:VEVENT\r\nUID:team@test\r\n"
                 "RECURRENCE-ID;TZID=Europe/Berlin:20270112T090000\r\n"
                 "DTSTART;TZID=Europe/Berlin:20270112T140000\r\n"
                 "DTEND;TZID=Europe/Berlin:20270112T150000\r\nSUMMARY:Team später\r\n"
                 "END:VEVENT\r\nEND:VCALENDAR\r\n")});
    project(a, "Umzug", false);
    run(a, {"--sync"});
    run(b, {"--sync"});
    run(b, {"--export-ics", file("b.ics")});
    QFile exported(file("b.ics"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(exported.readAll());
    EXPECT_TRUE(written.contains("RRULE:FREQ=WEEKLY;COUNT=6")) << written.toStdString();
    EXPECT_TRUE(written.contains("RECURRENCE-ID;TZID=Europe/Berlin:20270112T090000"));
    EXPECT_TRUE(written.contains("SUMMARY:Team später"));
    EXPECT_EQ(written.count("BEGIN:VEVENT"), 2);

    EXPECT_FALSE(project(b));
    project(b, "Umzug", true);
    run(b, {"--sync"});
    run(a, {"--sync"});
    EXPECT_TRUE(project(a));
}

TEST_P(CalendarComputers, KilledOrCutAtAnyMomentTheNextSyncLeavesEveryEventOnce) {
    SyncComputer a;
    a.setServer(server_->url().toString());
    const QString calendar =
        QRegularExpression("agenda → (\\S+)").match(a.kesp({"--server"}).out).captured(1);
    run(a, {"--import-ics", file("first.ics", Events(0, 20))});
    int events = 20;
    const auto someMore = [&] {
        run(a,
            {"--import-ics", file(QString("more%1.ics").arg(events), Events(events, events + 3))});
        events += 3;
    };
    // Killed after more and more time: before, during and after the sends.
    for (int wait : {0, 40, 120, 300, 600}) {
        someMore();
        a.kespWatched({"--sync"}, [wait](qint64 pid) {
            QEventLoop loop;
            QTimer::singleShot(wait, &loop, &QEventLoop::quit);
            loop.exec();
            ::kill(pid_t(pid), SIGKILL);
        });
        run(a, {"--sync"});
        eachOnce(a, calendar, events);
    }
    // The connection cut after more and more bytes either way.
    for (qint64 limit : {300, 3000, 12000}) {
        for (const auto direction :
             {CuttingProxy::Direction::ToServer, CuttingProxy::Direction::ToClient}) {
            someMore();
            CuttingProxy proxy(server_->url(), direction, limit);
            a.pointAccountAt(proxy.url());
            a.kesp({"--sync"});
            a.pointAccountAt(server_->url());
            run(a, {"--sync"});
            eachOnce(a, calendar, events);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, CalendarComputers,
                         testing::Values(DavServerKind::Radicale, DavServerKind::Xandikos),
                         [](const auto& info) { return davServerName(info.param).toStdString(); });

}  // namespace
