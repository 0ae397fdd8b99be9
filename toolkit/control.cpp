#include "toolkit/control.h"

#include "toolkit/accessible_names.h"
#include "toolkit/tab_page.h"

#include <QLineEdit>
#include <QTabWidget>

namespace kesp {
namespace {

// Brings forward the tab page a control sits on, so that it can take the focus.
void ShowPageOf(QWidget* widget) {
    for (QWidget* page = widget; page != nullptr && !page->isWindow();
         page = page->parentWidget()) {
        QWidget* pages = page->parentWidget();  // the tab's stack of pages
        auto* tab = pages != nullptr ? qobject_cast<QTabWidget*>(pages->parentWidget()) : nullptr;
        if (tab != nullptr && tab->indexOf(page) >= 0) tab->setCurrentWidget(page);
    }
}

}  // namespace

bool Control::set(const QString& property, int index, const QVariant& value) {
    if (index != 0 || widget_ == nullptr) return false;
    // Read only for the properties of the place: a dynamic property is looked
    // up by name, and visibility is set at every keystroke of a search.
    const auto place = [this] { return widget_->property(kPlaceProperty).toRect(); };
    if (property == QLatin1String("visible")) {
        widget_->setVisible(value.toBool());
    } else if (property == QLatin1String("enabled")) {
        widget_->setEnabled(value.toBool());
    } else if (property == QLatin1String("tooltip")) {
        widget_->setToolTip(value.toString());
        ToolTipChanged(widget_);
    } else if (property == QLatin1String("row")) {
        const QRect at = place();
        PlaceControl(widget_, value.toInt(), at.x(), at.width(), at.height());
    } else if (property == QLatin1String("col")) {
        const QRect at = place();
        PlaceControl(widget_, at.y(), value.toInt(), at.width(), at.height());
    } else if (property == QLatin1String("width")) {
        const QRect at = place();
        PlaceControl(widget_, at.y(), at.x(), value.toInt(), at.height());
    } else if (property == QLatin1String("height")) {
        const QRect at = place();
        PlaceControl(widget_, at.y(), at.x(), at.width(), value.toInt());
    } else {
        return false;
    }
    return true;
}

std::optional<QVariant> Control::get(const QString& property, int index) const {
    if (index != 0 || widget_ == nullptr) return std::nullopt;
    if (property == QLatin1String("visible")) return widget_->isVisibleTo(widget_->window());
    if (property == QLatin1String("enabled")) return widget_->isEnabled();
    if (property == QLatin1String("tooltip")) return widget_->toolTip();
    const QRect place = widget_->property(kPlaceProperty).toRect();
    if (property == QLatin1String("row")) return place.y();
    if (property == QLatin1String("col")) return place.x();
    if (property == QLatin1String("width")) return place.width();
    if (property == QLatin1String("height")) return place.height();
    return std::nullopt;
}

bool Control::invoke(const QString& method, const QVariant& /*argument*/) {
    if (method == QLatin1String("click")) return userClick();
    if (widget_ == nullptr) return false;
    if (method == QLatin1String("setfocus")) {
        ShowPageOf(widget_);
        widget_->setFocus(Qt::OtherFocusReason);
    } else if (method == QLatin1String("show")) {
        widget_->show();
    } else if (method == QLatin1String("hide")) {
        widget_->hide();
    } else if (method == QLatin1String("enable")) {
        widget_->setEnabled(true);
    } else if (method == QLatin1String("disable")) {
        widget_->setEnabled(false);
    } else {
        return false;
    }
    return true;
}

void Control::focusForTyping() {
    QWidget* target = typingTarget();
    if (target == nullptr) return;
    target->setFocus(Qt::MouseFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(target)) line->end(false);
}

void PlaceControl(QWidget* widget, int row, int col, int width, int height) {
    widget->setProperty(kPlaceProperty, QRect(col, row, width, height));
    PlaceOnPage(widget);
}

}  // namespace kesp
