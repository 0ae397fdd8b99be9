// A growable block of bytes for the large arrays of the store (the records
// of a table, the keys of an index). Backed by anonymous memory mapped with
// huge pages where the system allows, and grown by remapping, so a table of
// a hundred megabytes is neither zero-filled page by page nor copied when it
// grows. Contents beyond the old size are unspecified after Resize. A table's
// records may instead be mapped from its file (MapFile): a large table's, and
// those of a table only looked at.
//
// A file another program cuts short under the mapping costs the mapping its
// pages past the new end: they read as zeros from then on, and
// FilePagesLost says so (store/mapping_guard.h). Whoever reads the bytes
// asks it after reading.
#pragma once

#include "store/mapping_guard.h"

#include <cstddef>
#include <cstdint>
#include <utility>

namespace kesp::store {

class ByteBuffer {
  public:
    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Holds `length` bytes of the file from `offset` as a private copy-on-write
    // mapping: a large table is read without zero-filling and copying it.
    // Changes never reach the file. Room for a quarter more behind it is
    // memory of our own, so that appending a few records does not copy the
    // table out of the file. False when the system refuses the mapping or it
    // cannot be watched for pages lost (the caller reads then).
    bool MapFile(int descriptor, std::uint64_t offset, std::size_t length);

    // Whether a page of the mapped file was lost under the buffer since it
    // was mapped (another program cut the file short): bytes read from it
    // since are zeros. It stays so after the bytes move out of the file, until
    // the buffer is cleared or mapped again. One atomic load.
    bool FilePagesLost() const { return pagesLost_ || guard_.PagesLost(); }

    void Resize(std::size_t size);  // keeps the first min(old, new) bytes
    void Append(const char* bytes, std::size_t length);
    void Clear();  // gives the memory back

  private:
    void Reserve(std::size_t capacity);
    void MoveOutOfFile(char* to);  // copies the mapped bytes to `to`

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    char* mapping_ = nullptr;  // what was mapped (data_ may start inside it)
    std::size_t mappingLength_ = 0;
    bool fileBacked_ = false;
    MappingGuard guard_;      // of the file's mapping
    bool pagesLost_ = false;  // by the mapping of the file let go of since
};

}  // namespace kesp::store
