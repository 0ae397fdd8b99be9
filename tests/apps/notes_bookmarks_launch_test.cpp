// The notes and the bookmarks as the installed program opens them: from the
// main window's launch buttons, over the tables the build installs.
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFile>

namespace {

using kesp::test::TestDriver;

class NotesBookmarksLaunch : public InstalledProgram {};

TEST_F(NotesBookmarksLaunch, MainWindowButtonsOpenNotesAndBookmarksOverTheInstalledTables) {
    OpenMainWindow();
    for (const char* button : {"Button_11", "Button_14"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("notiz_frm"));
        EXPECT_EQ(TestDriver::read("notiz_frm", "label_anzahl").toString(),
                  "0 records in the database.");
        TestDriver::closeWindow("notiz_frm");
    }
    for (const char* button : {"Button_16", "Button_19"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("internet_frm"));
        EXPECT_EQ(GETPROPERTY("internet_frm", "Title").toString(), "Internet - Bookmarks");
        TestDriver::closeWindow("internet_frm");
    }

    TestDriver::click("haupt", "Button_16");
    TestDriver::click("internet_frm", "x5");
    TestDriver::typeInto("internet_frm", "Text_2", "News");
    TestDriver::typeInto("internet_frm", "Text_4", "example.org/a;b");
    TestDriver::click("internet_frm", "Button_1");
    EXPECT_EQ(TestDriver::read("internet_frm", "label_anzahl").toString(),
              "1 records in the database.");
    TestDriver::click("internet_frm", "x7");
    QFile exported(THE_EXPORT_PATH + "Bookmarks.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().endsWith(";News;;\"example.org/a;b\";;\r"));
    TestDriver::closeWindow("internet_frm");
}

}  // namespace
