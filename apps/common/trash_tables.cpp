#include "apps/common/trash_tables.h"

#include "kernel/public_variables.h"
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/live_records.h"
#include "store/pack_keeper.h"
#include "store/table_file_check.h"
#include "store/table_schema.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QPair>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <utility>

using kesp::store::DbfTable;

namespace {

const QString kDeletedOn = QStringLiteral("GELOESCHT");
const QString kDeletedAt = QStringLiteral("GEL_ZEIT");
const QString kPackField = QStringLiteral("GEL_PACK");

// The packs begun and not yet known to have ended: one row each, marked
// deleted once the pack has replaced its table or was given up.
const QString kUnfinished = QStringLiteral("offen.dbf");
const QString kTableField = QStringLiteral("TABELLE");
const QString kBefore = QStringLiteral("VORHER");
// The restore under way: a row for each trash row it brings back, with the
// record count its table had before; the file is removed when it has ended.
const QString kRestoring = QStringLiteral("zurueck.dbf");
const QString kRowField = QStringLiteral("ZEILE");
// A table is made under this prefix and renamed into place.
const QString kUnfinishedPrefix = QStringLiteral("neu_");
// While a pack is under way, "<pack>.vorher" is a second name of the table
// file it packs: the file cannot vanish, so whether the pack replaced the
// table is whether the table's name still leads to it.
const QString kBeforeSuffix = QStringLiteral(".vorher");
// Where damaged files of the trash are set aside.
const QString kSetAside = QStringLiteral("beiseite");

using TablePointer = std::unique_ptr<DbfTable>;

QString FileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

void MakeTrashFolder() {
    if (!QDir().mkpath(TrashFolder()))
        kesp::store::ThrowWriteFailure(TrashFolder(), QStringLiteral("create"), EACCES);
}

// The table at `path`, created with `fields` when there is none; nullptr when
// another holder has it.
TablePointer OpenOrCreate(const QString& path, const std::vector<kesp::FieldSpec>& fields,
                          kesp::MemoKind kind) {
    if (!kesp::store::FileExists(path)) {
        // Made under another name and renamed, memo first: a table cut off
        // while being made (a full disk, the end of the process) never
        // stands under its own name.
        MakeTrashFolder();
        const QFileInfo file(path);
        const QString made =
            file.absolutePath() + QLatin1Char('/') + kUnfinishedPrefix + file.fileName();
        const bool withMemo =
            std::any_of(fields.begin(), fields.end(), [](const auto& f) { return f.type == 'M'; });
        const QString memoSuffix =
            kind == kesp::MemoKind::Fpt ? QStringLiteral(".fpt") : QStringLiteral(".dbt");
        const auto memoOf = [&](const QString& table) {
            return table.left(table.size() - file.suffix().size() - 1) + memoSuffix;
        };
        try {
            kesp::CreateTable(made, fields, kind);
            if (withMemo) kesp::store::RenameFile(memoOf(made), memoOf(path));
            kesp::store::RenameFile(made, path);
        } catch (const kesp::WriteFailure&) {
            kesp::store::RemoveFile(made);
            kesp::store::RemoveFile(memoOf(made));
            throw;
        }
    }
    return DbfTable::Open(path);
}

QString BeforePackPath(const QString& pack) {
    return TrashFolder() + pack + kBeforeSuffix;
}

TablePointer OpenUnfinished() {
    return OpenOrCreate(TrashFolder() + kUnfinished,
                        {{kTableField, 'C', 60}, {kPackField, 'C', 20}, {kBefore, 'N', 10}},
                        kesp::MemoKind::Dbt);
}

TablePointer OpenTrashOf(const DbfTable& table) {
    std::vector<kesp::FieldSpec> fields;
    for (const kesp::store::Field& f : table.fields())
        fields.push_back({f.name, f.type, f.length, f.decimals});
    fields.push_back({kDeletedOn, 'D', 8});
    fields.push_back({kDeletedAt, 'C', 8});
    fields.push_back({kPackField, 'C', 20});
    return OpenOrCreate(TrashTablePath(FileNameOf(table.path())), fields,
                        table.memoKind().value_or(kesp::MemoKind::Dbt));
}

// A trash table another holder keeps locked stops the pack, as a refused write.
[[noreturn]] void InUse(const QString& path) {
    kesp::store::ThrowWriteFailure(path, QStringLiteral("open"), EBUSY);
}

TablePointer OpenExisting(const QString& path) {
    if (!kesp::store::FileExists(path)) return nullptr;
    return DbfTable::Open(path);
}

QString TextOf(const DbfTable& table, std::uint32_t row, const QString& field) {
    const int at = table.FieldIndex(field);
    return at < 0 ? QString() : table.Read(row, at).toString().trimmed();
}

// Copies record `from` of `source` into record `to` of `target`, field by
// field of the same name: the bytes where type and width agree, else the value.
void CopyRecord(const DbfTable& source, std::uint32_t from, DbfTable& target, std::uint32_t to) {
    for (std::size_t i = 0; i < source.fields().size(); ++i) {
        const kesp::store::Field& field = source.fields()[i];
        const int at = target.FieldIndex(field.name);
        if (at < 0) continue;
        const kesp::store::Field& there = target.fields()[static_cast<std::size_t>(at)];
        if (there.type == field.type && there.length == field.length) {
            target.WriteBytes(to, at, source.ReadBytes(from, static_cast<int>(i)));
        } else {
            target.Write(to, at, source.Read(from, static_cast<int>(i)));
        }
    }
}

// Removes the rows of `table` for which `drop` holds; returns how many. Only
// marked (written in place, needing no room) unless `pack`.
template <typename Drop>
int DropRows(DbfTable& table, Drop drop, bool pack = true) {
    int dropped = 0;
    kesp::store::ForEachLiveRecord(table, [&](std::uint32_t row) {
        if (!drop(row)) return;
        table.SetDeleted(row, true);
        ++dropped;
    });
    if (pack) table.Pack();
    return dropped;
}

// Rows marked deleted have left the trash (the marks are written in place and
// need no room); the pack that takes their bytes away as well is left to the
// next start when the disk refuses it now.
void PackIfThereIsRoom(DbfTable& trash) {
    try {
        trash.Pack();
    } catch (const kesp::WriteFailure&) {
    }
}

void DropPack(const QString& table, const QString& pack) {
    if (TablePointer trash = OpenExisting(TrashTablePath(table))) {
        DropRows(
            *trash, [&](std::uint32_t row) { return TextOf(*trash, row, kPackField) == pack; },
            false);
    }
}

// Ends the row of `pack` in the packs not yet ended.
void EndUnfinished(const QString& pack) {
    TablePointer unfinished = OpenUnfinished();
    if (!unfinished) return;
    kesp::store::ForEachLiveRecord(*unfinished, [&](std::uint32_t row) {
        if (TextOf(*unfinished, row, kPackField) == pack) unfinished->SetDeleted(row, true);
    });
}

class TrashKeeper final : public kesp::store::PackKeeper {
  public:
    QSet<QString> tables;  // lower-case file names
    QHash<QString, QString> lastPack;

