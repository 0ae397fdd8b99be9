#include "toolkit/hint_label.h"

#include <QLabel>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace kesp {
namespace {

constexpr int kShownMilliseconds = 4000;

QLabel* FindHint(QWidget* control, const QString& hintName) {
    return control->window()->findChild<QLabel*>(hintName, Qt::FindDirectChildrenOnly);
}

}  // namespace

void ShowHintUnder(QWidget* control, const QString& hintName, const QString& text) {
    QWidget* window = control->window();
    QLabel* hint = FindHint(control, hintName);
    if (hint == nullptr) {
        hint = new QLabel(window);
        hint->setObjectName(hintName);
        hint->setFrameShape(QFrame::Box);
        hint->setAutoFillBackground(true);
        hint->setPalette(QToolTip::palette());
        hint->setMargin(2);
        hint->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* timer = new QTimer(hint);
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, hint, &QWidget::hide);
    }
    hint->setText(text);
    hint->adjustSize();
    QPoint at = control->mapTo(window, QPoint(0, control->height() + 2));
    at.setX(std::clamp(at.x(), 0, std::max(0, window->width() - hint->width())));
    if (at.y() + hint->height() > window->height())
        at.setY(control->mapTo(window, QPoint()).y() - hint->height() - 2);
    hint->move(at);
    hint->raise();
    hint->show();
    hint->findChild<QTimer*>()->start(kShownMilliseconds);
}

void HideHint(QWidget* control, const QString& hintName) {
    if (QLabel* hint = FindHint(control, hintName)) hint->hide();
}

}  // namespace kesp
