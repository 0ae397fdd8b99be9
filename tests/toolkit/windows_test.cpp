// Window kinds, their lifecycle, toolbars, and misuse of the layer.
#include "store/fault.h"
#include "toolkit/focus_mark.h"
#include "toolkit/forms.h"
#include "toolkit/message_box.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QWindow>

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

namespace {

// The names of the controls the focus visits, pressing `key` from the
// control that has it now, until it comes back there.
std::string FocusRound(const QString& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
                       int steps = 40) {
    QWidget* form = TestDriver::widget(window);
    QWidget* start = form->focusWidget();
    QStringList visited;
    for (int step = 0; step < steps; ++step) {
        QTest::keyClick(form->focusWidget(), key, modifiers);
        QWidget* now = form->focusWidget();
        if (now == start) break;
        // A part of a control (the tab bar of a tab) counts as the control.
        QWidget* control = now;
        while (control->objectName().isEmpty() || control->objectName().startsWith("qt_"))
            control = control->parentWidget();
        visited << control->objectName();
    }
    return visited.join(' ').toStdString();
}

TEST(Keyboard, TabVisitsEveryControlInReadingOrderAlsoOverAnEmptyDatePicker) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_k", {.width = 500, .height = 400, .onInit = [] {
                                      _DEFINETOOLBAR("ToolBar_1", {.parent = "form_k"});
                                      _DEFINETOOLBUTTON("x1", {.picture = "img/first.bmp"});
                                      _DEFINETOOLBUTTON("x2", {.picture = "img/prev.bmp"});
                                      _ENDTOOLBAR();
                                  }});
    // Defined out of reading order on purpose.
    _DEFINEDATEPICKER("DatePicker_1", {.row = 52, .col = 200, .width = 90, .height = 20});
    _DEFINETEXTBOX("t_vorname", {.row = 50, .col = 10, .width = 150, .height = 20});
    _DEFINECHECKBOX("Check_1", {.row = 45, .col = 320, .width = 80, .height = 28});
    _DEFINEEDITBOX("t_memo", {.row = 90, .col = 10, .width = 150, .height = 60});
    _DEFINEIMAGEBUTTON("Button_2",
                       {.row = 90, .col = 200, .width = 40, .height = 28, .flat = true});
    _DEFINETAB("Tab_1", {.row = 170, .col = 10, .width = 300, .height = 150});
    _DEFINEPAGE("Seite 1");
    _DEFINETEXTBOX("t_seite1b", {.row = 80, .col = 150, .width = 100, .height = 20});
    _DEFINETEXTBOX("t_seite1a", {.row = 80, .col = 10, .width = 100, .height = 20});
    _ENDPAGE();
    _DEFINEPAGE("Seite 2");
    _DEFINETEXTBOX("t_seite2", {.row = 50, .col = 10, .width = 100, .height = 20});
    _ENDPAGE();
    _ENDTAB();
    _DEFINEBUTTON("Button_1", {.row = 330, .col = 10, .width = 80, .height = 24, .caption = "OK"});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_k");

    QApplication::processEvents();  // the toolbar lays its buttons out
    TestDriver::widget("form_k", "t_vorname")->setFocus();
    const std::string forward = FocusRound("form_k", Qt::Key_Tab);
    EXPECT_EQ(forward,
              "DatePicker_1 Check_1 t_memo Button_2 Tab_1 t_seite1a t_seite1b Button_1 "
              "x1 x2");
    // Shift+Tab goes the same way back, out of the empty date picker too.
    TestDriver::widget("form_k", "Check_1")->setFocus();
    EXPECT_EQ(FocusRound("form_k", Qt::Key_Backtab, Qt::ShiftModifier, 2),
              "DatePicker_1 t_vorname");
    EXPECT_FALSE(TestDriver::read("form_k", "DatePicker_1").toDate().isValid());
    EXPECT_TRUE(TestDriver::read("form_k", "t_memo").toString().isEmpty());

    // The controls of the page shown now take the place of the others.
    TestDriver::select("form_k", "Tab_1", 2);
    TestDriver::widget("form_k", "Button_2")->setFocus();
    EXPECT_EQ(FocusRound("form_k", Qt::Key_Tab, {}, 3), "Tab_1 t_seite2 Button_1");
}

