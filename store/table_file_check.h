// Whether a table found on disk can be read whole, asked without ending the
// program: for files the program did not write in this run (a backup, the
// trash, a copy just made) before anything relies on them.
//
// Promises:
// - Never raises a fault and never hands one to the installed handler,
//   whatever the files hold; writes nothing.
// - A table passes when it and its memo file are plain files (no symbolic
//   links, folders or devices under their names), it opens, and
//   DbfTable::CheckStructure finds nothing: every counted record is in the
//   file and every memo pointer inside the memo file.
#pragma once

#include <QString>

namespace kesp::store {

// Empty when the table at `path` passes; else what is wrong, naming the file.
QString TableFileDamage(const QString& path);

}  // namespace kesp::store
