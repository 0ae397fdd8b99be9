// The private address book: window "form1" over "adressen_p.dbf", and the
// standard window "freeprivat" that names its ten extra fields.
#pragma once

void OPENFORM_ADRESSE_P();  // opens the private address book (modal)
void FREE_ADRESSE_P();      // opens the naming of the extra fields (beside the main window)
