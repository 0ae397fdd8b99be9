// Window kinds, their lifecycle, toolbars, and misuse of the layer.
#include "store/fault.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>

#include <gtest/gtest.h>

using kesp::FaultException;
using kesp::test::TestDriver;

namespace {

void DefineModal(const QString& name, Action onInit = {}, Action onRelease = {}) {
    _DEFINEMODALWINDOW(name, {.title = "Modal",
                              .row = 132,
                              .col = 232,
                              .width = 700,
                              .height = 450,
                              .onInit = std::move(onInit),
                              .onRelease = std::move(onRelease)});
    _DEFINELABEL("Label_17", {.row = 40, .col = 10, .width = 190, .height = 20});
    _ENDWINDOW();
}

TEST(Windows, ModalActivationShowsRunsInitialisationAndLeavesTheNameFreeAfterClosing) {
    TestDriver driver;
    bool shownAtInit = false;
    int released = 0;
    DefineModal(
        "form1", [&] { shownAtInit = TestDriver::widget("form1")->isVisible(); },
        [&] { ++released; });
    _ACTIVATEWINDOW("form1");
    EXPECT_TRUE(shownAtInit);
    EXPECT_TRUE(TestDriver::isOpen("FORM1"));

    TestDriver::closeWindow("form1");
    EXPECT_EQ(released, 1);
    EXPECT_FALSE(ISWINDOWDEFINED("form1"));
    DefineModal("form1");  // the same window can be defined again
    EXPECT_TRUE(ISWINDOWDEFINED("form1"));
}

TEST(Windows, EscapeClosesAModalWindowAsItsCloseBoxDoesButNotTheMainWindow) {
    TestDriver driver;
    int released = 0;
    DefineModal("form1", {}, [&] { ++released; });
    _ACTIVATEWINDOW("form1");
    TestDriver::pressKey("form1", "Label_17", Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen("form1"));
    EXPECT_EQ(released, 1);

    _DEFINEWINDOW("haupt", WindowKind::Main, {.title = "Main", .width = 300, .height = 200});
    _DEFINETEXTBOX("Text_1", {.row = 10, .col = 10, .width = 100, .height = 20});
    _ENDWINDOW();
    _ACTIVATEWINDOW("haupt");
    TestDriver::pressKey("haupt", "Text_1", Qt::Key_Escape);
    EXPECT_TRUE(TestDriver::isOpen("haupt"));
    TestDriver::closeWindow("haupt");
}

TEST(Windows, DefinedSizeIsTheOuterSizeSoTheClientAreaLacksTheTitleBar) {
    TestDriver driver;
    DefineModal("form1");
    QWidget* window = TestDriver::widget("form1");
    EXPECT_EQ(window->pos(), QPoint(232, 132));
    EXPECT_EQ(window->size(), QSize(700, 450 - 27));
    EXPECT_EQ(GETPROPERTY("form1", "Height").toInt(), 450);
    EXPECT_EQ(TestDriver::widget("form1", "label_17")->geometry(), QRect(10, 40, 190, 20));
    SETPROPERTY("form1", "Height", 300);
    EXPECT_EQ(window->size(), QSize(700, 300 - 27));
    DOMETHOD("form1", "Center");
    EXPECT_NE(window->pos(), QPoint(232, 132));

    // A window without a maximise box keeps exactly that size.
    _DEFINEWINDOW("main", WindowKind::Main, {.width = 674, .height = 737, .noMaximize = true});
    _ENDWINDOW();
    EXPECT_EQ(TestDriver::widget("main")->maximumSize(), QSize(674, 710));
}

TEST(Windows, MisuseIsAFault) {
    TestDriver driver;
    DefineModal("form1");
    EXPECT_THROW(DefineModal("Form1"), FaultException);  // defined twice
    EXPECT_THROW(SETPROPERTY("form1", "Label_99", "Value", "x"), FaultException);
    EXPECT_THROW(SETPROPERTY("form1", "Label_17", "Nonsense", "x"), FaultException);
    EXPECT_THROW(GETPROPERTY("form9", "Label_17", "Value"), FaultException);
    EXPECT_THROW(DOMETHOD("form1", "Label_17", "Explode"), FaultException);
    EXPECT_THROW(_DEFINELABEL("Label_1", {}), FaultException);  // outside a window
}

TEST(Windows, ComboBoxValueMustBeNumeric) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form1", {.width = 200, .height = 100});
    _DEFINECOMBOBOX("Combo_1", {.width = 100, .height = 100, .items = {"a", "b"}});
    _ENDWINDOW();
    SETPROPERTY("form1", "Combo_1", "Value", 2.0);
    EXPECT_EQ(GETPROPERTY("form1", "Combo_1", "Value").toInt(), 2);
    EXPECT_THROW(SETPROPERTY("form1", "Combo_1", "Value", "2"), FaultException);
}

