// Controls driven by name, as the modules drive them.
#include "tests/paint_counter.h"
#include "toolkit/fault_handler.h"
#include "toolkit/forms.h"
#include "toolkit/looks.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

using kesp::test::TestDriver;

namespace {

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        _DEFINEWINDOW("form_c", WindowKind::Main,
                      {.title = "Controls", .width = 400, .height = 300});
        _DEFINETEXTBOX(
            "t_name",
            {.row = 10, .col = 10, .width = 120, .height = 20, .maxLength = 10, .onChange = [this] {
                 ++textChanges;
             }});
        _DEFINEBUTTON(
            "Button_1",
            {.row = 40, .col = 10, .width = 80, .height = 24, .caption = "Los", .action = [this] {
                 ++clicks;
             }});
        _DEFINEIMAGEBUTTON("Button_2", {.row = 40,
                                        .col = 100,
                                        .width = 40,
                                        .height = 28,
                                        .picture = "img/missing.bmp",
                                        .action = [this] { ++clicks; },
                                        .invisible = true});
        _DEFINEDATEPICKER("DatePicker_1",
                          {.row = 70, .col = 10, .width = 90, .height = 20, .onChange = [this] {
                               ++dateChanges;
                           }});
        _DEFINECOMBOBOX("Combo_1", {.row = 100,
                                    .col = 10,
                                    .width = 100,
                                    .height = 100,
                                    .items = {"eins", "zwei", "drei"},
                                    .value = 1});
        _DEFINERADIOGROUP("Radio_1", {.row = 130,
                                      .col = 10,
                                      .width = 100,
                                      .options = {"A", "B"},
                                      .value = 1,
                                      .onChange = [this] { ++radioChanges; }});
        _DEFINETAB("Tab_1", {.row = 10, .col = 200, .width = 190, .height = 200});
        _DEFINEPAGE("Seite 1");
        _DEFINELABEL("Label_1",
                     {.row = 50, .col = 20, .width = 100, .height = 20, .value = "auf Seite 1"});
        _ENDPAGE();
        _DEFINEPAGE("Seite 2");
        _DEFINECHECKBOX("Check_1",
                        {.row = 50, .col = 20, .width = 100, .height = 20, .caption = "erinnern"});
        _ENDPAGE();
        _ENDTAB();
        _ENDWINDOW();
        _ACTIVATEWINDOW("form_c");
    }

    TestDriver driver;
    int textChanges = 0;
    int clicks = 0;
    int dateChanges = 0;
    int radioChanges = 0;
};

TEST_F(ControlsTest, NamesOfWindowsControlsAndPropertiesIgnoreCase) {
    SETPROPERTY("FORM_C", "button_1", "CAPTION", "Weiter");
    EXPECT_EQ(GETPROPERTY("form_c", "BUTTON_1", "caption").toString(), "Weiter");
    SETPROPERTY("Form_C", "title", "Neu");
    EXPECT_EQ(GETPROPERTY("FORM_C", "Title").toString(), "Neu");
}

