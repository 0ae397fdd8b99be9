#include "toolkit/accessible_names.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTabWidget>

#include <limits>

namespace kesp {
namespace {

// The controls a caption names, kept by the caption.
class NamedControls : public QObject {
  public:
    explicit NamedControls(QLabel* caption) : QObject(caption) {}
    QList<QPointer<QWidget>> controls;
};

constexpr char kNamedByToolTip[] = "kespNamedByToolTip";

// Controls that show no caption of their own.
bool NamedByACaption(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(widget) != nullptr;
}

// The caption directly above `control` (overlapping it sideways) or on its
// line just to its left, or else just to its right; the nearest wins.
QLabel* CaptionOf(QWidget* control) {
    constexpr int kAboveGap = 30;
    constexpr int kBesideGap = 40;
    constexpr int kRightPenalty = 1000;  // only when there is none above or to the left
    const QRect place = control->geometry();
    QLabel* nearest = nullptr;
    int nearestDistance = std::numeric_limits<int>::max();
    for (QLabel* label :
         control->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->isHidden() || label->text().trimmed().isEmpty()) continue;
        const QRect caption = label->geometry();
        int distance = std::numeric_limits<int>::max();
        const bool overlapsSideways =
            caption.left() < place.right() && caption.right() > place.left();
        const int above = place.top() - caption.bottom();
        if (overlapsSideways && above >= -2 && above <= kAboveGap)
            distance = above + std::abs(caption.left() - place.left()) / 10;
        const int middle = caption.center().y();
        const bool onTheLine = middle >= place.top() && middle <= place.bottom();
        const int left = place.left() - caption.right();
        if (onTheLine && left >= -2 && left <= kBesideGap) distance = std::min(distance, left);
        const int right = caption.left() - place.right();
        if (onTheLine && right >= -2 && right <= kBesideGap)
            distance = std::min(distance, kRightPenalty + right);
        if (distance < nearestDistance) {
            nearest = label;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// A list without a caption is named by its column headers, a tab control by
// the page shown; both follow their changes.
bool NameByOwnParts(QWidget* widget) {
    if (auto* list = qobject_cast<QAbstractItemView*>(widget)) {
        QAbstractItemModel* rows = list->model();
        if (rows == nullptr) return false;
        const auto name = [list, rows] {
            QStringList headers;
            for (int column = 0; column < rows->columnCount(); ++column) {
                const QString header =
                    rows->headerData(column, Qt::Horizontal).toString().trimmed();
                if (!header.isEmpty()) headers << header;
            }
            list->setAccessibleName(headers.join(", "));
        };
        name();
        QObject::connect(rows, &QAbstractItemModel::headerDataChanged, list, name);
        return !list->accessibleName().isEmpty();
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        const auto name = [tabs] { tabs->setAccessibleName(tabs->tabText(tabs->currentIndex())); };
        name();
        QObject::connect(tabs, &QTabWidget::currentChanged, tabs, name);
        return !tabs->accessibleName().isEmpty();
    }
    return false;
}

void NameByCaption(QWidget* control, QLabel* caption) {
    auto* named = caption->findChild<NamedControls*>(QString(), Qt::FindDirectChildrenOnly);
    if (named == nullptr) named = new NamedControls(caption);
    named->controls.append(control);
    control->setAccessibleName(caption->text().trimmed());
}

}  // namespace

QString ScreenReaderName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible == nullptr ? QString() : accessible->text(QAccessible::Name).trimmed();
}

void NameControlsForScreenReaders(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->isWindow() || !(widget->focusPolicy() & Qt::TabFocus)) continue;
        if (!widget->accessibleName().isEmpty()) continue;
        QLabel* caption = CaptionOf(widget);
        if (NamedByACaption(widget) && caption != nullptr) {
            NameByCaption(widget, caption);
            continue;
        }
        if (!ScreenReaderName(widget).isEmpty()) continue;
        if (!widget->toolTip().isEmpty()) {
            widget->setProperty(kNamedByToolTip, true);
            widget->setAccessibleName(widget->toolTip());
            continue;
        }
        // A picture button whose caption stands beside it.
        if (caption != nullptr) {
            NameByCaption(widget, caption);
            continue;
        }
        NameByOwnParts(widget);
    }
}

void CaptionTextChanged(QLabel* caption) {
    auto* named = caption->findChild<NamedControls*>(QString(), Qt::FindDirectChildrenOnly);
    if (named == nullptr) return;
    for (QWidget* control : named->controls)
        if (control != nullptr) control->setAccessibleName(caption->text().trimmed());
}

void ToolTipChanged(QWidget* widget) {
    if (widget->property(kNamedByToolTip).toBool()) widget->setAccessibleName(widget->toolTip());
}

}  // namespace kesp
