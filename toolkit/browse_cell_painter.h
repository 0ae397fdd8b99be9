// How a list paints its cells: the text of the cell on one line, clipped at
// the cell's edge, in the row's colour (the highlight colours on the selected
// row).
//
// A list is painted again after every search and every keystroke that
// narrows it, so a cell is drawn with one layout of its text: the style's
// item painting lays each text out three times (to size it, to elide it and
// to draw it), which made painting a page cost more than finding its rows.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QStyledItemDelegate>

namespace kesp {

class BrowseCellPainter : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace kesp
