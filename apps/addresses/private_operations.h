// The named operations of the private address book (window "form1" over
// its table in work area "a", index "ivorname") and of its naming
// window "freeprivat". The window's controls call them; so do the tests.
#pragma once

#include "apps/addresses/address_book.h"
#include "apps/common/free_fields_window.h"
#include "apps/common/record_window.h"

void OPENADRESSE_P();            // initialisation of form1
void ADRESSE_P_AKTUALISIEREN();  // fills the form from the current record

void T_FIRST_ADRESSEN_P();
void T_PREV_ADRESSEN_P();
void T_NEXT_ADRESSEN_P();
void T_LAST_ADRESSEN_P();
void T_NEW_ADRESSEN_P();
void T_DELETE_ADRESSEN_P();
void T_SAVE_ADRESSEN_P();
void T_SAVENEW_ADRESSEN_P();
void T_CANCEL_ADRESSEN_P();
void SUCHE_ADRESSEN_P();
void EXPORT_CSV_ADRESSEN_P();
void EXPORT_VCARD_ADRESSEN_P();   // vCard 4.0 of the list's records into the export folder
void EXPORT_VCARD3_ADRESSEN_P();  // the same as vCard 3.0
void IMPORT_VCARD_ADRESSEN_P();   // a vCard file the user chooses
void DUPLICATES_ADRESSEN_P();     // the window of likely duplicates over both books

void HOLEFREECONFIG();  // initialisation of freeprivat
void FREEUPDATE();      // its save button

// The tables, aliases and windows of the book, which its description, its
// catalogue entry, its naming window and its vCard book are made of.
const AddressBookNames& PrivateBookNames();

// The description the shared record-window steps work from.
const RecordWindow& PrivateAddressBook();
const FreeFieldsWindow& PrivateFreeFields();
