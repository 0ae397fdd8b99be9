// The numbers of the biorhythm chart, apart from any window: the three
// cycles' values for a run of days and the day labels under them.
//
// A cycle of period p on day d, for a person born on day b, stands at
// 100 * sin(2 * pi * ((d - b) mod p) / p), where d - b is the whole number of
// days between the dates and "mod" gives 0 ... p - 1 for negative
// differences too (the cycles run backwards before the birth date).
#pragma once

#include <QDate>
#include <QList>
#include <QString>

struct BiorhythmCycle {
    int period;
};

// Physical (23 days), emotional (28) and intellectual (33), in this order.
inline constexpr BiorhythmCycle kBiorhythmCycles[] = {{23}, {28}, {33}};

// The value, -100 ... +100, of a cycle `dayDifference` days after the birth date.
double CycleValue(int dayDifference, int period);

// One list per cycle (in the order above), each with the values of `days`
// consecutive days from `start`. Without a birth date the chart means
// nothing: the lists are empty.
QList<QList<double>> BiorhythmValues(const QDate& birth, const QDate& start, int days);

// The day of the month right-aligned in three characters, a point and the
// month number: "  6.12", " 30.11". Empty for the empty date.
QString DayLabel(const QDate& day);
