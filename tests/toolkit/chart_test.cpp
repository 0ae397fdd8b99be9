// The chart facility: the value axis and bar widths as numbers, the picture
// each chart kind paints, and drawing onto and erasing from a window.
#include "toolkit/chart.h"
#include "toolkit/chart_painter.h"
#include "toolkit/chart_scale.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using kesp::test::TestDriver;

namespace {

const QColor kBlue(128, 128, 255);
const QColor kOrange(255, 102, 10);

TEST(ChartScale, EndsGrowToTheNextQuarterOfTheirLeadingPowerOfTen) {
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(97.9), 100);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(73.1), 75);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(26.98), 27.5);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(100), 100);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(75), 75);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(0), 0);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(100.01), 125);
    EXPECT_DOUBLE_EQ(kesp::EnlargedToQuarter(1234), 1250);
    EXPECT_NEAR(kesp::EnlargedToQuarter(0.3), 0.3, 1e-12);
    EXPECT_NEAR(kesp::EnlargedToQuarter(0.26), 0.275, 1e-12);
}

TEST(ChartScale, AxisRunsFromTheMostNegativeToTheMostPositiveWithTicksAtFifthsOfTheLarger) {
    kesp::ValueAxis axis = kesp::ScaleValueAxis({50, -26.98, 97.9, 3}, 5, 1);
    EXPECT_DOUBLE_EQ(axis.low, -27.5);
    EXPECT_DOUBLE_EQ(axis.high, 100);
    EXPECT_DOUBLE_EQ(axis.step, 20);
    EXPECT_EQ(axis.ticks, (QList<double>{-20, 0, 20, 40, 60, 80, 100}));

    axis = kesp::ScaleValueAxis({-100, 26.98}, 5, 1);  // the negative end is the larger
    EXPECT_EQ(axis.ticks, (QList<double>{-100, -80, -60, -40, -20, 0, 20}));
    EXPECT_DOUBLE_EQ(axis.high, 27.5);

    axis = kesp::ScaleValueAxis({10, 73.1}, 5, 1);  // zero is always on the axis
    EXPECT_DOUBLE_EQ(axis.low, 0);
    EXPECT_EQ(axis.ticks, (QList<double>{0, 15, 30, 45, 60, 75}));
    axis = kesp::ScaleValueAxis({-73.1, -10}, 5, 1);
    EXPECT_DOUBLE_EQ(axis.high, 0);
    EXPECT_EQ(axis.ticks.first(), -75);
    EXPECT_EQ(axis.ticks.last(), 0);
}

TEST(ChartScale, FloatingPointNoiseNeverBecomesAnEndOfTheAxis) {
    const double pi = std::numbers::pi;
    ASSERT_NE(100 * std::sin(pi), 0.0);
    kesp::ValueAxis axis = kesp::ScaleValueAxis({100 * std::sin(pi), -63.1, -40}, 5, 1);
    EXPECT_EQ(axis.high, 0.0);
    EXPECT_DOUBLE_EQ(axis.low, -65);
    EXPECT_EQ(axis.ticks.last(), 0.0);
    ASSERT_LT(100 * std::sin(2 * pi), 0.0);
    axis = kesp::ScaleValueAxis({100 * std::sin(2 * pi), 45.82}, 5, 1);
    EXPECT_EQ(axis.low, 0.0);
    EXPECT_DOUBLE_EQ(axis.high, 47.5);
    // Only noise: nothing to scale by.
    axis = kesp::ScaleValueAxis({100 * std::sin(pi)}, 5, 100);
    EXPECT_DOUBLE_EQ(axis.high, 100);
}

TEST(ChartScale, NothingToScaleGivesTheEmptyMagnitudeBothWays) {
    for (const QList<double>& values : {QList<double>{}, QList<double>{0, 0, 0}}) {
        const kesp::ValueAxis axis = kesp::ScaleValueAxis(values, 5, 100);
        EXPECT_DOUBLE_EQ(axis.low, -100);
        EXPECT_DOUBLE_EQ(axis.high, 100);
        EXPECT_EQ(axis.ticks.size(), 11);
    }
}

TEST(ChartScale, LabelsAndBarWidths) {
    EXPECT_EQ(kesp::AxisLabel(20), "20");
    EXPECT_EQ(kesp::AxisLabel(-5.5), "-5.5");
    EXPECT_EQ(kesp::AxisLabel(0.25), "0.25");
    EXPECT_EQ(kesp::AxisLabel(-0.0001), "0");
    EXPECT_EQ(kesp::AxisLabel(3 * 0.1), "0.3");

    // Three bars and an 11-pixel side face in a slot of 44 pixels.
    EXPECT_EQ(kesp::FittedBarWidth(44, 3, 11, 20), 8);
    EXPECT_EQ(kesp::FittedBarWidth(200, 3, 11, 20), 20);
    EXPECT_EQ(kesp::FittedBarWidth(5, 3, 11, 20), 1);
}

