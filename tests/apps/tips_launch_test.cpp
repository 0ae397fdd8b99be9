// Tips and tricks as the installed program opens them: from the main
// window's launch buttons, over the tables the build installs.
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFile>

namespace {

using kesp::test::TestDriver;

class TipsLaunch : public InstalledProgram {};

TEST_F(TipsLaunch, MainWindowButtonsOpenTipsOverTheInstalledTables) {
    OpenMainWindow();
    for (const char* button : {"Button_17", "Button_20"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("tipps"));
        EXPECT_EQ(GETPROPERTY("tipps", "Title").toString(), "Tips and tricks");
        EXPECT_EQ(TestDriver::read("tipps", "Label_1").toString(), "0 tips in the database");
        TestDriver::closeWindow("tipps");
    }

    // The first tip into the empty collection, found, exported.
    TestDriver::click("haupt", "Button_20");
    TestDriver::click("tipps", "x5");
    TestDriver::typeInto("tipps", "Text_7", "Backup");
    TestDriver::typeInto("tipps", "Edit_3", "weekly; \"offsite\"");
    TestDriver::click("tipps", "btn_save");
    EXPECT_EQ(TestDriver::read("tipps", "Label_1").toString(), "1 tips in the database");
    TestDriver::typeInto("tipps", "Text_s", "back");
    TestDriver::click("tipps", "Button_1");
    EXPECT_EQ(TestDriver::read("tipps", "Label_2").toString(), "1 found");
    TestDriver::click("tipps", "x7");
    QFile exported(THE_EXPORT_PATH + "Tips.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(),
              QByteArray("TITLE;DESCRIPTION;\rBackup;\"weekly; \"\"offsite\"\"\";\r"));
    TestDriver::closeWindow("tipps");
    EXPECT_EQ(RecordCount("Tricks.dbf"), 1);
    EXPECT_EQ(RecordCount("ergeb.dbf"), 1);
}

}  // namespace
