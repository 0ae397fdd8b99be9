// Packing: the new table and memo file are written beside the old ones and
// swapped in by rename; an interrupted swap is finished at the next open.
#include "store/dbf_format.h"
#include "store/dbf_table.h"

#include <QFile>

#include <cstring>

namespace kesp::store {

void RecoverInterruptedPack(const QString& tablePath) {
    const QString packed = PackedName(tablePath);
    if (QFile::exists(packed)) {
        // Both new files were complete before this name appeared: finish the swap.
        for (const QString& memo : MemoCandidates(tablePath)) {
            if (QFile::exists(PackingName(memo))) RenameFile(PackingName(memo), memo);
        }
        RenameFile(packed, tablePath);
        SyncDirectoryOf(tablePath);
        return;
    }
    QFile::remove(PackingName(tablePath));
    for (const QString& memo : MemoCandidates(tablePath))
        QFile::remove(PackingName(memo));
}

bool DbfTable::Pack() {
    std::uint32_t kept = 0;
    for (std::uint32_t r = 1; r <= count_; ++r)
        kept += IsDeleted(r) ? 0 : 1;
    if (kept == count_) {
        Commit();
        return false;
    }
    const QString& tablePath = path();
    std::vector<int> memoFields;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].type == 'M') memoFields.push_back(static_cast<int>(i));
    }

    // 1. The new memo file, complete, then the new table, complete.
    std::vector<std::uint32_t> newBlocks;
    if (memo_) {
        MemoFile packedMemo = MemoFile::Create(PackingName(memo_->path()), memo_->kind());
        newBlocks.reserve(std::size_t{kept} * memoFields.size());
        for (std::uint32_t r = 1; r <= count_; ++r) {
            if (IsDeleted(r)) continue;
            for (int field : memoFields) {
                const auto pending = pendingMemos_.find({r, field});
                const QByteArray text = pending != pendingMemos_.end()
                                            ? pending->second
                                            : memo_->Read(MemoBlock(r, field));
                newBlocks.push_back(packedMemo.Append(text));
            }
        }
        packedMemo.Sync();
    }
    {
        FileHandle packed = FileHandle::Open(PackingName(tablePath), true);
        QByteArray header = TableHeader(version_, fields_, kept, recordLength_);
        if (header.size() < headerLength_) {
            // Keep the old header length (some writers reserve space after the fields).
            header.append(QByteArray(headerLength_ - header.size(), '\0'));
            PutLe16(header.data() + 8, static_cast<std::uint16_t>(headerLength_));
        }
        packed.WriteAt(0, header);
        std::vector<char> buffer;
        buffer.reserve(std::size_t{1} << 20);
        std::uint64_t at = static_cast<std::uint64_t>(headerLength_);
        std::size_t memoAt = 0;
        for (std::uint32_t r = 1; r <= count_; ++r) {
            if (IsDeleted(r)) continue;
            const char* record = RecordBytes(r);
            buffer.insert(buffer.end(), record, record + recordLength_);
            for (int field : memoFields) {
                SetMemoBlock(buffer.data() + buffer.size() - recordLength_, field,
                             newBlocks[memoAt++]);
            }
            if (buffer.size() + static_cast<std::size_t>(recordLength_) > buffer.capacity()) {
                packed.WriteAt(at, buffer.data(), buffer.size());
                at += buffer.size();
                buffer.clear();
            }
        }
        buffer.push_back(kEndOfFile);
        packed.WriteAt(at, buffer.data(), buffer.size());
        packed.Sync();
    }
    SyncDirectoryOf(tablePath);

    // The new files take the place of the old ones, permissions included.
    QFile::setPermissions(PackingName(tablePath), QFile::permissions(tablePath));
    if (memo_) QFile::setPermissions(PackingName(memo_->path()), QFile::permissions(memo_->path()));

    // 2. The commit point, then the swap (finished at the next open if cut off).
    RenameFile(PackingName(tablePath), PackedName(tablePath));
    SyncDirectoryOf(tablePath);
    QString memoPath;
    if (memo_) {
        memoPath = memo_->path();
        const MemoKind kind = memo_->kind();
        memo_.reset();
        RenameFile(PackingName(memoPath), memoPath);
        memo_ = MemoFile::Open(memoPath, kind);
    }
    RenameFile(PackedName(tablePath), tablePath);
    SyncDirectoryOf(tablePath);
    FileHandle reopened = FileHandle::Open(tablePath);
    reopened.TryLockExclusive();
    file_ = std::move(reopened);

    // 3. The records in memory follow the file.
    std::size_t to = 0;
    std::size_t memoAt = 0;
    for (std::uint32_t r = 1; r <= count_; ++r) {
        if (IsDeleted(r)) continue;
        char* target = data_.data() + to;
        if (target != RecordBytes(r)) {
            std::memmove(target, RecordBytes(r), static_cast<std::size_t>(recordLength_));
        }
        for (int field : memoFields)
            SetMemoBlock(target, field, newBlocks[memoAt++]);
        to += static_cast<std::size_t>(recordLength_);
    }
    data_.Resize(to);
    count_ = kept;
    NewGeneration();
    committedCount_ = kept;
    headerCount_ = kept;
    dirty_.assign(count_, false);
    deleted_.assign(count_, false);
    deletedCount_ = 0;
    anyDirty_ = false;
    pendingMemos_.clear();
    return true;
}

}  // namespace kesp::store
