// The arithmetic of a chart's value axis and bar widths, apart from any
// drawing, so that it can be checked number by number.
//
// The value axis runs from the most negative to the most positive value
// (zero always included), each end enlarged in magnitude to the next quarter
// of its leading power of ten (97.9 becomes 100, 73.1 becomes 75, 26.98
// becomes 27.5; 100 and 0 stay). Ticks, with their labels and grid lines,
// stand at every n-th part of the larger of the two magnitudes, above and
// below zero. Values are rounded to four decimals first, so that the noise
// of floating-point arithmetic (100 * sin(pi) is not exactly 0) never becomes
// an end of the axis.
#pragma once

#include <QList>
#include <QString>

namespace kesp {

// The value rounded to the decimals the axis works with.
double RoundedForScale(double value);

// A magnitude (>= 0) enlarged to the next multiple of a quarter of its
// leading power of ten; 0 stays 0.
double EnlargedToQuarter(double magnitude);

struct ValueAxis {
    double low = 0;       // bottom end, <= 0
    double high = 0;      // top end, >= 0
    double step = 0;      // distance between ticks, > 0
    QList<double> ticks;  // from low to high, 0 among them
};

// The axis for `values` in `divisions` parts of the larger magnitude. With
// no values, or only zeros, the axis runs from -emptyMagnitude to
// +emptyMagnitude (emptyMagnitude > 0).
ValueAxis ScaleValueAxis(const QList<double>& values, int divisions, double emptyMagnitude);

// A tick's label: at most two decimals, without trailing zeros ("20",
// "-5.5", "0.25").
QString AxisLabel(double value);

// The width of one bar when each category's slot holds `barsPerCategory`
// bars side by side plus the 3D side face (`depthOffset` pixels) and a gap:
// `preferred`, shrunk until the bars fit the slot, never below 1.
int FittedBarWidth(double slotWidth, int barsPerCategory, int depthOffset, int preferred);

}  // namespace kesp