    void Keep(const DbfTable& table, const std::vector<std::uint32_t>& removed) override {
        current_.clear();
        if (!IsKept(table)) return;
        const QString name = FileNameOf(table.path());
        const QDateTime now = QDateTime::currentDateTime();
        const QString pack = now.toString(QStringLiteral("yyyyMMddHHmmsszzz")) +
                             QString::number(++packsThisRun_).rightJustified(3, '0');

        // First the pack is noted as begun, so that its copies can be found
        // and dropped should it never replace the table: the table file is
        // given a second name, then the pack is written down.
        MakeTrashFolder();
        kesp::store::RemoveFile(BeforePackPath(pack));
        kesp::store::LinkFile(table.path(), BeforePackPath(pack));
        TablePointer unfinished = OpenUnfinished();
        if (!unfinished) InUse(TrashFolder() + kUnfinished);
        unfinished->AppendBlank();
        const std::uint32_t note = unfinished->RecordCount();
        unfinished->Write(note, unfinished->FieldIndex(kTableField), name);
        unfinished->Write(note, unfinished->FieldIndex(kPackField), pack);
        unfinished->Write(note, unfinished->FieldIndex(kBefore), double(table.RecordCount()));
        unfinished->Commit();
        unfinished.reset();

        TablePointer trash = OpenTrashOf(table);
        if (!trash) InUse(TrashTablePath(name));
        for (const std::uint32_t record : removed) {
            trash->AppendBlank();
            const std::uint32_t row = trash->RecordCount();
            CopyRecord(table, record, *trash, row);
            trash->Write(row, trash->FieldIndex(kDeletedOn), now.date());
            trash->Write(row, trash->FieldIndex(kDeletedAt),
                         now.toString(QStringLiteral("HH:mm:ss")));
            trash->Write(row, trash->FieldIndex(kPackField), pack);
        }
        trash->Commit();
        current_ = pack;
    }

