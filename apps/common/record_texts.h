// Texts that every record window shows in the same words.
#pragma once

#include "kernel/texts.h"

namespace record_texts {

inline const Texts kQuickSearch{"Schnellsuche", "Quick-search", "Procura rápida"};
inline const Texts kSave{"Speichern", "Save", "Salvar"};

inline const Texts kFirst{"Erster", "First", "Primeiro"};
inline const Texts kPrevious{"Zurück", "Previous", "Anterior"};
inline const Texts kNext{"Nächster", "Next", "Próximo"};
inline const Texts kLast{"Letzter", "Last", "Último"};
inline const Texts kInsert{"Daten hinzufügen", "Insert new record", "Inserir novo registro"};
inline const Texts kDelete{"Löschen", "Delete", "Apagar"};
inline const Texts kExportCsv{"Export CSV Format", "Export CSV Format", "Exportar em formato CSV"};

// Follows the number of records in the count line.
inline const Texts kRecordsInTable{" Daten in der Datenbank.", " records", " registros"};
// Follows the number of matches in the search result line.
inline const Texts kFound{" gefunden", " found", " encontrados"};

}  // namespace record_texts
