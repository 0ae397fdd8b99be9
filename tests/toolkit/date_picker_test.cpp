// Dates typed into a date picker, as the user types them: in the date format
// of each language, with or without separators, into empty and filled pickers.
#include "toolkit/date_picker.h"
#include "store/xbase.h"
#include "toolkit/date_typing.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>

#include <gtest/gtest.h>

using kesp::ReadTypedDate;
using kesp::TypedDate;
using kesp::test::TestDriver;

namespace {

TEST(TypedDates, AreReadInTheOrderOfTheFormatWithOrWithoutSeparators) {
    const QDate may1(2015, 5, 1);
    EXPECT_EQ(ReadTypedDate("01.05.2015", "dd.mm.yyyy").date, may1);
    EXPECT_EQ(ReadTypedDate("1.5.2015", "dd.mm.yyyy").date, may1);
    EXPECT_EQ(ReadTypedDate("01052015", "dd.mm.yyyy").date, may1);
    EXPECT_EQ(ReadTypedDate("1 .5 .2015", "dd.mm.yyyy").date, may1);  // places left blank
    EXPECT_EQ(ReadTypedDate("05/01/2015", "mm/dd/yyyy").date, may1);
    EXPECT_EQ(ReadTypedDate("05012015", "MM/DD/YYYY").date, may1);
    EXPECT_EQ(ReadTypedDate("01/05/2015", "dd/mm/yyyy").date, may1);
    EXPECT_EQ(ReadTypedDate("15/03/2021", "dd/mm/yyyy").date, QDate(2021, 3, 15));
    EXPECT_EQ(ReadTypedDate("03/15/1975", "mm/dd/yyyy").date, QDate(1975, 3, 15));

    EXPECT_EQ(ReadTypedDate("", "dd.mm.yyyy").kind, TypedDate::Kind::Empty);
    EXPECT_EQ(ReadTypedDate("  .  .    ", "dd.mm.yyyy").kind, TypedDate::Kind::Empty);
    for (const char* noDate : {"31.02.2015", "15.13.2021", "01.05.201", "01.05", "0105201",
                               "010520155", "01.05.20155", "001.05.2015", "aa.bb.cccc"})
        EXPECT_EQ(ReadTypedDate(noDate, "dd.mm.yyyy").kind, TypedDate::Kind::NoDate) << noDate;
    // The day and month of another language's order are no date here.
    EXPECT_EQ(ReadTypedDate("15/03/2021", "mm/dd/yyyy").kind, TypedDate::Kind::NoDate);
}

class DatePickerTyping : public ::testing::Test {
  protected:
    void SetUp() override {
        SET_CENTURY(true);
        driver.setToday(QDate(2024, 7, 9));
    }
    void TearDown() override { SET_DATEFORMAT("dd/mm/yyyy"); }

    // A window with two pickers, the second one refusing the empty date.
    void OpenWindow(const QString& format) {
        SET_DATEFORMAT(format);
        _DEFINEMODALWINDOW("form_d", {.width = 300, .height = 200});
        _DEFINEDATEPICKER(
            "DatePicker_1",
            {.row = 10, .col = 10, .width = 90, .height = 20, .onChange = [this] { ++changes; }});
        _DEFINEDATEPICKER("DatePicker_2",
                          {.row = 40, .col = 10, .width = 90, .height = 20, .allowsEmpty = false});
        _DEFINETEXTBOX("t_name", {.row = 70, .col = 10, .width = 90, .height = 20});
        _ENDWINDOW();
        _ACTIVATEWINDOW("form_d");
    }
    void CloseWindow() { TestDriver::closeWindow("form_d"); }

    static QDate Value(const QString& picker = "DatePicker_1") {
        return TestDriver::read("form_d", picker).toDate();
    }
    static QString Shown(const QString& picker = "DatePicker_1") {
        return qobject_cast<QLineEdit*>(TestDriver::widget("form_d", picker))->displayText();
    }
    static void LeavePicker() { TestDriver::widget("form_d", "t_name")->setFocus(); }

