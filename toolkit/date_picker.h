// A date picker that can show no date at all: the empty date of the tables.
//
// The user types a date in the date format in force, with or without its
// separators ("24.12.2006" or "24122006"), or picks it from the calendar that
// F4, Alt+Down or the arrow at the right end opens. The typed date is taken as
// soon as it is complete. A typed text that is no date ("31.02.2026", a part
// missing) leaves the value as it was and is refused where it was typed: Tab,
// Return, a click elsewhere in the window and the window's shortcuts leave the
// focus in the picker, which shows the text on red with a hint under it, until
// the text is a date or Escape restores the date the picker had. No step of
// the window runs meanwhile, however its button is pressed (RunStep,
// action_dispatch.h): it would work with the date the picker had. When the
// program moves the focus elsewhere, the picker shows its date again. Clicking or tabbing into a
// picker selects its whole date, so typing replaces it. Delete and Backspace edit the place under
// the cursor; only clearing all of it, or the calendar's clear button, empties the picker. Up and
// Down step the day, month or year under the cursor.
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
#include <QPalette>

#include <functional>

class QCalendarWidget;

namespace kesp {

class CalendarPopup;

// The object name of the hint a picker shows under itself when it refuses a text.
inline constexpr char kNoDateHintName[] = "noDateHint";

// The hint for a typed text that is no date. The program installs one in the
// interface language; until then it is English.
using NoDateHint = std::function<QString(const QString& typed)>;
void SetNoDateHint(NoDateHint hint);

// Has the picker of `window` that holds a typed text that is no date refuse
// it (DatePicker::refuseTypedText): the window's focused picker, else the first
// such picker. A picker the user cannot reach now, hidden or switched off, is
// passed over. False when no picker of the window holds such a text.
bool RefuseTextThatIsNoDateIn(QWidget* window);

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

    // The user typed a text that is no date and has not mended it yet.
    bool holdsTextThatIsNoDate() const;

    // Refuses that text as Tab does: the picker takes the focus (of its
    // window, should another window be in front) and shows the text on red
    // with the hint under it. Requires: holdsTextThatIsNoDate().
    void refuseTypedText();

  signals:
    void valueChanged();  // whenever the value changes, set or typed

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    friend class CalendarPopup;

    void takeTypedText();
    void markRefused(bool refused);
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
    bool markedRefused_ = false;
    QPalette normalPalette_;  // the palette before the text was marked refused
};

}  // namespace kesp
