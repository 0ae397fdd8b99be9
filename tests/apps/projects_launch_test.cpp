// The projects as the installed program opens them: from the main window's
// launch buttons, over the table the build installs.
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFile>

namespace {

using kesp::test::TestDriver;

class ProjectsLaunch : public InstalledProgram {};

TEST_F(ProjectsLaunch, MainWindowButtonsOpenTheProjectsOverTheInstalledTable) {
    OpenMainWindow();
    for (const char* button : {"Button_12", "Button_15"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("projekt_frm"));
        EXPECT_EQ(GETPROPERTY("projekt_frm", "Title").toString(), "Projects");
        EXPECT_EQ(TestDriver::read("projekt_frm", "label_anzahl").toString(),
                  "0 records in the database.");
        TestDriver::closeWindow("projekt_frm");
    }

    TestDriver::click("haupt", "Button_12");
    TestDriver::click("projekt_frm", "x5");
    TestDriver::typeInto("projekt_frm", "Text_3", "Release 2.0");
    TestDriver::typeInto("projekt_frm", "Edit_2", "Ann");
    TestDriver::click("projekt_frm", "Button_1");
    EXPECT_EQ(TestDriver::read("projekt_frm", "label_anzahl").toString(),
              "1 records in the database.");
    TestDriver::click("projekt_frm", "x7");
    QFile exported(THE_EXPORT_PATH + "Project.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().endsWith(";Release 2.0;Ann;;No;\r"));
    TestDriver::closeWindow("projekt_frm");
}

}  // namespace
