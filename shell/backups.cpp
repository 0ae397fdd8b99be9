#include "shell/backups.h"

#include "apps/common/export_file.h"
#include "apps/common/trash_tables.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/backup_check.h"
#include "shell/data_folder.h"
#include "shell/record_kinds.h"
#include "shell/snapshot_beside_the_loop.h"
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/live_records.h"
#include "store/table_file_check.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <unistd.h>
#include <cerrno>

namespace {

const QString kNameFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");
const QString kUnfinishedPrefix = QStringLiteral(".neu-");
// The failure of the last snapshot at close, kept for the next start.
const QString kFailureNote = QStringLiteral("sicherung_fehlgeschlagen.txt");

const Texts kNotWritten{
    "Die Sicherung vom %1 konnte nicht geschrieben werden: %2.\rDie Daten sind unverändert.",
    "The backup of %1 could not be written: %2.\rThe data are unchanged.",
    "Não foi possível gravar a cópia de segurança de %1: %2.\rOs dados não foram alterados."};
const Texts kCutOff{"sie wurde unterbrochen", "it was cut off", "ela foi interrompida"};
const Texts kDamaged{
    "Die Sicherung vom %1 ist beschädigt und wurde nicht wiederhergestellt:\r%2\rDie Daten sind "
    "unverändert.",
    "The backup of %1 is damaged and was not restored:\r%2\rThe data are unchanged.",
    "A cópia de segurança de %1 está danificada e não foi restaurada:\r%2\rOs dados não foram "
    "alterados."};
const Texts kNotRestored{
    "Die Sicherung vom %1 konnte nicht wiederhergestellt werden: %2.\rDie Daten sind "
    "unverändert; der Stand davor ist als Sicherung vom %3 gesichert.",
    "The backup of %1 could not be restored: %2.\rThe data are unchanged; the state before "
    "is kept as the backup of %3.",
    "Não foi possível restaurar a cópia de segurança de %1: %2.\rOs dados não foram alterados; "
    "o estado anterior está guardado como cópia de %3."};
const Texts kNotKept{
    "Die Sicherung vom %1 wurde nicht wiederhergestellt: der jetzige Stand konnte nicht "
    "vorher gesichert werden.\r%2",
    "The backup of %1 was not restored: the present state could not be backed up first.\r%2",
    "A cópia de segurança de %1 não foi restaurada: não foi possível copiar antes o estado "
    "atual.\r%2"};
const Texts kNotRead{"Die Datei %1 kann nicht gelesen werden.", "The file %1 cannot be read.",
                     "Não é possível ler o arquivo %1."};

bool IsDataFile(const QFileInfo& file) {
    const QString suffix = file.suffix().toLower();
    return file.isFile() && !file.isSymLink() &&
           (suffix == "dbf" || suffix == "dbt" || suffix == "fpt");
}

bool IsTrashFile(const QFileInfo& file) {
    return IsDataFile(file) && IsTrashTableFile(file.fileName());
}

QFileInfoList DataFiles(const QString& folder, bool (*kept)(const QFileInfo&) = IsDataFile) {
    QFileInfoList files;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        if (kept(file)) files.append(file);
    return files;
}

// The data folder's files and its trash's, as (file, its name in a backup).
QList<QPair<QFileInfo, QString>> FilesToBackUp() {
    QList<QPair<QFileInfo, QString>> files;
    for (const QFileInfo& file : DataFiles(THE_DATA_PATH))
        files.append({file, file.fileName()});
    for (const QFileInfo& file : DataFiles(TrashFolder(), IsTrashFile))
        files.append({file, TrashFolderName() + QLatin1Char('/') + file.fileName()});
    return files;
}

// A folder made with the permissions of `like` (a private data folder gives
// private backups).
void MakeFolderLike(const QString& folder, const QString& like) {
    if (!QDir().mkpath(folder))
        kesp::store::ThrowWriteFailure(folder, QStringLiteral("create"), EACCES);
    if (QFileInfo::exists(like)) kesp::store::CopyPermissions(like, folder);
}

// A failed read, told as a refused write so that one path reports both.
struct ReadFailure {
    QString path;
};

// Copies `from` to the new file `to` through the store's file handles (so a
// full disk is a WriteFailure), synced, with the time of `from`.
void CopyWhole(const QFileInfo& from, const QString& to) {
    QFile in(from.filePath());
    if (!in.open(QIODevice::ReadOnly)) throw ReadFailure{from.filePath()};
    kesp::store::FileHandle out = kesp::store::FileHandle::Open(to, true);
    std::uint64_t at = 0;
    for (;;) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty()) break;
        out.WriteAt(at, chunk);
        at += static_cast<std::uint64_t>(chunk.size());
    }
    if (in.error() != QFileDevice::NoError) throw ReadFailure{from.filePath()};
    out.Sync();
    out.Close();
    kesp::store::CopyPermissions(from.filePath(), to);
    QFile copy(to);
    if (copy.open(QIODevice::ReadOnly))
        copy.setFileTime(from.lastModified(), QFileDevice::FileModificationTime);
}

