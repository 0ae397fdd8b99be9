// The language of the user interface: the code stored in "startlang.dbf"
// ("DE", "AM" or "BR"), the date format that goes with it, and the change of
// language the three flag buttons of the main window ask for.
//
// THE_LANG follows the stored code from the first refresh of the main window
// on. A stored value is recognised by its beginning ("DE   " is German).
#pragma once

#include "kernel/lang_date_format.h"

#include <QString>

// Reads the stored code into THE_LANG and sets the date format and the
// interface locale of the language. A table without a record, or holding a
// code that begins with none of the three, gives English ("AM"), the language
// the program is installed with, so that the main window always has texts and
// a date format.
void APPLY_STORED_LANG();

// The same, for a start that must not write anything: the table is only
// looked at, and when it cannot be read (another program holds it) THE_LANG
// stays as it is.
void PEEK_STORED_LANG();

// The locale of THE_LANG: "de_DE", "en_US" or "pt_BR". It gives the calendars
// their month and day names and first day of the week, and Qt's own texts
// (Yes and No of the question boxes) their language.
QString LANG_LOCALE();

// The flag picture of THE_LANG: "img/de.bmp", "img/en.bmp" or "img/br.bmp".
QString LANG_FLAG();

// Stores code in "startlang.dbf" first, then switches the date format, the
// interface locale and the flag, confirms the change in a message box and
// refreshes the main window (HAUPT_STATISTIK). Windows already open keep
// their texts.
void CHANGE_LANG(const QString& code);
