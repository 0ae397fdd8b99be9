// One appointment as the agenda's table stores it: the day (DATUM), the hour and
// the minute as two-digit texts (STUN, MINU), the text (TERMIN) and the key
// text TINDEX, which is the day in the date format of the language in force
// followed by hour and minute ("24.12.20070905" under DE). TINDEX is written
// for the files' sake only; the agenda orders by its own index, keyed by
// date, hour and minute.
#pragma once

#include "apps/common/index_files.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

struct Appointment {
    QDate date;
    QString hour;    // "00" ... "23" as the program writes it; kept as stored
    QString minute;  // "00", "05" ... "55" likewise
    QString text;    // trimmed
};

// The index "itindex": chronological, whatever language wrote the record.
inline const IndexFile kAgendaIndex{"itindex", KeyForm::Expression, {}, "DTOS(DATUM)+STUN+MINU"};

// The current record of `alias`; at the end of the table an empty one.
Appointment ReadAppointment(const QString& alias);

// Writes every field, TINDEX included, into the current record of the
// current work area.
void WriteAppointment(const Appointment& appointment);

// Appends the appointment to the current work area and commits it.
void AppendAppointment(const Appointment& appointment);

// Appends every appointment to the current work area with one commit at the
// end: a write the system refuses (kesp::WriteFailure) or an end of the
// program leaves none of them stored. The work area's orders are closed
// first (keeping them current would cost time quadratic in the number of
// appointments): the caller opens the table again with its index.
// `goOn` hears how many are appended so far; when it says false, nothing is
// stored, every table is closed without writing, and false is returned.
bool AppendAppointments(const QList<Appointment>& appointments,
                        const std::function<bool(int appended)>& goOn);
