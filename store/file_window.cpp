#include "store/file_window.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace kesp::store {
namespace {

// Large enough that marking every tenth record of a large table maps a
// window rarely; small enough that the pages it touches stay few.
constexpr std::uint64_t kWindowBytes = std::uint64_t{4} << 20;

}  // namespace

FileWindow::FileWindow(FileWindow&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)),
      start_(other.start_),
      length_(std::exchange(other.length_, 0)),
      lastTick_(other.lastTick_),
      guard_(std::move(other.guard_)) {}

FileWindow& FileWindow::operator=(FileWindow&& other) noexcept {
    if (this != &other) {
        Release();
        base_ = std::exchange(other.base_, nullptr);
        start_ = other.start_;
        length_ = std::exchange(other.length_, 0);
        lastTick_ = other.lastTick_;
        guard_ = std::move(other.guard_);
    }
    return *this;
}

void FileWindow::Release() {
    guard_.Release();  // before the range is unmapped and may be mapped again
    if (base_) munmap(base_, length_);
    base_ = nullptr;
    length_ = 0;
}

FileWindow::Stored FileWindow::Store(int descriptor, std::uint64_t offset, char byte) {
    if (!base_ || offset < start_ || offset - start_ >= length_) {
        if (const Stored mapped = MapAround(descriptor, offset); mapped != Stored::Done)
            return mapped;
    }
    base_[offset - start_] = byte;
    if (guard_.PagesLost()) [[unlikely]] {
        Release();
        return Stored::FileCut;
    }
    MoveModificationTime(descriptor);
    return Stored::Done;
}

void FileWindow::MoveModificationTime(int descriptor) {
    // A store into a page already written does not move the file's time.
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    const std::int64_t tick = std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    if (tick == lastTick_) return;
    lastTick_ = tick;
    futimens(descriptor, nullptr);
}

FileWindow::Stored FileWindow::MapAround(int descriptor, std::uint64_t offset) {
    Release();
    struct stat info {};
    if (fstat(descriptor, &info) != 0) return Stored::NotMapped;
    const auto size = static_cast<std::uint64_t>(info.st_size);
    // The byte lies within the file's length as its owner knows it.
    if (offset >= size) return Stored::FileCut;
    const std::uint64_t start = offset / kWindowBytes * kWindowBytes;
    const auto length = static_cast<std::size_t>(std::min(kWindowBytes, size - start));
    // The first hole at or after `start`; the end of the file counts as one.
    const off_t hole = lseek(descriptor, static_cast<off_t>(start), SEEK_HOLE);
    if (hole < 0 || static_cast<std::uint64_t>(hole) < start + length) return Stored::NotMapped;
    void* mapped = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor,
                        static_cast<off_t>(start));
    if (mapped == MAP_FAILED) return Stored::NotMapped;
    if (!guard_.Watch(mapped, length)) {
        munmap(mapped, length);
        return Stored::NotMapped;
    }
    base_ = static_cast<char*>(mapped);
    start_ = start;
    length_ = length;
    return Stored::Done;
}

}  // namespace kesp::store
