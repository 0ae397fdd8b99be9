// Which appointments of "agenda.dbf" belong to which event: the table
// "agenda_uid.dbf" beside it, one row per appointment that has a UID, with
// SATZ the appointment's record number, SCHLUESSEL its day, time and a
// digest of its text (so that a number another program's pack has moved is
// not trusted), UID the event's identity and RECID, for an occurrence of a
// series, the start the series gave it ("20270105T090000" or "20270105").
// A plain appointment has an empty RECID; several records with one UID and
// no RECID are the days of one all-day event.
//
// Rows are only ever appended, for records appended at that moment, and
// every pack in this program renumbers SATZ as it renumbers the records
// (store/number_followers.h): so the live rows stay in ascending order of
// SATZ and a record's row is found by bisection. A row whose record a pack
// removed keeps its UID with SATZ 0 and its key, so that the record coming
// back from the trash (appended, at the end) is tied to its event again.
//
// Appointments written before rows existed have none; their UID is made
// from their day, time and text (ContentUid) and kept once they are changed.
//
// Single-threaded; every call opens the table in a work area of its own and
// leaves the current area as it was.
#pragma once

#include "apps/agenda/appointment.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

inline const QString kAgendaLinksTable = QStringLiteral("agenda_uid.dbf");

struct AppointmentLink {
    QString uid;
    QString recurrenceId;  // empty: not an occurrence of a series
};

struct LinkedRecord {
    int record = 0;
    Appointment appointment;
    AppointmentLink link;
};

// The key of the appointment that guards its row: "20270105" "09" "30" and
// eight hex digits of the text.
QString AppointmentKey(const Appointment& appointment);

// The UID of an appointment that has none stored, made from what it shows;
// `sameBefore` appointments with the same day, time and text came first.
QString ContentUid(const Appointment& appointment, int sameBefore = 0);

// A new UID for an event made here.
QString NewEventUid();

// Names the link table as a follower of the agenda's packs (once is enough).
void FollowAgendaPacks();

// The link of `record`, which shows `appointment`; nothing when it has none.
std::optional<AppointmentLink> LinkOf(const QString& dataPath, int record,
                                      const Appointment& appointment);

// The links of many records at once (the table opened once): each
// record's `link` set, or left empty when it has none.
void FillLinks(const QString& dataPath, QList<LinkedRecord>& records);

// Appends the rows in one commit. Their records must be the newest of the
// agenda (appended after every record that has a row). A refused write
// raises kesp::WriteFailure and leaves the table at its last commit.
void AddLinks(const QString& dataPath, const QList<LinkedRecord>& rows);

// Marks the rows of these records deleted (their records changed into new
// ones or left an event), in one commit.
void DropLinks(const QString& dataPath, const QList<int>& records);

// The live rows of an event, by record number, with their RECIDs.
QHash<int, QString> RecordsOfEvent(const QString& dataPath, const QString& uid);

// Records appended after the last record that has a row (so: back from the
// trash) that match the key of a row whose record a pack removed get that
// row's UID and RECID again, as new rows; `records` are the agenda's records
// by number from `firstNumber` on. The links tied again are returned.
QList<AppointmentLink> TieRecordsBackFromTheTrash(const QString& dataPath,
                                                  const QHash<int, Appointment>& records);

// Rows whose record a pack removed and whose key `stillInTheTrash` does not
// hold (their record left the trash for good) are dropped, and with them
// every row marked deleted: the table is packed when there is any.
void DropLinksOfEmptiedTrash(const QString& dataPath, const QSet<QString>& stillInTheTrash);

// The rows of the event `uid` whose record a pack removed are marked deleted:
// the event is stored anew, so its appointments in the trash come back as
// appointments of their own.
void ForgetTrashedLinksOf(const QString& dataPath, const QString& uid);

// The number of the last record that has a live row; 0 when none.
int LastLinkedRecord(const QString& dataPath);
// Whether any live row's record was removed by a pack (it waits in the trash
// to be tied back): without one, TieRecordsBackFromTheTrash ties nothing.
bool LinksAwaitTheirRecords(const QString& dataPath);
