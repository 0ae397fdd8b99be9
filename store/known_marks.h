// The deletion marks of large tables as this process last left them, kept by
// the stamp of the table's file: a table opened again, unchanged since, takes
// them instead of reading its whole file for one byte a record.
//
// It promises: marks are handed back only for the same file (device, inode)
// with the same size and times, and only when the file's last change came
// before they were kept (a change within the same tick of the clock as the
// keeping would not show in the stamp).
//
// Thread-safe: tables opened on threads of their own may ask.
#pragma once

#include "store/file_handle.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kesp::store {

struct KnownMarks {
    std::vector<bool> deleted;  // by record number - 1
    std::uint32_t deletedCount = 0;
    std::uint32_t firstUnmarked = 0;  // the first record beginning with the end-of-file mark
};

// The marks kept for the table file at `path`, when it is as it was then
// and holds `records` records; taken, so kept no longer.
std::optional<KnownMarks> TakeKnownMarks(const QString& path, const FileStamp& stamp,
                                         std::uint32_t records);

// Now, on the clock the file system takes its times from (or a little behind it).
std::int64_t MarksClockNs();

// Keeps the marks of the table file at `path` as they were at `readNs`
// (MarksClockNs), the file then as `stamp` says.
void KeepKnownMarks(const QString& path, const FileStamp& stamp, std::int64_t readNs,
                    KnownMarks marks);

}  // namespace kesp::store
