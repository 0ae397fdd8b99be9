#include "toolkit/keystroke_painting.h"

#include <QPointer>
#include <QWidget>

namespace kesp {
namespace {

// The window of the keystroke whose change action runs now; none outside one.
QPointer<QWidget>& TypedWindow() {
    static QPointer<QWidget> window;
    return window;
}

}  // namespace

KeystrokeStep::KeystrokeStep(QWidget* typedInto) : previousWindow_(TypedWindow()) {
    TypedWindow() = typedInto != nullptr ? typedInto->window() : nullptr;
}

KeystrokeStep::~KeystrokeStep() {
    TypedWindow() = previousWindow_;
}

void ShowAtOnce(QWidget* widget) {
    if (!widget->isVisible()) return;
    if (TypedWindow() != nullptr && widget->window() == TypedWindow()) {
        widget->update();
        return;
    }
    widget->repaint();
}

}  // namespace kesp
