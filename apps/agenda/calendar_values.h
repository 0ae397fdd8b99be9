// The values of an iCalendar file's dates, times and durations (RFC 5545):
// "20270105" (a date), "20270105T090000" (wall-clock), "20270105T080000Z"
// (UTC), "-PT15M" / "P1DT2H" (a duration), read strictly and written as
// other programs expect them.
#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

struct CalendarMoment {
    QDate date;
    QTime time;  // 00:00 for a date
    bool dateOnly = false;
    bool utc = false;  // ended in "Z"
};

// Nothing for anything else than the three forms above, or a day or a time
// that does not exist; a leap second is read as :59.
std::optional<CalendarMoment> ParseCalendarMoment(const QString& text);

QString CalendarDateText(const QDate& date);                         // "20270105"
QString CalendarDateTimeText(const QDate& date, const QTime& time);  // "20270105T090000"

// A duration in seconds (weeks and days counted as 7 and 1 times 86,400);
// nothing when the text is no duration.
std::optional<qint64> ParseCalendarDuration(const QString& text);