ChartRequest Request(ChartKind kind, bool withValues) {
    ChartRequest chart{.top = 0, .left = 0, .bottom = 280, .right = 590};
    chart.series = {{"Physical", kBlue, {}}, {"Emotional", kOrange, {}}};
    if (withValues) {
        chart.series[0].values = {0, 26.98, 51.96, 73.08, 88.79, 97.9, 99.77, 94.23, 81.7, 63.1};
        chart.series[1].values = {0,     -22.25, -43.39, -62.35, -78.18,
                                  -90.1, -97.49, -100,   -97.49, -90.1};
    }
    for (int day = 1; day <= 10; ++day)
        chart.categories.append(QString::number(day).rightJustified(3) + ".12");
    chart.title = "Biorhythmus";
    chart.kind = kind;
    chart.view3d = true;
    chart.depth = 15;
    chart.grid = true;
    chart.valueLabels = true;
    chart.categoryLabels = true;
    chart.legend = true;
    chart.emptyMagnitude = 100;
    return chart;
}

QImage Painted(const ChartRequest& chart) {
    QImage image(590, 280, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    kesp::PaintChart(painter, image.rect(), chart);
    return image;
}

int PixelsOf(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour.rgb();
    return count;
}

int PixelsLike(const QImage& image, const std::function<bool(QColor)>& like) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += like(image.pixelColor(x, y));
    return count;
}

TEST(ChartPicture, EveryKindShowsItsSeriesInItsOwnShapes) {
    const QImage lines = Painted(Request(ChartKind::Lines, true));
    const QImage bars = Painted(Request(ChartKind::Bars, true));
    const QImage points = Painted(Request(ChartKind::Points, true));
    for (const QImage* image : {&lines, &bars, &points}) {
        EXPECT_GT(PixelsOf(*image, kBlue), 200);
        EXPECT_GT(PixelsOf(*image, kOrange), 200);
        // The red title and the blue labels.
        EXPECT_GT(
            PixelsLike(*image,
                       [](QColor c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }),
            20);
        EXPECT_GT(
            PixelsLike(*image,
                       [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; }),
            50);
    }
    // 3D bars have darker top and side faces; points are flat.
    EXPECT_GT(PixelsOf(bars, kBlue.darker(165)), 50);
    EXPECT_GT(PixelsOf(bars, kBlue.darker(130)), 20);
    EXPECT_EQ(PixelsOf(points, kBlue.darker(165)), 0);
    EXPECT_EQ(PixelsOf(points, kBlue.darker(130)), 0);
    // Bands are wider than a line: more of the colour than the points.
    EXPECT_GT(PixelsOf(lines, kBlue), 3 * PixelsOf(points, kBlue));
}

TEST(ChartPicture, SeriesWithoutValuesAppearOnlyInTheLegend) {
    for (ChartKind kind : {ChartKind::Lines, ChartKind::Bars, ChartKind::Points}) {
        ChartRequest chart = Request(kind, false);
        const QImage withLegend = Painted(chart);
        EXPECT_GT(PixelsOf(withLegend, kBlue), 0);    // the legend's block
        EXPECT_LT(PixelsOf(withLegend, kBlue), 150);  // and nothing else
        chart.legend = false;
        const QImage bare = Painted(chart);
        // (Blue label text smoothed on white may hit the light blue here and there.)
        EXPECT_LT(PixelsOf(bare, kBlue), 10);
        EXPECT_EQ(PixelsOf(bare, kOrange), 0);
        // Frame, axes and labels are there all the same.
        EXPECT_GT(
            PixelsLike(bare,
                       [](QColor c) { return c.blue() > 200 && c.red() < 60 && c.green() < 60; }),
            50);
    }
}

TEST(ChartOnWindow, DrawingRemembersTheRectangleAndAnEraseRemovesIt) {
    TestDriver driver;
    _DEFINEMODALWINDOW("chartform", {.title = "Chart", .width = 660, .height = 507});
    _DEFINELABEL("Label_1", {.row = 415, .col = 70, .width = 100, .height = 15, .value = "x"});
    _ENDWINDOW();
    _ACTIVATEWINDOW("chartform");

    ChartRequest chart = Request(ChartKind::Bars, true);
    chart.top = 20;
    chart.left = 20;
    chart.bottom = 300;
    chart.right = 610;
    DRAWGRAPH("ChartForm", chart);
    QWidget* window = TestDriver::widget("chartform");
    EXPECT_EQ(window->property("chartRect").toRect(), QRect(20, 20, 590, 280));
    QWidget* graph = TestDriver::widget("chartform", "graph");
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(graph->geometry(), QRect(20, 20, 590, 280));
    EXPECT_TRUE(graph->testAttribute(Qt::WA_TransparentForMouseEvents));
    const QImage drawn = window->grab(QRect(20, 20, 590, 280)).toImage();
    EXPECT_GT(PixelsOf(drawn, kBlue), 200);

    ERASEWINDOW("chartform");
    const QImage erased = window->grab(QRect(20, 20, 590, 280)).toImage();
    EXPECT_EQ(PixelsOf(erased, kBlue), 0);
    EXPECT_EQ(PixelsLike(erased, [](QColor c) { return c != Qt::white; }), 0);
    EXPECT_EQ(window->property("chartRect").toRect(), QRect(20, 20, 590, 280));

    // A second drawing replaces the first, in the same control.
    DRAWGRAPH("chartform", Request(ChartKind::Points, true));
    EXPECT_EQ(TestDriver::widget("chartform", "graph"), graph);
    EXPECT_EQ(window->property("chartRect").toRect(), QRect(0, 0, 590, 280));
    TestDriver::closeWindow("chartform");
}

}  // namespace
