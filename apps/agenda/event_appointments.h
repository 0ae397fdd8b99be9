// An event as the agenda's appointments: one appointment for a single event,
// one for each day of an all-day event over several days, one for each
// occurrence of a series. A series with an end is stored whole, however
// old; one without an end from its first occurrence up to a day that moves
// on (StoreHorizon), and is stored further when the agenda opens or the
// user looks beyond it. A changed occurrence stands in for the occurrence it
// changes; dates left out give no appointment.
//
// Every appointment stored here gets its row in the link table
// (appointment_links.h); an event with anything beyond day, time and text
// gets its row in the event table (appointment_events.h).
//
// The writes go in this order: the event rows, the links (written ahead
// with the numbers the appointments will get), then the appointments in one
// commit. A refused or cancelled commit takes the links and event rows back,
// so an event is stored whole or not at all.
//
// Single-threaded. The agenda table must be open in the current work area;
// its orders are closed (the caller opens it again with its index).
#pragma once

#include "apps/agenda/appointment.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_item.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

// How far ahead series without end are stored: eighteen months from `day`.
QDate StoreHorizon(const QDate& day);

// The original start of an occurrence as its RECID: "20270105" for an
// all-day event, else "20270105T090000" in the event's own zone.
QString RecurrenceIdText(const QDateTime& start, bool allDay);

// The RECID a RECURRENCE-ID of the file names, in the same form, `series`'
// zone (a UTC value converted into it).
QString RecurrenceIdOf(const CalendarItem& changed, const CalendarItem& series);

// The appointment an event shows when it starts at `start` (wall clock in the
// event's zone) on the computer: the local day, hour and minute (on the
// agenda's five-minute steps; blank for an all-day event) and the summary as
// the table holds it.
Appointment AppointmentAt(const CalendarItem& item, const QDateTime& start);

// Whether the event says more than an appointment of the agenda can: it then
// gets a row in the event table.
bool NeedsEventRow(const CalendarItem& item);

struct EventToStore {
    CalendarItem item;            // a single event or a series
    QList<CalendarItem> changed;  // its changed occurrences
};

struct StoringOutcome {
    int appointments = 0;  // appended
    bool cancelled = false;
};

// Stores the events as appointments of the agenda open in the current work
// area, series without end up to `horizon`. `goOn` hears how many of how many
// appointments are appended; false stops and stores nothing.
StoringOutcome StoreEvents(const QString& dataPath, const QList<EventToStore>& events,
                           const QDate& horizon,
                           const std::function<bool(int done, int total)>& goOn = {});

// Stores the occurrences of every series without end from the day after it
// was stored up to `horizon`, for the agenda open in the current work area.
// Returns how many appointments were added.
int StoreOpenSeriesUntil(const QString& dataPath, const QDate& horizon);
// Whether StoreOpenSeriesUntil would store anything (a series stored short
// of `horizon`, or never).
bool OpenSeriesAwaitStoring(const QString& dataPath, const QDate& horizon);

// The occurrences of the series `uid` whose RECIDs are given are its own
// again (they came back from the trash): their dates are no more left out.
void TakeBackLeftOutDates(const QString& dataPath, const QString& uid,
                          const QStringList& recurrenceIds);

// The earliest day up to which a series without end is stored; invalid when
// there is none.
QDate OpenSeriesStoredUntil(const QString& dataPath);
