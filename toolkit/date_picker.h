// A date picker that can show no date at all: the empty date of the tables.
//
// The user types a date in the date format in force, with or without its
// separators ("24.12.2006" or "24122006"), or picks it from the calendar that
// F4, Alt+Down or the arrow at the right end opens. The typed date is taken as
// soon as it is complete; a typed text that is no date leaves the value as it
// was and is replaced by it when the picker loses the focus or Return is
// pressed. Clicking or tabbing into a picker selects its whole date, so typing
// replaces it. Delete and Backspace edit the place under the cursor; only
// clearing all of it, or the calendar's clear button, empties the picker.
// Up and Down step the day, month or year under the cursor.
//
// A picker that refuses the empty date (setAllowsEmpty(false)) keeps its date
// when the user or the program tries to empty it, and shows today's date
// until it is given one.
//
// Setting a null QDate shows an empty field; reading an empty picker gives a
// null QDate. Dates are shown in the date format in force when the value is
// set (or, for an empty picker, when the user starts typing).
#pragma once

#include <QDate>
#include <QLineEdit>

class QCalendarWidget;

namespace kesp {

class CalendarPopup;

class DatePicker : public QLineEdit {
    Q_OBJECT
  public:
    explicit DatePicker(QWidget* parent = nullptr);

    QDate value() const;               // null when empty
    void setValue(const QDate& date);  // null: empty, unless the empty date is refused

    bool allowsEmpty() const { return allowsEmpty_; }
    void setAllowsEmpty(bool allows);  // refusing it fills an empty picker with today

    // What a click into the picker leaves: the focus in it and its whole date
    // selected, so that typing replaces it.
    void readyForTyping();

    void openCalendar();
    QCalendarWidget* calendarWidget() const;

  signals:
    void valueChanged();  // whenever the value changes, set or typed

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend class CalendarPopup;

    void takeTypedText();
    void stepPartUnderCursor(int steps);
    void takeValue(const QDate& date);  // the user's choice; emits when it changes
    void showValue();                   // the text for the value, in the format in force
    void showInputPlaces();             // the separators of an empty picker, ready for typing
    static QDate Today();

    QDate value_;
    bool allowsEmpty_ = true;
    QString format_;  // the date format the text is shown and read in
    CalendarPopup* popup_ = nullptr;
    bool selectOnRelease_ = false;
};

}  // namespace kesp
