#include "toolkit/browse_cell_painter.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyle>

namespace kesp {

void BrowseCellPainter::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
        : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                      : QPalette::Inactive;
    if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));

    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;
    QColor colour =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (!selected) {
        const QVariant rowColour = index.data(Qt::ForegroundRole);
        if (rowColour.canConvert<QColor>()) colour = rowColour.value<QColor>();
    }

    // The style's margin beside an item's text, so that text stands where it
    // stood when the style painted it.
    const int margin = option.widget != nullptr
                           ? option.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin,
                                                                 nullptr, option.widget) +
                                 1
                           : 3;
    const QRect area = option.rect.adjusted(margin, 0, -margin, 0);
    const QFontMetrics metrics(option.font);
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->setFont(option.font);
    painter->setPen(colour);
    painter->drawText(QPoint(area.left(), baseline), text);
    painter->restore();
}

}  // namespace kesp
