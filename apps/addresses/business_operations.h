// The named operations of the business address book (window "form2" over
// its table in work area "a", index "ifirma") and of its naming
// window "freefirma". The window's controls call them; so do the tests.
#pragma once

#include "apps/addresses/address_book.h"
#include "apps/common/free_fields_window.h"
#include "apps/common/record_window.h"

void OPENADRESSE_G();            // initialisation of form2
void ADRESSE_G_AKTUALISIEREN();  // fills the form from the current record

void T_FIRST_ADRESSEN_G();
void T_PREV_ADRESSEN_G();
void T_NEXT_ADRESSEN_G();
void T_LAST_ADRESSEN_G();
void T_NEW_ADRESSEN_G();
void T_DELETE_ADRESSEN_G();
void T_SAVE_ADRESSEN_G();
void T_SAVENEW_ADRESSEN_G();
void T_CANCEL_ADRESSEN_G();
void SUCHE_ADRESSEN_G();
void EXPORT_CSV_ADRESSEN_G();
void EXPORT_VCARD_ADRESSEN_G();   // vCard 4.0 of the list's records into the export folder
void EXPORT_VCARD3_ADRESSEN_G();  // the same as vCard 3.0
void IMPORT_VCARD_ADRESSEN_G();   // a vCard file the user chooses
void DUPLICATES_ADRESSEN_G();     // the window of likely duplicates over both books

void HOLEFREECONFIG_G();  // initialisation of freefirma
void FREEUPDATE_G();      // its save button

// The tables, aliases and windows of the book, which its description, its
// catalogue entry, its naming window and its vCard book are made of.
const AddressBookNames& BusinessBookNames();

// The description the shared record-window steps work from.
const RecordWindow& BusinessAddressBook();
const FreeFieldsWindow& BusinessFreeFields();
