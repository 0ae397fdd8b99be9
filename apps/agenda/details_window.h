// The window "agenda_det" ("Details…" in the agenda's edit panel): the
// chosen appointment's repetition, all day, end, place and description,
// shown and set. OK stores the event as the window says (for an occurrence
// of a series after asking which occurrences); Cancel and Escape change
// nothing. Also the one line under the day table that tells what the
// chosen appointment is beyond its day, time and text.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/agenda/series_editing.h"

#include <QString>

void OPEN_AGENDA_DETAILS();  // the window over the chosen appointment
void SAVE_AGENDA_DETAILS();  // its OK

// "Wöchentlich (Di, Do) bis 31.12.2027 · bis 11:30 · Ort: Raum 4" in the
// interface language; "" for an appointment that is nothing more.
QString DetailsLine(const ChosenEvent& chosen);