// A list whose table is not open: empty, but it takes the focus.
void DefineListWithoutTable(int row, int col, int height = 100) {
    _DEFINEBROWSE("Browse_1", {.row = row,
                               .col = col,
                               .width = 100,
                               .height = height,
                               .headers = {"Vorname"},
                               .widths = {80},
                               .fields = {"adressen_p->vorname"},
                               .workArea = "adressen_p"});
}

TEST(Keyboard, ATallListBesideAFormLeavesEachRowOfTheFormItsOwnLine) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_t", {.width = 500, .height = 400});
    DefineListWithoutTable(100, 10, 290);
    _DEFINETEXTBOX("Text_1", {.row = 100, .col = 300, .width = 80, .height = 20});
    _DEFINETEXTBOX("Text_2", {.row = 100, .col = 400, .width = 80, .height = 20});
    _DEFINETEXTBOX("Text_3", {.row = 150, .col = 300, .width = 80, .height = 20});
    _DEFINETEXTBOX("Text_4", {.row = 150, .col = 400, .width = 80, .height = 20});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_t");
    TestDriver::widget("form_t", "Browse_1")->setFocus();
    EXPECT_EQ(FocusRound("form_t", Qt::Key_Tab), "Text_1 Text_2 Text_3 Text_4");
}

// A record window: a tall list on the left, beside it a read-only date and a
// date picker on one line and the boxes below them. The list does not pull
// the boxes beside it onto its line.
TEST(Keyboard, TabGoesAlongTheLinesBesideATallList) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_r", {.width = 700, .height = 450});
    DefineListWithoutTable(100, 20, 280);
    _DEFINETEXTBOX("Text_1", {.row = 120, .col = 340, .width = 80, .height = 20, .readOnly = true});
    _DEFINETEXTBOX("Text_3", {.row = 190, .col = 340, .width = 330, .height = 20});
    _DEFINEEDITBOX("Edit_1", {.row = 260, .col = 340, .width = 330, .height = 130});
    _DEFINEDATEPICKER("DatePicker_1", {.row = 120, .col = 430, .width = 120, .height = 20});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_r");

    TestDriver::widget("form_r", "Browse_1")->setFocus();
    EXPECT_EQ(FocusRound("form_r", Qt::Key_Tab), "Text_1 DatePicker_1 Text_3 Edit_1");
    EXPECT_EQ(FocusRound("form_r", Qt::Key_Backtab, Qt::ShiftModifier),
              "Edit_1 Text_3 DatePicker_1 Text_1");
}

TEST(Keyboard, EscapeClosesAModalWindowAsItsCloseBoxDoes) {
    TestDriver driver;
    int released = 0;
    DefineModal("form1", {}, [&] { ++released; });
    _ACTIVATEWINDOW("form1");
    _DEFINEWINDOW("main", WindowKind::Main, {.width = 300, .height = 200});
    _DEFINETEXTBOX("t_name", {.width = 100, .height = 20});
    _ENDWINDOW();

    QTest::keyClick(TestDriver::widget("form1", "Label_17"), Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen("form1"));
    EXPECT_EQ(released, 1);
    // Also from a list that has the focus.
    _DEFINEMODALWINDOW("form2", {.width = 300, .height = 200});
    DefineListWithoutTable(0, 0);
    _ENDWINDOW();
    _ACTIVATEWINDOW("form2");
    TestDriver::widget("form2", "Browse_1")->setFocus();
    QTest::keyClick(TestDriver::widget("form2", "Browse_1"), Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen("form2"));
    // The main window stays: closing it would end the program.
    _ACTIVATEWINDOW("main");
    QTest::keyClick(TestDriver::widget("main", "t_name"), Qt::Key_Escape);
    EXPECT_TRUE(TestDriver::isOpen("main"));
}