    // (The trash's own packs come back here as tables not kept: what belongs
    // to the pack under way is taken from current_ first.)
    void Packed(const QString& tablePath) override {
        const QString pack = std::exchange(current_, QString());
        if (pack.isEmpty()) return;
        lastPack.insert(FileNameOf(tablePath).toLower(), pack);
        EndUnfinished(pack);
        kesp::store::RemoveFile(BeforePackPath(pack));
    }

    void Abandoned(const QString& tablePath) override {
        const QString pack = std::exchange(current_, QString());
        if (pack.isEmpty()) return;
        DropPack(FileNameOf(tablePath), pack);
        EndUnfinished(pack);
        kesp::store::RemoveFile(BeforePackPath(pack));
    }

  private:
    bool IsKept(const DbfTable& table) const {
        const QFileInfo file(table.path());
        return tables.contains(file.fileName().toLower()) &&
               QDir(file.absolutePath()) == QDir(THE_DATA_PATH);
    }

    QString current_;
    int packsThisRun_ = 0;
};

TrashKeeper& Keeper() {
    static TrashKeeper keeper;
    return keeper;
}

}  // namespace

void KeepPackedRecordsOf(const QStringList& tables) {
    Keeper().tables.clear();
    for (const QString& table : tables)
        Keeper().tables.insert(table.toLower());
    kesp::store::SetPackKeeper(tables.isEmpty() ? nullptr : &Keeper());
}

QString TrashFolder() {
    return THE_DATA_PATH + TrashFolderName() + QDir::separator();
}

QString TrashFolderName() {
    return QStringLiteral("papierkorb");
}

bool IsTrashTableFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const QString base = QFileInfo(fileName).completeBaseName();
    return (suffix == "dbf" || suffix == "dbt" || suffix == "fpt") &&
           !fileName.startsWith(kUnfinishedPrefix, Qt::CaseInsensitive) &&
           base.compare(QFileInfo(kUnfinished).completeBaseName(), Qt::CaseInsensitive) != 0 &&
           base.compare(QFileInfo(kRestoring).completeBaseName(), Qt::CaseInsensitive) != 0;
}

QString TrashTablePath(const QString& table) {
    return TrashFolder() + table;
}

void FinishUnfinishedPacks() {
    TablePointer unfinished = OpenExisting(TrashFolder() + kUnfinished);
    if (!unfinished) return;
    kesp::store::ForEachLiveRecord(*unfinished, [&](std::uint32_t row) {
        const QString table = TextOf(*unfinished, row, kTableField);
        const QString pack = TextOf(*unfinished, row, kPackField);
        const auto before = static_cast<std::uint32_t>(
            unfinished->Read(row, unfinished->FieldIndex(kBefore)).toDouble());
        // Opening the table finishes a swap that was cut off. A table whose
        // name still leads to the file the pack began with was never
        // replaced, whatever was written to it since; a pack noted without
        // that second name (a file system without links) is judged by the
        // record count it began with.
        const TablePointer source = OpenExisting(THE_DATA_PATH + table);
        if (!source) {
            if (kesp::store::FileExists(THE_DATA_PATH + table)) return;  // in use
        } else if (kesp::store::FileExists(BeforePackPath(pack))
                       ? kesp::store::IsSameFile(THE_DATA_PATH + table, BeforePackPath(pack))
                       : source->RecordCount() == before) {
            DropPack(table, pack);
        }
        unfinished->SetDeleted(row, true);
        kesp::store::RemoveFile(BeforePackPath(pack));
    });
    unfinished->Pack();
}

