// The business address book: its window over its table, and the
// standard window "freefirma" that names its ten extra fields.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_ADRESSE_G();  // opens the business address book (modal)
void FREE_ADRESSE_G();      // opens the naming of the extra fields (beside the main window)

// The catalogue's entry: what the business address book keeps, for what
// works across the applications.
const RecordKind& BusinessAddressesKind();
