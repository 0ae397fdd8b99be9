#include "store/byte_buffer.h"

#include <sys/mman.h>
#include <algorithm>
#include <cstdint>
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

char* PageBelow(char* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return reinterpret_cast<char*>(at / kPage * kPage);
}

char* PageAbove(char* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    return reinterpret_cast<char*>((at + kPage - 1) / kPage * kPage);
}

}  // namespace

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      mapping_(std::exchange(other.mapping_, nullptr)),
      mappingLength_(std::exchange(other.mappingLength_, 0)),
      fileBacked_(std::exchange(other.fileBacked_, false)),
      guard_(std::move(other.guard_)),
      pagesLost_(std::exchange(other.pagesLost_, false)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Clear();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappingLength_ = std::exchange(other.mappingLength_, 0);
        fileBacked_ = std::exchange(other.fileBacked_, false);
        guard_ = std::move(other.guard_);
        pagesLost_ = std::exchange(other.pagesLost_, false);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() {
    Clear();
}

void ByteBuffer::Clear() {
    guard_.Release();  // before the range is unmapped and may be mapped again
    if (mapping_) munmap(mapping_, mappingLength_);
    data_ = nullptr;
    size_ = 0;
    capacity_ = 0;
    mapping_ = nullptr;
    mappingLength_ = 0;
    fileBacked_ = false;
    pagesLost_ = false;
}

bool ByteBuffer::MapFile(int descriptor, std::uint64_t offset, std::size_t length) {
    Clear();
    if (length == 0) return true;
    const std::uint64_t start = offset / kPage * kPage;
    const std::size_t span = static_cast<std::size_t>(offset - start) + length;
    // Room to grow behind the file's pages, reserved as memory of our own: a
    // record appended to a large table goes there instead of moving the whole
    // table out of the file first. Untouched, the room costs no memory.
    const std::size_t room = length / 4 + (std::size_t{1} << 20);
    const std::size_t reserved = (span + kPage - 1) / kPage * kPage + room;
    void* block =
        mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return false;
    // Pages come in when first read, shared with the file cache rather than
    // copied; the first write to a page copies that page alone.
    if (mmap(block, span, PROT_READ, MAP_PRIVATE | MAP_FIXED, descriptor,
             static_cast<off_t>(start)) == MAP_FAILED ||
        mprotect(block, span, PROT_READ | PROT_WRITE) != 0 || !guard_.Watch(block, span)) {
        munmap(block, reserved);
        return false;
    }
    mapping_ = static_cast<char*>(block);
    mappingLength_ = reserved;
    data_ = mapping_ + (offset - start);
    size_ = length;
    capacity_ = reserved - static_cast<std::size_t>(offset - start);
    fileBacked_ = true;
    return true;
}

void ByteBuffer::Reserve(std::size_t capacity) {
    if (capacity <= capacity_) return;
    capacity = RoundUp(capacity);
    void* block = nullptr;
    if (mapping_ && !fileBacked_) {
        block = mremap(mapping_, mappingLength_, capacity, MREMAP_MAYMOVE);
    } else {
        block = mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    }
    if (block == MAP_FAILED) throw std::bad_alloc();
    if (WantsHugePages(capacity)) madvise(block, capacity, MADV_HUGEPAGE);
    if (fileBacked_) {
        // Past the room behind the file: the bytes move to memory of our own.
        MoveOutOfFile(static_cast<char*>(block));
        pagesLost_ = FilePagesLost();
        guard_.Release();
        munmap(mapping_, mappingLength_);
        fileBacked_ = false;
    }
    mapping_ = static_cast<char*>(block);
    mappingLength_ = capacity;
    data_ = mapping_;
    capacity_ = capacity;
}

void ByteBuffer::MoveOutOfFile(char* to) {
    // Piece by piece, each piece of the mapping handed back once copied: the
    // file's pages and their copy are never resident together, so appending
    // to a large table does not hold it twice for a moment.
    constexpr std::size_t kPiece = std::size_t{4} << 20;
    char* released = mapping_;
    for (std::size_t at = 0; at < size_; at += kPiece) {
        const std::size_t length = std::min(kPiece, size_ - at);
        std::memcpy(to + at, data_ + at, length);
        char* copiedUpTo = PageBelow(data_ + at + length);
        if (copiedUpTo > released) {
            madvise(released, static_cast<std::size_t>(copiedUpTo - released), MADV_DONTNEED);
            released = copiedUpTo;
        }
    }
}

void ByteBuffer::Resize(std::size_t size) {
    if (size > capacity_) Reserve(size > 2 * capacity_ ? size : 2 * capacity_);
    if (size < size_) {
        // Hand the pages past the new end back to the system.
        char* keep = PageAbove(data_ + size);
        char* end = mapping_ + mappingLength_;
        if (keep < end) madvise(keep, static_cast<std::size_t>(end - keep), MADV_DONTNEED);
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
