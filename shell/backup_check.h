// Whether a folder of tables (a backup, or a data folder made from one) can
// take the place of the data folder: every table, memo file and trash table
// in it read whole, and nothing in it that leads elsewhere.
//
// Promises:
// - Never raises a fault, whatever the folder holds; writes nothing.
// - A folder passes when each of its entries is a plain file, or the trash
//   folder holding plain files, and each table passes the store's check of a
//   table file (kesp::store::TableFileDamage).
// - A sound table is remembered for the run by its and its memo file's
//   identity, size and change time, so the backups that share unchanged
//   files check them once.
// - May be called from any thread, on a folder nobody writes meanwhile.
#pragma once

#include <QString>

// Empty when the folder passes; else the first damage found, naming the file.
QString FolderOfTablesDamage(const QString& folder);
