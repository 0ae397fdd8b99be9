// Keeps the store's mappings of table files from ending the process when
// another program cuts a file short while it is mapped. An access to a page
// the file no longer holds raises SIGBUS, whose default ends the process with
// whatever the user had typed. For a mapping watched here, the signal handler
// puts a page of zeros in place of the lost page instead, the access
// completes (a read reads zeros, a write goes nowhere), and the mapping
// counts as having lost pages from then on. Each place that reads or writes
// through the mapping asks after its access (PagesLost) and raises the
// table's damage: no zero read from a lost page is ever taken for a record.
// (The bytes past the new end on the page the cut falls in read as zeros
// without a signal, since the system maps pages whole; only the pages after
// it are lost, and the first of them read tells the cut.)
//
// Why mapping stays, rather than reading tables below some size with pread:
// a table only looked at (the search, the statistics) shares its pages with
// the file cache instead of copying them, and a large one is opened without
// reading it whole; the files are cut short by other programs rarely, the
// tables are read all the time. The guard keeps that speed: the handler runs
// only when a page is lost, and asking after an access is one atomic load.
// A table read into memory (a small one opened for changes) is not affected
// by a cut at all until it is written.
//
// Promises:
// - A SIGBUS outside every watched mapping, or one sent by another process,
//   gets what the handler installed before ours would have done with it;
//   with none, the default: the process ends with SIGBUS.
// - Watching and letting go take no lock and may come from any thread; the
//   handler only reads the watched ranges with atomic loads, maps one page
//   and marks the mapping with an atomic compare-and-swap, all of them safe
//   in a signal handler. A mapping's range and its mark share one atomic
//   word, so the handler never pairs the start of one mapping with the
//   length of another.
// - At most kWatchedMappings mappings are watched at once; Watch refuses
//   more, and the owner then reads the file instead of mapping it.
// - The owner lets go of the watch (Release) before it unmaps the range:
//   the watched range is then never another mapping's.
// The handler is installed with the first watch and stays.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kesp::store {

inline constexpr int kWatchedMappings = 1024;
// The mark of a lost page in a watched range's word (mapping_guard.cpp).
inline constexpr std::uint64_t kLostPageMark = std::uint64_t{1} << 63;

class MappingGuard {
  public:
    MappingGuard() = default;
    MappingGuard(MappingGuard&& other) noexcept;
    MappingGuard& operator=(MappingGuard&& other) noexcept;
    MappingGuard(const MappingGuard&) = delete;
    MappingGuard& operator=(const MappingGuard&) = delete;
    ~MappingGuard() { Release(); }

    // Watches the mapped range [start, start + length), which must be whole
    // pages of a mapping of a file. False (nothing watched) when every place
    // is taken or the range cannot be told to the handler.
    bool Watch(void* start, std::size_t length);
    // Stops watching; the range may then be unmapped.
    void Release();

    bool watching() const { return slot_ != nullptr; }
    // Whether a page of the range was lost since Watch. Ask after the access:
    // the compiler may not move the question before it.
    bool PagesLost() const {
        std::atomic_signal_fence(std::memory_order_seq_cst);
        return slot_ != nullptr && (slot_->load(std::memory_order_relaxed) & kLostPageMark) != 0;
    }

  private:
    std::atomic<std::uint64_t>* slot_ = nullptr;
};

}  // namespace kesp::store
