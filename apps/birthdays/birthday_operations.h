// The named operations of the birthday list, window "form3" over
// the private address book's table opened in work area 1 under the alias "geburt". The
// window's controls call them; so do the tests.
#pragma once

#include <QString>

void OPENGEBURT();                     // initialisation of form3
void GEBURT_AKTUALISIEREN();           // the details and the count line from the current record
void SUCHE_GEBURT();                   // first-name search, at every change of s_geburt
void SUCHE_ALLE();                     // "All": every listed person by birth month and day
void SUCHE_ANY(const QString& month);  // "01" ... "12": the persons born in that month
void OPEN_RPT_GEB();                   // prints the current view, back on the selected person

// Defines form3 with every control, its texts in the language in force.
void DefineBirthdayWindow();