TEST_F(ControlsTest, SettingABlankPaddedValueShowsItTrimmedAndRunsTheChangeAction) {
    SETPROPERTY("form_c", "t_name", "Value", QString("Anna      "));
    EXPECT_EQ(GETPROPERTY("form_c", "t_name", "Value").toString(), "Anna");
    EXPECT_EQ(textChanges, 1);
    // Setting the same text again is still a change the program made.
    SETPROPERTY("form_c", "t_name", "Value", QString("Anna"));
    EXPECT_EQ(textChanges, 2);
    // A value wider than the box shows its beginning.
    SETPROPERTY("form_c", "t_name", "Value", QString("Annabelle-Ma"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(TestDriver::widget("form_c", "t_name"))->cursorPosition(),
              0);
}

TEST_F(ControlsTest, SettingTheTextTheBoxShowsStartsItOverAsAnyOtherValue) {
    auto* edit = qobject_cast<QLineEdit*>(TestDriver::widget("form_c", "t_name"));
    SETPROPERTY("form_c", "t_name", "Value", QString("Anna"));
    edit->selectAll();
    SETPROPERTY("form_c", "t_name", "Value", QString("Anna"));
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(edit->cursorPosition(), 0);

    // Typed back to what it showed: the set text forgets the typing too.
    TestDriver::typeInto("form_c", "t_name", "x");
    TestDriver::pressKey("form_c", "t_name", Qt::Key_Backspace);
    ASSERT_EQ(edit->text(), "Anna");
    ASSERT_TRUE(edit->isUndoAvailable());
    SETPROPERTY("form_c", "t_name", "Value", QString("Anna"));
    EXPECT_FALSE(edit->isUndoAvailable());
    EXPECT_FALSE(edit->isModified());
    EXPECT_EQ(textChanges, 5);
}

TEST_F(ControlsTest, TypingRunsTheChangeActionAtEveryKeystrokeWithinTheMaximumLength) {
    TestDriver::typeInto("form_c", "t_name", "Bernhard-Maximilian");
    EXPECT_EQ(TestDriver::read("form_c", "t_name").toString(), "Bernhard-M");
    EXPECT_EQ(textChanges, 10);
    TestDriver::clearText("form_c", "t_name");
    EXPECT_EQ(TestDriver::read("form_c", "t_name").toString(), "");
}

TEST_F(ControlsTest, TypingAnyUnicodeTextEntersItCharacterByCharacter) {
    // Umlauts, the sharp s and the euro sign have no key code; each is still
    // one keystroke and one change. (A character the tables cannot store is
    // refused: see storable_text_test.)
    TestDriver::typeInto("form_c", "t_name", "Köln ß€");
    EXPECT_EQ(TestDriver::read("form_c", "t_name").toString(), "Köln ß€");
    EXPECT_EQ(textChanges, 7);

    _DEFINEMODALWINDOW("form_u", {.width = 300, .height = 200});
    _DEFINEEDITBOX("free10", {.width = 200, .height = 70});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_u");
    TestDriver::typeInto("form_u", "free10", "Grüße\nAçaí");
    EXPECT_EQ(TestDriver::read("form_u", "free10").toString(), "Grüße\r\nAçaí");
}

TEST_F(ControlsTest, HiddenOrDisabledButtonsIgnoreClicks) {
    TestDriver::click("form_c", "Button_2");
    EXPECT_EQ(clicks, 0);
    SETPROPERTY("form_c", "Button_2", "Visible", true);
    TestDriver::click("form_c", "Button_2");
    EXPECT_EQ(clicks, 1);
    SETPROPERTY("form_c", "Button_1", "Enabled", false);
    TestDriver::click("form_c", "Button_1");
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, DatePickerHasAnEmptyState) {
    EXPECT_TRUE(GETPROPERTY("form_c", "DatePicker_1", "Value").toDate().isNull());
    SETPROPERTY("form_c", "DatePicker_1", "Value", QDate(2006, 12, 24));
    EXPECT_EQ(GETPROPERTY("form_c", "DatePicker_1", "Value").toDate(), QDate(2006, 12, 24));
    EXPECT_EQ(dateChanges, 1);
    SETPROPERTY("form_c", "DatePicker_1", "Value", QDate());
    EXPECT_TRUE(GETPROPERTY("form_c", "DatePicker_1", "Value").toDate().isNull());
    // The user empties it by clearing all of it.
    SETPROPERTY("form_c", "DatePicker_1", "Value", QDate(2007, 1, 2));
    TestDriver::clearText("form_c", "DatePicker_1");
    EXPECT_TRUE(GETPROPERTY("form_c", "DatePicker_1", "Value").toDate().isNull());
    EXPECT_EQ(dateChanges, 4);
    EXPECT_TRUE(GETPROPERTY("form_c", "DatePicker_1", "AllowEmpty").toBool());
}

TEST_F(ControlsTest, CalendarOfAnEmptyDatePickerOpensOnTodaysMonth) {
    driver.setToday(QDate(2007, 12, 24));
    QWidget* picker = TestDriver::widget("form_c", "DatePicker_1");
    auto* calendar = picker->findChild<QCalendarWidget*>();
    ASSERT_NE(calendar, nullptr);
    const auto openCalendar = [calendar] {
        TestDriver::pressKey("form_c", "DatePicker_1", Qt::Key_F4);
        EXPECT_TRUE(calendar->isVisible());
    };

    openCalendar();
    EXPECT_EQ(calendar->yearShown(), 2007);
    EXPECT_EQ(calendar->monthShown(), 12);
    calendar->window()->hide();
    EXPECT_TRUE(GETPROPERTY("form_c", "DatePicker_1", "Value").toDate().isNull());

    // A picker with a date opens on that date's month.
    SETPROPERTY("form_c", "DatePicker_1", "Value", QDate(2005, 3, 8));
    openCalendar();
    EXPECT_EQ(calendar->yearShown(), 2005);
    EXPECT_EQ(calendar->monthShown(), 3);
    calendar->window()->hide();
}

TEST_F(ControlsTest, ComboBoxValueIsAOneBasedIndexAndItemsGrow) {
    EXPECT_EQ(GETPROPERTY("form_c", "Combo_1", "Value").toInt(), 1);
    DOMETHOD("form_c", "Combo_1", "AddItem", "vier");
    SETPROPERTY("form_c", "Combo_1", "Value", 4);
    EXPECT_EQ(GETPROPERTY("form_c", "Combo_1", "Item", 4).toString(), "vier");
    TestDriver::select("form_c", "Combo_1", 2);
    EXPECT_EQ(GETPROPERTY("form_c", "Combo_1", "Value").toInt(), 2);
}

TEST_F(ControlsTest, RadioGroupAndTabCaptionsByIndex) {
    SETPROPERTY("form_c", "Radio_1", "Caption", 2, "Bravo");
    EXPECT_EQ(GETPROPERTY("form_c", "Radio_1", "Caption", 2).toString(), "Bravo");
    TestDriver::select("form_c", "Radio_1", 2);
    EXPECT_EQ(GETPROPERTY("form_c", "Radio_1", "Value").toInt(), 2);
    EXPECT_EQ(radioChanges, 1);

    SETPROPERTY("form_c", "Tab_1", "Caption", 2, "Freie Felder");
    EXPECT_EQ(GETPROPERTY("form_c", "Tab_1", "Caption", 2).toString(), "Freie Felder");
    TestDriver::select("form_c", "Tab_1", 2);
    EXPECT_EQ(GETPROPERTY("form_c", "Tab_1", "Value").toInt(), 2);
    EXPECT_TRUE(TestDriver::isShown("form_c", "Check_1"));
    EXPECT_FALSE(TestDriver::isShown("form_c", "Label_1"));
}

TEST_F(ControlsTest, ControlsOnAPageArePlacedFromTheTabControlsCorner) {
    QWidget* tab = TestDriver::widget("form_c", "Tab_1");
    QWidget* label = TestDriver::widget("form_c", "Label_1");
    EXPECT_EQ(label->mapTo(tab, QPoint(0, 0)), QPoint(20, 50));
    EXPECT_EQ(label->size(), QSize(100, 20));
}

TEST_F(ControlsTest, CheckBoxValueIsLogical) {
    SETPROPERTY("form_c", "Check_1", "Value", true);
    EXPECT_TRUE(GETPROPERTY("form_c", "Check_1", "Value").toBool());
    TestDriver::select("form_c", "Tab_1", 2);
    TestDriver::click("form_c", "Check_1");
    EXPECT_FALSE(GETPROPERTY("form_c", "Check_1", "Value").toBool());
}

// The box around the text in a label's rendering (its dark pixels); null
// when there is none.
QRect TextBounds(const QString& window, const QString& label) {
    const QImage image = TestDriver::widget(window, label)->grab().toImage();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Rows of a label's rendering that hold text, as {first, last}.
std::pair<int, int> RowsWithText(const QString& window, const QString& label) {
    const QRect bounds = TextBounds(window, label);
    return {bounds.top(), bounds.bottom()};
}

TEST(Labels, LongTextWrapsWithinTheHeightWhileASingleLineStaysCentred) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_l", {.width = 400, .height = 300});
    _DEFINELABEL("lbl_hilfe", {.row = 10, .col = 10, .width = 200, .height = 60});
    _DEFINELABEL("lbl_akt", {.row = 80, .col = 10, .width = 200, .height = 20, .value = "Aktuell"});
    _DEFINELABEL("lbl_eng", {.row = 110,
                             .col = 10,
                             .width = 60,
                             .height = 20,
                             .value = "viel zu viele Wörter für so wenig Platz",
                             .centerAlign = true});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_l");
    const int line = TestDriver::widget("form_l", "lbl_akt")->fontMetrics().height();

    SETPROPERTY("form_l", "lbl_hilfe", "Value",
                "Sie können jedes Feld selbst definieren (umbenennen) und die Anwendung "
                "anpassen.");
    const auto [helpTop, helpBottom] = RowsWithText("form_l", "lbl_hilfe");
    EXPECT_GT(helpBottom - helpTop, 2 * line);  // three lines, not one cut off
    EXPECT_LT(helpBottom, 60);

    const auto [top, bottom] = RowsWithText("form_l", "lbl_akt");
    EXPECT_NEAR((top + bottom) / 2.0, 10, 3);
    EXPECT_LT(bottom - top, line);

    // More lines than fit: only the line the height holds shows, never the
    // top of a second one.
    const auto [narrowTop, narrowBottom] = RowsWithText("form_l", "lbl_eng");
    EXPECT_LT(narrowBottom - narrowTop, line);
    EXPECT_NEAR(narrowTop, top, 1);
}

TEST(Labels, ALongCaptionIsCutAtTheWidthOnTheLinesTheHeightHoldsWhole) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_l", {.width = 400, .height = 300});
    const QString caption(
        "Ein sehr langer Name für ein freies Feld mit siebzig Zeichen, zu lang!!");
    _DEFINELABEL(
        "Label_free01",
        {.row = 50, .col = 20, .width = 230, .height = 20, .value = caption, .bold = true});
    _DEFINETEXTBOX("free01", {.row = 70, .col = 20, .width = 200, .height = 20});
    _DEFINELABEL(
        "Label_free10",
        {.row = 100, .col = 20, .width = 230, .height = 40, .value = caption + " " + caption});
    _DEFINELABEL("Label_short",
                 {.row = 150, .col = 20, .width = 230, .height = 20, .value = "Kurz"});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_l");
    const int line = TestDriver::widget("form_l", "Label_free01")->fontMetrics().height();

    // One line high: one line, centred as a short caption is, running to the
    // label's right edge where it is cut.
    const auto [top, bottom] = RowsWithText("form_l", "Label_free01");
    const auto [shortTop, shortBottom] = RowsWithText("form_l", "Label_short");
    EXPECT_LT(bottom - top, line);
    EXPECT_NEAR(top, shortTop, 1);
    EXPECT_GE(TextBounds("form_l", "Label_free01").right(), 220);

    // Two whole lines fit in 40 pixels, not a third: two lines of text, the
    // second cut at the width.
    const auto [twoTop, twoBottom] = RowsWithText("form_l", "Label_free10");
    EXPECT_GT(twoBottom - twoTop, line);
    EXPECT_LT(twoBottom - twoTop, 2 * line);
    EXPECT_LE(twoBottom, 40);
    EXPECT_EQ(GETPROPERTY("form_l", "Label_free10", "Value").toString(), caption + " " + caption);
}

