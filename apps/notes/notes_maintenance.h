// The notes' maintenance window "notiz_del": removes at once every note of
// whose reminder date lies before a chosen day (a week ago unless
// the user picks another) and reports how many were removed. The creation
// date plays no part.
#pragma once

void OPEN_NOTIZ_VERW();    // opens the window (modal), from the main window
void BEGIN_NOTIZ_FRM();    // its initialisation: cut-off, texts, count line
void DEL_NOTIZE_AG_FRM();  // its delete button
