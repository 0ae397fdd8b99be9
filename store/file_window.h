// A few megabytes of an open file mapped shared and writable, for writing
// single bytes in place: a store into the mapping is in the system's file
// cache at once, as a write is, and survives the process as a write does.
// One-byte writes through the system call cost it a walk over the whole
// cached block they fall in (megabytes, for a file written in large pieces);
// a store into the mapping costs nothing after the first to each page.
//
// The file's modification time moves as a write would move it (backups tell
// changed files by it), once per tick of the system's coarse clock, as the
// system itself moves it.
//
// Only parts of the file with room already given to them are mapped: a part
// the system may still need room for (a hole) would fail with a signal on a
// full disk, not with an error. The owner must Release the window before the
// file shrinks or is closed. When another program cuts the file short under
// the window, the store into a page it lost goes nowhere, and Store says so
// (store/mapping_guard.h).
#pragma once

#include "store/mapping_guard.h"

#include <cstddef>
#include <cstdint>

namespace kesp::store {

class FileWindow {
  public:
    FileWindow() = default;
    FileWindow(FileWindow&& other) noexcept;
    FileWindow& operator=(FileWindow&& other) noexcept;
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;
    ~FileWindow() { Release(); }

    enum class Stored {
        Done,
        NotMapped,  // nothing stored: that part of the file cannot be mapped
                    // (beyond its end, a hole, or refused)
        FileCut,    // nothing stored: another program cut the file short
                    // before `offset`, under the window or before it was mapped;
                    // the window is let go of
    };
    // Stores `byte` at `offset` of the file. Requires: the file held `offset`
    // when its owner last changed its length.
    Stored Store(int descriptor, std::uint64_t offset, char byte);
    void Release();

  private:
    Stored MapAround(int descriptor, std::uint64_t offset);  // Done: mapped
    void MoveModificationTime(int descriptor);

    char* base_ = nullptr;
    std::uint64_t start_ = 0;
    std::size_t length_ = 0;
    std::int64_t lastTick_ = -1;  // of the coarse clock, when the time last moved
    MappingGuard guard_;
};

}  // namespace kesp::store