TEST(MessageBoxes, AreRecordedAndAnsweredFromTheScript) {
    TestDriver driver;
    driver.answerNext(false);
    MSGBOX("Datei x.csv\rim Ordner C:\\export", "Varnel Kesp 2.0");
    MSGEXCLAMATION("Bitte Vorname eingeben", "Varnel Kesp 2.0");
    EXPECT_FALSE(MSGYESNO("Löschen?", "Varnel Kesp 2.0"));
    EXPECT_TRUE(MSGYESNO("Noch einmal?", "Varnel Kesp 2.0"));  // Yes is the default

    const auto& shown = driver.messageBoxes();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0].kind, "MSGBOX");
    EXPECT_EQ(shown[0].text, "Datei x.csv\nim Ordner C:\\export");
    EXPECT_EQ(shown[1].kind, "MSGEXCLAMATION");
    EXPECT_EQ(shown[2].kind, "MSGYESNO");
    EXPECT_EQ(shown[2].title, "Varnel Kesp 2.0");
}

TEST(OtherControls, AFrameInsideAnotherStaysInFrontOfItAndBehindTheControls) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_f", {.width = 400, .height = 300});
    _DEFINECHECKBOX("Check_1", {.row = 70, .col = 60, .width = 80, .height = 20});
    _DEFINEFRAME("Frame_1",
                 {.row = 10, .col = 10, .width = 380, .height = 280, .background = Qt::white});
    _DEFINEFRAME("Frame_2",
                 {.row = 50, .col = 50, .width = 150, .height = 90, .caption = "Ja / Nein Felder"});
    _DEFINEFRAME("Frame_3", {.row = 60, .col = 55, .width = 100, .height = 50});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_f");
    const QObjectList bottomToTop = TestDriver::widget("form_f")->children();
    auto depth = [&bottomToTop](const char* control) {
        return bottomToTop.indexOf(TestDriver::widget("form_f", control));
    };
    EXPECT_LT(depth("Frame_1"), depth("Frame_2"));
    EXPECT_LT(depth("Frame_2"), depth("Frame_3"));
    EXPECT_LT(depth("Frame_3"), depth("Check_1"));
}

