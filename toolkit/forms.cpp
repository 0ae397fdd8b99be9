// Defining windows and controls, activating windows, and the run-time access
// by name (SETPROPERTY, GETPROPERTY, DOMETHOD).
#include "toolkit/forms.h"

#include "toolkit/accessible_names.h"
#include "toolkit/containers.h"
#include "toolkit/context_menu.h"
#include "toolkit/controls.h"
#include "toolkit/driver_seam.h"
#include "toolkit/fault_handler.h"
#include "toolkit/form_window.h"
#include "toolkit/reading_order.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

#include <algorithm>
#include <vector>

using kesp::Control;
using kesp::FormWindow;
using kesp::RaiseFormsFault;

namespace {

// What is being defined now: the window, the tab control and page that new
// controls go on, and the toolbar that new tool buttons go on.
struct Definition {
    QPointer<FormWindow> window;
    kesp::TabControl* tab = nullptr;
    QPointer<QWidget> page;
    QPointer<FormWindow> toolBarWindow;
    kesp::ToolBarControl* toolBar = nullptr;
    QPointer<QMenu> menu;  // the context menu whose items are defined now
};

Definition& Defining() {
    static Definition definition;
    return definition;
}

FormWindow* WindowBeingDefined(const QString& control) {
    FormWindow* window = Defining().window;
    if (window == nullptr)
        RaiseFormsFault(
            QStringLiteral("Control %1 defined outside a window definition.").arg(control));
    return window;
}

QWidget* ParentForControls(const QString& control) {
    FormWindow* window = WindowBeingDefined(control);
    if (Defining().tab != nullptr) {
        if (Defining().page == nullptr)
            RaiseFormsFault(
                QStringLiteral("Control %1 defined in a tab outside its pages.").arg(control));
        return Defining().page;
    }
    return window;
}

template <class Properties>
void DefineControl(const QString& name, const Properties& p,
                   std::unique_ptr<Control> (*make)(QWidget*, const QString&, const Properties&)) {
    QWidget* parent = ParentForControls(name);
    WindowBeingDefined(name)->addControl(make(parent, name, p));
}

QString Lower(const QString& name) {
    return name.toLower();
}

void Center(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size();
    window->move(area.x() + (area.width() - frame.width()) / 2,
                 area.y() + (area.height() - frame.height()) / 2);
}

FormWindow* MainWindow() {
    for (FormWindow* candidate : kesp::FormWindows())
        if (candidate->kind() == WindowKind::Main) return candidate;
    return nullptr;
}

// A standard window opens beside the main window, which stays usable: to its
// right, or to its left when the screen has no room on the right. When
// neither side has room it is centred on the screen and no longer kept on top,
// so that the user can bring the main window in front of it.
void PlaceBesideMainWindow(FormWindow* window) {
    FormWindow* main = MainWindow();
    if (main == nullptr) return;
    QScreen* screen = main->screen() ? main->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect beside = main->frameGeometry();
    // Before it is shown the window's frame is not known yet; it gets the
    // same frame as the main window.
    const QSize size = window->isVisible()
                           ? window->frameGeometry().size()
                           : window->size() + (beside.size() - main->geometry().size());

    const int roomRight = area.right() - beside.right();
    const int roomLeft = beside.left() - area.left();
    int x = 0;
    if (roomRight >= size.width()) {
        x = beside.right() + 1;
    } else if (roomLeft >= size.width()) {
        x = beside.left() - size.width();
    } else {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, false);
        window->move(area.x() + (area.width() - size.width()) / 2,
                     area.y() + (area.height() - size.height()) / 2);
        return;
    }
    const int y = std::clamp(beside.top(), area.top(),
                             std::max(area.top(), area.bottom() + 1 - size.height()));
    window->move(x, y);
}

