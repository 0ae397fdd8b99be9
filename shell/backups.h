// Snapshots of the data folder: its tables and memo files (not the index
// files, which the windows rebuild) copied into a folder of their own in
// "backups" beside the data folder, as plain files any program reads.
//
// Promises:
// - A snapshot is written under a temporary name and takes its own name only
//   when every file is in it and synced; one that cannot be written is
//   removed again, leaving the data folder and every earlier snapshot as they
//   were, and its reason is kept to be told at the next start.
// - A file unchanged since the newest snapshot (same size and time) is linked
//   to that snapshot's copy instead of being copied again. Snapshots are never
//   written after they are made, and a file of the data folder is never linked
//   into one: the store writes those in place.
// - Rotation keeps the ten newest snapshots and the newest one of each of the
//   last eight weeks.
// - A snapshot holds the trash with the tables (its folder "papierkorb"), so a
//   restore brings both back together.
// - Before a snapshot is made, a pack cut off between its renames is
//   finished, snapshots cut off earlier are removed, and every table copied is
//   read back: a damaged copy fails the snapshot. Copies and folders keep the
//   permissions of the data folder's.
// - A restore checks the snapshot first, then snapshots the present data, so
//   that it can be taken back; a restore cut off at any moment leaves the
//   data folder either as it was or as the snapshot was, never a mix.
#pragma once

#include "shell/record_kinds.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <atomic>

// "backups" beside the data folder (in the program folder), with the separator.
QString BackupsFolder();

struct Snapshot {
    QString folder;  // its path, without a trailing separator
    QDateTime madeAt;
};

// The snapshots, newest first.
QList<Snapshot> Snapshots();

// How far a snapshot has come, and the wish to stop it: written by the
// thread that makes it, read and cancelled from any other.
struct SnapshotProgress {
    std::atomic<int> files{0};   // to copy or link, once they are known
    std::atomic<int> copied{0};  // copied or linked so far
    std::atomic<bool> cancel{false};
};

// Makes a snapshot of the data folder now; its folder, or an empty string
// when it could not be written (`reason` then says why, in the interface
// language). With `progress`, it counts its files there and stops before the
// next file once cancelled: nothing of it is left, and `reason` is empty.
// Touches no work area and no window: it may run on a thread of its own
// while nothing writes the data folder.
QString MakeSnapshot(const QDateTime& now, QString* reason = nullptr,
                     SnapshotProgress* progress = nullptr);

// What the program does when it closes: a snapshot unless the newest is less
// than an hour old, then the rotation. A failure is kept for the next start,
// also one the disk cuts off: the note is written before the snapshot begins.
// The snapshot is made beside the event loop (snapshot_beside_the_loop.h);
// one the user cancels is no failure.
void SNAPSHOT_AT_CLOSE(const QDateTime& now);

// Keeps ten newest and one per week of the eight weeks before `now`.
void RotateSnapshots(const QDateTime& now);

// The records not marked deleted of each application's table in the
// snapshot, in the catalogue's order: (application name, count); a damaged
// table counts none.
QList<QPair<QString, long long>> SnapshotCounts(const Snapshot& snapshot);
// The same for one application's table; may be called from any thread, as
// nothing writes a snapshot once it is made.
long long SnapshotTableCount(const Snapshot& snapshot, const RecordKind& kind);

// When the snapshot was made, as the interface language writes it.
QString SnapshotWhen(const Snapshot& snapshot);
// What the user is told after the snapshot was restored.
QString SnapshotRestoredText(const Snapshot& snapshot);

// What keeps the snapshot from being restored (a damaged table or memo file,
// a link, a folder where a file belongs), naming the file; empty when none.
QString SnapshotDamage(const Snapshot& snapshot);
// What the user is told when the snapshot is damaged: it is not restored and
// the data are unchanged; empty when it can be restored.
QString SnapshotRefusal(const Snapshot& snapshot);

// Puts the snapshot's tables, memo files and trash in place of the data
// folder's in one step, after a snapshot of the present data: a new data
// folder is made from the snapshot beside the data folder, read back, and
// swapped in (shell/data_folder.h); the index files are rebuilt. False, with
// `reason`, when the snapshot is damaged, the present data could not be kept
// first, or the new folder could not be made: the data are then unchanged and
// the reason names the snapshot of the present data, if one was made.
bool RestoreSnapshot(const Snapshot& snapshot, const QDateTime& now, QString* reason);

// The reason a snapshot at the last close failed, once; empty when none.
QString TakeFailedSnapshotNote();
