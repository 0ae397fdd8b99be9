#include "shell/data_folder.h"

#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/file_names.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

// The data folder's own path (a link to it followed), without the separator.
QString DataFolderItself() {
    QString path = QDir::cleanPath(THE_DATA_PATH);
    const QFileInfo data(path);
    if (data.isSymLink()) path = QDir::cleanPath(data.symLinkTarget());
    return path;
}

QString Beside(const QString& name) {
    const QFileInfo data(DataFolderItself());
    return data.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + data.fileName() + name;
}

QString OldDataFolder() {
    return Beside(QStringLiteral("-alt"));
}

bool IsFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

// The files the program writes into the data folder, known by their kind.
bool IsProgramFile(const QFileInfo& entry) {
    static const QStringList kinds = {"dbf",  "dbt",     "fpt",     "ntx",
                                      "pack", "packing", "zurueck", "txt"};
    return entry.isFile() && kinds.contains(entry.suffix().toLower());
}

// Removes a folder the program made or left; what else is in it goes to the
// data folder first.
void RemoveLeftover(const QString& folder) {
    if (!IsFolder(folder)) return;
    QDir leftover(folder);
    for (const QFileInfo& entry : leftover.entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                         QDir::System | QDir::NoDotAndDotDot)) {
        if (IsProgramFile(entry) || entry.fileName() == TrashFolderName()) continue;
        const QString target = DataFolderItself() + QLatin1Char('/') + entry.fileName();
        if (!QFileInfo::exists(target) && !QFileInfo(target).isSymLink())
            kesp::store::RenameFile(entry.filePath(), target);
    }
    leftover.removeRecursively();
}

}  // namespace

kesp::store::FileHandle& DataFolderLock() {
    static kesp::store::FileHandle lock;
    return lock;
}

QString NewDataFolder() {
    return Beside(QStringLiteral("-neu"));
}

void SwapInNewDataFolder() {
    const QString data = DataFolderItself();
    const QString made = NewDataFolder();
    kesp::store::SyncDirectoryOf(made + QStringLiteral("/x"));
    kesp::store::FileHandle lock = kesp::store::FileHandle::OpenFolder(made);
    if (!lock.TryLockExclusive())
        kesp::store::ThrowWriteFailure(made, QStringLiteral("lock"), EBUSY);
    QString old = made;
    if (!kesp::store::ExchangeNames(made, data)) {
        // Without a swap in one step: the start after a kill between these
        // two renames finishes them.
        old = OldDataFolder();
        kesp::store::RenameFile(data, old);
        kesp::store::RenameFile(made, data);
    }
    kesp::store::SyncDirectoryOf(data);
    DataFolderLock() = std::move(lock);
    RemoveLeftover(old);
}

void FinishDataFolderSwap() {
    const QString data = DataFolderItself();
    if (QFileInfo::exists(data)) return;
    try {
        if (IsFolder(NewDataFolder())) {
            kesp::store::RenameFile(NewDataFolder(), data);
        } else if (IsFolder(OldDataFolder())) {
            kesp::store::RenameFile(OldDataFolder(), data);
        }
    } catch (const kesp::WriteFailure&) {
        // Claiming the folder then tells what is wrong.
    }
}

void RemoveDataFolderLeftovers() {
    try {
        RemoveLeftover(NewDataFolder());
        RemoveLeftover(OldDataFolder());
    } catch (const kesp::WriteFailure&) {
        // Left for the next start: nothing relies on these folders.
    }
}
