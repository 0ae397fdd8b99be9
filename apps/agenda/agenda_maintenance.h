// The agenda's maintenance window "agenda_del": removes at once every
// appointment of the agenda dated before a chosen day (a week ago unless
// the user picks another) and reports how many were removed.
#pragma once

void OPEN_AG_VERW();        // opens the window (modal), from the main window
void BEGIN_AG_FRM();        // its initialisation: cut-off, texts, count line
void DEL_TERMINE_AG_FRM();  // its delete button
