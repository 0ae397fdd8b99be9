// The steps of a window (buttons, picture and tool buttons, menu items, keys)
// while one of its date pickers holds a typed text that is no date: however
// they are pressed (the mouse, the program's click, a screen reader's press
// action, a mnemonic, a key), they do not run on the date the picker had; the
// picker refuses the text as Tab does. With a date typed they run on it.
#include "store/xbase.h"
#include "toolkit/date_picker.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using kesp::test::TestDriver;

namespace {

const QString kWindow = "form_s";
const QDate kBefore(2026, 12, 31);

QWidget* Widget(const QString& control) {
    return TestDriver::widget(kWindow, control);
}

kesp::DatePicker* Picker() {
    return qobject_cast<kesp::DatePicker*>(Widget("DatePicker_1"));
}

// A screen reader presses a control through the press action Qt offers it.
void PressAsAScreenReader(QWidget* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// Some presses (a mnemonic) show the button down first and click when it
// comes up again.
void UntilTheButtonIsUp(const QString& control) {
    auto* button = qobject_cast<QAbstractButton*>(Widget(control));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([button] { return !button->isDown(); }, 2000));
}

void Press(const QString& control) {
    PressAsAScreenReader(Widget(control));
    UntilTheButtonIsUp(control);
}

void KeyInTheWindow(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* focused = Widget("")->focusWidget();
    QTest::keyClick(focused != nullptr ? focused : Widget(""), key, modifiers);
}

struct Way {
    const char* name;
    void (*press)();
    bool needsTheWindowInFront;  // the mouse and keys reach only the active window
};

void PrintTo(const Way& way, std::ostream* out) {
    *out << way.name;
}

const Way kWays[] = {
    {"ButtonClickedWithTheMouse", [] { QTest::mouseClick(Widget("Button_1"), Qt::LeftButton); },
     true},
    {"ButtonClickedByTheProgram",
     [] { qobject_cast<QAbstractButton*>(Widget("Button_1"))->click(); }, false},
    {"ButtonClickedByName", [] { DOMETHOD(kWindow, "Button_1", "Click"); }, false},
    {"ButtonPressedByAScreenReader", [] { Press("Button_1"); }, false},
    {"ButtonMnemonic",
     [] {
         KeyInTheWindow(Qt::Key_E, Qt::AltModifier);
         UntilTheButtonIsUp("Button_1");
     },
     true},
    {"PictureButtonPressedByAScreenReader", [] { Press("Image_1"); }, false},
    {"ToolButtonClickedByName", [] { TestDriver::click(kWindow, "x1"); }, false},
    {"ToolButtonPressedByAScreenReader", [] { Press("x1"); }, false},
    {"MenuItemChosen", [] { TestDriver::click(kWindow, "Menu_1"); }, false},
    {"WindowKey", [] { KeyInTheWindow(Qt::Key_K, Qt::ControlModifier); }, true},
};

// A window with a picker and a step of every kind, each noting the date it ran on.
class RefusedDateWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        SET_CENTURY(true);
        SET_DATEFORMAT("dd.mm.yyyy");
        const Action step = [this] { taken.append(Picker()->value()); };
        _DEFINEMODALWINDOW(kWindow, {.width = 400, .height = 300});
        _DEFINEDATEPICKER("DatePicker_1",
                          {.row = 50, .col = 10, .width = 90, .height = 20, .value = kBefore});
        _DEFINETEXTBOX("t_name", {.row = 80, .col = 10, .width = 90, .height = 20});
        _DEFINECONTEXTMENU("t_name");
        _DEFINEMENUITEM("Menu_1", {.caption = "Übernehmen", .action = step});
        _ENDMENU();
        _DEFINEBUTTON("Button_1", {.row = 110,
                                   .col = 10,
                                   .width = 90,
                                   .height = 25,
                                   .caption = "&Einfügen",
                                   .action = step});
        _DEFINEIMAGEBUTTON("Image_1",
                           {.row = 110, .col = 110, .width = 30, .height = 25, .action = step});
        _DEFINETOOLBAR("ToolBar_1", {.parent = kWindow});
        _DEFINETOOLBUTTON("x1", {.caption = "Speichern", .action = step});
        _ENDTOOLBAR();
        _ENDWINDOW();
        DEFINEKEY(kWindow, "", "Ctrl+K", step);
        _ACTIVATEWINDOW(kWindow);
        normal = Picker()->palette().color(QPalette::Base);
    }
    void TearDown() override { SET_DATEFORMAT("dd/mm/yyyy"); }

    // A second window, as another window the program opens comes forward.
    static void AnotherWindowComesForward() {
        _DEFINEMODALWINDOW("form_o", {.width = 200, .height = 100});
        _ENDWINDOW();
        _ACTIVATEWINDOW("form_o");
        ASSERT_FALSE(Widget("")->isActiveWindow());
    }

    void ExpectRefused(const char* typed) {
        EXPECT_EQ(taken, QList<QDate>());
        EXPECT_EQ(Widget("")->focusWidget(), Picker());
        EXPECT_EQ(Picker()->text(), typed);
        EXPECT_EQ(Picker()->value(), kBefore);
        EXPECT_EQ(Picker()->palette().color(QPalette::Base), QColor(255, 0, 0));
        auto* hint = Widget("")->findChild<QLabel*>(kesp::kNoDateHintName);
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->isVisible());
        EXPECT_TRUE(hint->text().contains(typed)) << hint->text().toStdString();
    }

    TestDriver driver;
    QList<QDate> taken;  // the picker's date, each time a step ran
    QColor normal;
};

