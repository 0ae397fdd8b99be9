// What an appointment is beyond its day, time and text: its event as
// another calendar knows it (the repetition, all day, the end, the place, the
// description, the time zone, the reminder, and whatever else the event
// carried). The table "agenda_info.dbf" beside "agenda.dbf" keeps one row per
// such event: UID, RECID (empty for the event or series itself; the
// original start for one occurrence changed on its own), BIS (how far a
// series without end has been stored as appointments), OFFEN (a series
// without end), GELOESCHT (deleted: its appointments are in the trash) and
// EREIGNIS, the event written as an iCalendar text (a memo), which other
// programs can read as it is.
//
// A component of an imported file that is no event (a VTODO, a VJOURNAL)
// is kept in a row of its own, to be written back by the export: its UID,
// its name as RECID ("VTODO") and its lines as they came as EREIGNIS.
//
// An appointment without such a row is what the agenda table alone says.
//
// Single-threaded; every call opens the table in a work area of its own and
// leaves the current area as it was.
#pragma once

#include "apps/agenda/calendar_file.h"
#include "apps/agenda/calendar_item.h"

#include <QDate>
#include <QList>
#include <QMultiHash>
#include <QString>

#include <optional>

inline const QString kAgendaEventsTable = QStringLiteral("agenda_info.dbf");

struct StoredEvent {
    int row = 0;  // in the table; 0: not yet stored
    CalendarItem item;
    QDate storedUntil;  // a series without end: its appointments are stored up to this day
    bool deleted = false;
};

// The event `uid`'s own row (recurrenceId empty) or that of one of its
// changed occurrences; nothing when there is none.
std::optional<StoredEvent> StoredEventOf(const QString& dataPath, const QString& uid,
                                         const QString& recurrenceId = {});

// Every row not removed, by UID (read once: for writing many events).
QMultiHash<QString, StoredEvent> EventRowsByUid(const QString& dataPath);

// The changed occurrences of the series `uid`.
QList<StoredEvent> ChangedOccurrencesOf(const QString& dataPath, const QString& uid);

// The series without end that are not deleted.
QList<StoredEvent> OpenSeries(const QString& dataPath);

// Writes each event into its row (row 0: a new row; its number is set) in
// one commit. A refused write raises kesp::WriteFailure and leaves the table
// at its last commit.
void WriteEventRows(const QString& dataPath, QList<StoredEvent>& events);

// Marks the rows of an event (and its changed occurrences) deleted or not
// (its appointments went to the trash, or came back).
void MarkEventDeleted(const QString& dataPath, const QString& uid, bool deleted);

// Removes the rows of changed occurrences of `uid` whose RECID is not in `keep`.
void ForgetChangedOccurrences(const QString& dataPath, const QString& uid, const QStringList& keep);

// Marks every row of `uid` (the event and its changed occurrences) removed
// from the table: the event is about to be stored anew.
void RemoveEventRows(const QString& dataPath, const QString& uid);

// Keeps the components that are not kept already (the same name and UID, or
// the same lines when they have no UID), in one commit; returns their rows.
// A refused write raises kesp::WriteFailure and keeps none.
QList<int> KeepComponents(const QString& dataPath, const QList<KeptComponent>& components);

// Removes the rows KeepComponents gave (the import they came with was not
// stored).
void ForgetKeptComponents(const QString& dataPath, const QList<int>& rows);

// The kept components, in the order they were kept.
QList<KeptComponent> KeptComponents(const QString& dataPath);
