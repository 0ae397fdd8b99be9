// One event of an iCalendar file as the agenda holds it: a single
// appointment, a series with its rule, or one changed occurrence of a series.
// What the agenda shows and edits is modelled; everything else the event
// carried is kept as its own lines, so that writing the item gives it back.
//
// Times: `start` and `end` are wall-clock times in `zone` (an IANA id; empty
// for floating times, "UTC" for times given in UTC). An all-day item has
// dates only: `start` at 00:00 of its first day, `end` at 00:00 of the day
// after its last (as DTEND;VALUE=DATE says it), or invalid for one day.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct CalendarItem {
    QString uid;
    // A changed occurrence of the series `uid`: its original start, as the
    // file wrote it ("20270105" or "20270105T090000", in `zone`). Empty for
    // a single item or a series.
    QString recurrenceId;

    bool allDay = false;
    QDateTime start;  // wall-clock in `zone`, held as a local QDateTime
    QDateTime end;    // likewise; invalid: the file gave neither end nor duration
    QString zone;     // "Europe/Berlin", "UTC", or empty: floating

    QString summary;
    QString location;
    QString description;

    // The repetition: the RRULE's value as written ("FREQ=WEEKLY;BYDAY=TU,TH;
    // UNTIL=20271231T235959Z"); empty for none. Extra dates (RDATE) and
    // dates left out (EXDATE) as wall-clock starts in `zone`.
    QString rule;
    QList<QDateTime> extraDates;
    QList<QDateTime> leftOutDates;

    // The first reminder (VALARM with a trigger before the start), in
    // minutes before the start; -1 when the event has none.
    int alarmMinutes = -1;
    // The lines of that VALARM beside its trigger (ACTION, DESCRIPTION, X-…),
    // each ending in CR LF, written back with the trigger of `alarmMinutes`;
    // empty: a reminder made here, written as ACTION:DISPLAY with the summary.
    QString alarmLines;

    // The parameters SUMMARY, LOCATION and DESCRIPTION came with, as written
    // (";LANGUAGE=en-US"), by the property's name; written back with them.
    QMap<QString, QString> textParameters;

    // The lines of every property and inner component the agenda does not
    // model (ATTENDEE, CATEGORIES, a second VALARM …), unfolded, in their
    // order, each ending in CR LF: written back as they came.
    QString keptLines;

    int line = 0;  // the file's line of its BEGIN:VEVENT, for messages

    bool repeats() const { return !rule.isEmpty() || !extraDates.isEmpty(); }
};
