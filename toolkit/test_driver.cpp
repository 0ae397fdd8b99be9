#include "toolkit/test_driver.h"

#include "store/xbase.h"
#include "toolkit/browse_view.h"
#include "toolkit/driver_seam.h"
#include "toolkit/fault_handler.h"
#include "toolkit/form_window.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace kesp::test {
namespace {

Control* Find(const QString& window, const QString& control) {
    return FormWindowNamed(window)->control(control);
}

BrowseView* Browse(const QString& window, const QString& control) {
    auto* view = qobject_cast<BrowseView*>(Find(window, control)->widget());
    if (view == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 of %2 is not a browse.").arg(control, window));
    return view;
}

QWidget* TypingTarget(const QString& window, const QString& control) {
    QWidget* target = Find(window, control)->typingTarget();
    if (target == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 of %2 takes no typing.").arg(control, window));
    return target;
}

// One keystroke for one character. Printable ASCII goes through its key code,
// a line break is the Return key and a tab the Tab key, as a keyboard sends
// them; any other character ("ö", "€", "😀") has no key code of its own and
// arrives as the text of the key event, as an input method or a dead-key
// sequence delivers it.
void TypeCharacter(QWidget* target, char32_t character) {
    if (character >= 0x20 && character < 0x7f) {
        QTest::keyClick(target, static_cast<char>(character));
    } else if (character == U'\n') {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_Return, QStringLiteral("\r"),
                            Qt::NoModifier);
    } else if (character == U'\t') {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_Tab, QStringLiteral("\t"),
                            Qt::NoModifier);
    } else {
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString::fromUcs4(&character, 1),
                            Qt::NoModifier);
    }
}

}  // namespace

TestDriver::TestDriver() {
    seam::activationReturnsAtOnce = true;
    seam::answerMessageBox = [this](const seam::MessageBoxShown& box) {
        shown_.append({box.kind, box.title, box.text});
        if (box.kind == QLatin1String("MSGYESNO") && !answers_.isEmpty())
            return answers_.takeFirst();
        return true;
    };
    seam::answerFileQuestion = [this](const seam::FileQuestion& question) {
        fileQuestions_.append(question.title);
        return files_.isEmpty() ? QString() : files_.takeFirst();
    };
    seam::cancelWork = [this](int done, int /*total*/) {
        if (cancelAt_.isEmpty() || done < cancelAt_.first()) return false;
        cancelAt_.removeFirst();
        return true;
    };
}

void TestDriver::cancelNextWorkAt(int done) {
    cancelAt_.append(done);
}

TestDriver::~TestDriver() {
    for (FormWindow* window : FormWindows())
        window->release();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    seam::activationReturnsAtOnce = false;
    seam::answerMessageBox = nullptr;
    seam::answerFileQuestion = nullptr;
    seam::cancelWork = nullptr;
    seam::endProcess = nullptr;
    SET_TODAY_FOR_TESTS(QDate());
}

void TestDriver::answerNext(bool yes) {
    answers_.append(yes);
}

void TestDriver::answerNextFile(const QString& path) {
    files_.append(path);
}

const QStringList& TestDriver::fileQuestions() const {
    return fileQuestions_;
}

const QList<MessageBoxRecord>& TestDriver::messageBoxes() const {
    return shown_;
}

void TestDriver::clearMessageBoxes() {
    shown_.clear();
}

void TestDriver::interceptProcessEnd() {
    interceptEnd_ = true;
    seam::endProcess = [this](int code) {
        ended_ = true;
        exitCode_ = code;
    };
}

bool TestDriver::processEnded() const {
    return ended_;
}

int TestDriver::exitCode() const {
    return exitCode_;
}

void TestDriver::setToday(const QDate& today) {
    SET_TODAY_FOR_TESTS(today);
}

void TestDriver::click(const QString& window, const QString& control) {
    if (!Find(window, control)->userClick())
        RaiseFormsFault(QStringLiteral("Control %1 of %2 cannot be clicked.").arg(control, window));
}

void TestDriver::typeInto(const QString& window, const QString& control, const QString& text) {
    QWidget* target = TypingTarget(window, control);
    Find(window, control)->focusForTyping();
    for (const char32_t character : text.toUcs4())
        TypeCharacter(target, character);
}

void TestDriver::clearText(const QString& window, const QString& control) {
    QWidget* target = TypingTarget(window, control);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(target, Qt::Key_Backspace);
}

void TestDriver::pressKey(const QString& window, const QString& control, int key) {
    QWidget* target = Find(window, control)->widget();
    if (target == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 of %2 takes no keys.").arg(control, window));
    target->setFocus();
    QTest::keyClick(target, static_cast<Qt::Key>(key));
}

void TestDriver::select(const QString& window, const QString& control, int n) {
    if (!Find(window, control)->userSelect(n))
        RaiseFormsFault(
            QStringLiteral("Control %1 of %2 has nothing to select.").arg(control, window));
}

QVariant TestDriver::read(const QString& window, const QString& control, const QString& property) {
    return GETPROPERTY(window, control, property);
}

bool TestDriver::isShown(const QString& window, const QString& control) {
    QWidget* target = Find(window, control)->widget();
    return target != nullptr && target->isVisibleTo(target->window());
}

int TestDriver::browseRows(const QString& window, const QString& control) {
    return Browse(window, control)->rows().rowCount();
}

QString TestDriver::browseCell(const QString& window, const QString& control, int row, int column) {
    const BrowseModel& rows = Browse(window, control)->rows();
    return rows.data(rows.index(row - 1, column - 1)).toString();
}

QColor TestDriver::browseRowColour(const QString& window, const QString& control, int row) {
    const BrowseModel& rows = Browse(window, control)->rows();
    return rows.data(rows.index(row - 1, 0), Qt::ForegroundRole).value<QColor>();
}

int TestDriver::browseTopRow(const QString& window, const QString& control) {
    BrowseView* view = Browse(window, control);
    return view->rows().rowCount() == 0 ? 0 : view->topRow() + 1;
}

bool TestDriver::isOpen(const QString& window) {
    return FindFormWindow(window) != nullptr;
}

void TestDriver::closeWindow(const QString& window) {
    FormWindowNamed(window)->close();
}

QWidget* TestDriver::widget(const QString& window, const QString& control) {
    if (control.isEmpty()) return FormWindowNamed(window);
    return Find(window, control)->widget();
}

}  // namespace kesp::test
