// Packing and repairing: the new table and memo file are written beside the
// old ones and swapped in by rename; an interrupted swap is finished at the
// next open. The new table file is locked before it takes the old one's name,
// so the table is never without its lock.
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_names.h"
#include "store/pack_keeper.h"

#include <algorithm>
#include <cstring>

namespace kesp::store {

FileHandle RecoverInterruptedPack(const QString& tablePath, FileHandle locked) {
    const QString packed = PackedName(tablePath);
    if (FileExists(packed)) {
        // Both new files were complete before this name appeared: finish the swap.
        FileHandle replacement = FileHandle::Open(packed);
        replacement.LockExclusive();
        for (const QString& memo : MemoCandidates(tablePath)) {
            if (FileExists(PackingName(memo))) RenameFile(PackingName(memo), memo);
        }
        replacement.RenameTo(tablePath);
        SyncDirectoryOf(tablePath);
        return replacement;
    }
    RemoveFile(PackingName(tablePath));
    for (const QString& memo : MemoCandidates(tablePath))
        RemoveFile(PackingName(memo));
    return locked;
}

std::vector<std::uint32_t> DbfTable::WriteReplacement(const std::vector<std::uint32_t>& records,
                                                      const MemoReader& memoText,
                                                      FileHandle& replacement,
                                                      const RecordMender& mend) {
    const QString& tablePath = path();
    std::vector<int> memoFields;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].type == 'M') memoFields.push_back(static_cast<int>(i));
    }
    const bool withMemo = !memoFields.empty();
    const QString memoPath =
        memo_ ? memo_->path()
              : MemoCandidates(tablePath).value(memoKindWanted_ == MemoKind::Fpt ? 2 : 0);
    const MemoKind memoKind = memo_ ? memo_->kind() : memoKindWanted_;

    // 1. The new memo file, complete, then the new table, complete and locked.
    std::vector<std::uint32_t> blocks;
    if (withMemo) {
        MemoFile packedMemo = MemoFile::Create(PackingName(memoPath), memoKind);
        blocks.reserve(records.size() * memoFields.size());
        for (const std::uint32_t r : records) {
            for (int field : memoFields)
                blocks.push_back(packedMemo.Append(memoText(r, field)));
        }
        packedMemo.Sync();
    }
    replacement = FileHandle::Open(PackingName(tablePath), true);
    replacement.LockExclusive();
    QByteArray header =
        TableHeader(version_, fields_, static_cast<std::uint32_t>(records.size()), recordLength_);
    if (header.size() < headerLength_) {
        // Keep the old header length (some writers reserve space after the fields).
        header.append(QByteArray(headerLength_ - header.size(), '\0'));
        PutLe16(header.data() + 8, static_cast<std::uint16_t>(headerLength_));
    }
    replacement.WriteAt(0, header);
    std::vector<char> buffer;
    buffer.reserve(std::size_t{1} << 20);
    std::uint64_t at = static_cast<std::uint64_t>(headerLength_);
    std::size_t memoAt = 0;
    for (const std::uint32_t r : records) {
        const char* record = RecordBytes(r);
        buffer.insert(buffer.end(), record, record + recordLength_);
        char* copy = buffer.data() + buffer.size() - recordLength_;
        if (copy[0] != '*') copy[0] = ' ';
        if (mend) mend(r, copy);
        for (int field : memoFields)
            SetMemoBlock(copy, field, blocks[memoAt++]);
        if (buffer.size() + static_cast<std::size_t>(recordLength_) > buffer.capacity()) {
            replacement.WriteAt(at, buffer.data(), buffer.size());
            at += buffer.size();
            buffer.clear();
        }
    }
    buffer.push_back(kEndOfFile);
    replacement.WriteAt(at, buffer.data(), buffer.size());
    replacement.Sync();
    SyncDirectoryOf(tablePath);

    // The new files take the place of the old ones, permissions included.
    CopyPermissions(tablePath, PackingName(tablePath));
    if (withMemo && memo_) CopyPermissions(memoPath, PackingName(memoPath));
    return blocks;
}

void DbfTable::SwapIn(FileHandle replacement) {
    const QString tablePath = path();
    try {
        // 2. The commit point, then the swap (finished at the next open if cut off).
        replacement.RenameTo(PackedName(tablePath));
        SyncDirectoryOf(tablePath);
    } catch (const WriteFailure&) {
        RemoveFile(PackingName(tablePath));
        for (const QString& memo : MemoCandidates(tablePath))
            RemoveFile(PackingName(memo));
        throw;
    }
    try {
        const bool withMemo = std::any_of(fields_.begin(), fields_.end(),
                                          [](const Field& f) { return f.type == 'M'; });
        if (withMemo) {
            const QString memoPath =
                memo_ ? memo_->path()
                      : MemoCandidates(tablePath).value(memoKindWanted_ == MemoKind::Fpt ? 2 : 0);
            const MemoKind kind = memo_ ? memo_->kind() : memoKindWanted_;
            RenameFile(PackingName(memoPath), memoPath);
            memo_ = MemoFile::Open(memoPath, kind, tablePath);
        }
        replacement.RenameTo(tablePath);
        SyncDirectoryOf(tablePath);
    } catch (const WriteFailure& failure) {
        // Past the commit point the next open finishes the swap; this run
        // cannot go on with the table.
        Fault fault = failure.fault();
        RaiseFault(fault);
    }
    file_ = std::move(replacement);
}

