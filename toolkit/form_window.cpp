#include "toolkit/form_window.h"

#include "toolkit/action_dispatch.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/fault_handler.h"
#include "toolkit/looks.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

#include <vector>

namespace kesp {
namespace {

Action& HelpAction() {
    static Action help;
    return help;
}

std::vector<QPointer<FormWindow>>& Registry() {
    static std::vector<QPointer<FormWindow>> windows;
    return windows;
}

// Window widths and heights are outer sizes of the classic desktop window the
// layouts were drawn on: its title bar takes 27 pixels of the height, and the
// controls fill what is left (the main window's footer band ends exactly there).
// Its side borders are thin enough that the layouts use the whole width, so
// only the height loses the title bar.
constexpr int kTitleBarHeight = 27;

// A modal window is a dialog of the window that opened it: the window manager
// keeps it above that window, and it can be neither minimised (which would
// leave the program blocked with nothing to close) nor maximised.
Qt::WindowFlags FlagsFor(WindowKind kind, const WindowProperties& p) {
    const bool modal = kind == WindowKind::Modal;
    Qt::WindowFlags flags = (modal ? Qt::Dialog : Qt::Window) | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                            Qt::CustomizeWindowHint;
    if (!p.noMinimize && !modal) flags |= Qt::WindowMinimizeButtonHint;
    if (!p.noMaximize && !modal) flags |= Qt::WindowMaximizeButtonHint;
    if (p.topmost || kind == WindowKind::Standard) flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

}  // namespace

FormWindow::FormWindow(QString name, WindowKind kind, const WindowProperties& properties)
    : QWidget(nullptr), name_(std::move(name)), kind_(kind), properties_(properties) {
    setObjectName(name_);
    setWindowFlags(FlagsFor(kind, properties));
    setWindowTitle(properties.title);
    setOuterSize(properties.width, properties.height);
    if (properties.resizable) setMinimumSize(size());
    move(properties.col, properties.row);
    SetBackground(this, properties.background.isValid() ? properties.background : Qt::white);
    const QIcon icon = LoadIcon(properties.icon);
    if (!icon.isNull()) setWindowIcon(icon);
    if (kind == WindowKind::Modal) setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Escape closes a modal or standard window as its close box does; the
    // main window stays, since closing it ends the program.
    if (kind != WindowKind::Main) {
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        escape->setContext(Qt::WindowShortcut);
        connect(escape, &QShortcut::activated, this, &QWidget::close);
    }
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [] { RunAction(HelpAction()); });
}

FormWindow::~FormWindow() {
    UnregisterFormWindow(this);
}

void FormWindow::setOuterSize(int width, int height) {
    const QSize client(width, std::max(0, height - kTitleBarHeight));
    if ((properties_.noMaximize || kind_ == WindowKind::Modal) && !properties_.resizable)
        setFixedSize(client);
    else
        resize(client);
}

QSize FormWindow::outerSize() const {
    return {width(), height() + kTitleBarHeight};
}

Control* FormWindow::addControl(std::unique_ptr<Control> control) {
    const QString key = control->name().toLower();
    if (controls_.count(key) != 0)
        RaiseFormsFault(
            QStringLiteral("Control %1 of %2 already defined.").arg(control->name(), name_));
    if (control->widget() != nullptr && control->widget()->objectName().isEmpty())
        control->widget()->setObjectName(control->name());
    Control* added = control.get();
    controls_.emplace(key, std::move(control));
    return added;
}

Control* FormWindow::findControl(const QString& name) const {
    const auto found = controls_.find(name.toLower());
    return found == controls_.end() ? nullptr : found->second.get();
}

Control* FormWindow::control(const QString& name) const {
    Control* found = findControl(name);
    if (found == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 of %2 not defined.").arg(name, name_));
    return found;
}

void FormWindow::release() {
    released_ = true;
    close();
}

void FormWindow::addWindowKey(const QKeySequence& key, const Action& action) {
    auto* shortcut = new QShortcut(key, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, action] { RunStep(this, action); });
    if (windowKeys_.isEmpty()) qApp->installEventFilter(this);
    windowKeys_.append(key);
}

// A text box offers to take keys like Ctrl+E (the end of the line) for
// itself; the window's own keys go to the window instead.
bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (!windowKeys_.contains(pressed)) return false;
    event->ignore();
    return true;
}

QList<Control*> FormWindow::controls() const {
    QList<Control*> all;
    for (const auto& [key, control] : controls_)
        all << control.get();
    return all;
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || kind_ != WindowKind::Modal) return;
    if (!(windowState() & Qt::WindowMinimized)) return;
    QTimer::singleShot(0, this, [this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    RunOutsideTurns(this, [this] { RunAction(properties_.onResize); });
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    if (!released_ && properties_.mayClose) {
        if (asking_) {  // closed again while the question is open
            event->ignore();
            return;
        }
        bool may = true;
        asking_ = true;
        // A fault in the question is handled (and logged) like any action's.
        RunAction([this, &may] { may = properties_.mayClose(); });
        asking_ = false;
        if (!may) {
            event->ignore();
            return;
        }
    }
    closing_ = true;
    // The name is free as soon as the window closes, so the release action
    // (and anything after it) may define the window again.
    UnregisterFormWindow(this);
    RunAction(properties_.onRelease);
    event->accept();
    emit closed();
    deleteLater();
}

FormWindow* FindFormWindow(const QString& name) {
    for (const auto& window : Registry())
        if (window != nullptr && window->name().compare(name, Qt::CaseInsensitive) == 0)
            return window;
    return nullptr;
}

FormWindow* FormWindowNamed(const QString& name) {
    FormWindow* window = FindFormWindow(name);
    if (window == nullptr) RaiseFormsFault(QStringLiteral("Window %1 is not defined.").arg(name));
    return window;
}

QList<FormWindow*> FormWindows() {
    QList<FormWindow*> windows;
    for (const auto& window : Registry())
        if (window != nullptr) windows << window;
    return windows;
}

void RegisterFormWindow(FormWindow* window) {
    if (FindFormWindow(window->name()) != nullptr)
        RaiseFormsFault(QStringLiteral("Window %1 already defined.").arg(window->name()));
    Registry().emplace_back(window);
}

void UnregisterFormWindow(FormWindow* window) {
    auto& windows = Registry();
    std::erase_if(windows, [window](const QPointer<FormWindow>& w) {
        return w == nullptr || w.data() == window;
    });
}

void SetHelpAction(Action action) {
    HelpAction() = std::move(action);
}

FormWindow* OpenModalWindow() {
    for (FormWindow* window : FormWindows())
        if (window->kind() == WindowKind::Modal && window->isVisible()) return window;
    return nullptr;
}

}  // namespace kesp
