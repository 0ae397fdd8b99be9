// Paints a chart request with QPainter into a rectangle: the one painting path
// of the chart facility, used by the window's drawing and by anything that
// wants the same picture elsewhere (an image, a page).
//
// The picture, inside the rectangle:
//  - the title centred above the plot area (Arial 12, bold, red);
//  - the value axis on the left: labels (Arial 8, blue) and horizontal grid
//    lines at its ticks (chart_scale.h);
//  - one category label per category (Arial 8, blue) under the plot area at
//    equal spacing, with a vertical grid line through each category;
//  - in 3D view the plot area is a box whose back wall lies `depth` pixels
//    back, up and to the right (at 45 degrees), and the grid is drawn on its
//    walls;
//  - bars: per category the series' bars side by side in series order,
//    rising or falling from the zero line, as 3D blocks whose top and side
//    faces are darker shades of the series colour;
//  - lines: each series as a band `depth` pixels deep joining its values
//    (a plain line of two pixels when flat);
//  - points: a filled circle per value, always flat;
//  - the legend on the right: per series a small block of its colour and its
//    name (Arial 8), one below the other.
#pragma once

#include "toolkit/chart.h"

#include <QRect>

class QPainter;

namespace kesp {

void PaintChart(QPainter& painter, const QRect& area, const ChartRequest& request);

}  // namespace kesp