bool SameFile(const QFileInfo& live, const QFileInfo& kept) {
    return kept.exists() && kept.size() == live.size() &&
           kept.lastModified().toMSecsSinceEpoch() == live.lastModified().toMSecsSinceEpoch();
}

QString FailureText(const QDateTime& when, int osCode, const QString& detail) {
    const QString reason = osCode != 0 ? WRITE_FAILURE_REASON(osCode) : detail;
    return TEXT(kNotWritten)
        .arg(DTOC(when.date()) + when.toString(QStringLiteral(" HH:mm")), reason);
}

}  // namespace

QString BackupsFolder() {
    return THE_APP_PATH + QStringLiteral("backups") + QDir::separator();
}

QList<Snapshot> Snapshots() {
    QList<Snapshot> snapshots;
    const QStringList names =
        QDir(BackupsFolder())
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        const QDateTime madeAt = QDateTime::fromString(name.left(kNameFormat.size()), kNameFormat);
        if (madeAt.isValid()) snapshots.append({BackupsFolder() + name, madeAt});
    }
    return snapshots;
}

namespace {

// A pack cut off between its renames leaves the old table beside the new
// memo file; opening the table finishes it, so a backup never pairs them.
void FinishCutOffPacks() {
    for (const QFileInfo& packed : QDir(THE_DATA_PATH)
                                       .entryInfoList({QStringLiteral("*.pack")},
                                                      QDir::Files | QDir::Hidden | QDir::System)) {
        const QString table = packed.filePath().chopped(5);
        if (!kesp::store::DbfTable::Open(table))
            kesp::store::ThrowWriteFailure(table, QStringLiteral("open"), EBUSY);
    }
}

// Snapshots cut off by the end of the process.
void RemoveUnfinishedSnapshots() {
    for (const QString& name : QDir(BackupsFolder())
                                   .entryList({kUnfinishedPrefix + QLatin1Char('*')},
                                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot))
        QDir(BackupsFolder() + name).removeRecursively();
}

// A snapshot the user cancelled.
struct Cancelled {};

// Copies the data folder's files and its trash's into `folder`, linking what
// did not change since `earlier` (a snapshot's folder, or empty); throws
// WriteFailure, ReadFailure or, when `progress` asks for it between two
// files, Cancelled. Returns the copies made (not linked).
QStringList CopyDataInto(const QString& folder, const QString& earlier,
                         SnapshotProgress* progress) {
    QStringList copied;
    MakeFolderLike(folder, THE_DATA_PATH);
    if (QFileInfo::exists(TrashFolder()))
        MakeFolderLike(folder + QLatin1Char('/') + TrashFolderName(), TrashFolder());
    const QList<QPair<QFileInfo, QString>> files = FilesToBackUp();
    if (progress) progress->files = static_cast<int>(files.size());
    for (const auto& [live, name] : files) {
        if (progress && progress->cancel) throw Cancelled{};
        const QString copy = folder + QLatin1Char('/') + name;
        const QFileInfo kept(earlier.isEmpty() ? QString() : earlier + QLatin1Char('/') + name);
        const bool linked = !earlier.isEmpty() && SameFile(live, kept) &&
                            ::link(kesp::store::NativeFileName(kept.filePath()).constData(),
                                   kesp::store::NativeFileName(copy).constData()) == 0;
        if (!linked) {
            CopyWhole(live, copy);
            copied.append(copy);
        }
        if (progress) ++progress->copied;
    }
    kesp::store::SyncDirectoryOf(folder + QStringLiteral("/x"));
    kesp::store::SyncDirectoryOf(folder + QLatin1Char('/') + TrashFolderName() +
                                 QStringLiteral("/x"));
    return copied;
}

// A damaged copy is told as the reason the backup failed.
struct DamagedCopy {
    QString damage;
};

// Whether a snapshot's copies must read back whole: not for the state kept
// before a restore, which is often damaged, the very reason for the restore.
enum class Copies { Checked, AsTheyAre };

QString MakeSnapshotOf(const QDateTime& now, QString* reason, Copies copies,
                       SnapshotProgress* progress = nullptr) {
    const QList<Snapshot> earlier = Snapshots();
    QString name = now.toString(kNameFormat);
    for (int n = 2; QFileInfo::exists(BackupsFolder() + name); ++n)
        name = now.toString(kNameFormat) + QStringLiteral("_%1").arg(n);
    const QString unfinished = BackupsFolder() + kUnfinishedPrefix + name;
    const QString finished = BackupsFolder() + name;
    int osCode = 0;
    QString detail;
    try {
        RemoveUnfinishedSnapshots();
        FinishCutOffPacks();
        const QStringList copied = CopyDataInto(
            unfinished, earlier.isEmpty() ? QString() : earlier.first().folder, progress);
        // What was copied is read back as a restore would read it.
        for (const QString& copy : copied) {
            if (copies == Copies::AsTheyAre ||
                !copy.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive))
                continue;
            const QString damage = kesp::store::TableFileDamage(copy);
            if (!damage.isEmpty()) throw DamagedCopy{damage};
        }
        kesp::store::RenameFile(unfinished, finished);
        kesp::store::SyncDirectoryOf(finished);
        return finished;
    } catch (const kesp::WriteFailure& failure) {
        osCode = failure.fault().osCode;
        detail = failure.fault().fileName;
    } catch (const ReadFailure& failure) {
        detail = TEXT(kNotRead).arg(QDir::toNativeSeparators(failure.path));
    } catch (const Cancelled&) {
        QDir(unfinished).removeRecursively();
        if (reason) reason->clear();
        return {};
    } catch (const DamagedCopy& copy) {
        detail = QDir::toNativeSeparators(copy.damage)
                     .replace(QDir::toNativeSeparators(unfinished),
                              QDir::toNativeSeparators(THE_DATA_PATH).chopped(1));
    }
    QDir(unfinished).removeRecursively();
    if (reason) *reason = FailureText(now, osCode, detail);
    return {};
}

}  // namespace

