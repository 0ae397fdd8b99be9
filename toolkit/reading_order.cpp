#include "toolkit/reading_order.h"

#include <QAbstractItemView>
#include <QList>
#include <QPlainTextEdit>
#include <QRect>
#include <QStackedWidget>
#include <QWidget>

#include <algorithm>

namespace kesp {
namespace {

bool TakesTabFocus(const QWidget* widget) {
    return widget->focusPolicy() & Qt::TabFocus;
}

bool HoldsTabStops(const QWidget* widget) {
    if (TakesTabFocus(widget)) return true;
    for (const QWidget* inside : widget->findChildren<QWidget*>())
        if (!inside->isWindow() && TakesTabFocus(inside)) return true;
    return false;
}

// A place in the reading order: one widget, or the widgets inside a frame
// marked as a group, read at `place`.
struct ReadingUnit {
    QRect place;
    QList<QWidget*> widgets;
};

// Sorts the units into lines, top to bottom, and each line left to right.
QList<ReadingUnit> InLines(QList<ReadingUnit> units) {
    std::stable_sort(units.begin(), units.end(), [](const ReadingUnit& a, const ReadingUnit& b) {
        return a.place.top() < b.place.top();
    });
    QList<ReadingUnit> ordered;
    for (qsizetype start = 0; start < units.size();) {
        const QRect first = units[start].place;
        const auto onTheLine = [&first](const ReadingUnit& other) {
            const QRect place = other.place;
            return place.top() <= first.top() + std::min(first.height(), place.height()) / 2;
        };
        qsizetype end = start + 1;
        while (end < units.size() && onTheLine(units[end]))
            ++end;
        QList<ReadingUnit> line = units.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(), [](const ReadingUnit& a, const ReadingUnit& b) {
            return a.place.left() < b.place.left();
        });
        ordered << line;
        start = end;
    }
    return ordered;
}

QList<ReadingUnit> UnitsOf(const QList<QWidget*>& widgets) {
    QList<ReadingUnit> units;
    for (QWidget* widget : widgets)
        units.append({widget->geometry(), {widget}});
    return units;
}

QList<QWidget*> WidgetsOf(const QList<ReadingUnit>& units) {
    QList<QWidget*> widgets;
    for (const ReadingUnit& unit : units)
        widgets << unit.widgets;
    return widgets;
}

// The frames of `container` marked as groups, each with the tab stops inside
// it taken out of `loose`. A group is read on the line of the lowest control
// to its left that begins within its height, or at its own top.
QList<ReadingUnit> Groups(QWidget* container, QList<QWidget*>& loose) {
    QList<ReadingUnit> groups;
    for (QWidget* frame : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!frame->property(kTabGroupProperty).toBool()) continue;
        const QRect area = frame->geometry();
        QList<QWidget*> inside;
        for (QWidget* widget : loose)
            if (area.contains(widget->geometry())) inside << widget;
        if (inside.isEmpty()) continue;
        for (QWidget* widget : inside)
            loose.removeOne(widget);
        QRect place(area.left(), area.top(), area.width(), inside.first()->height());
        for (const QWidget* beside : loose) {
            const QRect other = beside->geometry();
            if (other.right() < area.left() && other.top() >= area.top() &&
                other.top() <= area.bottom() && other.top() >= place.top())
                place = QRect(area.left(), other.top(), area.width(), other.height());
        }
        groups.append({place, WidgetsOf(InLines(UnitsOf(inside)))});
    }
    return groups;
}

// The widgets directly inside `container` that are or hold tab stops, in
// reading order (captions and frames do not make lines of their own); the
// pages of a tab, which lie on one another, in the order of the tab.
QList<QWidget*> ChildrenInReadingOrder(QWidget* container) {
    QList<QWidget*> children;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && HoldsTabStops(child)) children << child;
    if (qobject_cast<QStackedWidget*>(container) != nullptr) return children;
    const QList<ReadingUnit> groups = Groups(container, children);
    return WidgetsOf(InLines(UnitsOf(children) + groups));
}

void CollectFocusable(QWidget* container, QList<QWidget*>& chain) {
    for (QWidget* child : ChildrenInReadingOrder(container)) {
        // A control whose focus goes to a part of it (a tab to its tab bar)
        // keeps its own place too, just before that part.
        if (TakesTabFocus(child)) chain << child;
        CollectFocusable(child, chain);
    }
}

}  // namespace

void OrderTabsByReading(QWidget* window) {
    QList<QWidget*> chain;
    CollectFocusable(window, chain);
    // Tab leaves a multi-line text and a list as it leaves every other control.
    for (QWidget* widget : chain) {
        if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) text->setTabChangesFocus(true);
        if (auto* list = qobject_cast<QAbstractItemView*>(widget)) list->setTabKeyNavigation(false);
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace kesp
