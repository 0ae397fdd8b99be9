// Committing a table's changes and putting it back: the records appended and
// changed since the last commit reach the file behind the old end-of-file
// mark, the count follows and the mark is replaced last, so that a reader
// never counts a record that is not whole; a write the system refuses puts
// the table back at its last commit, in memory and on disk.
#include "store/codec.h"
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_names.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace kesp::store {

// ---- Committing ----------------------------------------------------------------

QByteArray DbfTable::HeaderBytes(std::uint32_t count) const {
    QByteArray header = TableHeader(version_, fields_, count, recordLength_);
    return header;
}

void DbfTable::Commit() {
    CheckNotCutBeforeWriting();
    // The mark an earlier commit could not put in place of the end-of-file
    // mark; its records are committed whether it goes in now or at the next
    // opening, so a refusal here stops nothing.
    if (firstUnmarked_ > 0) {
        const std::size_t at = std::size_t{firstUnmarked_ - 1} * recordLength_;
        try {
            file_.WriteAt(headerLength_ + at, data_.data() + at, 1);
            firstUnmarked_ = 0;
        } catch (const WriteFailure&) {
        }
    }
    if (!anyDirty_ && pendingMemos_.empty() && count_ == committedCount_) return;
    std::optional<MemoFile::Mark> memoMark;
    if (memo_ && !pendingMemos_.empty()) memoMark = memo_->Here();
    try {
        WriteChanges();
    } catch (const WriteFailure&) {
        RollBack(memoMark);
        throw;
    }
    committedCount_ = count_;
    headerCount_ = count_;
    std::fill(dirty_.begin(), dirty_.end(), false);
    anyDirty_ = false;
    committedBytes_.clear();
}

void DbfTable::WriteChanges() {
    // Memo blocks first: the records that point to them are not written yet.
    std::vector<std::pair<std::pair<std::uint32_t, int>, std::uint32_t>> blocks;
    if (!pendingMemos_.empty()) {
        for (const auto& [where, text] : pendingMemos_)
            blocks.push_back({where, memo_->Append(text)});
        memo_->Sync();
    }
    for (const auto& [where, block] : blocks) {
        SetMemoBlock(data_.data() + std::size_t{where.first - 1} * recordLength_, where.second,
                     block);
    }
    pendingMemos_.clear();
    for (std::uint32_t r = 1; r <= committedCount_; ++r) {
        if (dirty_[r - 1]) {
            file_.WriteAt(headerLength_ + std::uint64_t{r - 1} * recordLength_, RecordBytes(r),
                          static_cast<std::size_t>(recordLength_));
        }
    }
    const std::uint64_t end = headerLength_ + std::uint64_t{count_} * recordLength_;
    // New records go in behind the end-of-file mark of the committed ones,
    // which stays until they are whole on the disk. The first of them that is
    // not marked deleted then begins with the end-of-file mark until the
    // count names it, and its own mark follows the count at once: a reader
    // that reads up to the mark never finds a live record the count does not
    // name, and the opening that finds the end-of-file mark in a counted
    // record knows it is a live one. New records marked deleted before it
    // carry their own mark, which such readers pass over.
    const std::size_t from = std::size_t{committedCount_} * recordLength_;
    const bool appended = count_ > committedCount_;
    std::optional<std::size_t> firstLive;
    for (std::uint32_t r = committedCount_ + 1; r <= count_ && !firstLive; ++r)
        if (!deleted_[r - 1]) firstLive = std::size_t{r - 1} * recordLength_;
    if (appended) {
        file_.WriteAt(headerLength_ + from, &kEndOfFile, 1);
        const std::size_t held = firstLive.value_or(from);
        if (held > from + 1)
            file_.WriteAt(headerLength_ + from + 1, data_.data() + from + 1, held - from - 1);
        if (held > from) file_.WriteAt(headerLength_ + held, &kEndOfFile, 1);
        file_.WriteAt(headerLength_ + held + 1, data_.data() + held + 1, data_.size() - held - 1);
    }
    file_.WriteAt(end, &kEndOfFile, 1);
    if (file_.Size() != end + 1) file_.Truncate(end + 1);
    // New records must be whole on the disk before the count names them.
    // Records changed in place need no such wait: the header then takes only
    // today's date, and one sync at the end covers both (a save waits for the
    // disk once less, which under a busy disk is what the user feels).
    if (appended) file_.Sync();
    const bool firstDeleted = appended && (!firstLive || *firstLive != from);
    if (firstDeleted) file_.WriteAt(headerLength_ + from, data_.data() + from, 1);  // its '*'
    // The count goes in next: records beyond it are ignored until it names them.
    std::array<char, 8> head{};
    const QDate today = QDate::currentDate();
    head[0] = static_cast<char>(version_);
    head[1] = static_cast<char>(today.year() - 1900);
    head[2] = static_cast<char>(today.month());
    head[3] = static_cast<char>(today.day());
    PutLe32(head.data() + 4, count_);
    file_.WriteAt(0, head.data(), head.size());
    // The first live record's mark follows the count at once, with nothing
    // to wait for between them: a reader that goes by the count would refuse
    // a counted record that begins with the end-of-file mark.
    if (firstLive) {
        try {
            file_.WriteAt(headerLength_ + *firstLive, data_.data() + *firstLive, 1);
        } catch (const WriteFailure&) {
            // The count is on the disk: the records are committed. The next
            // commit (closing commits) or the next opening puts the mark in
            // place of the end-of-file mark.
            firstUnmarked_ = static_cast<std::uint32_t>(*firstLive / recordLength_) + 1;
        }
    }
    file_.Sync();
}

void DbfTable::RollBack(const std::optional<MemoFile::Mark>& memoMark) {
    // The files first, as far as the system still lets us write: a full disk
    // takes back what was appended; a drive that has gone takes nothing back,
    // but the header, written last, still counts the committed records only.
    const auto attempt = [](const std::function<void()>& step) {
        try {
            step();
        } catch (const WriteFailure&) {
        }
    };
    if (memoMark) attempt([&] { memo_->RollBack(*memoMark); });
    const std::uint64_t end = headerLength_ + std::uint64_t{committedCount_} * recordLength_;
    attempt([&] {
        std::array<char, 4> count{};
        PutLe32(count.data(), committedCount_);
        file_.WriteAt(4, count.data(), count.size());
    });
    for (const auto& [record, bytes] : committedBytes_) {
        attempt([&, record = record, bytes = bytes] {
            file_.WriteAt(headerLength_ + std::uint64_t{record - 1} * recordLength_, bytes);
        });
    }
    attempt([&] {
        if (file_.Size() > end + 1) file_.Truncate(end + 1);
        if (file_.Size() == end + 1) file_.WriteAt(end, &kEndOfFile, 1);
    });
    attempt([&] { file_.Sync(); });
    Discard();
}

void DbfTable::Discard() {
    // Records go back to what the file holds: orders built on the discarded
    // values no longer fit.
    NewGeneration();
    for (const auto& [record, bytes] : committedBytes_) {
        std::memcpy(data_.data() + std::size_t{record - 1} * recordLength_, bytes.constData(),
                    static_cast<std::size_t>(recordLength_));
    }
    committedBytes_.clear();
    pendingMemos_.clear();
    count_ = committedCount_;
    data_.Resize(std::size_t{count_} * recordLength_);
    dirty_.assign(count_, false);
    anyDirty_ = false;
    ReadDeletionMarks();
}

std::optional<FileStamp> DbfTable::CommittedStamp() const {
    if (anyDirty_ || !pendingMemos_.empty() || count_ != committedCount_ || cutWhileOpen())
        return std::nullopt;
    return file_.Stamp();
}

}  // namespace kesp::store