// A modal window is kept above the window it was opened from: the modal
// window open before it, else the main window.
void KeepAboveOpener(FormWindow* window) {
    FormWindow* opener = MainWindow();
    for (FormWindow* candidate : kesp::FormWindows())  // in the order they were defined
        if (candidate != window && candidate->kind() == WindowKind::Modal && candidate->isVisible())
            opener = candidate;
    if (opener == nullptr || opener->windowHandle() == nullptr) return;
    window->winId();  // the native window, to carry the relation
    window->windowHandle()->setTransientParent(opener->windowHandle());
}

void BringToFront(QWidget* window) {
    // The offscreen platform of the tests has no stacking of windows and no
    // window manager; the window becomes the active one at once, as the
    // window manager makes it on a desktop.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        QApplication::setActiveWindow(window);
        return;
    }
    window->raise();
    window->activateWindow();
}

// An initialisation may work for a while and tell the user so step by step
// (the statistics, a reorganisation with its progress bar): the window must
// be on screen and painted before it starts, not only once it returns to the
// event loop. Only the window system's events and what painting posts are
// handled meanwhile: no input, and no timer, so that work done in steps
// between the user's actions (the search over everything reading ahead)
// waits until the window is open instead of holding up its showing.
void WaitUntilOnScreen(QWidget* window) {
    constexpr QEventLoop::ProcessEventsFlags kOnlyShowing =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::X11ExcludeTimers;
    QElapsedTimer waited;
    waited.start();
    const auto exposed = [window] {
        return window->windowHandle() != nullptr && window->windowHandle()->isExposed();
    };
    while (!exposed() && waited.elapsed() < 1000)
        QCoreApplication::processEvents(kOnlyShowing, 10);
    QCoreApplication::processEvents(kOnlyShowing);
}

Control* ControlNamed(const QString& window, const QString& control) {
    return kesp::FormWindowNamed(window)->control(control);
}

[[noreturn]] void UnknownProperty(const QString& window, const QString& control,
                                  const QString& property) {
    RaiseFormsFault(QStringLiteral("Property %1 of control %2 of %3 not supported.")
                        .arg(property, control, window));
}

}  // namespace

// ---- Windows -------------------------------------------------------------------

void _DEFINEWINDOW(const QString& name, WindowKind kind, const WindowProperties& properties) {
    if (kesp::FindFormWindow(name) != nullptr)
        RaiseFormsFault(QStringLiteral("Window %1 already defined.").arg(name));
    if (Defining().window != nullptr)
        RaiseFormsFault(QStringLiteral("Window %1 defined inside the definition of %2.")
                            .arg(name, Defining().window->name()));
    if (kind == WindowKind::Main)
        for (FormWindow* window : kesp::FormWindows())
            if (window->kind() == WindowKind::Main)
                RaiseFormsFault(QStringLiteral("Main window %1 defined while main window %2 is "
                                               "open.")
                                    .arg(name, window->name()));
    auto* window = new FormWindow(name, kind, properties);
    kesp::RegisterFormWindow(window);
    Defining() = Definition{};
    Defining().window = window;
}

void _DEFINEMODALWINDOW(const QString& name, const WindowProperties& properties) {
    _DEFINEWINDOW(name, WindowKind::Modal, properties);
}

void _ENDWINDOW() {
    if (Defining().window == nullptr)
        RaiseFormsFault(QStringLiteral("End of window without a window."));
    if (Defining().tab != nullptr)
        RaiseFormsFault(QStringLiteral("End of window %1 inside a tab definition.")
                            .arg(Defining().window->name()));
    if (Defining().menu != nullptr)
        RaiseFormsFault(QStringLiteral("End of window %1 inside a menu definition.")
                            .arg(Defining().window->name()));
    kesp::OrderTabsByReading(Defining().window);
    Defining().window = nullptr;
}

