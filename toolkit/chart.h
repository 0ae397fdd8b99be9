// The chart facility: draws a chart of a few series over a row of categories
// straight onto a window, inside a rectangle of its client area, and erases
// it again. The drawing is the window's control "Graph" (created by the first
// drawing, so no other control of the window may carry that name); the
// window remembers the rectangle as its chart rectangle (the window property
// "chartRect"), which the window-picture printing service prints.
//
//   ChartRequest chart;
//   chart.top = 20; chart.left = 20; chart.bottom = 300; chart.right = 610;
//   chart.series = {{"Physical", QColor(128, 128, 255), {0, 26.98, ...}}, ...};
//   chart.categories = {"  6.12", "  7.12", ...};
//   chart.kind = ChartKind::Bars; chart.view3d = true; chart.depth = 15; ...
//   ERASEWINDOW("bioform");
//   DRAWGRAPH("bioform", chart);
//
// What a drawing shows (see chart_painter.h for the exact picture): the title
// above the plot area, the value axis on the left with its labels and grid
// lines (chart_scale.h), the category labels under the plot area with a
// vertical grid line each, the series as 3D bars, 3D line bands or flat
// points, and the legend on the right.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

enum class ChartKind { Bars, Lines, Points };

struct ChartSeries {
    QString name;
    QColor colour;
    QList<double> values;  // one per category; none: the series is in the legend only
};

struct ChartRequest {
    // The chart rectangle in client pixels: rows top to bottom, columns left to right.
    int top = 0, left = 0, bottom = 0, right = 0;
    QList<ChartSeries> series;
    QStringList categories;
    QString title;
    ChartKind kind = ChartKind::Bars;
    bool view3d = false;  // bars and lines only: points are always flat
    int depth = 0;        // pixels a 3D block or band reaches back
    int divisions = 5;    // parts of the value axis's larger magnitude
    bool grid = false;
    bool valueLabels = false;     // labels of the value axis
    bool categoryLabels = false;  // labels under the plot area
    bool legend = false;
    bool valuesAtPoints = false;  // each value written beside its bar, band or point
    bool border = false;          // a frame around the whole rectangle
    // The magnitude of the value axis when there is nothing to scale it by
    // (no values, or only zeros).
    double emptyMagnitude = 1;
};

// Draws the chart onto the named window, replacing any earlier drawing, and
// remembers its rectangle. An unknown window is misuse of the toolkit.
void DRAWGRAPH(const QString& window, const ChartRequest& request);

// Removes everything drawn onto the window; the chart rectangle stays
// remembered. A window without a drawing is left as it is.
void ERASEWINDOW(const QString& window);
