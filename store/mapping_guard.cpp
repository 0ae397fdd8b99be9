#include "store/mapping_guard.h"

#include <sys/mman.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <csignal>
#include <mutex>
#include <utility>

namespace kesp::store {
namespace {

static_assert(std::atomic<std::uint64_t>::is_always_lock_free,
              "the signal handler may only use lock-free atomics");

// A watched range in one word: its first page number in the low bits, its
// number of pages above them, and the mark of a lost page in the top bit.
// Zero: a free place. User addresses of 47 bits leave 35 bits of page number
// for 4 KB pages; 28 bits of pages reach a terabyte.
constexpr int kFirstBits = 35;
constexpr int kCountBits = 28;
constexpr std::uint64_t kFirstMask = (std::uint64_t{1} << kFirstBits) - 1;
constexpr std::uint64_t kCountMask = (std::uint64_t{1} << kCountBits) - 1;
constexpr std::uint64_t kLost = kLostPageMark;
static_assert(kFirstBits + kCountBits <= 63, "the mark needs the top bit");

constinit std::atomic<std::uint64_t> watched[kWatchedMappings] = {};
constinit std::atomic<bool> installed{false};
std::size_t pageSize = 4096;
int pageShift = 12;
struct sigaction before {};  // what SIGBUS did before our handler

// What the handler before ours would have done: its own handler, or the
// default, which ends the process with the signal.
void PassOn(int signal, siginfo_t* info, void* context) {
    if ((before.sa_flags & SA_SIGINFO) != 0 && before.sa_sigaction != nullptr) {
        before.sa_sigaction(signal, info, context);
        return;
    }
    if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN &&
        (before.sa_flags & SA_SIGINFO) == 0) {
        before.sa_handler(signal);
        return;
    }
    const bool sent = info == nullptr || info->si_code <= 0;  // by kill or raise
    if (sent && before.sa_handler == SIG_IGN) return;
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    // A fault repeats when the handler returns, now with the default; a
    // signal sent is sent again, and arrives as soon as the handler returns.
    if (sent) raise(signal);
}

// Puts a page of zeros in place of the lost page at `address` when it lies in
// a watched range, and marks the range; false when it lies in none.
bool ReplaceLostPage(const void* address) {
    const std::uint64_t page = reinterpret_cast<std::uintptr_t>(address) >> pageShift;
    for (std::atomic<std::uint64_t>& place : watched) {
        std::uint64_t word = place.load(std::memory_order_acquire);
        if (word == 0) continue;
        const std::uint64_t first = word & kFirstMask;
        const std::uint64_t count = (word >> kFirstBits) & kCountMask;
        if (page - first >= count) continue;  // before the range too: unsigned
        void* zeros = mmap(reinterpret_cast<void*>(page << pageShift), pageSize,
                           PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros == MAP_FAILED) return false;
        // A range let go of in the meantime takes its mark with it.
        place.compare_exchange_strong(word, word | kLost, std::memory_order_acq_rel);
        return true;
    }
    return false;
}

void OnBusError(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    // Only a fault of the process itself has an address; a signal another
    // process sent is never a lost page.
    const bool fault = info != nullptr && info->si_code > 0;
    if (!fault || !ReplaceLostPage(info->si_addr)) PassOn(signal, info, context);
    errno = savedErrno;
}

bool InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        const long size = sysconf(_SC_PAGESIZE);
        if (size <= 0 || !std::has_single_bit(static_cast<unsigned long>(size))) return;
        pageSize = static_cast<std::size_t>(size);
        pageShift = std::countr_zero(static_cast<unsigned long>(size));
        // What was there is read first, so that the handler never runs
        // before it is known.
        if (sigaction(SIGBUS, nullptr, &before) != 0) return;
        struct sigaction ours {};
        ours.sa_sigaction = OnBusError;
        ours.sa_flags = SA_SIGINFO;
        sigemptyset(&ours.sa_mask);
        if (sigaction(SIGBUS, &ours, nullptr) == 0) installed.store(true);
    });
    return installed.load();
}

}  // namespace

MappingGuard::MappingGuard(MappingGuard&& other) noexcept
    : slot_(std::exchange(other.slot_, nullptr)) {}

MappingGuard& MappingGuard::operator=(MappingGuard&& other) noexcept {
    if (this != &other) {
        Release();
        slot_ = std::exchange(other.slot_, nullptr);
    }
    return *this;
}

bool MappingGuard::Watch(void* start, std::size_t length) {
    Release();
    if (length == 0 || !InstallHandler()) return false;
    const auto at = reinterpret_cast<std::uintptr_t>(start);
    if (at % pageSize != 0) return false;
    const std::uint64_t first = at >> pageShift;
    const std::uint64_t count = (length + pageSize - 1) >> pageShift;
    if (first > kFirstMask || count > kCountMask) return false;
    const std::uint64_t word = count << kFirstBits | first;
    for (std::atomic<std::uint64_t>& place : watched) {
        std::uint64_t free = 0;
        if (place.compare_exchange_strong(free, word, std::memory_order_acq_rel)) {
            slot_ = &place;
            return true;
        }
    }
    return false;
}

void MappingGuard::Release() {
    if (slot_ == nullptr) return;
    slot_->store(0, std::memory_order_release);
    slot_ = nullptr;
}

}  // namespace kesp::store