namespace {

// Moves a table and its memo file into the set-aside folder; the table's new path.
QString SetAside(const QString& path, const QString& stamp) {
    const QString folder = TrashFolder() + kSetAside + QLatin1Char('/');
    if (!QDir().mkpath(folder))
        kesp::store::ThrowWriteFailure(folder, QStringLiteral("create"), EACCES);
    for (const QString& file : QStringList{path} + kesp::store::MemoCandidates(path)) {
        if (QFileInfo(file).exists() || QFileInfo(file).isSymLink())
            kesp::store::RenameFile(file, folder + stamp + QFileInfo(file).fileName());
    }
    return folder + stamp + QFileInfo(path).fileName();
}

}  // namespace

QStringList TidyTrashFolder() {
    const QDir folder(TrashFolder());
    if (!folder.exists()) return {};
    // Tables cut off while being made never took their names.
    for (const QString& name :
         folder.entryList({kUnfinishedPrefix + QLatin1Char('*')}, QDir::Files))
        kesp::store::RemoveFile(TrashFolder() + name);
    // A damaged table is moved out of the way with its memo file, never opened.
    QStringList setAside;
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_"));
    for (const QString& name :
         folder.entryList({QStringLiteral("*.dbf")}, QDir::Files | QDir::System)) {
        if (!kesp::store::TableFileDamage(TrashFolder() + name).isEmpty())
            setAside.append(SetAside(TrashFolder() + name, stamp));
    }
    // Second names of packs no longer under way.
    QSet<QString> underWay;
    if (const TablePointer unfinished = OpenExisting(TrashFolder() + kUnfinished)) {
        kesp::store::ForEachLiveRecord(*unfinished, [&](std::uint32_t row) {
            underWay.insert(TextOf(*unfinished, row, kPackField) + kBeforeSuffix);
        });
    }
    for (const QString& name : folder.entryList({QLatin1Char('*') + kBeforeSuffix}, QDir::Files))
        if (!underWay.contains(name)) kesp::store::RemoveFile(TrashFolder() + name);
    return setAside;
}

int ForgetTrashBefore(const QDate& day) {
    int forgotten = 0;
    const QStringList names =
        QDir(TrashFolder()).entryList({QStringLiteral("*.dbf")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(kUnfinished, Qt::CaseInsensitive) == 0) continue;
        const TablePointer trash = OpenExisting(TrashTablePath(name));
        const int on = trash ? trash->FieldIndex(kDeletedOn) : -1;
        if (on < 0) continue;
        forgotten += DropRows(*trash, [&](std::uint32_t row) {
            const QDate packed = trash->ReadDate(row, on);
            return packed.isValid() && packed < day;
        });
    }
    return forgotten;
}

QList<TrashedRecord> TrashedRecordsOf(const QString& table, const QStringList& fields) {
    QList<TrashedRecord> records;
    const TablePointer trash = OpenExisting(TrashTablePath(table));
    if (!trash) return records;
    kesp::store::ForEachLiveRecord(*trash, [&](std::uint32_t row) {
        TrashedRecord record{table, row, {}, TextOf(*trash, row, kPackField), {}};
        const int on = trash->FieldIndex(kDeletedOn);
        const QTime at =
            QTime::fromString(TextOf(*trash, row, kDeletedAt), QStringLiteral("HH:mm:ss"));
        record.packedAt = QDateTime(on < 0 ? QDate() : trash->ReadDate(row, on), at);
        for (const QString& field : fields) {
            const int index = trash->FieldIndex(field);
            if (index >= 0) record.values.insert(field, trash->Read(row, index));
        }
        records.append(record);
    });
    return records;
}

