#include "toolkit/keystroke_painting.h"

#include <QPointer>
#include <QWidget>

namespace kesp {
namespace {

// The window of the short step that runs now; none outside one.
QPointer<QWidget>& StepWindow() {
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

PaintedOnReturn::PaintedOnReturn(QWidget* in) : previousWindow_(StepWindow()) {
    StepWindow() = in != nullptr ? in->window() : nullptr;
}

PaintedOnReturn::~PaintedOnReturn() {
    StepWindow() = previousWindow_;
}

bool WaitsForReturn(const QWidget* widget) {
    return StepWindow() != nullptr && widget->window() == StepWindow();
}

void ShowAtOnce(QWidget* widget) {
    if (!widget->isVisible()) return;
    if (WaitsForReturn(widget)) {
        widget->update();
        return;
    }
    widget->repaint();
}

}  // namespace kesp
