// One control of a window, as the toolkit drives it by name.
//
// A control answers the run-time properties and methods of its kind; the base
// class answers what every control has (visible, enabled, tooltip, position
// and size, focus). Property and method names arrive in lower case; `index` is
// 0 for the plain forms and n for "header n", "caption n" and "item n".
// Answering false or no value means "not a property of this control", which
// the caller reports as misuse of the toolkit.
//
// The widget belongs to its window (Qt parent); the control object only
// refers to it and never outlives the window.
#pragma once

#include <QPointer>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace kesp {

class Control {
  public:
    Control(QString name, QWidget* widget) : name_(std::move(name)), widget_(widget) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const QString& name() const { return name_; }
    QWidget* widget() const { return widget_; }

    virtual bool set(const QString& property, int index, const QVariant& value);
    virtual std::optional<QVariant> get(const QString& property, int index) const;
    virtual bool invoke(const QString& method, const QVariant& argument);

    // What the test driver (and DOMETHOD's "click") does as the user would;
    // false when the control has no such gesture.
    virtual bool userClick() { return false; }
    virtual bool userSelect(int /*oneBasedIndex*/) { return false; }
    virtual QWidget* typingTarget() { return nullptr; }
    // Gives the typing target the focus as a click into the control does: a
    // text box takes further typing at the end of its text, a date picker
    // selects its whole date so that typing replaces it.
    virtual void focusForTyping();

  private:
    QString name_;
    QPointer<QWidget> widget_;
};

// Position relative to the control's parent: a window's client area or the
// tab control that holds the page.
void PlaceControl(QWidget* widget, int row, int col, int width, int height);

}  // namespace kesp
