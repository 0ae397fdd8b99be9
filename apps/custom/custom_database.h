// The user's own application: the records window "myapp_frm" over its
// table, whose ten fields and title carry the names stored in its names
// table, and the standard window "freemyapp" in which the user names them,
// both with the seven templates.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_MYAPP();        // opens the records window (modal)
void OPENFORM_MYAPPCONFIG();  // opens the naming window (beside the main window)

// The catalogue's entry: what the own application keeps, for what works
// across the applications.
const RecordKind& MyAppKind();
