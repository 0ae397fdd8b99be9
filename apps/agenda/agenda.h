// The agenda: appointments by date and time, shown for a chosen day and for
// the eleven days after it, in the modal window "agenda_frm" over its
// table.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_AGENDA();  // opens the agenda (modal)

// The catalogue's entry: what the agenda keeps, for what works across the
// applications.
const RecordKind& AgendaKind();
