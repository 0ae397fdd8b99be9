// Tips and tricks: window "tipps" over the collection's table, listed by
// title, with a word search that copies the matching tips into the result
// table (kResultTable) and then shows and edits that table instead (the result
// view) until the next search, Save new or Delete; navigation, entry,
// saving, deleting and the export "Tipps.csv" / "Tips.csv" / "Macetes.csv"
// of the table shown. The window's controls call the named operations; so do
// the tests.
#pragma once

#include "apps/common/record_kind.h"
#include "apps/common/record_window.h"

void OPENFORM_TIPPS();  // opens the window (modal), from the main window

void OPENDB_TIPPS();         // its initialisation
void TIPPS_AKTUALISIEREN();  // shows the current tip of the table shown
void T_FIRST_TIPPS();
void T_PREV_TIPPS();
void T_NEXT_TIPPS();
void T_LAST_TIPPS();
void T_NEW_TIPPS();
void T_CANCEL_TIPPS();
void T_SAVENEW_TIPPS();
void T_SAVE_TIPPS();
void T_DELETE_TIPPS();
void SELECT_WAS_TIPPS();  // the searched part: title or description
void SUCHE_2_TIPPS();     // the word search
void EXPORT_TIPPS();

// The description the shared record-window steps work from.
const RecordWindow& Tips();

// The catalogue's entry: what the tips keep, for what works across the
// applications.
const RecordKind& TipsKind();
