// The business address book: its window over "adressen_g.dbf", and the
// standard window "freefirma" that names its ten extra fields.
#pragma once

void OPENFORM_ADRESSE_G();  // opens the business address book (modal)
void FREE_ADRESSE_G();      // opens the naming of the extra fields (beside the main window)
