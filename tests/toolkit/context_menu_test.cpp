// Context menus over controls, their named items, and the file question.
#include "store/fault.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using kesp::FaultException;
using kesp::test::TestDriver;

namespace {

class ContextMenuTest : public ::testing::Test {
  protected:
    void SetUp() override {
        _DEFINEMODALWINDOW("form_m", {.title = "Menus", .width = 400, .height = 300});
        _DEFINELISTBOX("List_1", {.row = 10, .col = 10, .width = 200, .height = 100});
        _DEFINECONTEXTMENU("List_1");
        _DEFINEMENUITEM("Menu_1", {.caption = "Exportieren", .action = [this] { ++exports; }});
        _DEFINEMENUITEM("Menu_2", {.caption = "Importieren", .action = [this] { ++imports; }});
        _ENDMENU();
        _ENDWINDOW();
        _ACTIVATEWINDOW("form_m");
    }

    TestDriver driver_;
    int exports = 0;
    int imports = 0;
};

TEST_F(ContextMenuTest, ItemsAreNamedControlsThatRunTheirAction) {
    TestDriver::click("form_m", "menu_1");
    TestDriver::click("form_m", "Menu_2");
    TestDriver::click("form_m", "Menu_2");
    EXPECT_EQ(exports, 1);
    EXPECT_EQ(imports, 2);

    SETPROPERTY("form_m", "Menu_1", "Caption", "Export");
    EXPECT_EQ(GETPROPERTY("form_m", "Menu_1", "caption").toString(), "Export");
    SETPROPERTY("form_m", "Menu_1", "Enabled", false);
    TestDriver::click("form_m", "Menu_1");  // a disabled item cannot be chosen
    EXPECT_EQ(exports, 1);
    EXPECT_FALSE(GETPROPERTY("form_m", "Menu_1", "enabled").toBool());
    EXPECT_THROW(SETPROPERTY("form_m", "Menu_1", "Value", 1), FaultException);
}

TEST_F(ContextMenuTest, ARightClickOnTheControlOpensItsMenuThere) {
    auto* list = qobject_cast<QListWidget*>(TestDriver::widget("form_m", "List_1"));
    ASSERT_NE(list, nullptr);
    auto* menu = list->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[1]->text(), "Importieren");

    const QPoint at(20, 15);
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &click);
    EXPECT_TRUE(menu->isVisible());
    menu->actions()[0]->trigger();
    menu->close();
    EXPECT_EQ(exports, 1);

    // Shift+F10 from the keyboard (the menu key is turned into the same
    // request by the platform).
    list->activateWindow();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->close();
}

TEST_F(ContextMenuTest, MenusOutsideTheirPlaceAreMisuse) {
    EXPECT_THROW(_DEFINEMENUITEM("Menu_9", {.caption = "x"}), FaultException);
    EXPECT_THROW(_ENDMENU(), FaultException);
    _DEFINEMODALWINDOW("form_n", {.width = 200, .height = 100});
    _DEFINELABEL("Label_1", {.width = 50, .height = 20});
    EXPECT_THROW(_DEFINECONTEXTMENU("Label_9"), FaultException);  // no such control
    _DEFINECONTEXTMENU("Label_1");
    _DEFINEMENUITEM("Menu_1", {.caption = "x"});
    EXPECT_THROW(_DEFINECONTEXTMENU("Label_1"), FaultException);  // inside a menu
    EXPECT_THROW(_ENDWINDOW(), FaultException);                   // the menu is still open
    _ENDMENU();
    _ENDWINDOW();
}

TEST(FileQuestion, TheDriverAnswersFromItsScriptOrCancels) {
    TestDriver driver;
    driver.answerNextFile("/tmp/a.ics");
    EXPECT_EQ(GETFILE({"iCalendar (*.ics)"}, "Datei wählen", "/tmp"), "/tmp/a.ics");
    EXPECT_EQ(GETFILE({"iCalendar (*.ics)"}, "Noch eine", "/tmp"), "");
    EXPECT_EQ(driver.fileQuestions(), QStringList({"Datei wählen", "Noch eine"}));
}

}  // namespace
