// A growable block of bytes for the large arrays of the store (the records
// of a table, the keys of an index). Backed by anonymous memory mapped with
// huge pages where the system allows, and grown by remapping, so a table of
// a hundred megabytes is neither zero-filled page by page nor copied when it
// grows. Contents beyond the old size are unspecified after Resize.
#pragma once

#include <cstddef>
#include <utility>

namespace kesp::store {

class ByteBuffer {
  public:
    ByteBuffer() = default;
    ByteBuffer(ByteBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    char* data() { return data_; }
    const char* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void Resize(std::size_t size);  // keeps the first min(old, new) bytes
    void Append(const char* bytes, std::size_t length);
    void Clear();  // gives the memory back

  private:
    void Reserve(std::size_t capacity);

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace kesp::store
