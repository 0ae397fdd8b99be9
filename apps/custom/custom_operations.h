// The named operations of the own application's records window "myapp_frm"
// (over its table in work area "a", indexes "ifree02" and "ifree01"),
// of its naming window "freemyapp", and of the seven templates in both. The
// windows' controls call them; so do the tests.
#pragma once

#include "apps/common/free_fields_window.h"
#include "apps/common/record_window.h"

#include <QStringList>

void OPENMYAPP();            // initialisation of myapp_frm
void MYAPP_AKTUALISIEREN();  // fills the form from the current record
void T_FIRST_MYAPP();
void T_PREV_MYAPP();
void T_NEXT_MYAPP();
void T_LAST_MYAPP();
void T_NEW_MYAPP_P();  // starts entry
void T_NEW_MYAPP();    // saves the new record
void T_CANCEL_MYAPP();
void T_SAVE_MYAPP();
void T_DELETE_MYAPP();
void EXPORT_MYAPP();
void SUCHE_1_MYAPP();
void SUCHE_2_MYAPP();

void HOLEFREECONFIG_MYAPP();  // initialisation of freemyapp
void FREEUPDATE_MYAPP();      // its save button
void FREEDATA_MYAPP();        // its cancel button: the stored names again

// The templates in the naming window: fill its boxes and title only.
void VOR_LITER();
void VOR_VERSICHERUNG();
void VOR_KOCH();
void VOR_KFZ();
void VOR_CDS();
void VOR_VIDEOS();
void VOR_SAMMLUNGEN();

// The templates in the records window: rename it and store the names at once.
void VOR_LITER2();
void VOR_VERSICHERUNG2();
void VOR_KOCH2();
void VOR_KFZ2();
void VOR_CDS2();
void VOR_VIDEOS2();
void VOR_SAMMLUNGEN2();

// The descriptions the shared steps work from.
const RecordWindow& MyApp();
const FreeFieldsWindow& MyAppNaming();

// The names stored in the names table: the ten field names, then the
// application name (read under `alias` in the current work area).
QStringList ReadMyAppNames(const QString& alias);

// Writes the ten field names and the application name, trimmed, into
// the names table (appending its record when it has none).
void StoreMyAppNames(const QStringList& names);
