// The agenda's iCalendar exchange without a window: a file's events stored
// as appointments (series, all-day events, ends, places, time zones, and
// what the agenda does not show kept for the export), and appointments
// written as events, a series once with its rule, its dates left out and its
// changed occurrences. The window and the command line both call these and
// do the talking themselves.
//
// Single-threaded.
#pragma once

#include "apps/agenda/appointment.h"
#include "apps/agenda/calendar_file.h"
#include "apps/agenda/event_appointments.h"
#include "apps/common/lost_characters.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

struct CalendarImport {
    bool read = false;  // false: `problem` says why nothing was stored
    QString problem;    // in the interface language
    bool cancelled = false;
    bool declined = false;       // the user did not want that many events
    int events = 0;              // events read (changed occurrences not counted)
    int series = 0;              // of them repeating
    int appointments = 0;        // appointments stored
    int alreadyPresent = 0;      // events the agenda had already
    int untitled = 0;            // events without a summary
    int longTexts = 0;           // summaries longer than an appointment's text
    int exactTimes = 0;          // starts off the agenda's five-minute steps
    QStringList keptProperties;  // names of what was kept without being shown
    int eventsWithKept = 0;
    QStringList keptComponents;  // "VTODO" …
    QList<SkippedEvent> skipped;
    LostCharacters lost;  // summaries with characters the table cannot hold
};

// The items of a file as events to store: each event or series with its
// changed occurrences; a changed occurrence whose series is missing stands
// on its own (a new UID when its own is taken by a single event).
QList<EventToStore> EventsToStore(const QList<CalendarItem>& items);

// Stores the events of `bytes` in the agenda open in the current work area
// (its orders are closed: the caller opens it again with its index). `goOn`
// hears the progress in 2,000 steps: reading the first 1,000, storing the
// others; false stops with nothing stored. `mayStoreMany` is asked
// before more than 100,000 events are stored; false stores none. A refused
// write raises kesp::WriteFailure with nothing of the file stored.
CalendarImport ImportCalendarBytes(const QString& dataPath, const QByteArray& bytes,
                                   const std::function<bool(int thousandths)>& goOn = {},
                                   const std::function<bool(qsizetype events)>& mayStoreMany = {});

// The summary in the interface language, lines separated by "\r".
QString CalendarImportSummary(const CalendarImport& imported);

// The event an appointment without a row in the event table is: at its time
// in the computer's zone for half an hour, or all its day when it has no time.
CalendarItem ItemOfAppointment(const Appointment& appointment, const QString& uid);

struct NumberedAppointment {
    int record = 0;
    Appointment appointment;
};

// The events the appointments belong to, each once, in the order of their
// first appointment: its items (the event, then its changed occurrences)
// and the records among `shown` that are its appointments.
struct AgendaEvent {
    QString uid;
    QList<CalendarItem> items;
    QList<int> records;
};
QList<AgendaEvent> EventsOfAppointments(const QString& dataPath,
                                        const QList<NumberedAppointment>& shown);

// The appointments as an iCalendar file: each event once, whichever of its
// appointments are among them; `events` hears how many events it holds.
QByteArray CalendarFileOf(const QString& dataPath, const QList<NumberedAppointment>& shown,
                          int* events = nullptr);
