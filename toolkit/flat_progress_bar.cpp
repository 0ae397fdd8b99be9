#include "toolkit/flat_progress_bar.h"

#include <QPainter>

namespace kesp {

FlatProgressBar::FlatProgressBar(QWidget* parent) : QProgressBar(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setTextVisible(false);
}

void FlatProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame = rect();
    painter.fillRect(frame, palette().color(QPalette::Mid));
    const QRect inside = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, palette().color(QPalette::Base));

    // Below its range (after a reset) the bar is empty.
    const qint64 span = qint64(maximum()) - minimum();
    if (value() < minimum() || span <= 0) return;
    const qint64 done = qint64(value()) - minimum();
    const int width = static_cast<int>(inside.width() * done / span);
    if (width > 0) {
        painter.fillRect(QRect(inside.left(), inside.top(), width, inside.height()),
                         palette().color(QPalette::Highlight));
    }
}

}  // namespace kesp