namespace {

TablePointer OpenRestoring() {
    return OpenOrCreate(TrashFolder() + kRestoring,
                        {{kTableField, 'C', 60}, {kBefore, 'N', 10}, {kRowField, 'N', 10}},
                        kesp::MemoKind::Dbt);
}

// Takes the rows of `journal` as restored into `table` when the table has
// more records than before the restore (its commit went through): marks
// them deleted in the trash. Marking is written in place and may be done twice.
void FinishRestoreOf(const QString& table, std::uint32_t before, const QList<std::uint32_t>& rows) {
    const TablePointer target = OpenExisting(THE_DATA_PATH + table);
    if (!target || target->RecordCount() <= before) return;
    const TablePointer trash = OpenExisting(TrashTablePath(table));
    if (!trash) return;
    for (const std::uint32_t row : rows)
        if (row >= 1 && row <= trash->RecordCount()) trash->SetDeleted(row, true);
}

// Puts the live trash rows of `table` for which `chosen` holds back into the
// table, then takes them out of the trash; -1 when either is in use.
//
// The restore is noted in the trash's journal before the first change, so
// that a restore cut off at any moment is finished or forgotten at the next
// start (FinishUnfinishedRestores): the table's commit decides which.
template <typename Chosen>
int Restore(const QString& table, Chosen chosen) {
    TablePointer trash = OpenExisting(TrashTablePath(table));
    const TablePointer target = OpenExisting(THE_DATA_PATH + table);
    if (!trash || !target) return -1;
    QList<std::uint32_t> rows;
    kesp::store::ForEachLiveRecord(*trash, [&](std::uint32_t row) {
        if (chosen(*trash, row)) rows.append(row);
    });
    if (rows.isEmpty()) return 0;
    const std::uint32_t before = target->RecordCount();
    {
        TablePointer journal = OpenRestoring();
        if (!journal) InUse(TrashFolder() + kRestoring);
        for (const std::uint32_t row : rows) {
            journal->AppendBlank();
            const std::uint32_t at = journal->RecordCount();
            journal->Write(at, journal->FieldIndex(kTableField), table);
            journal->Write(at, journal->FieldIndex(kBefore), double(before));
            journal->Write(at, journal->FieldIndex(kRowField), double(row));
        }
        journal->Commit();
    }
    const auto endJournal = [] { kesp::store::RemoveFile(TrashFolder() + kRestoring); };
    try {
        for (const std::uint32_t row : rows) {
            target->AppendBlank();
            CopyRecord(*trash, row, *target, target->RecordCount());
        }
        target->Commit();
    } catch (const kesp::WriteFailure&) {
        endJournal();  // nothing came back
        throw;
    }
    // Only now, with the records in their table, do they leave the trash.
    for (const std::uint32_t row : rows)
        trash->SetDeleted(row, true);
    endJournal();
    PackIfThereIsRoom(*trash);
    return int(rows.size());
}

}  // namespace

void FinishUnfinishedRestores() {
    const QString path = TrashFolder() + kRestoring;
    {
        const TablePointer journal = OpenExisting(path);
        if (!journal) return;
        QMap<QString, QPair<std::uint32_t, QList<std::uint32_t>>> restores;
        kesp::store::ForEachLiveRecord(*journal, [&](std::uint32_t row) {
            auto& restore = restores[TextOf(*journal, row, kTableField)];
            restore.first = static_cast<std::uint32_t>(
                journal->Read(row, journal->FieldIndex(kBefore)).toDouble());
            restore.second.append(static_cast<std::uint32_t>(
                journal->Read(row, journal->FieldIndex(kRowField)).toDouble()));
        });
        for (auto it = restores.cbegin(); it != restores.cend(); ++it)
            FinishRestoreOf(it.key(), it.value().first, it.value().second);
    }
    kesp::store::RemoveFile(path);
}

int RestoreFromTrash(const QString& table, const QList<std::uint32_t>& rows) {
    const QSet<std::uint32_t> wanted(rows.begin(), rows.end());
    return Restore(table, [&](const DbfTable&, std::uint32_t row) { return wanted.contains(row); });
}

int RestorePack(const QString& table, const QString& pack) {
    return Restore(table, [&](const DbfTable& trash, std::uint32_t row) {
        return TextOf(trash, row, kPackField) == pack;
    });
}

QString LastPackOf(const QString& table) {
    return Keeper().lastPack.value(table.toLower());
}

int EmptyTrashOf(const QString& table) {
    const TablePointer trash = OpenExisting(TrashTablePath(table));
    if (!trash) return -1;
    const int removed = DropRows(
        *trash, [](std::uint32_t) { return true; }, false);
    PackIfThereIsRoom(*trash);
    return removed;
}
