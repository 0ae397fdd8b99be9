// Two computers, each a copy of the program with its own data folder run as
// `kesp --import-ics`, `kesp --sync` and `kesp --export-ics`, and one server
// (Radicale and Xandikos): a series made on one appears on the other with
// its changed occurrence; a project done on one is done on the other.
#include "store/xbase.h"
#include "tests/sync/dav_test_server.h"
#include "tests/sync/sync_computer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

INSTANTIATE_TEST_SUITE_P(Servers, CalendarComputers,
                         testing::Values(DavServerKind::Radicale, DavServerKind::Xandikos),
                         [](const auto& info) { return davServerName(info.param).toStdString(); });

}  // namespace
