// The vCard entries of an address book's window: the records the list shows
// written to the export folder, and a file the user chooses imported, each
// ending with a message in the interface language that tells how it went.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/addresses/vcard_exchange.h"
#include "apps/common/record_window.h"

// The texts of the entries in the context menu and the tool tips.
inline const Texts kExportVCardText{"Als vCard exportieren", "Export as vCard",
                                    "Exportar como vCard"};
inline const Texts kExportVCard3Text{"Als vCard 3.0 exportieren", "Export as vCard 3.0",
                                     "Exportar como vCard 3.0"};
inline const Texts kImportVCardText{"vCard importieren", "Import vCard", "Importar vCard"};

// Writes the list's records (the whole book, or the quick search's result)
// to the book's vCard file in the export folder.
void ExportVCardOfWindow(const RecordWindow& record, const VCardBook& book, VCardVersion version);

// Asks for a file, imports it and shows the book again with the summary.
void ImportVCardIntoWindow(const RecordWindow& record, const VCardBook& book);