void _ACTIVATEWINDOW(const QString& name) {
    FormWindow* window = kesp::FormWindowNamed(name);
    if (Defining().window == window)
        RaiseFormsFault(
            QStringLiteral("Window %1 activated before its definition ended.").arg(name));
    if (FormWindow* modal = kesp::OpenModalWindow();
        modal != nullptr && modal != window && window->kind() != WindowKind::Modal)
        RaiseFormsFault(QStringLiteral("Window %1 activated while the modal window %2 is open.")
                            .arg(name, modal->name()));
    if (window->isVisible()) {
        BringToFront(window);
        return;
    }

    QPointer<FormWindow> guard(window);
    QEventLoop loop;
    bool closed = false;
    QObject::connect(window, &FormWindow::closed, &loop, [&closed, &loop] {
        closed = true;
        loop.quit();
    });
    if (window->kind() == WindowKind::Standard) PlaceBesideMainWindow(window);
    if (window->kind() == WindowKind::Modal) KeepAboveOpener(window);
    window->show();
    BringToFront(window);
    WaitUntilOnScreen(window);
    if (guard == nullptr || closed) return;
    // A window whose preparation a write failure stopped cannot be used: it
    // closes again after the message (the main window stays, as it always does).
    if (!kesp::RunAction(window->properties().onInit) && guard != nullptr &&
        window->kind() != WindowKind::Main) {
        window->release();
    }
    if (guard != nullptr) {
        kesp::OrderTabsByReading(window);
        kesp::NameControlsForScreenReaders(window);
    }

    const bool waitsForClose = window->kind() != WindowKind::Standard;
    if (waitsForClose && !kesp::seam::activationReturnsAtOnce && guard != nullptr && !closed)
        loop.exec();
}

bool ISWINDOWDEFINED(const QString& name) {
    return kesp::FindFormWindow(name) != nullptr;
}

void DEFINEKEY(const QString& window, const QString& control, const QString& key,
               const Action& action) {
    FormWindow* form = kesp::FormWindowNamed(window);
    const QKeySequence sequence(key, QKeySequence::PortableText);
    if (sequence.isEmpty()) RaiseFormsFault(QStringLiteral("Key %1 not known.").arg(key));
    if (control.isEmpty()) {
        form->addWindowKey(sequence, action);
        return;
    }
    QWidget* target = form->control(control)->widget();
    if (target == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 of %2 takes no keys.").arg(control, window));
    auto* shortcut = new QShortcut(sequence, target);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, target,
                     [target, action] { kesp::RunStep(target, action); });
}

void SET_HELP_ACTION(const Action& action) {
    kesp::SetHelpAction(action);
}

void RELEASEWINDOW(const QString& name) {
    kesp::FormWindowNamed(name)->release();
}

// ---- Controls ------------------------------------------------------------------

void _DEFINELABEL(const QString& name, const LabelProperties& p) {
    DefineControl(name, p, kesp::MakeLabel);
}
void _DEFINEBUTTON(const QString& name, const ButtonProperties& p) {
    DefineControl(name, p, kesp::MakeButton);
}
void _DEFINEIMAGEBUTTON(const QString& name, const ImageButtonProperties& p) {
    DefineControl(name, p, kesp::MakeImageButton);
}
void _DEFINEFRAME(const QString& name, const FrameProperties& p) {
    DefineControl(name, p, kesp::MakeFrame);
}
void _DEFINEIMAGE(const QString& name, const ImageProperties& p) {
    DefineControl(name, p, kesp::MakeImage);
}
void _DEFINETEXTBOX(const QString& name, const TextBoxProperties& p) {
    DefineControl(name, p, kesp::MakeTextBox);
}
void _DEFINEEDITBOX(const QString& name, const EditBoxProperties& p) {
    DefineControl(name, p, kesp::MakeEditBox);
}
void _DEFINECHECKBOX(const QString& name, const CheckBoxProperties& p) {
    DefineControl(name, p, kesp::MakeCheckBox);
}
void _DEFINEDATEPICKER(const QString& name, const DatePickerProperties& p) {
    DefineControl(name, p, kesp::MakeDatePicker);
}
void _DEFINECOMBOBOX(const QString& name, const ComboBoxProperties& p) {
    DefineControl(name, p, kesp::MakeComboBox);
}
void _DEFINELISTBOX(const QString& name, const ListBoxProperties& p) {
    DefineControl(name, p, kesp::MakeListBox);
}
void _DEFINERADIOGROUP(const QString& name, const RadioGroupProperties& p) {
    DefineControl(name, p, kesp::MakeRadioGroup);
}
void _DEFINEPROGRESSBAR(const QString& name, const ProgressBarProperties& p) {
    DefineControl(name, p, kesp::MakeProgressBar);
}
void _DEFINEBROWSE(const QString& name, const BrowseProperties& p) {
    DefineControl(name, p, kesp::MakeBrowse);
}

