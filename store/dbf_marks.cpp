// The deletion marks of a table: read where its records lie, or taken from
// the last opening in this run (store/known_marks.h), and left to the next.
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/known_marks.h"

#include <algorithm>
#include <memory>

namespace kesp::store {

DbfTable::~DbfTable() {
    if (!marksKeptAtClose_ || !file_.isOpen()) return;
    // Taken while the lock still keeps every other writer out.
    const std::optional<FileStamp> stamp = CommittedStamp();
    if (!stamp) return;
    if (inspectedStamp_) {
        if (*inspectedStamp_ == *stamp)
            KeepKnownMarks(path(), *stamp, inspectedNs_, {deleted_, deletedCount_, firstUnmarked_});
        return;
    }
    KeepKnownMarks(path(), *stamp, MarksClockNs(), {deleted_, deletedCount_, firstUnmarked_});
}

void DbfTable::ReadDeletionMarksFromFile() {
    // The mapping brings in a page only when a record on it is read: the marks
    // are read through a buffer that stays in the cache, so that opening a
    // table to count or pack it costs about one read of the file.
    deleted_.assign(count_, false);
    deletedCount_ = 0;
    const std::size_t perChunk = std::max<std::size_t>(1, (std::size_t{1} << 20) / recordLength_);
    // Not zero-filled: every byte looked at is read from the file first.
    const auto chunk =
        std::make_unique_for_overwrite<char[]>(perChunk * static_cast<std::size_t>(recordLength_));
    for (std::uint32_t first = 1; first <= count_;) {
        const std::size_t records =
            std::min<std::size_t>(perChunk, std::size_t{count_} - first + 1);
        const std::size_t bytes = records * static_cast<std::size_t>(recordLength_);
        if (file_.ReadAt(headerLength_ + std::uint64_t{first - 1} * recordLength_, chunk.get(),
                         bytes) < bytes) {
            RaiseCutWhileOpen(file_.path());  // as the records at opening
        }
        for (std::size_t i = 0; i < records; ++i) {
            const char mark = chunk[i * static_cast<std::size_t>(recordLength_)];
            if (mark == '*') {
                deleted_[first - 1 + i] = true;
                ++deletedCount_;
            } else if (mark == kEndOfFile && firstUnmarked_ == 0) {
                firstUnmarked_ = first + static_cast<std::uint32_t>(i);
            }
        }
        first += static_cast<std::uint32_t>(records);
    }
}

void DbfTable::ReadDeletionMarks() {
    deleted_.assign(count_, false);
    deletedCount_ = 0;
    for (std::uint32_t r = 1; r <= count_; ++r) {
        const char mark = RecordBytes(r)[0];
        if (mark == '*') {
            deleted_[r - 1] = true;
            ++deletedCount_;
        } else if (mark == kEndOfFile && firstUnmarked_ == 0) {
            firstUnmarked_ = r;
        }
    }
}

}  // namespace kesp::store