TEST(OtherControls, EditBoxListBoxAndProgressBarValues) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_o", {.width = 300, .height = 300});
    _DEFINEEDITBOX("free10", {.width = 200, .height = 70, .noHScroll = true});
    _DEFINELISTBOX("List_1", {.row = 80, .width = 100, .height = 60, .items = {"a"}});
    _DEFINEPROGRESSBAR("Progress_1", {.row = 150, .width = 100, .height = 10, .rangeMax = 10});
    _ENDWINDOW();

    // A memo keeps its CR LF line breaks through the edit box; trailing
    // blanks of the field are not shown.
    SETPROPERTY("form_o", "free10", "Value", QString("Zeile 1\r\nZeile 2   "));
    EXPECT_EQ(GETPROPERTY("form_o", "free10", "Value").toString(), "Zeile 1\r\nZeile 2");

    DOMETHOD("form_o", "List_1", "AddItem", "b");
    SETPROPERTY("form_o", "List_1", "Value", 2);
    EXPECT_EQ(GETPROPERTY("form_o", "List_1", "Item", 2).toString(), "b");
    DOMETHOD("form_o", "List_1", "DeleteAllItems");
    EXPECT_EQ(GETPROPERTY("form_o", "List_1", "ItemCount").toInt(), 0);

    SETPROPERTY("form_o", "Progress_1", "Value", 7);
    EXPECT_EQ(GETPROPERTY("form_o", "Progress_1", "Value").toInt(), 7);
    SETPROPERTY("form_o", "Progress_1", "Visible", false);
    EXPECT_FALSE(GETPROPERTY("form_o", "Progress_1", "Visible").toBool());

    // A memo holding a long run without blanks wraps anywhere (linear cost);
    // the next ordinary one wraps at word boundaries again, and the text is
    // kept as it is either way.
    auto* edit = qobject_cast<QPlainTextEdit*>(TestDriver::widget("form_o", "free10"));
    ASSERT_NE(edit, nullptr);
    const QString run(100'000, u'x');
    SETPROPERTY("form_o", "free10", "Value", "Anfang " + run);
    EXPECT_EQ(edit->wordWrapMode(), QTextOption::WrapAnywhere);
    EXPECT_EQ(GETPROPERTY("form_o", "free10", "Value").toString(), "Anfang " + run);
    SETPROPERTY("form_o", "free10", "Value", QString("Zeile 1\r\nZeile 2"));
    EXPECT_EQ(edit->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

TEST(OtherControls, StatusLabelAndProgressBarAreRepaintedAtOnceInsideALongAction) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_p", {.width = 300, .height = 200});
    _DEFINELABEL("Label_36", {.row = 10, .width = 190, .height = 12});
    _DEFINEPROGRESSBAR("ProgressBar_4", {.row = 40, .width = 230, .height = 28, .rangeMin = 1});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_p");
    QApplication::processEvents();
    PaintCounter label(TestDriver::widget("form_p", "Label_36"));
    PaintCounter bar(TestDriver::widget("form_p", "ProgressBar_4"));

    // No return to the event loop in between: what the user sees must
    // already be painted.
    SETPROPERTY("form_p", "Label_36", "Value", "Termine [heute] wird aktualisiert");
    EXPECT_GE(label.paints, 1);
    SETPROPERTY("form_p", "ProgressBar_4", "Value", 30);
    EXPECT_GE(bar.paints, 1);
    TestDriver::closeWindow("form_p");
}

// A keystroke's change action returns to the event loop at once: what it
// sets in its own window is painted then, with the typed character, not
// from inside the action. Another window is still painted at once.
TEST(OtherControls, ALabelSetByAKeystrokeIsPaintedWhenTheKeystrokeReturns) {
    TestDriver driver;
    int paintsInside = -1;
    int otherPaintsInside = -1;
    _DEFINEMODALWINDOW("form_s", {.width = 300, .height = 200});
    _DEFINELABEL("lbl_status", {.row = 10, .width = 190, .height = 12});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_s");
    _DEFINEMODALWINDOW("form_k", {.width = 300, .height = 200});
    _DEFINELABEL("lbl_filter", {.row = 10, .width = 190, .height = 12});
    _DEFINETEXTBOX("suche", {.row = 40, .width = 190, .height = 20, .onChange = [&] {
                                 PaintCounter own(TestDriver::widget("form_k", "lbl_filter"));
                                 PaintCounter other(TestDriver::widget("form_s", "lbl_status"));
                                 SETPROPERTY("form_k", "lbl_filter", "Value",
                                             GETPROPERTY("form_k", "suche", "Value"));
                                 SETPROPERTY("form_s", "lbl_status", "Value", "searching");
                                 paintsInside = own.paints;
                                 otherPaintsInside = other.paints;
                             }});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_k");
    QApplication::processEvents();
    PaintCounter label(TestDriver::widget("form_k", "lbl_filter"));
    TestDriver::typeInto("form_k", "suche", "a");
    EXPECT_EQ(paintsInside, 0);
    EXPECT_GE(otherPaintsInside, 1);
    QApplication::processEvents();
    QEvent update(QEvent::UpdateRequest);
    QApplication::sendEvent(TestDriver::widget("form_k"), &update);
    EXPECT_GE(label.paints, 1);
    EXPECT_EQ(GETPROPERTY("form_k", "lbl_filter", "Value").toString(), "a");

    // Outside a keystroke the label is painted at once again.
    label.paints = 0;
    SETPROPERTY("form_k", "lbl_filter", "Value", "b");
    EXPECT_GE(label.paints, 1);
    TestDriver::closeWindow("form_k");
    TestDriver::closeWindow("form_s");
}

TEST(OtherControls, ProgressBarSetBelowItsRangeShowsEmptyNotItsLastValue) {
    TestDriver driver;
    _DEFINEMODALWINDOW("form_p", {.width = 300, .height = 200});
    _DEFINEPROGRESSBAR("ProgressBar_1", {.row = 10,
                                         .width = 230,
                                         .height = 30,
                                         .rangeMin = 1,
                                         .rangeMax = 100,
                                         .background = Qt::white,
                                         .barColor = QColor(0, 255, 0)});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_p");
    auto* bar = qobject_cast<QProgressBar*>(TestDriver::widget("form_p", "ProgressBar_1"));
    ASSERT_NE(bar, nullptr);
    // The style shades the bar: any clearly green pixel across its middle.
    const auto greenShown = [bar] {
        const QImage image = bar->grab().toImage();
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, image.height() / 2);
            if (pixel.green() > pixel.red() + 80 && pixel.green() > pixel.blue() + 80) return true;
        }
        return false;
    };
    SETPROPERTY("form_p", "ProgressBar_1", "Value", 100);
    EXPECT_TRUE(greenShown());
    PaintCounter painted(bar);
    SETPROPERTY("form_p", "ProgressBar_1", "Value", 0);
    EXPECT_GE(painted.paints, 1);
    EXPECT_FALSE(greenShown());
    EXPECT_LT(GETPROPERTY("form_p", "ProgressBar_1", "Value").toInt(), 1);
    SETPROPERTY("form_p", "ProgressBar_1", "Value", 30);
    EXPECT_EQ(GETPROPERTY("form_p", "ProgressBar_1", "Value").toInt(), 30);
    TestDriver::closeWindow("form_p");
}

