// The private address book: window "form1" over its table, and the
// standard window "freeprivat" that names its ten extra fields.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_ADRESSE_P();  // opens the private address book (modal)
void FREE_ADRESSE_P();      // opens the naming of the extra fields (beside the main window)

// The catalogue's entry: what the private address book keeps, for what works
// across the applications.
const RecordKind& PrivateAddressesKind();