void _DEFINETAB(const QString& name, const TabProperties& p) {
    QWidget* parent = ParentForControls(name);
    if (Defining().tab != nullptr)
        RaiseFormsFault(QStringLiteral("Tab %1 defined inside another tab.").arg(name));
    auto tab = kesp::MakeTab(parent, name, p);
    Defining().tab = tab.get();
    Defining().page = nullptr;
    WindowBeingDefined(name)->addControl(std::move(tab));
}

void _DEFINEPAGE(const QString& caption) {
    if (Defining().tab == nullptr)
        RaiseFormsFault(QStringLiteral("Page %1 defined outside a tab.").arg(caption));
    if (Defining().page != nullptr)
        RaiseFormsFault(QStringLiteral("Page %1 defined inside another page.").arg(caption));
    Defining().page = Defining().tab->addPage(caption);
}

void _ENDPAGE() {
    if (Defining().page == nullptr) RaiseFormsFault(QStringLiteral("End of page without a page."));
    Defining().page = nullptr;
}

void _ENDTAB() {
    if (Defining().tab == nullptr) RaiseFormsFault(QStringLiteral("End of tab without a tab."));
    if (Defining().page != nullptr)
        RaiseFormsFault(QStringLiteral("End of tab %1 inside a page.").arg(Defining().tab->name()));
    Defining().tab->finish();
    Defining().tab = nullptr;
}

void _DEFINETOOLBAR(const QString& name, const ToolBarProperties& p) {
    FormWindow* window =
        p.parent.isEmpty() ? WindowBeingDefined(name) : kesp::FormWindowNamed(p.parent);
    if (Defining().toolBar != nullptr)
        RaiseFormsFault(QStringLiteral("Toolbar %1 defined inside another toolbar.").arg(name));
    auto bar = kesp::MakeToolBar(window, name, p);
    Defining().toolBar = bar.get();
    Defining().toolBarWindow = window;
    window->addControl(std::move(bar));
}

void _DEFINETOOLBUTTON(const QString& name, const ToolButtonProperties& p) {
    if (Defining().toolBar == nullptr || Defining().toolBarWindow == nullptr)
        RaiseFormsFault(QStringLiteral("Tool button %1 defined outside a toolbar.").arg(name));
    Defining().toolBarWindow->addControl(Defining().toolBar->addButton(name, p));
}

void _ENDTOOLBAR() {
    if (Defining().toolBar == nullptr)
        RaiseFormsFault(QStringLiteral("End of toolbar without a toolbar."));
    if (Defining().toolBarWindow != nullptr) kesp::OrderTabsByReading(Defining().toolBarWindow);
    Defining().toolBar = nullptr;
    Defining().toolBarWindow = nullptr;
}

void _DEFINECONTEXTMENU(const QString& control) {
    FormWindow* window = WindowBeingDefined(control);
    if (Defining().menu != nullptr)
        RaiseFormsFault(
            QStringLiteral("Context menu of %1 defined inside another menu.").arg(control));
    QWidget* owner = window->control(control)->widget();
    if (owner == nullptr)
        RaiseFormsFault(QStringLiteral("Control %1 cannot carry a context menu.").arg(control));
    Defining().menu = kesp::AttachContextMenu(owner);
}

void _DEFINEMENUITEM(const QString& name, const MenuItemProperties& p) {
    if (Defining().menu == nullptr)
        RaiseFormsFault(QStringLiteral("Menu item %1 defined outside a menu.").arg(name));
    WindowBeingDefined(name)->addControl(kesp::MakeMenuItem(Defining().menu, name, p));
}

