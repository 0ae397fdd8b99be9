#include "toolkit/chart_painter.h"

#include "toolkit/chart_scale.h"
#include "toolkit/looks.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace kesp {
namespace {

const QColor kTitleColour(255, 0, 0);
const QColor kLabelColour(0, 0, 255);
const QColor kGridColour(192, 192, 192);
const QColor kAxisColour(96, 96, 96);
const QColor kLegendTextColour(0, 0, 0);
constexpr int kMargin = 6;
constexpr int kLegendBlock = 10;
constexpr int kLegendLine = 16;
constexpr int kPointRadius = 4;
constexpr int kPreferredBarWidth = 20;
// The back wall lies `depth` pixels away at 45 degrees: as far right as up.
const double kAtFortyFive = std::sqrt(0.5);
// Shades of the faces of a 3D block, as QColor::darker factors.
constexpr int kTopShade = 130;
constexpr int kSideShade = 165;
constexpr int kEdgeShade = 140;

QFont ChartFont(int size, bool bold) {
    return MakeFont(Font{"Arial", size}, bold);
}

// Where everything goes: the front face of the plot box, the offset of its
// back wall, and the value axis.
struct Plot {
    QRectF front;
    double back = 0;  // pixels right and up from the front face to the back wall
    ValueAxis axis;
    int categories = 0;

    double y(double value) const {
        const double clamped = std::clamp(value, axis.low, axis.high);
        return front.bottom() - (clamped - axis.low) / (axis.high - axis.low) * front.height();
    }
    double x(int category) const {
        return front.left() + front.width() * (category + 0.5) / categories;
    }
    QPointF backOf(QPointF point) const { return point + QPointF(back, -back); }
    QRectF backWall() const { return front.translated(back, -back); }
};

QList<double> AllValues(const ChartRequest& request) {
    QList<double> values;
    for (const ChartSeries& series : request.series)
        values += series.values;
    return values;
}

int CategoryCount(const ChartRequest& request) {
    qsizetype count = request.categories.size();
    for (const ChartSeries& series : request.series)
        count = std::max(count, series.values.size());
    return static_cast<int>(count);
}

Plot LayOut(const QRect& area, const ChartRequest& request) {
    const QFontMetrics label(ChartFont(8, false));
    const QFontMetrics title(ChartFont(12, true));
    Plot plot;
    plot.axis = ScaleValueAxis(AllValues(request), request.divisions, request.emptyMagnitude);
    plot.categories = CategoryCount(request);
    const bool flat = !request.view3d || request.kind == ChartKind::Points;
    plot.back = flat ? 0 : request.depth * kAtFortyFive;

    int valueLabelWidth = 0;
    if (request.valueLabels) {
        for (const double tick : plot.axis.ticks)
            valueLabelWidth = std::max(valueLabelWidth, label.horizontalAdvance(AxisLabel(tick)));
        valueLabelWidth += 6;
    }
    int legendWidth = 0;
    if (request.legend) {
        for (const ChartSeries& series : request.series)
            legendWidth = std::max(legendWidth, label.horizontalAdvance(series.name));
        legendWidth += kLegendBlock + 4 + 2 * kMargin;
    }
    const int titleHeight = request.title.isEmpty() ? 0 : title.height() + 4;
    const int categoryHeight = request.categoryLabels ? label.height() + 4 : 0;
    // Half a label above the top tick and below the bottom one.
    const int labelHalf = request.valueLabels ? label.height() / 2 : 0;

    const double left = area.left() + kMargin + valueLabelWidth;
    const double right = area.right() + 1 - kMargin - legendWidth;
    const double top = area.top() + kMargin + titleHeight + labelHalf;
    const double bottom = area.bottom() + 1 - kMargin - std::max(categoryHeight, labelHalf);
    plot.front = QRectF(QPointF(left, top + plot.back), QPointF(right - plot.back, bottom));
    return plot;
}

void DrawTitle(QPainter& painter, const QRect& area, const Plot& plot, const QString& title) {
    if (title.isEmpty()) return;
    painter.setFont(ChartFont(12, true));
    painter.setPen(kTitleColour);
    const QRectF band(plot.front.left(), area.top() + kMargin, plot.front.width() + plot.back,
                      QFontMetrics(painter.font()).height() + 4);
    painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop, title);
}

