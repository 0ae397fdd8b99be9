#include "toolkit/focus_mark.h"

#include <QPainter>

namespace kesp {

void DrawFocusMark(QWidget* control, QWidget* canvas) {
    if (!control->hasFocus()) return;
    QPainter painter(canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(control->palette().color(QPalette::Active, QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(canvas->rect()).adjusted(1, 1, -1, -1), 2, 2);
}

void FocusMarkedButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    DrawFocusMark(this, this);
}

void FocusMarkedToolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    DrawFocusMark(this, this);
}

}  // namespace kesp
