// The test driver: lets a test take the user's place in front of any window
// of the program, without a display and without waiting.
//
// While a TestDriver exists:
//  - message boxes are not shown; each is recorded (kind, title, text) and
//    answered from the script (answerNext), or with OK / Yes when the script
//    is empty;
//  - file questions are answered from their own script, or cancelled;
//  - activating a main or modal window returns as soon as the window is shown
//    and initialised, as the active window; the test drives it and closes it
//    (closeWindow);
//  - the program-wide fault handler, when installed, records its stop box and
//    does not end the process when interceptProcessEnd() was called: the fault
//    is then thrown as kesp::FaultException to the code that raised it.
// Destroying the driver closes every window still open and restores the
// real clock.
//
// Controls are found by window and control name (case ignored), as the
// program names them.
//
// Single-threaded: all calls come from the test's thread, the GUI thread.
#pragma once

#include <QColor>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;

namespace kesp::test {

struct MessageBoxRecord {
    QString kind;  // "MSGBOX", "MSGEXCLAMATION", "MSGYESNO" or "STOP"
    QString title;
    QString text;  // line breaks as "\n"
};

class TestDriver {
  public:
    TestDriver();
    ~TestDriver();
    TestDriver(const TestDriver&) = delete;
    TestDriver& operator=(const TestDriver&) = delete;

    // ---- Message boxes ----
    void answerNext(bool yes);  // queued: the next MSGYESNO gets this answer
    // Queued: the next file question (GETFILE) is answered with this path;
    // with nothing queued it is cancelled. Each question asked is recorded.
    void answerNextFile(const QString& path);
    const QStringList& fileQuestions() const;  // their titles
    // Queued: the next long piece of work (WorkProgress) is cancelled once
    // `done` of its steps are done, as the user's Cancel does.
    void cancelNextWorkAt(int done);
    const QList<MessageBoxRecord>& messageBoxes() const;
    void clearMessageBoxes();

    // ---- Process end ----
    void interceptProcessEnd();
    bool processEnded() const;  // the fault handler tried to end the process
    int exitCode() const;

    // ---- Clock ----
    void setToday(const QDate& today);

    // ---- Controls, as the user does it ----
    // Clicks a button, image button, tool button, check box or menu item; a
    // disabled or hidden control ignores the click, as on screen.
    static void click(const QString& window, const QString& control);
    // Clicks into the control and types keystroke by keystroke, so the change
    // action runs after each one: a text box takes the text at the end of its
    // own, a date picker has its whole date selected and replaced.
    static void typeInto(const QString& window, const QString& control, const QString& text);
    // Selects all and deletes it with keystrokes.
    static void clearText(const QString& window, const QString& control);
    // Presses one key on the control (Qt::Key_Delete, Qt::Key_Down, ...).
    static void pressKey(const QString& window, const QString& control, int key);
    // Chooses entry n (1-based) of a combo box, list box, radio group or tab,
    // or row n of a browse (1 = the first row the browse holds).
    static void select(const QString& window, const QString& control, int n);

    // ---- Reading ----
    static QVariant read(const QString& window, const QString& control,
                         const QString& property = QStringLiteral("Value"));
    static bool isShown(const QString& window, const QString& control);
    // Rows a browse holds and the text of one cell (row and column 1-based).
    static int browseRows(const QString& window, const QString& control);
    static QString browseCell(const QString& window, const QString& control, int row, int column);
    // The text colour of a browse's row (1-based); invalid when the list's own.
    static QColor browseRowColour(const QString& window, const QString& control, int row);
    // Row of the browse's first line on screen (1-based), 0 when empty.
    static int browseTopRow(const QString& window, const QString& control);

    // ---- Windows ----
    static bool isOpen(const QString& window);
    static void closeWindow(const QString& window);  // as the close box does
    static QWidget* widget(const QString& window, const QString& control = {});

  private:
    QList<MessageBoxRecord> shown_;
    QList<bool> answers_;
    QStringList files_;
    QStringList fileQuestions_;
    QList<int> cancelAt_;
    bool interceptEnd_ = false;
    bool ended_ = false;
    int exitCode_ = 0;
};

}  // namespace kesp::test