QString MakeSnapshot(const QDateTime& now, QString* reason, SnapshotProgress* progress) {
    return MakeSnapshotOf(now, reason, Copies::Checked, progress);
}

void RotateSnapshots(const QDateTime& now) {
    const QList<Snapshot> snapshots = Snapshots();  // newest first
    QSet<QString> weeksKept;
    const QDate firstWeek = now.date().addDays(-7 * 8);
    for (int i = 0; i < snapshots.size(); ++i) {
        const Snapshot& snapshot = snapshots[i];
        int year = 0;
        const int week = snapshot.madeAt.date().weekNumber(&year);
        const QString weekKey = QStringLiteral("%1-%2").arg(year).arg(week);
        bool keep = i < 10;
        if (snapshot.madeAt.date() > firstWeek && !weeksKept.contains(weekKey)) {
            weeksKept.insert(weekKey);
            keep = true;
        }
        if (!keep) QDir(snapshot.folder).removeRecursively();
    }
}

void SNAPSHOT_AT_CLOSE(const QDateTime& now) {
    const QList<Snapshot> snapshots = Snapshots();
    if (!snapshots.isEmpty() && snapshots.first().madeAt.secsTo(now) < 3600 &&
        snapshots.first().madeAt <= now)
        return;
    // Noted before the backup begins, so that a backup the disk cuts off (the
    // note then cannot be written any more) is told all the same.
    const QString note = THE_DATA_PATH + kFailureNote;
    WriteFileWhole(note, FailureText(now, 0, TEXT(kCutOff)).toUtf8());
    QString reason;
    if (!MakeSnapshotBesideTheLoop(now, &reason).isEmpty()) {
        QFile::remove(note);
        RotateSnapshots(now);
        return;
    }
    // Cancelled: the user chose to close without it, nothing to tell.
    if (reason.isEmpty()) {
        QFile::remove(note);
        return;
    }
    WriteFileWhole(note, reason.toUtf8());
}

long long SnapshotTableCount(const Snapshot& snapshot, const RecordKind& kind) {
    const QString path = snapshot.folder + QDir::separator() + kind.table;
    // A damaged table would raise its damage when opened: it counts nothing.
    if (!QFileInfo::exists(path) || !kesp::store::TableFileDamage(path).isEmpty()) return 0;
    const auto table = kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
    return table ? kesp::store::LiveRecordCount(*table) : 0;
}

QList<QPair<QString, long long>> SnapshotCounts(const Snapshot& snapshot) {
    QList<QPair<QString, long long>> counts;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn())
        counts.append({KindName(*kind), SnapshotTableCount(snapshot, *kind)});
    return counts;
}

QString SnapshotWhen(const Snapshot& snapshot) {
    return DTOC(snapshot.madeAt.date()) + snapshot.madeAt.toString(QStringLiteral(" HH:mm:ss"));
}

