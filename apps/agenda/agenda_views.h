// The two views of the agenda over its table in work area "a", and the
// steps its actions share to open and refresh them.
//
// Each view is a filter installed with the days it shows fixed at that
// moment, so nothing that happens afterwards (the chosen day changing while a
// report is laid out) can change what the view holds.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/agenda/appointment.h"
#include "apps/agenda/appointment_links.h"
#include "apps/common/steps_to_the_end.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The agenda's table in the data folder.
inline const QString kAgendaTable = QStringLiteral("agenda.dbf");

// The day chosen in MonthCal_1.
QDate ChosenDay();

// Closes every table, opens the agenda's table in work area "a" under `alias` and
// creates the index "itindex" anew as its only order; with `pack` the
// records marked deleted are removed first, and the number the record asked
// for (opening_record.h) has after the pack is returned; otherwise 0.
int OpenAgendaIndexed(const QString& alias, bool pack);

// After a change is stored: the agenda's table opened again as `agenda` as
// OpenAgendaIndexed does (without a record asked for), every step done even
// when the system refuses a write in one; the first refusal is kept in `after`.
void ReopenAgendaAfterChange(bool pack, StepsToTheEnd& after);

// Close every table and open a view in work area "a" with the index that
// exists, the pointer on its first appointment, in the index order: the day
// view `agenda` holds the appointments of `day`, the range view `agenda2`
// those from `first` to `last`, both included.
void OpenDayView(const QDate& day);
void OpenRangeView(const QDate& first, const QDate& last);

// Appointments brought back from the trash (appended after every record
// that has a link) are tied to their events again, and their events live
// again. The agenda is open in work area "a".
void TieAppointmentsBack();

// Opens "agenda.dbf" under `alias` (in the current work area, or with
// `newArea` in the lowest free one) as the agenda window does at its opening:
// appointments back from the trash tied again, the series without end stored
// ahead (StoreHorizon).
void OpenAgendaStoringAhead(const QString& alias, bool newArea = false);

// At the start of the program: the series without end stored ahead, so that
// the days ahead and the reminders see their appointments; every table as
// it was.
void STORE_SERIES_AHEAD();

// The appointment's text as the lists show it: an occurrence of a series
// marked as such.
QString MarkedText(const LinkedRecord& shown);

// The day table's cells of the current record (HH, MM, text): an all-day
// appointment says so before its text.
QStringList DayRowCells(const QStringList& cells);

// The range the eleven-day list shows for a chosen day: the first to the
// eleventh day after it.
QDate RangeStart(const QDate& day);
QDate RangeEnd(const QDate& day);

// The day view holds an appointment and the pointer is on it.
bool AppointmentSelected();

// The record number the pointer of work area "a" is on (the selected
// appointment, or the end of the view), to select it again afterwards.
int SelectedAppointment();

// The views afresh for the chosen day (AGENDA_AKTUALISIEREN); then the
// appointment numbered `recordNumber` is selected again when the day view
// still holds it.
void RefreshViewsSelecting(int recordNumber);

// While a report is laid out the window still handles events; its controls
// are switched off meanwhile, so that nothing moves or closes the view being
// printed. RAII: those that were on are switched on again when the guard goes.
class ReportInProgress {
  public:
    ReportInProgress();
    ~ReportInProgress();
    ReportInProgress(const ReportInProgress&) = delete;
    ReportInProgress& operator=(const ReportInProgress&) = delete;

  private:
    QStringList switchedOff_;
};
