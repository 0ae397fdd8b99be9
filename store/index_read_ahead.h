// Index files read on a thread of their own ahead of the orders that open
// them: a window names the index files of its table before it is built, and
// by the time its orders open, the files are read, while the event loop was
// building the window.
//
// Promises:
// - TakeReadAhead hands over only what KeyOrder::ReadContent would read now:
//   the content of the very file the path names (its stamp as it was when
//   read ahead), with its keys when asked for; else nothing, and the caller
//   reads the file itself. It waits for a reading still running. Keys are
//   read ahead only for key texts without the form of a character field's
//   (ReadContent's OfExpressions): such an order takes its keys from the table.
// - Reading ahead raises nothing and writes nothing: a file missing,
//   unreadable or damaged leaves nothing to take, and the order's own
//   reading meets it as before.
// - One set of files at a time: reading another stops the last (after the
//   file being read) and drops what it left untaken.
//
// Called from the event loop only; the reading thread touches nothing else.
#pragma once

#include "store/key_order.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kesp::store {

// Starts reading the index files named in `files` (as DBCREATEINDEX names
// them: ".ntx" added to a name without extension) in `folder`.
void ReadIndexFilesAhead(const QString& folder, const QStringList& files);

// The content read ahead for the index file at `path` (absolute), when it is
// still the file's and holds the keys where `withKeys`; taken, so handed
// over once.
std::optional<IndexFileContent> TakeReadAhead(const QString& path, bool withKeys);

}  // namespace kesp::store
