// The agenda: appointments by date and time, shown for a chosen day and for
// the eleven days after it, in the modal window "agenda_frm" over
// "agenda.dbf".
#pragma once

void OPENFORM_AGENDA();  // opens the agenda (modal)
