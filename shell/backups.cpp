#include "shell/backups.h"

#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/record_kinds.h"
#include "store/dbf_format.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
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
const Texts kNotRead{"Die Datei %1 kann nicht gelesen werden.", "The file %1 cannot be read.",
                     "Não é possível ler o arquivo %1."};

bool IsDataFile(const QFileInfo& file) {
    const QString suffix = file.suffix().toLower();
    return file.isFile() && (suffix == "dbf" || suffix == "dbt" || suffix == "fpt");
}

QFileInfoList DataFiles(const QString& folder) {
    QFileInfoList files;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name))
        if (IsDataFile(file)) files.append(file);
    return files;
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

QString MakeSnapshot(const QDateTime& now, QString* reason) {
    const QList<Snapshot> earlier = Snapshots();
    QString name = now.toString(kNameFormat);
    for (int n = 2; QFileInfo::exists(BackupsFolder() + name); ++n)
        name = now.toString(kNameFormat) + QStringLiteral("_%1").arg(n);
    const QString unfinished = BackupsFolder() + kUnfinishedPrefix + name;
    const QString finished = BackupsFolder() + name;
    int osCode = 0;
    QString detail;
    try {
        QDir(unfinished).removeRecursively();
        if (!QDir().mkpath(unfinished))
            kesp::store::ThrowWriteFailure(unfinished, QStringLiteral("create"), EACCES);
        for (const QFileInfo& live : DataFiles(THE_DATA_PATH)) {
            const QString copy = unfinished + QDir::separator() + live.fileName();
            const QFileInfo kept(earlier.isEmpty() ? QString()
                                                   : earlier.first().folder + QDir::separator() +
                                                         live.fileName());
            const bool linked = !earlier.isEmpty() && SameFile(live, kept) &&
                                ::link(kesp::store::NativeFileName(kept.filePath()).constData(),
                                       kesp::store::NativeFileName(copy).constData()) == 0;
            if (!linked) CopyWhole(live, copy);
        }
        kesp::store::SyncDirectoryOf(unfinished + QDir::separator() + QStringLiteral("x"));
        kesp::store::RenameFile(unfinished, finished);
        kesp::store::SyncDirectoryOf(finished);
        return finished;
    } catch (const kesp::WriteFailure& failure) {
        osCode = failure.fault().osCode;
        detail = failure.fault().fileName;
    } catch (const ReadFailure& failure) {
        detail = TEXT(kNotRead).arg(QDir::toNativeSeparators(failure.path));
    }
    QDir(unfinished).removeRecursively();
    if (reason) *reason = FailureText(now, osCode, detail);
    return {};
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
    QString reason;
    if (!MakeSnapshot(now, &reason).isEmpty()) {
        RotateSnapshots(now);
        return;
    }
    // Told at the next start; the data folder is the one place sure to exist.
    QFile note(THE_DATA_PATH + kFailureNote);
    if (note.open(QIODevice::WriteOnly | QIODevice::Truncate)) note.write(reason.toUtf8());
}

QList<QPair<QString, long long>> SnapshotCounts(const Snapshot& snapshot) {
    QList<QPair<QString, long long>> counts;
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn()) {
        QFile table(snapshot.folder + QDir::separator() + kind->table);
        long long count = 0;
        if (table.open(QIODevice::ReadOnly)) {
            const QByteArray head = table.read(8);  // the count is bytes 4 to 7 of the header
            if (head.size() == 8)
                count = kesp::store::Le32(reinterpret_cast<const unsigned char*>(head.data()) + 4);
        }
        counts.append({KindName(*kind), count});
    }
    return counts;
}

bool RestoreSnapshot(const Snapshot& snapshot, const QDateTime& now, QString* reason) {
    if (MakeSnapshot(now, reason).isEmpty()) return false;
    try {
        for (const QFileInfo& kept : DataFiles(snapshot.folder)) {
            // Each file whole under another name first, then in its place.
            const QString target = THE_DATA_PATH + kept.fileName();
            const QString incoming = target + QStringLiteral(".zurueck");
            kesp::store::RemoveFile(incoming);
            CopyWhole(kept, incoming);
            kesp::store::RenameFile(incoming, target);
        }
        kesp::store::SyncDirectoryOf(THE_DATA_PATH + QStringLiteral("x"));
    } catch (const kesp::WriteFailure& failure) {
        *reason = FailureText(now, failure.fault().osCode, failure.fault().fileName);
        return false;
    } catch (const ReadFailure& failure) {
        *reason = TEXT(kNotRead).arg(QDir::toNativeSeparators(failure.path));
        return false;
    }
    for (const QFileInfo& index :
         QDir(THE_DATA_PATH)
             .entryInfoList({QStringLiteral("*.ntx"), QStringLiteral("*.NTX")}, QDir::Files))
        kesp::store::RemoveFile(index.filePath());
    return true;
}

QString TakeFailedSnapshotNote() {
    QFile note(THE_DATA_PATH + kFailureNote);
    if (!note.open(QIODevice::ReadOnly)) return {};
    const QString text = QString::fromUtf8(note.readAll());
    note.close();
    note.remove();
    return text;
}
