// The window "kommend" ("Demnächst" / "Coming up" / "Próximos dias"): the
// days ahead (coming_up.h) under their day headings, overdue projects first
// and in red, as in the projects window. Enter or a double-click opens an
// entry in its application's window, standing on its record; closing that
// window comes back to the list, read anew. The number of days and the two
// check boxes (open at the start, the own application's date as a reminder)
// are kept at once. Tab, the arrows, Enter and Escape do everything.
//
// The entries are read beside the event loop (coming_up_beside_the_loop.h):
// the window shows at once, its list saying that it reads, and fills when
// they are in; read anew, it shows what it showed until then (and after
// 200 ms that it reads).
//
// Single-threaded: all calls come from the event loop.
#pragma once

// Opens the window (modal), from the main window's button.
void OPENFORM_KOMMEND();

// At the start of the program, after the main window is up: reads the days
// ahead beside the loop when the user wants the window then, and opens it
// with what was read when something falls due today or is overdue (not over
// a window opened meanwhile).
void OFFER_KOMMEND_AT_START();

// Whether the days ahead are being read, for the window or at the start
// (until the window opened then is shown).
bool ComingUpBeingRead();