// A horizontal line at `value` across the walls of the box (or the plot
// area when flat).
void AcrossTheWalls(QPainter& painter, const Plot& plot, double value) {
    const QPointF front(plot.front.left(), plot.y(value));
    if (plot.back > 0) painter.drawLine(front, plot.backOf(front));
    painter.drawLine(plot.backOf(front), plot.backOf(QPointF(plot.front.right(), front.y())));
}

void DrawGrid(QPainter& painter, const Plot& plot) {
    painter.setPen(QPen(kGridColour, 1));
    for (const double tick : plot.axis.ticks)
        AcrossTheWalls(painter, plot, tick);
    const QRectF wall = plot.backWall();
    for (int category = 0; category < plot.categories; ++category) {
        const double x = plot.x(category) + plot.back;
        painter.drawLine(QPointF(x, wall.top()), QPointF(x, wall.bottom()));
    }
}

void DrawAxes(QPainter& painter, const Plot& plot) {
    painter.setPen(QPen(kAxisColour, 1));
    const QRectF& front = plot.front;
    painter.drawLine(front.topLeft(), front.bottomLeft());
    if (plot.back > 0) {
        const QRectF wall = plot.backWall();
        painter.drawLine(wall.topLeft(), wall.bottomLeft());
        painter.drawLine(front.topLeft(), wall.topLeft());
        painter.drawLine(front.bottomLeft(), wall.bottomLeft());
        painter.drawLine(wall.bottomLeft(), wall.bottomRight());
    }
    painter.drawLine(front.bottomLeft(), front.bottomRight());
    AcrossTheWalls(painter, plot, 0);
}

void DrawValueLabels(QPainter& painter, const QRect& area, const Plot& plot) {
    painter.setFont(ChartFont(8, false));
    painter.setPen(kLabelColour);
    const QFontMetrics metrics(painter.font());
    for (const double tick : plot.axis.ticks) {
        const QRectF place(area.left(), plot.y(tick) - metrics.height() / 2.0,
                           plot.front.left() - 4 - area.left(), metrics.height());
        painter.drawText(place, Qt::AlignRight | Qt::AlignVCenter, AxisLabel(tick));
    }
}

void DrawCategoryLabels(QPainter& painter, const Plot& plot, const QStringList& labels) {
    painter.setFont(ChartFont(8, false));
    painter.setPen(kLabelColour);
    const QFontMetrics metrics(painter.font());
    const double slot = plot.front.width() / std::max(1, plot.categories);
    for (int category = 0; category < labels.size() && category < plot.categories; ++category) {
        const QRectF place(plot.x(category) - slot / 2, plot.front.bottom() + 2, slot,
                           metrics.height());
        painter.drawText(place, Qt::AlignHCenter | Qt::AlignTop, labels[category].trimmed());
    }
}

void DrawValueText(QPainter& painter, QPointF above, double value) {
    painter.save();
    painter.setFont(ChartFont(8, false));
    painter.setPen(kLegendTextColour);
    const QFontMetrics metrics(painter.font());
    const QString text = AxisLabel(value);
    painter.drawText(above - QPointF(metrics.horizontalAdvance(text) / 2.0, 3), text);
    painter.restore();
}

void DrawBars(QPainter& painter, const Plot& plot, const ChartRequest& request) {
    QList<const ChartSeries*> drawn;
    for (const ChartSeries& series : request.series)
        if (!series.values.isEmpty()) drawn.append(&series);
    if (drawn.isEmpty()) return;
    const int bars = static_cast<int>(drawn.size());
    const double slot = plot.front.width() / plot.categories;
    const int width =
        FittedBarWidth(slot, bars, static_cast<int>(std::ceil(plot.back)), kPreferredBarWidth);
    const double zero = plot.y(0);
    for (int category = 0; category < plot.categories; ++category) {
        const double groupLeft = plot.x(category) - (bars * width + plot.back) / 2;
        for (int s = 0; s < bars; ++s) {
            if (category >= drawn[s]->values.size()) continue;
            const double value = drawn[s]->values[category];
            const QColor colour = drawn[s]->colour;
            const double left = groupLeft + s * width;
            const double top = std::min(plot.y(value), zero);
            const double bottom = std::max(plot.y(value), zero);
            const QRectF face(QPointF(left, top), QPointF(left + width, bottom));
            painter.setPen(QPen(colour.darker(kEdgeShade), 0));
            if (plot.back > 0) {
                painter.setBrush(colour.darker(kSideShade));
                painter.drawPolygon(QPolygonF{face.topRight(), plot.backOf(face.topRight()),
                                              plot.backOf(face.bottomRight()), face.bottomRight()});
                painter.setBrush(colour.darker(kTopShade));
                painter.drawPolygon(QPolygonF{face.topLeft(), face.topRight(),
                                              plot.backOf(face.topRight()),
                                              plot.backOf(face.topLeft())});
            }
            painter.setBrush(colour);
            painter.drawRect(face);
            if (request.valuesAtPoints)
                DrawValueText(painter, plot.backOf(QPointF(face.center().x(), top)), value);
        }
    }
}

