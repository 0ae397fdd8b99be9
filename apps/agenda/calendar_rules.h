// The occurrences of a repeating CalendarItem, reckoned by libical: RRULE,
// RDATE and EXDATE in the item's time zone, daylight-saving changes
// included. A wall-clock time that does not exist on its day (02:30 on the
// spring change) falls on the real time after the gap (03:30), one that
// exists twice on the first of the two.
#pragma once

#include "apps/agenda/calendar_item.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

// The starts of `series`' occurrences, in its zone's wall-clock time, from
// its first up to and including the day `until`, in order, without the dates
// left out; at most `limit`. A rule that libical cannot read gives the first
// start alone.
QList<QDateTime> OccurrenceStarts(const CalendarItem& series, const QDate& until,
                                  int limit = 100'000);

// Whether the rule ends by itself (COUNT or UNTIL) or has no rule at all:
// such a series is stored whole, however old.
bool SeriesEnds(const CalendarItem& series);

// The wall-clock time `start` in `zone` ("" floating: as it is) as the
// computer's local time. Only the date and the time of `start` count, not
// its time kind (local, UTC or zoned); so too for every wall-clock time
// these functions are given.
QDateTime LocalTimeOf(const QDateTime& start, const QString& zone);

// `local` (the computer's local time) as wall-clock time in `zone`.
QDateTime ZoneTimeOf(const QDateTime& local, const QString& zone);

// The zone of the computer, as an IANA id ("Europe/Berlin"; "UTC" for UTC).
QString ComputerZone();

// The moment, in UTC, of the wall-clock `date` `time` in `zone` ("" floating:
// the computer's local time), with the same rule for gaps and doubled hours.
QDateTime InstantOf(const QDate& date, const QTime& time, const QString& zone);

// The wall-clock time in `zone` ("" the computer's) of the moment `instant`.
QDateTime WallClockIn(const QDateTime& instant, const QString& zone);
