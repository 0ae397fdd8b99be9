#include "apps/biorhythm/biorhythm_values.h"

#include <cmath>
#include <numbers>

double CycleValue(int dayDifference, int period) {
    const int phase = ((dayDifference % period) + period) % period;
    return 100 * std::sin(2 * std::numbers::pi * phase / period);
}

QList<QList<double>> BiorhythmValues(const QDate& birth, const QDate& start, int days) {
    QList<QList<double>> values;
    for (const BiorhythmCycle& cycle : kBiorhythmCycles) {
        QList<double> cycleValues;
        if (birth.isValid() && start.isValid()) {
            for (int k = 0; k < days; ++k)
                cycleValues.append(
                    CycleValue(static_cast<int>(birth.daysTo(start.addDays(k))), cycle.period));
        }
        values.append(cycleValues);
    }
    return values;
}

QString DayLabel(const QDate& day) {
    if (!day.isValid()) return {};
    return QString::number(day.day()).rightJustified(3, u' ') + u'.' + QString::number(day.month());
}
