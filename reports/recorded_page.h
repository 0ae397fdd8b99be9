// A recorded page: everything a report or a window picture puts on one
// sheet, kept as plain data so that the preview, the PDF file and the printer
// paint the very same page, and tests can look at what stands where.
//
// Text is placed on the grid of text lines and columns of a printed report;
// the grid is fixed in millimetres whatever the font size, so a report with
// more characters per line only gets a smaller font, not a different grid.
#pragma once

#include <QDataStream>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

// Millimetres from the top of the sheet to text line `line`.
constexpr double LineTopMm(double line) {
    return line * (10.0 / 2.45) + 7.2727;
}
// Millimetres from the left edge of the sheet to text column `column`.
constexpr double ColumnLeftMm(double column) {
    return column * (10.0 / 4.75) + 6.4865;
}

struct PageText {
    int line = 0;
    int column = 0;
    QString text;  // leading blanks included, as printed
    QString family;
    int pointSize = 12;
    bool bold = false;
};

struct PagePicture {
    QRectF areaMm;  // where the picture goes on the sheet
    QString file;   // the picture file
};

struct RecordedPage {
    QSizeF paperMm;               // as the sheet lies (landscape: wider than high)
    QList<PagePicture> pictures;  // painted first, under the text
    QList<PageText> texts;
    bool empty() const { return texts.isEmpty() && pictures.isEmpty(); }
};

QDataStream& operator<<(QDataStream& out, const RecordedPage& page);
QDataStream& operator>>(QDataStream& in, RecordedPage& page);
