// Birth dates that state no age: a birthday kept without its year stands in
// 1904 (a leap year, so that 29 February has its place), and years before
// 1900 are no births but stand-ins (year 1 of a date picked without a year,
// say). The vCard exchange writes and reads the first; the days ahead and
// the reminders state an age for the others only.
#pragma once

#include <QDate>

inline constexpr int kYearOfNoYear = 1904;

inline bool StatesAnAge(const QDate& birth) {
    return birth.isValid() && birth.year() >= 1900 && birth.year() != kYearOfNoYear;
}
