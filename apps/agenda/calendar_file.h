// iCalendar files (RFC 5545) as the agenda reads and writes them, whole:
// every VEVENT of every VCALENDAR in the file becomes a CalendarItem with
// all the agenda models and the rest kept as lines; components that are no
// event (a VTODO, a VJOURNAL) are kept whole, to be written back.
//
// Reading never refuses a file for one bad event: an event that cannot be
// read (no start, an unreadable date, a broken line inside it) is skipped
// and named by its first line; the others are read. Only bytes that hold no
// calendar at all are refused. Time zones: a TZID is taken as an IANA id,
// with a leading path ("/mozilla.org/20070129_1/Europe/Berlin") cut to the
// id it ends in, a Windows name ("W. Europe Standard Time", "Romance") mapped
// to its IANA id, and a zone defined only by the file's VTIMEZONE read from
// that definition.
//
// Writing: one VCALENDAR; a VTIMEZONE for every zone the items use; each
// item with its UID, start and end in its zone (VALUE=DATE for all-day
// items), RRULE, RDATE, EXDATE, RECURRENCE-ID, summary, place, description,
// its reminder and its kept lines; texts escaped, lines folded at 75 octets.
// An item without a UID (one read from a file that gave none) goes out
// without one, as it came. The VTIMEZONEs are libical's, named by the IANA id
// and without the rules that ended before the first item in that zone.
#pragma once

#include "apps/agenda/calendar_item.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct SkippedEvent {
    int line = 0;    // the file's line where the event begins
    QString reason;  // in English, for the message's detail
};

// A component of the calendar that is no event (a VTODO, a VJOURNAL), kept
// whole to be written back.
struct KeptComponent {
    QString name;   // "VTODO"
    QString uid;    // its UID; empty when it has none
    QString lines;  // BEGIN to END, unfolded, each line ended in CR LF
};

struct CalendarFileReading {
    QList<CalendarItem> items;        // in the file's order
    QList<SkippedEvent> skipped;      // events that could not be read
    QStringList keptComponents;       // "VTODO", "VJOURNAL" … once each, kept but not shown
    QList<KeptComponent> components;  // each of them whole, in the file's order
    int calendars = 0;                // VCALENDARs read
    QString problem;                  // why the bytes are no calendar; empty when they are
    bool cancelled = false;           // `goOn` said stop: no items
};

// `goOn`, when given, hears how many of how many lines are read; false stops
// the reading with no items.
CalendarFileReading ReadCalendarFile(
    const QByteArray& bytes, const std::function<bool(qsizetype read, qsizetype lines)>& goOn = {});

// `stamp` is written as every event's DTSTAMP; the kept components follow
// the events as they came.
QByteArray WriteCalendarFile(const QList<CalendarItem>& items, const QDateTime& stamp,
                             const QList<KeptComponent>& components = {});
