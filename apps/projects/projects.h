// The projects: window "projekt_frm" over their table, earliest due date
// first, with a due-date search, a title search, the buttons that show only
// the done or only the open projects, entry, saving, deleting and the export
// "Projekt.csv" / "Project.csv" / "Projeto.csv". An open project whose due
// date has passed shows its row in red. The window's controls call the named
// operations; so do the tests.
#pragma once

#include "apps/common/record_kind.h"
#include "apps/common/record_window.h"

void OPENFORM_PROJEKT();  // opens the window (modal), from the main window

void OPENPROJEKT();            // its initialisation
void PROJEKT_AKTUALISIEREN();  // shows the current project
void T_FIRST_PROJEKT_P();
void T_PREV_PROJEKT_P();
void T_NEXT_PROJEKT_P();
void T_LAST_PROJEKT_P();
void T_NEW_PROJEKT_P();
void T_CANCEL_PROJEKT_P();
void T_SAVENEW_PROJEKT_P();
void T_SAVE_PROJEKT_P();
void T_DELETE_PROJEKT_P();
void SUCHE_PROJEKT_DATUM();
void SUCHE_PROJEKT_TITEL();
void SUCHE_PROJEKT_FERTIG();  // only the done projects
void SUCHE_PROJEKT_OFFEN();   // only the open projects
void EXPORT_CSV_PROJEKT_P();

// The description the shared record-window steps work from.
const RecordWindow& Projects();

// The catalogue's entry: what the projects keep, for what works across the
// applications.
const RecordKind& ProjectsKind();
