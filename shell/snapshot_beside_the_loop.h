// The snapshot at close made on a thread of its own while the event loop
// turns, so that the program's windows keep answering however large the
// data folder is. After a moment (200 ms) a small window says that the
// backup is being written, how many of its files are done, and offers to
// cancel it: the program then closes without this backup, and the data and
// the earlier backups stay as they were.
//
// Promises:
// - The snapshot is what MakeSnapshot makes, with the same reason when it
//   fails; cancelled, it returns nothing and an empty reason.
// - A fault the snapshot raises is raised again on the calling thread, after
//   the worker has ended.
// - Nothing else may write the data folder meanwhile: the caller has closed
//   every table and stopped what would write one (the reminders, the sync).
//
// Called from the event loop's thread; returns once the snapshot is done.
#pragma once

#include "shell/backups.h"

#include <QDateTime>
#include <QString>

#include <memory>

class QProgressDialog;

QString MakeSnapshotBesideTheLoop(const QDateTime& now, QString* reason);

// The window shown while it takes longer, in the interface language: its
// button cancels `progress`. Not shown yet.
std::unique_ptr<QProgressDialog> SnapshotProgressWindow(SnapshotProgress& progress);
