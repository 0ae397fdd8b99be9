#include "shell/trash.h"

#include "apps/common/trash_tables.h"
#include "kernel/texts.h"
#include "store/fault.h"

#include <QDir>

#include <QHash>

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

int RestoreTrashEntries(const QList<TrashEntry>& entries, bool* inUse) {
    QHash<const RecordKind*, QList<std::uint32_t>> rowsOf;
    for (const TrashEntry& entry : entries)
        rowsOf[entry.kind].append(entry.row);
    int restored = 0;
    *inUse = false;
    for (auto it = rowsOf.begin(); it != rowsOf.end(); ++it) {
        const int back = RestoreFromTrash(it.key()->table, it.value());
        if (back < 0)
            *inUse = true;
        else
            restored += back;
    }
    return restored;
}

int EmptyTrash() {
    int removed = 0;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn())
        removed += std::max(0, EmptyTrashOf(kind->table));
    return removed;
}