void DbfTable::KeepOnly(const std::vector<std::uint32_t>& records,
                        const std::vector<std::uint32_t>& blocks, const RecordMender& mend) {
    std::vector<bool> deleted(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        deleted[i] = deleted_[records[i] - 1];
    const std::size_t recordBytes = records.size() * static_cast<std::size_t>(recordLength_);
    // The new file holds exactly the records kept: a large table maps it
    // rather than moving its records in memory, which would copy every page
    // of the old mapping.
    if (recordBytes < kMapRecordsFrom ||
        !data_.MapFile(file_.descriptor(), static_cast<std::uint64_t>(headerLength_),
                       recordBytes)) {
        MoveKeptRecords(records, blocks, mend);
    }
    firstUnmarked_ = 0;  // every record of the new file has its mark
    count_ = static_cast<std::uint32_t>(records.size());
    NewGeneration();
    committedCount_ = count_;
    headerCount_ = count_;
    dirty_.assign(count_, false);
    anyDirty_ = false;
    pendingMemos_.clear();
    committedBytes_.clear();
    deleted_ = std::move(deleted);
    deletedCount_ = static_cast<std::uint32_t>(std::count(deleted_.begin(), deleted_.end(), true));
}

void DbfTable::MoveKeptRecords(const std::vector<std::uint32_t>& records,
                               const std::vector<std::uint32_t>& blocks, const RecordMender& mend) {
    std::vector<int> memoFields;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].type == 'M') memoFields.push_back(static_cast<int>(i));
    }
    std::size_t to = 0;
    std::size_t memoAt = 0;
    for (const std::uint32_t r : records) {
        char* target = data_.data() + to;
        if (target != RecordBytes(r)) {
            std::memmove(target, RecordBytes(r), static_cast<std::size_t>(recordLength_));
        }
        if (target[0] != '*') target[0] = ' ';
        if (mend) mend(r, target);
        for (int field : memoFields)
            SetMemoBlock(target, field, blocks[memoAt++]);
        to += static_cast<std::size_t>(recordLength_);
    }
    data_.Resize(to);
}

WriteFailure DbfTable::TableWriteFailure(const WriteFailure& failure,
                                         const QString& operation) const {
    Fault fault = failure.fault();
    fault.fileName = path();
    fault.operation = operation;
    return WriteFailure(fault);
}

void DbfTable::ReplaceFilesWith(const std::vector<std::uint32_t>& records,
                                const MemoReader& memoText, const QString& operation,
                                const RecordMender& mend) {
    CheckNotCutBeforeWriting();
    FileHandle replacement;
    std::vector<std::uint32_t> blocks;
    const auto removeReplacement = [this, &replacement] {
        replacement.Close();
        RemoveFile(PackingName(path()));
        for (const QString& memo : MemoCandidates(path()))
            RemoveFile(PackingName(memo));
    };
    try {
        blocks = WriteReplacement(records, memoText, replacement, mend);
        // Cut short while it was copied: the copy holds zeros for what was lost.
        if (cutWhileOpen()) {
            removeReplacement();
            RaiseCutWhileOpen(path());
        }
        SwapIn(std::move(replacement));
    } catch (const WriteFailure& failure) {
        removeReplacement();
        Discard();
        throw TableWriteFailure(failure, operation);
    }
    KeepOnly(records, blocks, mend);
    CheckNotCut();
}

std::vector<std::uint32_t> DbfTable::NumbersAfterPack() const {
    std::vector<std::uint32_t> numbers(count_);
    std::uint32_t next = 0;
    for (std::uint32_t r = 1; r <= count_; ++r)
        numbers[r - 1] = IsDeleted(r) ? 0 : ++next;
    return numbers;
}

bool DbfTable::Pack() {
    CheckNotCutBeforeWriting();
    if (DeletedCount() == 0) {
        Commit();
        return false;
    }
    std::vector<std::uint32_t> kept;
    std::vector<std::uint32_t> removed;
    const std::vector<std::uint32_t> numbers = NumbersAfterPack();
    for (std::uint32_t r = 1; r <= count_; ++r) {
        (numbers[r - 1] == 0 ? removed : kept).push_back(r);
    }
    if (removed.empty()) {
        Commit();
        return false;
    }
    const MemoReader memoText = [this](std::uint32_t r, int field) {
        const auto pending = pendingMemos_.find({r, field});
        return pending != pendingMemos_.end() ? pending->second : memo_->Read(MemoBlock(r, field));
    };
    PackKeeper* keeper = CurrentPackKeeper();
    const QString tablePath = path();
    if (keeper) {
        // The keeper is told the count the file holds before the pack.
        Commit();
        try {
            keeper->Keep(*this, removed);
        } catch (const WriteFailure& failure) {
            throw TableWriteFailure(failure, QStringLiteral("pack"));
        }
    }
    try {
        ReplaceFilesWith(kept, memoText, QStringLiteral("pack"));
    } catch (...) {
        if (keeper) keeper->Abandoned(tablePath);
        throw;
    }
    if (keeper) keeper->Packed(tablePath);
    return true;
}

}  // namespace kesp::store
