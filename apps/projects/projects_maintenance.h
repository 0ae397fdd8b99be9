// The projects' maintenance window "projekt_del": removes at once every
// project whose due date lies before a chosen day (a week ago
// unless the user picks another), done or not, and reports how many were
// removed. Start and creation dates play no part.
#pragma once

void OPEN_PROJEKT_VERW();    // opens the window (modal), from the main window
void BEGIN_PROJEKT_FRM();    // its initialisation: cut-off, texts, count line
void DEL_PROJEKTE_AG_FRM();  // its delete button