QList<QPointF> PointsOf(const Plot& plot, const ChartSeries& series) {
    QList<QPointF> points;
    for (int category = 0; category < series.values.size() && category < plot.categories;
         ++category)
        points.append(QPointF(plot.x(category), plot.y(series.values[category])));
    return points;
}

void DrawLines(QPainter& painter, const Plot& plot, const ChartRequest& request) {
    for (const ChartSeries& series : request.series) {
        const QList<QPointF> points = PointsOf(plot, series);
        if (plot.back > 0) {
            painter.setPen(QPen(series.colour.darker(kEdgeShade), 0));
            painter.setBrush(series.colour);
            for (qsizetype k = 0; k + 1 < points.size(); ++k)
                painter.drawPolygon(QPolygonF{points[k], points[k + 1], plot.backOf(points[k + 1]),
                                              plot.backOf(points[k])});
        } else {
            painter.setPen(QPen(series.colour, 2));
            painter.drawPolyline(QPolygonF(points));
        }
        if (request.valuesAtPoints)
            for (qsizetype k = 0; k < points.size(); ++k)
                DrawValueText(painter, plot.backOf(points[k]), series.values[k]);
    }
}

void DrawPoints(QPainter& painter, const Plot& plot, const ChartRequest& request) {
    for (const ChartSeries& series : request.series) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(series.colour);
        const QList<QPointF> points = PointsOf(plot, series);
        for (const QPointF& point : points)
            painter.drawEllipse(point, kPointRadius, kPointRadius);
        if (request.valuesAtPoints)
            for (qsizetype k = 0; k < points.size(); ++k)
                DrawValueText(painter, points[k] - QPointF(0, kPointRadius), series.values[k]);
    }
}

void DrawLegend(QPainter& painter, const Plot& plot, const ChartRequest& request) {
    painter.setFont(ChartFont(8, false));
    const QFontMetrics metrics(painter.font());
    const double left = plot.front.right() + plot.back + 2 * kMargin;
    double top = plot.front.top() - plot.back;
    for (const ChartSeries& series : request.series) {
        painter.setPen(QPen(series.colour.darker(kEdgeShade), 0));
        painter.setBrush(series.colour);
        painter.drawRect(QRectF(left, top, kLegendBlock, kLegendBlock));
        painter.setPen(kLegendTextColour);
        painter.drawText(QRectF(left + kLegendBlock + 4, top - 3, 400, metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, series.name);
        top += kLegendLine;
    }
}

}  // namespace

void PaintChart(QPainter& painter, const QRect& area, const ChartRequest& request) {
    painter.save();
    const Plot plot = LayOut(area, request);
    if (request.border) {
        painter.setPen(QPen(kAxisColour, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
    DrawTitle(painter, area, plot, request.title);
    if (request.grid) DrawGrid(painter, plot);
    DrawAxes(painter, plot);
    if (request.valueLabels) DrawValueLabels(painter, area, plot);
    if (request.categoryLabels) DrawCategoryLabels(painter, plot, request.categories);
    if (plot.categories > 0) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        switch (request.kind) {
            case ChartKind::Bars:
                DrawBars(painter, plot, request);
                break;
            case ChartKind::Lines:
                DrawLines(painter, plot, request);
                break;
            case ChartKind::Points:
                DrawPoints(painter, plot, request);
                break;
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (request.legend) DrawLegend(painter, plot, request);
    painter.restore();
}

}  // namespace kesp