// The initialisation starts on a painted window, so that its steps show
// while it runs. Work done in steps between the user's actions (a zero
// timer, as the search over everything reads ahead) waits meanwhile: the
// window is on screen and initialised first, the step runs after.
TEST(OtherControls, InitialisationStartsOnAPaintedWindowBeforeStepsBetweenActions) {
    TestDriver driver;
    bool exposedAtInit = false;
    int paintsDuringInit = 0;
    bool stepRan = false;
    bool stepRanBeforeInit = true;
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&] { stepRan = true; });
    _DEFINEMODALWINDOW("form_p", {.width = 300, .height = 200, .onInit = [&] {
                                      stepRanBeforeInit = stepRan;
                                      QWidget* label = TestDriver::widget("form_p", "Label_36");
                                      exposedAtInit = label->window()->windowHandle()->isExposed();
                                      PaintCounter painted(label);
                                      SETPROPERTY("form_p", "Label_36", "Value", "Bitte warten...");
                                      paintsDuringInit = painted.paints;
                                  }});
    _DEFINELABEL("Label_36", {.row = 10, .width = 190, .height = 12});
    _ENDWINDOW();
    step.start(0);
    _ACTIVATEWINDOW("form_p");
    EXPECT_TRUE(exposedAtInit);
    EXPECT_GE(paintsDuringInit, 1);
    EXPECT_FALSE(stepRanBeforeInit);
    QApplication::processEvents();
    EXPECT_TRUE(stepRan);
    TestDriver::closeWindow("form_p");
}