TEST(Windows, NonModalWindowCannotBeActivatedWhileAModalOneIsOpen) {
    TestDriver driver;
    DefineModal("form1");
    _ACTIVATEWINDOW("form1");
    _DEFINEWINDOW("naming", WindowKind::Standard, {.width = 300, .height = 200});
    _ENDWINDOW();
    EXPECT_THROW(_ACTIVATEWINDOW("naming"), FaultException);
    TestDriver::closeWindow("form1");
    _ACTIVATEWINDOW("naming");
    EXPECT_TRUE(TestDriver::widget("naming")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST(Windows, StandardWindowOpensBesideTheMainWindowRightOrElseLeft) {
    TestDriver driver;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto openBeside = [&](int mainCol) {
        _DEFINEWINDOW("haupt", WindowKind::Main,
                      {.row = screen.top() + 40, .col = mainCol, .width = 300, .height = 200});
        _ENDWINDOW();
        _ACTIVATEWINDOW("haupt");
        // Defined somewhere else and centred, as the naming windows are.
        _DEFINEWINDOW("naming", WindowKind::Standard,
                      {.row = 300, .col = 300, .width = 250, .height = 150});
        _ENDWINDOW();
        DOMETHOD("naming", "Center");
        _ACTIVATEWINDOW("naming");
        const QRect main = TestDriver::widget("haupt")->frameGeometry();
        const QRect naming = TestDriver::widget("naming")->frameGeometry();
        EXPECT_TRUE(TestDriver::widget("naming")->isVisible());
        EXPECT_FALSE(TestDriver::widget("naming")->isModal());
        EXPECT_TRUE(TestDriver::widget("naming")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(naming.top(), main.top());
        EXPECT_FALSE(naming.intersects(main));
        EXPECT_TRUE(screen.contains(naming));
        TestDriver::closeWindow("naming");
        TestDriver::closeWindow("haupt");
        return naming.left() > main.left() ? "right" : "left";
    };
    EXPECT_STREQ(openBeside(screen.left()), "right");
    EXPECT_STREQ(openBeside(screen.right() + 1 - 300), "left");
}

TEST(Windows, ToolbarBuiltInInitialisationRunsItsButtonsAndHides) {
    TestDriver driver;
    QStringList pressed;
    DefineModal("form1", [&] {
        _DEFINETOOLBAR("ToolBar_1", {.parent = "form1", .buttonWidth = 40, .buttonHeight = 40});
        _DEFINETOOLBUTTON(
            "x1",
            {.picture = "img/first.bmp", .action = [&] { pressed << "x1"; }, .tooltip = "Erster"});
        _DEFINETOOLBUTTON(
            "x2",
            {.picture = "img/prev.bmp", .action = [&] { pressed << "x2"; }, .tooltip = "Zurück"});
        _ENDTOOLBAR();
    });
    _ACTIVATEWINDOW("form1");
    TestDriver::click("form1", "X2");
    TestDriver::click("form1", "x1");
    EXPECT_EQ(pressed, QStringList({"x2", "x1"}));
    EXPECT_EQ(TestDriver::widget("form1", "ToolBar_1")->geometry().top(), 0);
    EXPECT_EQ(TestDriver::widget("form1", "ToolBar_1")->height(), 40);

    SETPROPERTY("form1", "ToolBar_1", "Visible", false);
    TestDriver::click("form1", "x1");
    EXPECT_EQ(pressed.size(), 2);
    EXPECT_FALSE(GETPROPERTY("form1", "ToolBar_1", "Visible").toBool());
}

}  // namespace
