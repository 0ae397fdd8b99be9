#include "shell/trash.h"

#include "apps/common/trash_tables.h"
#include "kernel/texts.h"
#include "store/fault.h"

#include <QDir>

#include <algorithm>

namespace {

const Texts kSetAside{
    "Diese beschädigten Tabellen des Papierkorbs wurden beiseitegelegt:\r%1\rDer übrige "
    "Papierkorb ist unverändert.",
    "These damaged tables of the trash were set aside:\r%1\rThe rest of the trash is unchanged.",
    "Estas tabelas danificadas da lixeira foram postas de lado:\r%1\rO restante da lixeira não "
    "foi alterado."};

}  // namespace

QString OPEN_TRASH(const QDate& today) {
    QStringList tables;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn())
        tables.append(kind->table);
    KeepPackedRecordsOf(tables);
    QStringList setAside;
    try {
        setAside = TidyTrashFolder();
        FinishUnfinishedPacks();
        FinishUnfinishedRestores();
        ForgetTrashBefore(today.addDays(-kTrashDays));
    } catch (const kesp::WriteFailure&) {
        // Housekeeping only: what could not be finished now is finished at
        // the next start, and the packs of this run still keep their records.
    }
    if (setAside.isEmpty()) return {};
    for (QString& path : setAside)
        path = QDir::toNativeSeparators(path);
    return TEXT(kSetAside).arg(setAside.join(QLatin1Char('\r')));
}

QList<TrashEntry> TrashEntries() {
    QList<TrashEntry> entries;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn()) {
        const QStringList captions = ReadUserCaptions(*kind);
        for (const TrashedRecord& record : TrashedRecordsOf(kind->table, NameFields(*kind))) {
            const QString name = ComposeRecordName(
                *kind,
                [&](const QString& field) { return ShownFieldValue(record.values.value(field)); },
                captions);
            entries.append({kind, record.row, name, record.packedAt});
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const TrashEntry& a, const TrashEntry& b) {
        return a.packedAt != b.packedAt ? a.packedAt > b.packedAt : a.row > b.row;
    });
    return entries;
}

TrashRestore RestoreTrashEntries(const QList<TrashEntry>& entries) {
    TrashRestore restore;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn()) {
        QList<std::uint32_t> rows;
        for (const TrashEntry& entry : entries)
            if (entry.kind == kind) rows.append(entry.row);
        if (rows.isEmpty()) continue;
        try {
            const int back = RestoreFromTrash(kind->table, rows);
            if (back < 0)
                restore.inUse = true;
            else
                restore.restored += back;
        } catch (const kesp::WriteFailure& failure) {
            restore.notWritten.append({kind, int(rows.size())});
            if (restore.reason.isEmpty()) restore.reason = failure.fault().reason();
        }
    }
    return restore;
}

int EmptyTrash() {
    int removed = 0;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn())
        removed += std::max(0, EmptyTrashOf(kind->table));
    return removed;
}
