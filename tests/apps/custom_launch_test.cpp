// The own application as the installed program opens it: its picture and
// name buttons open the records window over the installed tables, its
// naming button opens (and brings forward) the naming window, whose Save
// renames the main window's button at once.
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

namespace {

using kesp::test::TestDriver;

class CustomLaunch : public InstalledProgram {};

TEST_F(CustomLaunch, MainWindowButtonsOpenTheOwnApplicationAndItsNaming) {
    OpenMainWindow();
    EXPECT_EQ(Property("Button_27", "Caption"), "Literature DB");
    for (const char* button : {"Button_24", "Button_27"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("myapp_frm"));
        EXPECT_EQ(GETPROPERTY("myapp_frm", "Title").toString(), "Literature DB");
        EXPECT_EQ(TestDriver::read("myapp_frm", "Label_11").toString(),
                  "0 records in the database");
        EXPECT_EQ(TestDriver::read("myapp_frm", "Label_8").toString(), "search: Title or Author");
        TestDriver::closeWindow("myapp_frm");
    }

    TestDriver::click("haupt", "Button_28");
    ASSERT_TRUE(TestDriver::isOpen("freemyapp"));
    TestDriver::click("freemyapp", "t4");
    TestDriver::click("haupt", "Button_28");  // brought forward, boxes as they were
    EXPECT_EQ(TestDriver::read("freemyapp", "Text_11").toString(), "Vehicles");
    TestDriver::click("freemyapp", "Button_5");
    EXPECT_EQ(Property("Button_27", "Caption"), "Vehicles");
    TestDriver::closeWindow("freemyapp");

    TestDriver::click("haupt", "Button_27");
    EXPECT_EQ(GETPROPERTY("myapp_frm", "Title").toString(), "Vehicles");
    TestDriver::click("myapp_frm", "t7");
    EXPECT_EQ(Property("Button_27", "Caption"), "Collection DB");
    TestDriver::closeWindow("myapp_frm");
}

}  // namespace
