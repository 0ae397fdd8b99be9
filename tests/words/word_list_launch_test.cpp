// The word list as the installed program opens it: from the main window's
// launch buttons, over the tables the build installs (with an empty word
// list in place of the dictionary, see installed_program.cpp).
#include "kernel/public_variables.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

namespace {

using kesp::test::TestDriver;

class WordListLaunch : public InstalledProgram {};

TEST_F(WordListLaunch, BothMainWindowButtonsOpenTheWordListInTheInstalledLanguage) {
    OpenMainWindow();
    ASSERT_EQ(THE_LANG, "AM");
    for (const char* button : {"Button_18", "Button_21"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("woerter_frm"));
        EXPECT_EQ(GETPROPERTY("woerter_frm", "Title").toString(),
                  "Dictionary [german] <--> [english]");
        EXPECT_EQ(TestDriver::read("woerter_frm", "Label_12").toString(),
                  "Ready. Total records: 0");
        TestDriver::closeWindow("woerter_frm");
    }
    EXPECT_EQ(Property("Button_21", "Caption"), "Dictionary");
}

TEST_F(WordListLaunch, APairAddedInTheWindowIsCountedByTheNextStatisticsRun) {
    OpenMainWindow();
    TestDriver::click("haupt", "Button_21");
    TestDriver::typeInto("woerter_frm", "Text_16", "Haus");
    TestDriver::typeInto("woerter_frm", "Text_17", "house");
    TestDriver::click("woerter_frm", "Button_7");
    TestDriver::closeWindow("woerter_frm");
    EXPECT_EQ(Property("lbl_9", "Value"), "0 [words]");
    TestDriver::click("haupt", "Button_31");
    EXPECT_EQ(Property("lbl_9", "Value"), "1 [words]");
}

}  // namespace
