// Repairing a damaged table: every record the file holds is written to a new
// table, each memo that can still be read to a new memo file; a memo that
// cannot be read becomes empty. The original files are copied to backups
// beside them first, so nothing the repair gives up is lost.
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"

#include <cstring>
#include <vector>

namespace kesp::store {
namespace {

// "<name>.bak", or "<name>.bak2", ... when an earlier repair left one.
QString FreeBackupName(const QString& path) {
    QString name = path + QStringLiteral(".bak");
    for (int n = 2; FileExists(name); ++n)
        name = path + QStringLiteral(".bak%1").arg(n);
    return name;
}

QString CopyToBackup(const QString& path) {
    const QString backup = FreeBackupName(path);
    const FileHandle from = FileHandle::OpenForReading(path);
    FileHandle to = FileHandle::Open(backup, true);
    std::vector<char> chunk(std::size_t{1} << 20);
    std::uint64_t at = 0;
    for (;;) {
        const std::size_t n = from.ReadAt(at, chunk.data(), chunk.size());
        if (n == 0) break;
        to.WriteAt(at, chunk.data(), n);
        at += n;
    }
    to.Sync();
    SyncDirectoryOf(backup);
    return backup;
}

}  // namespace

RepairReport DbfTable::Repair() {
    CheckNotCutBeforeWriting();
    Discard();
    RepairReport report;
    report.records = count_;
    std::vector<std::uint32_t> records;
    records.reserve(count_);
    for (std::uint32_t r = 1; r <= count_; ++r)
        records.push_back(r);

    const MemoReader salvage = [this, &report](std::uint32_t r, int field) {
        const QString place =
            QStringLiteral("record %1, field %2: ").arg(r).arg(fields_[field].name);
        QByteArray text;
        const QString damage = TryReadMemo(r, field, &text);
        if (damage.isEmpty()) return text;
        report.emptied.push_back(place + damage);
        return QByteArray();
    };

    const bool withMemo =
        std::any_of(fields_.begin(), fields_.end(), [](const Field& f) { return f.type == 'M'; });
    if (memo_) {
        report.memoBackup = CopyToBackup(memo_->path());
    } else if (withMemo) {
        const QString memoPath =
            MemoCandidates(path()).value(memoKindWanted_ == MemoKind::Fpt ? 2 : 0);
        if (FileExists(memoPath)) report.memoBackup = CopyToBackup(memoPath);
    }
    report.tableBackup = CopyToBackup(path());

    // A date that is not one becomes the empty date, and is listed.
    std::vector<int> dateFields;
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (fields_[i].type == 'D') dateFields.push_back(static_cast<int>(i));
    for (std::uint32_t r = 1; r <= count_ && !dateFields.empty(); ++r) {
        for (const int field : dateFields) {
            const Field& f = fields_[field];
            const char* p = RecordBytes(r) + f.offset;
            if (IsBadDate(p, f.length)) {
                report.datesEmptied.push_back(QStringLiteral("record %1, field %2: %3")
                                                  .arg(r)
                                                  .arg(f.name)
                                                  .arg(QString::fromLatin1(p, f.length)));
            }
        }
    }
    const RecordMender emptyBadDates = [this, &dateFields](std::uint32_t, char* copy) {
        for (const int field : dateFields) {
            const Field& f = fields_[field];
            if (IsBadDate(copy + f.offset, f.length))
                std::memset(copy + f.offset, ' ', static_cast<std::size_t>(f.length));
        }
    };
    ReplaceFilesWith(records, salvage, QStringLiteral("repair"), emptyBadDates);
    return report;
}

namespace {

// The descriptors the damaged file still holds agree with the header of the
// known fields in name, type, length and decimals (other bytes differ
// between writers); a file cut before them has nothing to disagree with.
bool DescriptorsAgree(const QByteArray& file, const QByteArray& known) {
    if (file.size() < known.size()) return true;
    for (qsizetype at = kDescriptorSize; at + kDescriptorSize <= known.size();
         at += kDescriptorSize) {
        if (file.mid(at, 11).toUpper() != known.mid(at, 11)) return false;
        for (const qsizetype part : {11, 16, 17}) {
            if (file[at + part] != known[at + part]) return false;
        }
    }
    return file[known.size() - 1] == kTerminator;
}

}  // namespace

std::optional<RepairReport> RebuildTable(const QString& path,
                                         const std::vector<FieldSpec>& described, MemoKind kind) {
    FileHandle damaged = FileHandle::Open(path);
    if (!damaged.TryLockExclusive()) return std::nullopt;
    std::uint8_t version = 0;
    const std::vector<Field> fields = DescribedFields(path, described, kind, &version);
    const int recordLength = RecordLengthOf(fields);
    const QByteArray known = TableHeader(version, fields, 0, recordLength);

    const std::uint64_t size = damaged.Size();
    QByteArray bytes(static_cast<qsizetype>(size), Qt::Uninitialized);
    damaged.ReadAt(0, bytes.data(), static_cast<std::size_t>(size));
    if (!DescriptorsAgree(bytes, known)) {
        RaiseTableDamage(path, QStringLiteral("the field descriptors are not those of the table"));
    }
    const std::uint64_t start = static_cast<std::uint64_t>(known.size());
    const auto records = static_cast<std::uint32_t>(
        size > start ? (size - start) / static_cast<std::uint64_t>(recordLength) : 0);

    RepairReport report;
    report.records = records;
    report.tableBackup = CopyToBackup(path);
    QByteArray rebuilt = TableHeader(version, fields, records, recordLength);
    const qsizetype recordBytes = static_cast<qsizetype>(records) * recordLength;
    rebuilt.append(bytes.constData() + start, recordBytes);
    for (qsizetype at = known.size(); at < rebuilt.size(); at += recordLength) {
        if (rebuilt[at] != '*') rebuilt[at] = ' ';
    }
    rebuilt.append(kEndOfFile);
    // Through a file beside it, as a pack does: a refused write leaves the
    // damaged file as it was.
    try {
        FileHandle replacement = FileHandle::Open(PackingName(path), true);
        replacement.WriteAt(0, rebuilt);
        replacement.Sync();
        RenameFile(PackingName(path), path);
        SyncDirectoryOf(path);
    } catch (const WriteFailure&) {
        RemoveFile(PackingName(path));
        throw;
    }
    return report;
}

}  // namespace kesp::store
