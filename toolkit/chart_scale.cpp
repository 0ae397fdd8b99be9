#include "toolkit/chart_scale.h"

#include <algorithm>
#include <cmath>

namespace kesp {
namespace {

constexpr double kDecimals = 1e4;
// A ratio this close to a whole number is that number: 75 / 2.5 must give 30.
constexpr double kWholeTolerance = 1e-9;
// Pixels between the bar groups of two categories.
constexpr int kGroupGap = 8;

}  // namespace

double RoundedForScale(double value) {
    const double rounded = std::round(value * kDecimals) / kDecimals;
    return rounded == 0 ? 0.0 : rounded;  // no "-0"
}

double EnlargedToQuarter(double magnitude) {
    if (!(magnitude > 0)) return 0;
    const double power = std::pow(10.0, std::floor(std::log10(magnitude)));
    const double quarter = power / 4;
    return std::ceil(magnitude / quarter - kWholeTolerance) * quarter;
}

ValueAxis ScaleValueAxis(const QList<double>& values, int divisions, double emptyMagnitude) {
    double lowest = 0;
    double highest = 0;
    for (const double value : values) {
        const double rounded = RoundedForScale(value);
        lowest = std::min(lowest, rounded);
        highest = std::max(highest, rounded);
    }
    ValueAxis axis;
    axis.low = -EnlargedToQuarter(-lowest);
    axis.high = EnlargedToQuarter(highest);
    double larger = std::max(-axis.low, axis.high);
    if (larger == 0) {
        larger = emptyMagnitude;
        axis.low = -emptyMagnitude;
        axis.high = emptyMagnitude;
    }
    axis.step = larger / std::max(1, divisions);
    const int first = static_cast<int>(std::ceil(axis.low / axis.step - kWholeTolerance));
    const int last = static_cast<int>(std::floor(axis.high / axis.step + kWholeTolerance));
    for (int k = first; k <= last; ++k)
        axis.ticks.append(k * axis.step);
    return axis;
}

QString AxisLabel(double value) {
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.')) text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

int FittedBarWidth(double slotWidth, int barsPerCategory, int depthOffset, int preferred) {
    int width = std::max(1, preferred);
    while (width > 1 && barsPerCategory * width + depthOffset + kGroupGap > slotWidth)
        --width;
    return width;
}

}  // namespace kesp
