// The trash across the applications: every application's table in the
// catalogue keeps what its packs remove (apps/common/trash_tables.h), what
// the trash holds is listed under the names the catalogue gives records, and
// a run begins by finishing cut-off packs and forgetting what is older than
// the trash keeps.
#pragma once

#include "shell/record_kinds.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>

// How long the trash keeps a record.
inline constexpr int kTrashDays = 30;

// Called once a run has the data folder, before any table is opened: keeps
// what packs remove from every application's table, sets damaged tables of
// the trash aside, drops the copies of packs a crash cut off, and forgets
// what was packed away more than kTrashDays days before `today`. Returns
// what the user is to be told once (tables set aside), else an empty text.
QString OPEN_TRASH(const QDate& today);

struct TrashEntry {
    const RecordKind* kind = nullptr;
    std::uint32_t row = 0;  // in the kind's trash table
    QString name;           // as the catalogue names the record
    QDateTime packedAt;
};

// Everything in the trash, newest first.
QList<TrashEntry> TrashEntries();

// What a restore brought back, and what stayed in the trash.
struct TrashRestore {
    int restored = 0;
    bool inUse = false;  // a table or its trash was in use: its entries stayed
    // The applications whose tables refused the write, their entries still in
    // the trash, each with their number: (kind, count), in the catalogue's order.
    QList<QPair<const RecordKind*, int>> notWritten;
    QString reason;  // the first refusal's reason; empty when none was refused
};

// Puts the entries back into their tables, application by application; a
// table that is in use or refuses the write keeps its entries in the trash
// and the others go on.
TrashRestore RestoreTrashEntries(const QList<TrashEntry>& entries);

// Removes every entry from the trash for good; the number removed.
int EmptyTrash();