class RefusedDateSteps : public RefusedDateWindow, public ::testing::WithParamInterface<Way> {};

TEST_P(RefusedDateSteps, DoNotRunOnThePreviousDateWhileThePickerHasTheFocus) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    GetParam().press();
    ExpectRefused("31.02.2026");
    GetParam().press();  // and again, on the text already marked
    ExpectRefused("31.02.2026");
}

// The ways that reach a window while another one is in front.
class RefusedDateStepsBehind : public RefusedDateSteps {};

std::vector<Way> WaysThatReachAWindowBehind() {
    std::vector<Way> ways;
    for (const Way& way : kWays)
        if (!way.needsTheWindowInFront) ways.push_back(way);
    return ways;
}

TEST_P(RefusedDateStepsBehind, DoNotRunOnThePreviousDateAfterAnotherWindowTookTheFocus) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    AnotherWindowComesForward();
    ASSERT_FALSE(Picker()->hasFocus());
    ASSERT_EQ(Picker()->text(), "31.02.2026");  // it waits there for the user
    GetParam().press();
    ExpectRefused("31.02.2026");
}

TEST_P(RefusedDateSteps, RunOnTheDateOnceTheTextIsOne) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    GetParam().press();
    TestDriver::typeInto(kWindow, "DatePicker_1", "28.02.2026");
    EXPECT_EQ(Picker()->palette().color(QPalette::Base), normal);
    GetParam().press();
    EXPECT_EQ(taken, QList<QDate>{QDate(2026, 2, 28)});
}

INSTANTIATE_TEST_SUITE_P(EveryWay, RefusedDateSteps, ::testing::ValuesIn(kWays),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(EveryWay, RefusedDateStepsBehind,
                         ::testing::ValuesIn(WaysThatReachAWindowBehind()),
                         [](const auto& info) { return std::string(info.param.name); });

// What the refusal leaves alone: the steps of other windows, and the ways out
// of the picker's text (Escape brings the date back, the close box closes).
using RefusedDateWaysOut = RefusedDateWindow;

TEST_F(RefusedDateWaysOut, StepsOfAnotherWindowRun) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    int elsewhere = 0;
    _DEFINEMODALWINDOW("form_o", {.width = 200, .height = 100});
    _DEFINEBUTTON("Button_9", {.width = 50, .height = 20, .action = [&elsewhere] { ++elsewhere; }});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_o");
    PressAsAScreenReader(TestDriver::widget("form_o", "Button_9"));
    EXPECT_TRUE(QTest::qWaitFor([&elsewhere] { return elsewhere == 1; }, 2000));
    EXPECT_EQ(Picker()->text(), "31.02.2026");
}

TEST_F(RefusedDateWaysOut, EscapeBringsThePreviousDateBackForTheStep) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    Press("Button_1");
    QTest::keyClick(Picker(), Qt::Key_Escape);
    EXPECT_TRUE(TestDriver::isOpen(kWindow));
    Press("Button_1");
    EXPECT_EQ(taken, QList<QDate>{kBefore});
}

TEST_F(RefusedDateWaysOut, TheCloseBoxClosesTheWindow) {
    TestDriver::typeInto(kWindow, "DatePicker_1", "31.02.2026");
    Press("Button_1");
    TestDriver::closeWindow(kWindow);
    EXPECT_FALSE(TestDriver::isOpen(kWindow));
    EXPECT_EQ(taken, QList<QDate>());
}

}  // namespace
