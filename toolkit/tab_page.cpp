#include "toolkit/tab_page.h"

#include <QEvent>
#include <QTabWidget>

namespace kesp {
namespace {

QPoint PageOffset(const QWidget* page) {
    for (const QWidget* w = page->parentWidget(); w != nullptr; w = w->parentWidget())
        if (const auto* tab = qobject_cast<const QTabWidget*>(w))
            return page->mapTo(tab, QPoint(0, 0));
    return {};
}

}  // namespace

bool TabPage::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
        event->type() == QEvent::Show) {
        for (QObject* child : children())
            if (auto* widget = qobject_cast<QWidget*>(child);
                widget != nullptr && widget->property(kPlaceProperty).isValid())
                PlaceOnPage(widget);
    }
    return handled;
}

void PlaceOnPage(QWidget* widget) {
    const QRect place = widget->property(kPlaceProperty).toRect();
    QPoint offset;
    if (const auto* page = dynamic_cast<const TabPage*>(widget->parentWidget()))
        offset = PageOffset(page);
    widget->setGeometry(place.translated(-offset));
}

}  // namespace kesp