    TestDriver driver;
    int changes = 0;
};

TEST_F(DatePickerTyping, GivesExactlyTheTypedDateInEveryLanguageIntoEmptyAndFilledPickers) {
    struct Case {
        const char* format;
        const char* withSeparators;
        const char* digitsOnly;
        QDate date;
    };
    const Case cases[] = {{"dd.mm.yyyy", "01.05.2015", "01052015", QDate(2015, 5, 1)},
                          {"dd/mm/yyyy", "15/03/2021", "15032021", QDate(2021, 3, 15)},
                          {"mm/dd/yyyy", "03/15/1975", "03151975", QDate(1975, 3, 15)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        for (const char* typed : {c.withSeparators, c.digitsOnly}) {
            SCOPED_TRACE(typed);
            OpenWindow(c.format);
            TestDriver::typeInto("form_d", "DatePicker_1", typed);
            EXPECT_EQ(Value(), c.date);
            EXPECT_EQ(changes, 1);  // once, when the date was complete

            // Into a filled picker: the whole date is replaced, even where
            // today's day or month would not hold the typed one.
            SETPROPERTY("form_d", "DatePicker_1", "Value", QDate(2023, 2, 28));
            TestDriver::typeInto("form_d", "DatePicker_1", typed);
            EXPECT_EQ(Value(), c.date);
            LeavePicker();
            EXPECT_EQ(Shown(), c.withSeparators);
            CloseWindow();
            changes = 0;
        }
    }
    // Day and month without their leading zero, separated.
    OpenWindow("dd.mm.yyyy");
    TestDriver::typeInto("form_d", "DatePicker_1", "1.5.2015");
    EXPECT_EQ(Value(), QDate(2015, 5, 1));
    LeavePicker();
    EXPECT_EQ(Shown(), "01.05.2015");
}

TEST_F(DatePickerTyping, TextThatIsNoDateLeavesThePickerAsItWas) {
    OpenWindow("dd.mm.yyyy");
    SETPROPERTY("form_d", "DatePicker_1", "Value", QDate(2006, 12, 24));
    changes = 0;
    TestDriver::typeInto("form_d", "DatePicker_1", "31022015");
    EXPECT_EQ(Value(), QDate(2006, 12, 24));
    TestDriver::typeInto("form_d", "DatePicker_1", "12.5");
    EXPECT_EQ(Value(), QDate(2006, 12, 24));
    LeavePicker();
    EXPECT_EQ(Shown(), "24.12.2006");
    EXPECT_EQ(changes, 0);

    // Into an empty picker: it stays empty and shows nothing once left.
    SETPROPERTY("form_d", "DatePicker_1", "Value", QDate());
    TestDriver::typeInto("form_d", "DatePicker_1", "99");
    EXPECT_FALSE(Value().isValid());
    LeavePicker();
    EXPECT_EQ(Shown(), "");
}

// A date that does not exist, typed in each language's order, must not be
// replaced by the previous date without a word when the user moves on.
TEST_F(DatePickerTyping, ADateThatDoesNotExistIsRefusedWhereItIsTypedUntilMendedOrEscaped) {
    struct Case {
        const char* format;
        const char* impossible;
        const char* mended;
        QDate mendedDate;
    };
    const Case cases[] = {{"dd.mm.yyyy", "31.02.2026", "28.02.2026", QDate(2026, 2, 28)},
                          {"mm/dd/yyyy", "02/31/2026", "02/28/2026", QDate(2026, 2, 28)},
                          {"dd/mm/yyyy", "31/02/2026", "28/02/2026", QDate(2026, 2, 28)}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        OpenWindow(c.format);
        SETPROPERTY("form_d", "DatePicker_1", "Value", QDate(2026, 12, 31));
        changes = 0;
        int shortcutsRun = 0;
        QWidget* window = TestDriver::widget("form_d");
        auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), window);
        QObject::connect(save, &QShortcut::activated, [&shortcutsRun] { ++shortcutsRun; });
        auto* picker =
            qobject_cast<kesp::DatePicker*>(TestDriver::widget("form_d", "DatePicker_1"));
        QWidget* textBox = TestDriver::widget("form_d", "t_name");
        const QColor normal = picker->palette().color(QPalette::Base);

        TestDriver::typeInto("form_d", "DatePicker_1", c.impossible);
        QTest::keyClick(picker, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), picker);
        EXPECT_EQ(picker->text(), c.impossible);
        EXPECT_EQ(picker->palette().color(QPalette::Base), QColor(255, 0, 0));
        auto* hint = window->findChild<QLabel*>(kesp::kNoDateHintName);
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->isVisible());
        EXPECT_TRUE(hint->text().contains(c.impossible)) << hint->text().toStdString();

        // Neither a click elsewhere, nor Return, nor Shift+Tab, nor a shortcut
        // of the window gets past it.
        QTest::mouseClick(textBox, Qt::LeftButton);
        QTest::keyClick(picker, Qt::Key_Return);
        QTest::keyClick(picker, Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(picker, Qt::Key_S, Qt::ControlModifier);
        EXPECT_EQ(QApplication::focusWidget(), picker);
        EXPECT_EQ(picker->text(), c.impossible);
        EXPECT_EQ(shortcutsRun, 0);
        EXPECT_EQ(Value(), QDate(2026, 12, 31));
        EXPECT_EQ(changes, 0);

        // Escape restores the previous date and leaves the window open.
        QTest::keyClick(picker, Qt::Key_Escape);
        EXPECT_TRUE(TestDriver::isOpen("form_d"));
        EXPECT_EQ(Value(), QDate(2026, 12, 31));
        EXPECT_EQ(picker->text(), QDate(2026, 12, 31).toString(kesp::QtDateFormat(c.format)));
        EXPECT_EQ(picker->palette().color(QPalette::Base), normal);
        EXPECT_FALSE(hint->isVisible());

        // Refused again, then mended: the real date is taken and Tab moves on.
        TestDriver::typeInto("form_d", "DatePicker_1", c.impossible);
        QTest::keyClick(picker, Qt::Key_Tab);
        TestDriver::typeInto("form_d", "DatePicker_1", c.mended);
        EXPECT_EQ(Value(), c.mendedDate);
        EXPECT_EQ(picker->palette().color(QPalette::Base), normal);
        QTest::keyClick(picker, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), picker);
        CloseWindow();
    }
}

