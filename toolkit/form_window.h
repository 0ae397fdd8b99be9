// A window of the program and the registry of windows by name.
//
// A window owns its controls (by name, without regard to case) and knows its
// kind. Closing it (the close box, Escape, "Release" or RELEASEWINDOW) runs its
// release action, frees its name at once, ends the event loop of its
// activation and destroys it with its controls. The user's closing (close box,
// Escape) asks the window's `mayClose` first; the program's (release()) does not.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "toolkit/control.h"
#include "toolkit/forms.h"

#include <QKeySequence>
#include <QList>
#include <QWidget>

#include <map>
#include <memory>

namespace kesp {

class FormWindow : public QWidget {
    Q_OBJECT
  public:
    FormWindow(QString name, WindowKind kind, const WindowProperties& properties);
    ~FormWindow() override;

    const QString& name() const { return name_; }
    WindowKind kind() const { return kind_; }
    const WindowProperties& properties() const { return properties_; }

    // Width and height as the window definitions give them: the outer size of
    // the window, title bar included. The client area is what is left.
    void setOuterSize(int width, int height);
    QSize outerSize() const;

    // Takes the control; a name already used in this window is misuse.
    Control* addControl(std::unique_ptr<Control> control);
    Control* findControl(const QString& name) const;  // nullptr when unknown
    Control* control(const QString& name) const;      // misuse when unknown
    QList<Control*> controls() const;

    // Closes the window without asking `mayClose`: the program's own closing.
    void release();

    // A key that runs `action` anywhere in the window, before a text box can
    // take it for itself.
    void addWindowKey(const QKeySequence& key, const Action& action);

  signals:
    void closed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A modal window the window manager minimises all the same (some offer
    // it on every window) comes straight back: minimised, it would leave the
    // program blocked with nothing on screen to close.
    void changeEvent(QEvent* event) override;

  private:
    QString name_;
    WindowKind kind_;
    WindowProperties properties_;
    std::map<QString, std::unique_ptr<Control>> controls_;  // by lower-case name
    bool closing_ = false;
    bool released_ = false;  // closed by the program: nothing to ask
    bool asking_ = false;    // `mayClose` is being asked
    QList<QKeySequence> windowKeys_;
};

// The windows defined now, by name without regard to case.
FormWindow* FindFormWindow(const QString& name);   // nullptr when unknown
FormWindow* FormWindowNamed(const QString& name);  // misuse when unknown
QList<FormWindow*> FormWindows();
void RegisterFormWindow(FormWindow* window);  // misuse when the name is taken
void UnregisterFormWindow(FormWindow* window);

// A modal window that is open now, or nullptr.
FormWindow* OpenModalWindow();

// What F1 runs in every window; none: nothing.
void SetHelpAction(Action action);

}  // namespace kesp
