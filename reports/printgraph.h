// The window-picture service: prints the chart rectangle of a window as one
// picture on one page, as large as the usable area allows with its aspect
// kept, centred; optionally after the print dialog and through the preview.
//
// The chart rectangle is the window's "chartRect" property (a QRect in the
// window's coordinates) when the window sets one, else its whole client area.
#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

void PRINTGRAPH(const QString& windowName, bool preview, bool printerDialog);

// Where a picture of pictureSize goes on a sheet of paperMm with the printer's
// non-printable offset on each edge: the usable area is the printable area
// less 10 mm and less twice the offset on each axis, centred on the sheet;
// the picture is scaled to fit it, aspect kept, and centred in it.
QRectF ChartAreaMm(QSizeF paperMm, QSizeF offsetMm, QSizeF pictureSize);
