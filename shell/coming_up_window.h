// The window "kommend" ("Demnächst" / "Coming up" / "Próximos dias"): the
// days ahead (coming_up.h) under their day headings, overdue projects first
// and in red, as in the projects window. Enter or a double-click opens an
// entry in its application's window, standing on its record; closing that
// window comes back to the list, read anew. The number of days and the two
// check boxes (open at the start, the own application's date as a reminder)
// are kept at once. Tab, the arrows, Enter and Escape do everything.
//
// Single-threaded: all calls come from the event loop.
#pragma once

// Opens the window (modal), from the main window's button.
void OPENFORM_KOMMEND();

// At the start of the program, after the main window is up: opens the window
// when the user wants it then and something falls due today or is overdue.
void OFFER_KOMMEND_AT_START();