void _ENDMENU() {
    if (Defining().menu == nullptr) RaiseFormsFault(QStringLiteral("End of menu without a menu."));
    Defining().menu = nullptr;
}

// ---- Run time --------------------------------------------------------------------

void SETPROPERTY(const QString& window, const QString& control, const QString& property,
                 const QVariant& value) {
    if (!ControlNamed(window, control)->set(Lower(property), 0, value))
        UnknownProperty(window, control, property);
}

void SETPROPERTY(const QString& window, const QString& control, const QString& property, int index,
                 const QVariant& value) {
    if (index < 1 || !ControlNamed(window, control)->set(Lower(property), index, value))
        UnknownProperty(window, control, QStringLiteral("%1 %2").arg(property).arg(index));
}

void SETPROPERTY(const QString& window, const QString& property, const QVariant& value) {
    FormWindow* form = kesp::FormWindowNamed(window);
    const QString name = Lower(property);
    if (name == QLatin1String("title")) {
        form->setWindowTitle(value.toString());
    } else if (name == QLatin1String("row")) {
        form->move(form->x(), value.toInt());
    } else if (name == QLatin1String("col")) {
        form->move(value.toInt(), form->y());
    } else if (name == QLatin1String("width")) {
        form->setOuterSize(value.toInt(), form->outerSize().height());
    } else if (name == QLatin1String("height")) {
        form->setOuterSize(form->outerSize().width(), value.toInt());
    } else {
        RaiseFormsFault(
            QStringLiteral("Property %1 of window %2 not supported.").arg(property, window));
    }
}

QVariant GETPROPERTY(const QString& window, const QString& control, const QString& property) {
    const std::optional<QVariant> value = ControlNamed(window, control)->get(Lower(property), 0);
    if (!value) UnknownProperty(window, control, property);
    return *value;
}

QVariant GETPROPERTY(const QString& window, const QString& control, const QString& property,
                     int index) {
    const std::optional<QVariant> value =
        index < 1 ? std::nullopt : ControlNamed(window, control)->get(Lower(property), index);
    if (!value) UnknownProperty(window, control, QStringLiteral("%1 %2").arg(property).arg(index));
    return *value;
}

QVariant GETPROPERTY(const QString& window, const QString& property) {
    FormWindow* form = kesp::FormWindowNamed(window);
    const QString name = Lower(property);
    if (name == QLatin1String("title")) return form->windowTitle();
    if (name == QLatin1String("row")) return form->y();
    if (name == QLatin1String("col")) return form->x();
    if (name == QLatin1String("width")) return form->outerSize().width();
    if (name == QLatin1String("height")) return form->outerSize().height();
    RaiseFormsFault(
        QStringLiteral("Property %1 of window %2 not supported.").arg(property, window));
}

void DOMETHOD(const QString& window, const QString& method) {
    FormWindow* form = kesp::FormWindowNamed(window);
    const QString name = Lower(method);
    if (name == QLatin1String("center")) {
        Center(form);
    } else if (name == QLatin1String("release")) {
        form->release();
    } else if (name == QLatin1String("show")) {
        form->show();
    } else if (name == QLatin1String("hide")) {
        form->hide();
    } else if (name == QLatin1String("setfocus")) {
        BringToFront(form);
    } else if (name == QLatin1String("minimize")) {
        form->showMinimized();
    } else if (name == QLatin1String("maximize")) {
        form->showMaximized();
    } else if (name == QLatin1String("restore")) {
        form->showNormal();
    } else {
        RaiseFormsFault(
            QStringLiteral("Method %1 of window %2 not supported.").arg(method, window));
    }
}

void DOMETHOD(const QString& window, const QString& control, const QString& method,
              const QVariant& argument) {
    if (!ControlNamed(window, control)->invoke(Lower(method), argument))
        RaiseFormsFault(QStringLiteral("Method %1 of control %2 of %3 not supported.")
                            .arg(method, control, window));
}
