#include "store/byte_buffer.h"

#include <sys/mman.h>
#include <cstring>
#include <new>

namespace kesp::store {
namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Small buffers (most tables) stay in ordinary pages; huge pages pay off only
// for the large ones.
bool WantsHugePages(std::size_t n) {
    return n >= 2 * kHugePage;
}

std::size_t RoundUp(std::size_t n) {
    const std::size_t unit = WantsHugePages(n) ? kHugePage : kPage;
    return (n + unit - 1) / unit * unit;
}

}  // namespace

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() {
    Clear();
}

void ByteBuffer::Clear() {
    if (data_) munmap(data_, capacity_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
}

void ByteBuffer::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    capacity = RoundUp(capacity);
    void* block =
        data_ ? mremap(data_, capacity_, capacity, MREMAP_MAYMOVE)
              : mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    if (WantsHugePages(capacity)) madvise(block, capacity, MADV_HUGEPAGE);
    data_ = static_cast<char*>(block);
    capacity_ = capacity;
}

void ByteBuffer::Resize(std::size_t size) {
    if (size > capacity_) Reserve(size > 2 * capacity_ ? size : 2 * capacity_);
    if (size < size_) {
        // Hand the pages past the new end back to the system.
        const std::size_t keep = (size + kPage - 1) / kPage * kPage;
        if (keep < capacity_) madvise(data_ + keep, capacity_ - keep, MADV_DONTNEED);
    }
    size_ = size;
}

void ByteBuffer::Append(const char* bytes, std::size_t length) {
    if (length == 0) return;
    const std::size_t at = size_;
    Resize(size_ + length);
    std::memcpy(data_ + at, bytes, length);
}

}  // namespace kesp::store
