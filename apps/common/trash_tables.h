// The trash: what a pack removes from an application's table is first copied
// into a trash table of that table's own, so that a deletion can be taken
// back after the window that made it has closed.
//
// The trash lives in the folder "papierkorb" of the data folder. A table's
// trash table has the table's name and fields (memos in a memo file of the
// same kind) and three more: GELOESCHT and GEL_ZEIT, the day and time of the
// pack that removed the record, and GEL_PACK, that pack's mark, which groups
// the records one pack removed. Other programs read them as plain dBase
// tables.
//
// Promises:
// - While KeepPackedRecordsOf is in force, every pack of one of its tables in
//   the data folder copies the removed records, byte for byte, memos
//   included, into the trash before the table's files are replaced; a trash
//   that cannot be written stops the pack (the WriteFailure reaches the
//   caller, the table keeps its records).
// - A pack killed at any moment leaves each removed record in its table or in
//   its trash: FinishUnfinishedPacks, run at start before any table is opened,
//   drops the copies of a pack that never replaced its table, so no record is
//   in both.
// - Restoring appends the records to their table and only then removes them
//   from the trash; a restore killed at any moment leaves each record in its
//   table or in the trash, once, after FinishUnfinishedRestores at start.
// Single-threaded.
#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>

// Keeps what packs remove from `tables` (file names in the data folder, as
// "notiz.dbf") from now on; an empty list keeps nothing.
void KeepPackedRecordsOf(const QStringList& tables);

// The trash folder and a table's trash table in it.
QString TrashFolderName();  // within the data folder
QString TrashFolder();
// Whether a file of the trash folder is a trash table or its memo file (not
// the trash's own bookkeeping or a table still being made).
bool IsTrashTableFile(const QString& fileName);
QString TrashTablePath(const QString& table);

// Makes the trash folder safe to open, before anything of it is: removes the
// tables cut off while being made and what packs no longer under way left,
// and sets every table that does not pass the check aside (with its memo
// file) into the folder "beiseite" of the trash; returns the paths they were
// set aside to. A refused move is a WriteFailure.
QStringList TidyTrashFolder();

// Finishes what packs cut off by the end of the process left: the copies of a
// pack that did not replace its table leave the trash. Tables in use by
// another holder are left for the next time.
void FinishUnfinishedPacks();

// Finishes a restore cut off by the end of the process: the records that
// reached their table leave the trash; when they did not, the trash stays as
// it was.
void FinishUnfinishedRestores();

// Removes from every trash table the records packed away before `day`;
// returns how many.
int ForgetTrashBefore(const QDate& day);

// One record in a trash table.
struct TrashedRecord {
    QString table;                    // the table it came from: "notiz.dbf"
    std::uint32_t row;                // its record number in the trash table
    QDateTime packedAt;               // when the pack removed it
    QString pack;                     // the pack's mark
    QHash<QString, QVariant> values;  // the fields asked for, as the table reads them
};

// The records of `table`'s trash, oldest first, with the values of `fields`.
// Empty when there is no trash table or it is in use.
QList<TrashedRecord> TrashedRecordsOf(const QString& table, const QStringList& fields);

// Puts the trash rows `rows` of `table` back into the table (appended, every
// byte as it was) and takes them out of the trash; returns how many came
// back, or -1 when the table or its trash is in use. A refused write
// throws WriteFailure, leaving the trash whole.
int RestoreFromTrash(const QString& table, const QList<std::uint32_t>& rows);

// The same for every record one pack removed (the latest pack of `table`
// made in this run: LastPackOf).
int RestorePack(const QString& table, const QString& pack);
QString LastPackOf(const QString& table);

// Removes every record of `table`'s trash for good; returns how many, or -1
// when there is no trash table or it is in use.
int EmptyTrashOf(const QString& table);
