// The notes: window "notiz_frm" over their table, latest reminder first, with
// a date search, a title search, entry, saving, deleting and the export
// "Notiz.csv" / "Notes.csv" / "Lembrete.csv". The window's controls call the
// named operations; so do the tests.
#pragma once

#include "apps/common/record_kind.h"
#include "apps/common/record_window.h"

void OPENFORM_NOTIZ();  // opens the window (modal), from the main window

void OPENNOTIZ();            // its initialisation
void NOTIZ_AKTUALISIEREN();  // shows the current note
void T_FIRST_NOTIZ_P();
void T_PREV_NOTIZ_P();
void T_NEXT_NOTIZ_P();
void T_LAST_NOTIZ_P();
void T_NEW_NOTIZ_P();
void T_CANCEL_NOTIZ_P();
void T_SAVENEW_NOTIZ_P();
void T_SAVE_NOTIZ_P();
void T_DELETE_NOTIZ_P();
void SUCHE_NOTIZ_DATUM();
void SUCHE_NOTIZ_TITEL();
void EXPORT_CSV_NOTIZ_P();

// The description the shared record-window steps work from.
const RecordWindow& Notes();

// The catalogue's entry: what the notes keep, for what works across the
// applications.
const RecordKind& NotesKind();