TEST(Windows, AModalWindowHasItsFixedSizeNoMinimiseOrMaximiseAndStaysAboveItsOpener) {
    TestDriver driver;
    _DEFINEWINDOW("haupt", WindowKind::Main, {.width = 674, .height = 737});
    _ENDWINDOW();
    _ACTIVATEWINDOW("haupt");
    DefineModal("form1");
    _ACTIVATEWINDOW("form1");
    QWidget* modal = TestDriver::widget("form1");
    EXPECT_EQ(modal->minimumSize(), QSize(700, 450 - 27));
    EXPECT_EQ(modal->maximumSize(), QSize(700, 450 - 27));
    EXPECT_FALSE(modal->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(modal->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(modal->windowType(), Qt::Dialog);
    ASSERT_NE(modal->windowHandle(), nullptr);
    EXPECT_EQ(modal->windowHandle()->transientParent(),
              TestDriver::widget("haupt")->windowHandle());

    // A modal window opened from a modal window stays above that one.
    _DEFINEMODALWINDOW("form2", {.width = 300, .height = 200});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form2");
    EXPECT_EQ(TestDriver::widget("form2")->windowHandle()->transientParent(),
              modal->windowHandle());

    // A window manager that minimises it all the same does not keep it there.
    QWidget* inner = TestDriver::widget("form2");
    inner->setWindowState(Qt::WindowMinimized);
    QApplication::processEvents();
    EXPECT_FALSE(inner->windowState().testFlag(Qt::WindowMinimized));
    EXPECT_TRUE(inner->isVisible());
}

TEST(Windows, AStandardWindowWithoutRoomBesideTheMainWindowOpensCentredAndNotOnTop) {
    TestDriver driver;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const int mainWidth = screen.width() / 2;
    _DEFINEWINDOW("haupt", WindowKind::Main, {.width = mainWidth, .height = 300});
    _ENDWINDOW();
    DOMETHOD("haupt", "Center");
    _ACTIVATEWINDOW("haupt");
    _DEFINEWINDOW("naming", WindowKind::Standard,
                  {.width = mainWidth,
                   .height = 200,
                   .noMinimize = true,
                   .noMaximize = true,
                   .topmost = true});
    _ENDWINDOW();
    _ACTIVATEWINDOW("naming");
    const QRect naming = TestDriver::widget("naming")->frameGeometry();
    EXPECT_NEAR(naming.center().x(), screen.center().x(), 2);
    EXPECT_NEAR(naming.center().y(), screen.center().y(), 2);
    EXPECT_FALSE(TestDriver::widget("naming")->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// Pixels of a control's rendering in the highlight colour of the focus mark.
int HighlightPixels(QWidget* control) {
    const QImage image = control->grab().toImage();
    const QColor highlight = control->palette().color(QPalette::Active, QPalette::Highlight);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += std::abs(pixel.red() - highlight.red()) < 40 &&
                     std::abs(pixel.green() - highlight.green()) < 40 &&
                     std::abs(pixel.blue() - highlight.blue()) < 40;
        }
    return count;
}

TEST(Keyboard, FlatButtonsImageButtonsToolButtonsAndListsShowTheFocus) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_f", {.width = 300, .height = 200, .onInit = [] {
                                      _DEFINETOOLBAR("ToolBar_1", {.parent = "form_f"});
                                      _DEFINETOOLBUTTON("x1", {.picture = "img/first.bmp"});
                                      _ENDTOOLBAR();
                                  }});
    _DEFINEBUTTON("Button_1", {.row = 60,
                               .col = 10,
                               .width = 150,
                               .height = 25,
                               .caption = "Adressen-Privat",
                               .flat = true});
    _DEFINEIMAGEBUTTON("Button_5",
                       {.row = 100, .col = 10, .width = 40, .height = 25, .flat = true});
    DefineListWithoutTable(60, 180);
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_f");
    // A list of rows the windows build themselves (the trash, the backups), empty.
    auto* tree = new kesp::FocusMarkedTree(TestDriver::widget("form_f"));
    tree->setObjectName("tree");
    tree->setGeometry(200, 100, 90, 80);
    tree->show();
    QApplication::processEvents();
    for (const char* name : {"Button_1", "Button_5", "x1", "Browse_1", "tree"}) {
        QWidget* control =
            name == QLatin1String("tree") ? tree : TestDriver::widget("form_f", name);
        control->clearFocus();
        EXPECT_EQ(HighlightPixels(control), 0) << name;
        control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(control->hasFocus()) << name;
        // A frame all round, not a speck.
        EXPECT_GT(HighlightPixels(control), control->width() + control->height()) << name;
    }
}

}  // namespace

namespace {

// A short message under the program's name must not leave the name cut in
// the title bar.
TEST(MessageBoxes, AreWideEnoughForTheirTitle) {
    for (const char* kind : {"MSGBOX", "MSGEXCLAMATION", "MSGYESNO"}) {
        const QString title = "Varnel Kesp 2.0";
        const std::unique_ptr<QMessageBox> box = kesp::BuildMessageBox(kind, "Ok?", title);
        box->show();
        EXPECT_GE(box->width(), QFontMetrics(QApplication::font()).horizontalAdvance(title) + 120)
            << kind;
        box->hide();
    }
}

}  // namespace
