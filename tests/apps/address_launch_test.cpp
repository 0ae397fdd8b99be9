// The address books as the installed program opens them: from the main
// window's launch buttons, over the tables the build installs.
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFile>

namespace {

using kesp::test::TestDriver;

class AddressLaunch : public InstalledProgram {};

TEST_F(AddressLaunch, MainWindowButtonsOpenBothBooksOverTheInstalledTables) {
    OpenMainWindow();
    ASSERT_EQ(THE_LANG, "AM") << "the language the program is installed with";
    for (const char* button : {"Button_1", "Button_5"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("form1"));
        EXPECT_EQ(TestDriver::read("form1", "label_anzahl").toString(), "0 records");
        EXPECT_EQ(TestDriver::read("form1", "Label_free01").toString(), "Nickname");
        TestDriver::closeWindow("form1");
    }

    TestDriver::click("haupt", "Button_1");
    TestDriver::click("form1", "x5");
    TestDriver::typeInto("form1", "t_vorname", "Erika");
    TestDriver::typeInto("form1", "free10", "eins");
    TestDriver::pressKey("form1", "free10", Qt::Key_Return);
    TestDriver::typeInto("form1", "free10", "zwei");
    TestDriver::click("form1", "Button_1");
    EXPECT_EQ(TestDriver::read("form1", "label_anzahl").toString(), "1 records");
    TestDriver::click("form1", "x7");
    QFile exported(THE_EXPORT_PATH + "Contacts_friends.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().endsWith(";  /  /    ;eins zwei;\r"));
    TestDriver::closeWindow("form1");

    for (const char* button : {"Button_2", "Button_9"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("form2"));
        EXPECT_EQ(TestDriver::read("form2", "Label_free01").toString(), "Department");
        TestDriver::closeWindow("form2");
    }
}

TEST_F(AddressLaunch, NamingButtonsOpenTheirWindowOnceAndBringItBack) {
    OpenMainWindow();
    TestDriver::click("haupt", "Button_7");
    TestDriver::click("haupt", "Button_3");
    TestDriver::click("haupt", "Button_7");
    EXPECT_TRUE(TestDriver::isOpen("freeprivat"));
    EXPECT_TRUE(TestDriver::isOpen("freefirma"));
    EXPECT_EQ(TestDriver::read("freefirma", "Text_1").toString(), "Department");
    TestDriver::closeWindow("freeprivat");
    TestDriver::closeWindow("freefirma");
}

}  // namespace
