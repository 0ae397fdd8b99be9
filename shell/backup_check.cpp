#include "shell/backup_check.h"

#include "apps/common/trash_tables.h"
#include "store/dbf_format.h"
#include "store/file_names.h"
#include "store/table_file_check.h"

#include <QDir>
#include <QSet>

#include <sys/stat.h>

#include <mutex>

namespace {

// Every entry, links and special files included, under their own names.
QStringList EntriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

struct Entry {
    bool exists = false;
    bool plainFile = false;
    bool folder = false;
    QString identity;  // device, inode, size and change time of a plain file
};

Entry Look(const QString& path) {
    struct stat info {};
    Entry entry;
    if (::lstat(kesp::store::NativeFileName(path).constData(), &info) != 0) return entry;
    entry.exists = true;
    entry.plainFile = S_ISREG(info.st_mode);
    entry.folder = S_ISDIR(info.st_mode);
    if (entry.plainFile) {
        entry.identity = QStringLiteral("%1:%2:%3:%4.%5")
                             .arg(info.st_dev)
                             .arg(info.st_ino)
                             .arg(info.st_size)
                             .arg(info.st_ctim.tv_sec)
                             .arg(info.st_ctim.tv_nsec);
    }
    return entry;
}

// Only sound files are remembered: a damaged one is rare and told anew.
QString TableDamage(const QString& path) {
    static QSet<QString> sound;
    static std::mutex soundGuard;  // the backups window checks on a worker thread
    // The table with its memo files: a memo file lost or replaced is damage too.
    QString identity = Look(path).identity;
    for (const QString& memo : kesp::store::MemoCandidates(path))
        identity += QLatin1Char('|') + Look(memo).identity + (Look(memo).exists ? "+" : "-");
    {
        const std::lock_guard<std::mutex> lock(soundGuard);
        if (!identity.isEmpty() && sound.contains(identity)) return {};
    }
    const QString damage = kesp::store::TableFileDamage(path);
    if (damage.isEmpty() && !identity.isEmpty()) {
        const std::lock_guard<std::mutex> lock(soundGuard);
        sound.insert(identity);
    }
    return damage;
}

QString NotPlain(const QString& path) {
    return QStringLiteral("%1: not a plain file").arg(QDir::toNativeSeparators(path));
}

// The entries of one folder; `trash` names the one sub-folder allowed in it.
QString Damage(const QString& folder, const QString& trash) {
    for (const QString& name : EntriesOf(folder)) {
        const QString path = folder + QLatin1Char('/') + name;
        const Entry entry = Look(path);
        if (entry.folder && !trash.isEmpty() && name == trash) {
            const QString inTrash = Damage(path, QString());
            if (!inTrash.isEmpty()) return inTrash;
            continue;
        }
        if (!entry.plainFile) return NotPlain(path);
        if (name.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive)) {
            const QString damage = TableDamage(path);
            if (!damage.isEmpty()) return damage;
        }
    }
    return {};
}

}  // namespace

QString FolderOfTablesDamage(const QString& folder) {
    QString path = folder;
    while (path.endsWith(QLatin1Char('/')) && path.size() > 1)
        path.chop(1);
    if (!Look(path).folder) return NotPlain(path);
    return Damage(path, TrashFolderName());
}