// Some definitions name pictures with a backslash between the folders.
TEST(Pictures, ABackslashInThePictureNameSeparatesFoldersLikeASlash) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("img/sub"));
    QPixmap picture(4, 4);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder.filePath("img/sub/save.bmp"), "BMP"));
    SET_PICTURE_FOLDER(folder.path());
    EXPECT_EQ(kesp::PicturePath("img\\sub\\save.bmp"), kesp::PicturePath("img/sub/save.bmp"));
    EXPECT_FALSE(kesp::LoadPicture("img\\sub\\save.bmp").isNull());
    EXPECT_FALSE(kesp::LoadIcon("img\\sub/save.bmp").isNull());
    EXPECT_TRUE(kesp::LoadPicture("img\\sub\\missing.bmp").isNull());
    SET_PICTURE_FOLDER({});
}

// A picture is read by the format its name says, and by its content when
// that is another; a file replaced under the same name shows the new one.
TEST(Pictures, APictureIsReadByItsNameOrElseByItsContentAndAReplacedOneAnew) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("img"));
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(folder.filePath("img/red.bmp"), "BMP"));
    ASSERT_TRUE(red.save(folder.filePath("img/really_png.bmp"), "PNG"));
    ASSERT_TRUE(red.save(folder.filePath("img/NOSUFFIX"), "PNG"));
    SET_PICTURE_FOLDER(folder.path());
    for (const char* name : {"img/red.bmp", "img/really_png.bmp", "img/NOSUFFIX"}) {
        const QImage shown = kesp::LoadPicture(name).toImage();
        ASSERT_FALSE(shown.isNull()) << name;
        EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::red)) << name;
    }
    QImage blue(6, 6, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(folder.filePath("img/red.bmp"), "BMP"));
    const QImage replaced = kesp::LoadPicture("img/red.bmp").toImage();
    EXPECT_EQ(replaced.size(), QSize(6, 6));
    EXPECT_EQ(replaced.pixelColor(1, 1), QColor(Qt::blue));
    QFile::remove(folder.filePath("img/red.bmp"));
    EXPECT_TRUE(kesp::LoadPicture("img/red.bmp").isNull());
    SET_PICTURE_FOLDER({});
}

}  // namespace
