// The iCalendar format (RFC 5545) as the agenda exchanges appointments: a
// calendar of events, each with a start, an end and a summary.
//
// Writing: one VEVENT per event, starting at its local time (no time zone:
// "floating" time) and lasting 30 minutes; an event without a time lasts its
// whole day. Texts are escaped as the format requires, lines end in CR LF
// and are folded at 75 octets of UTF-8 without splitting a character.
//
// Reading: the file's lines unfolded, its components checked for nesting,
// and every VEVENT turned into its start (converted to local time when given
// in UTC or a known time zone) and its summary. A recurring event yields its
// first occurrence only. Anything that is not a well-formed calendar is
// refused as a whole.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

#include <functional>

struct CalendarEvent {
    QDate date;
    QTime time;  // invalid: the event takes the whole day
    QString summary;
};

QByteArray WriteICalendar(const QList<CalendarEvent>& events, const QDateTime& stamp);

struct CalendarReading {
    QList<CalendarEvent> events;
    QString problem;         // why the bytes are no calendar; empty when they are
    bool cancelled = false;  // `goOn` said stop: no events
};

// `goOn`, when given, hears how many of how many lines are read; false
// stops the reading with no events.
CalendarReading ReadICalendar(
    const QByteArray& bytes, const std::function<bool(qsizetype read, qsizetype lines)>& goOn = {});
