// The named operations of the agenda window "agenda_frm". Its controls call
// them; so do the tests.
//
// The agenda's table (kAgendaTable) is open in work area "a": under
// the alias `agenda` on the day view (the appointments of the day chosen in
// MonthCal_1), or for a moment under `agenda2` on the eleven days after it.
// Both are ordered by the index "itindex", keyed by date, hour and minute.
#pragma once

void OPENAGENDA();             // initialisation of agenda_frm
void AGENDA_AKTUALISIEREN();   // rebuilds the eleven-day list, the day view, their headings
void AGENDA_EDIT();            // the day table's selection into the edit panel
void AGENDA_SAVE();            // the edit panel over the selected appointment
void DELETE_TERMIN();          // the selected appointment, after asking
void UNDO_DELETE_TERMIN();     // Ctrl+Z: the newest deletion of this opening back, from the trash
void ForgetAgendaDeletions();  // at the window's opening
void AGENDA_NEW();             // the insert panel as a new appointment
void OPEN_RPT_AGENDA1();       // print preview of the day
void OPEN_RPT_AGENDA2();       // print preview of the eleven days
void EXPORT_CSV_AGENDA1();     // the day as a semicolon file
void EXPORT_CSV_AGENDA2();     // the eleven days as a semicolon file
void EXPORT_ICS_AGENDA1();     // the day as an iCalendar file
void EXPORT_ICS_AGENDA2();     // the eleven days as an iCalendar file
void IMPORT_ICS_AGENDA();      // the events of an iCalendar file as new appointments

// The user's closing of agenda_frm: true at once when the edit panel shows
// the chosen appointment as it was; else the answer to "Discard changes?".
bool MayCloseAgenda();

// Defines agenda_frm, each control with its text in the language in force.
void DefineAgendaWindow();
