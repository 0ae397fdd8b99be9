// The birthday list: a read-only view of the private addresses whose list
// flag is set, in window "form3" by birth month and day, narrowed to a month
// or to first names, and printed; and the printed list straight from the
// main window.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_GEBURT();  // opens the window (modal)
void PRINT_GEB();        // prints the whole list without the window

// The catalogue's entry: the birthdays of the private address book, for what
// works across the applications.
const RecordKind& BirthdaysKind();
