// The window "Server" used as a person uses it, against a real Radicale: the
// address typed, "Test" finds the address books and calendars while the
// window keeps answering, OK makes the two books, the agenda's calendar and
// the projects' task list on the server and keeps the account,
// and the sync it starts fills the footer's status line. Screenshots in the
// three languages.
#include "kernel/public_variables.h"
#include "shell/language.h"
#include "shell/server_account.h"
#include "tests/shell/installed_program.h"
#include "tests/sync/dav_test_server.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

using kesp::test::TestDriver;

namespace {

// Turns the event loop until `done` holds, or a minute has passed.
bool Waited(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class ServerWindow : public InstalledProgram {};

TEST_F(ServerWindow, TestFindsTheBooksAndOkKeepsTheAccountAndSyncs) {
    DavTestServer server(DavServerKind::Radicale);
    if (!server.installed()) GTEST_SKIP() << "radicale is not installed";
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    TestDriver driver;
    AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}, {"NACHNAME", "Adler"}});
    OpenMainWindow();
    EXPECT_EQ(Property("Label_40", "value"), "No server set up");

    TestDriver::click("haupt", "Button_38");
    ASSERT_TRUE(TestDriver::isOpen("server"));
    TestDriver::typeInto("server", "Text_1", server.url().toString());
    TestDriver::typeInto("server", "Text_2", "kesp");
    TestDriver::typeInto("server", "Text_3", "geheim");
    TestDriver::click("server", "Button_1");
    // The window answers while the server is asked.
    EXPECT_FALSE(TestDriver::read("server", "Button_1", "enabled").toBool());
    ASSERT_TRUE(Waited([] { return TestDriver::read("server", "Button_1", "enabled").toBool(); }));
    EXPECT_EQ(TestDriver::read("server", "Label_7", "value").toString(),
              "0 address books found.\r0 calendars found.");
    EXPECT_EQ(GETPROPERTY("server", "Combo_1", "item", 1).toString(), "Make a new one: private");
    EXPECT_EQ(GETPROPERTY("server", "Combo_3", "item", 1).toString(), "Make a new one: agenda");
    EXPECT_EQ(GETPROPERTY("server", "Combo_4", "item", 1).toString(), "Make a new one: projects");

    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    ASSERT_TRUE(kesp::SaveWindowScreenshot("server", folder + "/server_AM.png"));

    // Minutes that are no number are refused, not taken as "never".
    TestDriver::clearText("server", "Text_4");
    TestDriver::typeInto("server", "Text_4", "x");
    TestDriver::click("server", "Button_2");
    EXPECT_TRUE(TestDriver::isOpen("server"));
    EXPECT_TRUE(
        driver.messageBoxes().last().text.startsWith("Please give the minutes as a number"));
    TestDriver::clearText("server", "Text_4");
    TestDriver::typeInto("server", "Text_4", "15");

    TestDriver::click("server", "Button_2");
    ASSERT_TRUE(Waited([] { return !TestDriver::isOpen("server"); }));
    const ServerAccount account = ReadServerAccount();
    EXPECT_EQ(account.server, server.url());
    EXPECT_EQ(account.user, "kesp");
    EXPECT_TRUE(account.privateBook.path().endsWith("/private/"))
        << account.privateBook.toString().toStdString();
    EXPECT_TRUE(account.businessBook.path().endsWith("/business/"));
    EXPECT_TRUE(account.agendaCalendar.path().endsWith("/agenda/"))
        << account.agendaCalendar.toString().toStdString();
    EXPECT_TRUE(account.projectsList.path().endsWith("/projects/"));
    QFile table(DataFile("server.dbf"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_FALSE(table.readAll().contains("geheim")) << "the password is never in a table";
    // No keyring here: told, and the password kept for this run.
    ASSERT_FALSE(driver.messageBoxes().isEmpty());
    EXPECT_TRUE(driver.messageBoxes().last().text.contains("keyring"));

    ASSERT_TRUE(Waited([this] { return Property("Label_40", "value").startsWith("Synced: "); }))
        << Property("Label_40", "value").toStdString();
    // The record went up: the book and its one card.
    EXPECT_EQ(runPhone({"list", account.privateBook.toString()}).split('\n').size(), 2);
    // A card from the phone comes with "Sync now", and the main window counts it.
    EXPECT_TRUE(Property("lbl_1", "value").startsWith("1 "))
        << Property("lbl_1", "value").toStdString();
    runPhone({"put", account.privateBook.resolved(QUrl("phone-berta.vcf")).toString(),
              "phone-berta", "Berta"});
    TestDriver::click("haupt", "Button_39");
    ASSERT_TRUE(Waited([this] { return Property("lbl_1", "value").startsWith("2 "); }))
        << Property("lbl_1", "value").toStdString();

    for (const char* code : {"DE", "BR"}) {
        CHANGE_LANG(code);
        TestDriver::click("haupt", "Button_38");
        ASSERT_TRUE(TestDriver::isOpen("server"));
        ASSERT_TRUE(
            kesp::SaveWindowScreenshot("server", folder + "/server_" + QString(code) + ".png"));
        TestDriver::closeWindow("server");
    }
    CHANGE_LANG("AM");
    ASSERT_TRUE(kesp::SaveWindowScreenshot("haupt", folder + "/haupt_sync_AM.png"));
}

}  // namespace
