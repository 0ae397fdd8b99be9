#include "toolkit/reading_order.h"

#include <QAbstractItemView>
#include <QList>
#include <QPlainTextEdit>
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

// The widgets directly inside `container` that are or hold tab stops, in
// reading order (captions and frames do not make lines of their own); the
// pages of a tab, which lie on one another, in the order of the tab.
QList<QWidget*> ChildrenInReadingOrder(QWidget* container) {
    QList<QWidget*> children;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && HoldsTabStops(child)) children << child;
    if (qobject_cast<QStackedWidget*>(container) != nullptr) return children;
    std::stable_sort(children.begin(), children.end(), [](const QWidget* a, const QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });

    QList<QWidget*> ordered;
    for (qsizetype start = 0; start < children.size();) {
        const QRect first = children[start]->geometry();
        const auto onTheLine = [&first](const QWidget* other) {
            const QRect place = other->geometry();
            return place.top() <= first.top() + std::min(first.height(), place.height()) / 2;
        };
        qsizetype end = start + 1;
        while (end < children.size() && onTheLine(children[end]))
            ++end;
        QList<QWidget*> line = children.mid(start, end - start);
        std::stable_sort(line.begin(), line.end(), [](const QWidget* a, const QWidget* b) {
            return a->geometry().left() < b->geometry().left();
        });
        ordered << line;
        start = end;
    }
    return ordered;
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
