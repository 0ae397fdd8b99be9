#include "toolkit/focus_mark.h"

#include <QPainter>

namespace kesp {
namespace {

void DrawFocusMark(QWidget* widget) {
    if (!widget->hasFocus()) return;
    QPainter painter(widget);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(widget->palette().color(QPalette::Active, QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(widget->rect()).adjusted(1.5, 1.5, -1.5, -1.5), 2, 2);
}

}  // namespace

void FocusMarkedButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    DrawFocusMark(this);
}

void FocusMarkedToolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    DrawFocusMark(this);
}

}  // namespace kesp