QString SnapshotRestoredText(const Snapshot& snapshot) {
    return TEXT({"Die Sicherung vom %1 ist wiederhergestellt.", "The backup of %1 is restored.",
                 "A cópia de %1 foi restaurada."})
        .arg(SnapshotWhen(snapshot));
}

QString SnapshotDamage(const Snapshot& snapshot) {
    return FolderOfTablesDamage(snapshot.folder);
}

QString SnapshotRefusal(const Snapshot& snapshot) {
    const QString damage = SnapshotDamage(snapshot);
    if (damage.isEmpty()) return {};
    return TEXT(kDamaged).arg(SnapshotWhen(snapshot), QDir::toNativeSeparators(damage));
}

namespace {

// The new data folder: the snapshot's tables and trash, and of the present
// data what the snapshot cannot hold (a table it does not have, with its
// memo file; files that are no tables).
void MakeDataFolderFrom(const Snapshot& snapshot) {
    const QString made = NewDataFolder();
    QDir(made).removeRecursively();
    MakeFolderLike(made, THE_DATA_PATH);
    for (const QFileInfo& kept : DataFiles(snapshot.folder))
        CopyWhole(kept, made + QLatin1Char('/') + kept.fileName());
    const QString keptTrash = snapshot.folder + QLatin1Char('/') + TrashFolderName();
    if (QFileInfo(keptTrash).isDir()) {
        MakeFolderLike(made + QLatin1Char('/') + TrashFolderName(), TrashFolder());
        for (const QFileInfo& kept : DataFiles(keptTrash, IsTrashFile))
            CopyWhole(kept, made + QLatin1Char('/') + TrashFolderName() + QLatin1Char('/') +
                                kept.fileName());
    }
    QSet<QString> tablesKept;
    for (const QFileInfo& kept : DataFiles(snapshot.folder))
        tablesKept.insert(kept.completeBaseName().toLower());
    const QStringList rebuilt = {"ntx", "fig", "pack", "packing", "zurueck"};
    for (const QFileInfo& present :
         QDir(THE_DATA_PATH).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (present.isSymLink() || rebuilt.contains(present.suffix().toLower()) ||
            present.fileName() == kFailureNote)
            continue;
        if (IsDataFile(present) && tablesKept.contains(present.completeBaseName().toLower()))
            continue;
        CopyWhole(present, made + QLatin1Char('/') + present.fileName());
    }
    kesp::store::SyncDirectoryOf(made + QLatin1Char('/') + TrashFolderName() +
                                 QStringLiteral("/x"));
    kesp::store::SyncDirectoryOf(made + QStringLiteral("/x"));
}

QString BackupName(const QString& folder) {
    for (const Snapshot& snapshot : Snapshots())
        if (snapshot.folder == folder) return SnapshotWhen(snapshot);
    return QDir::toNativeSeparators(folder);
}

}  // namespace

bool RestoreSnapshot(const Snapshot& snapshot, const QDateTime& now, QString* reason) {
    const QString when = SnapshotWhen(snapshot);
    *reason = SnapshotRefusal(snapshot);
    if (!reason->isEmpty()) return false;
    QString notKept;
    const QString before = MakeSnapshotOf(now, &notKept, Copies::AsTheyAre);
    if (before.isEmpty()) {
        *reason = TEXT(kNotKept).arg(when, notKept);
        return false;
    }
    QString failure;
    try {
        MakeDataFolderFrom(snapshot);
        // The copy is read back before it takes the data folder's place.
        const QString copyDamage = FolderOfTablesDamage(NewDataFolder());
        if (!copyDamage.isEmpty()) throw DamagedCopy{copyDamage};
        SwapInNewDataFolder();
        return true;
    } catch (const kesp::WriteFailure& refused) {
        failure = refused.fault().osCode != 0 ? WRITE_FAILURE_REASON(refused.fault().osCode)
                                              : refused.fault().fileName;
    } catch (const ReadFailure& unread) {
        failure = TEXT(kNotRead).arg(QDir::toNativeSeparators(unread.path));
    } catch (const DamagedCopy& copy) {
        failure = QDir::toNativeSeparators(copy.damage);
    }
    QDir(NewDataFolder()).removeRecursively();
    *reason = TEXT(kNotRestored).arg(when, failure, BackupName(before));
    return false;
}

QString TakeFailedSnapshotNote() {
    QFile note(THE_DATA_PATH + kFailureNote);
    if (!note.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(note.readAll());
    // Created before a backup on a disk that then had no room for its text.
    if (text.isEmpty()) text = FailureText(QFileInfo(note).lastModified(), 0, TEXT(kCutOff));
    note.close();
    note.remove();
    return text;
}
