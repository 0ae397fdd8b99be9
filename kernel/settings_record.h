// The one write path of the one-record settings tables of the data folder
// ("geburt.dbf" of the biorhythm, "freeadr_p.dbf" and "freeadr_g.dbf" of the
// field-naming windows, "myfields.dbf" of the own application, ...).
//
// Such a table is installed with its one record, and the program reads its
// first record. A table that has lost that record (emptied by another
// program, or every record marked deleted) would take a write at the end of
// the table, where a write changes nothing: the values would be lost while the
// caller reports success. WriteSettingsRecord appends the record first in that
// case, so that the values always land in the record the readers read next.
//
//   WriteSettingsRecord("geburt.dbf", "geburt",
//                       [&] { REPLACE("geburt->DATUM", birthDate); });
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

#include <functional>

// Opens `table` of the data folder (THE_DATA_PATH) exclusively in the current
// work area under `alias` (closing what was open there), goes to its first
// record, appending a blank one when there is none, runs `write` (REPLACE
// calls on that record), commits and closes the area. When it returns, the
// values are written to the file; a table that cannot be opened or written
// raises the store's fault and it does not return.
void WriteSettingsRecord(const QString& table, const QString& alias,
                         const std::function<void()>& write);