TEST_F(DatePickerTyping, DeleteAndBackspaceEditThePlaceUnderTheCursorOnlyClearingAllEmpties) {
    OpenWindow("dd/mm/yyyy");
    SETPROPERTY("form_d", "DatePicker_1", "Value", QDate(2021, 3, 15));
    auto* picker = qobject_cast<QLineEdit*>(TestDriver::widget("form_d", "DatePicker_1"));
    picker->setFocus();
    picker->setCursorPosition(10);
    TestDriver::pressKey("form_d", "DatePicker_1", Qt::Key_Backspace);  // 15/03/202_
    EXPECT_EQ(Value(), QDate(2021, 3, 15));
    picker->setCursorPosition(9);
    QTest::keyClick(picker, '2');
    EXPECT_EQ(Value(), QDate(2022, 3, 15));

    picker->setCursorPosition(0);
    TestDriver::pressKey("form_d", "DatePicker_1", Qt::Key_Delete);  // _5/03/2022: the 5th
    EXPECT_EQ(Value(), QDate(2022, 3, 5));
    EXPECT_TRUE(Value().isValid());

    TestDriver::clearText("form_d", "DatePicker_1");
    EXPECT_FALSE(Value().isValid());
    LeavePicker();
    EXPECT_EQ(Shown(), "");
}

TEST_F(DatePickerTyping, UpAndDownStepThePartUnderTheCursor) {
    OpenWindow("mm/dd/yyyy");
    SETPROPERTY("form_d", "DatePicker_1", "Value", QDate(2024, 1, 31));
    auto* picker = qobject_cast<QLineEdit*>(TestDriver::widget("form_d", "DatePicker_1"));
    picker->setFocus();
    picker->setCursorPosition(4);  // the day
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(Value(), QDate(2024, 2, 1));
    picker->setCursorPosition(1);  // the month
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(Value(), QDate(2024, 1, 1));
    picker->setCursorPosition(8);  // the year
    QTest::keyClick(picker, Qt::Key_Up);
    EXPECT_EQ(Value(), QDate(2025, 1, 1));
}

TEST_F(DatePickerTyping, CalendarPicksADateAndItsClearButtonEmptiesThePicker) {
    OpenWindow("dd.mm.yyyy");
    QWidget* picker = TestDriver::widget("form_d", "DatePicker_1");
    TestDriver::pressKey("form_d", "DatePicker_1", Qt::Key_F4);
    auto* calendar = picker->findChild<QCalendarWidget*>();
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2024, 7, 9));  // today
    emit calendar->clicked(QDate(2024, 7, 20));
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(Value(), QDate(2024, 7, 20));
    EXPECT_EQ(changes, 1);

    QTest::keyClick(picker, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(calendar->isVisible());
    QPushButton* clear = calendar->parentWidget()->findChild<QPushButton*>();
    ASSERT_TRUE(clear->isVisible());
    clear->click();
    EXPECT_FALSE(Value().isValid());
    EXPECT_EQ(changes, 2);
}

TEST_F(DatePickerTyping, APickerThatRefusesTheEmptyDateKeepsItsDate) {
    OpenWindow("dd.mm.yyyy");
    EXPECT_FALSE(TestDriver::read("form_d", "DatePicker_2", "AllowEmpty").toBool());
    EXPECT_EQ(Value("DatePicker_2"), QDate(2024, 7, 9));  // today, without a value given

    SETPROPERTY("form_d", "DatePicker_2", "Value", QDate(1970, 5, 17));
    TestDriver::clearText("form_d", "DatePicker_2");
    EXPECT_EQ(Value("DatePicker_2"), QDate(1970, 5, 17));
    LeavePicker();
    EXPECT_EQ(Shown("DatePicker_2"), "17.05.1970");
    SETPROPERTY("form_d", "DatePicker_2", "Value", QDate());
    EXPECT_EQ(Value("DatePicker_2"), QDate(1970, 5, 17));

    QWidget* picker = TestDriver::widget("form_d", "DatePicker_2");
    TestDriver::pressKey("form_d", "DatePicker_2", Qt::Key_F4);
    QPushButton* clear = picker->findChild<QPushButton*>();
    EXPECT_FALSE(clear->isVisible());
    picker->findChild<QCalendarWidget*>()->window()->hide();

    // Switched at run time: an empty picker that refuses the empty date shows
    // today; allowed again, it can be emptied.
    SETPROPERTY("form_d", "DatePicker_1", "AllowEmpty", false);
    EXPECT_EQ(Value(), QDate(2024, 7, 9));
    EXPECT_EQ(changes, 1);
    SETPROPERTY("form_d", "DatePicker_1", "allowempty", true);
    SETPROPERTY("form_d", "DatePicker_1", "Value", QDate());
    EXPECT_FALSE(Value().isValid());
}

}  // namespace
