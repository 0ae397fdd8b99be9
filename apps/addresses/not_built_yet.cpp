// Placeholders until the address books are built; the main window keeps
// their buttons disabled while ADDRESS_BOOKS_BUILT is false.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"

void OPENFORM_ADRESSE_P() {}
void FREE_ADRESSE_P() {}
void OPENFORM_ADRESSE_G() {}
void FREE_ADRESSE_G() {}
