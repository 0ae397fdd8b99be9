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
// - A restore first snapshots the present data, so that it can be taken back.
#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// "backups" beside the data folder (in the program folder), with the separator.
QString BackupsFolder();

struct Snapshot {
    QString folder;  // its path, without a trailing separator
    QDateTime madeAt;
};

// The snapshots, newest first.
QList<Snapshot> Snapshots();

// Makes a snapshot of the data folder now; its folder, or an empty string
// when it could not be written (`reason` then says why, in the interface
// language).
QString MakeSnapshot(const QDateTime& now, QString* reason = nullptr);

// What the program does when it closes: a snapshot unless the newest is less
// than an hour old, then the rotation. A failure is kept for the next start.
void SNAPSHOT_AT_CLOSE(const QDateTime& now);

// Keeps ten newest and one per week of the eight weeks before `now`.
void RotateSnapshots(const QDateTime& now);

// The record count of each application's table in the snapshot, as its
// header gives it, in the catalogue's order: (application name, count).
QList<QPair<QString, long long>> SnapshotCounts(const Snapshot& snapshot);

// Puts the snapshot's tables and memo files in place of the data folder's
// (each file replaced whole), after a snapshot of the present data; the
// index files are removed, to be rebuilt. False, with `reason`, when the
// present data could not be kept first or a file could not be replaced.
bool RestoreSnapshot(const Snapshot& snapshot, const QDateTime& now, QString* reason);

// The reason a snapshot at the last close failed, once; empty when none.
QString TakeFailedSnapshotNote();
