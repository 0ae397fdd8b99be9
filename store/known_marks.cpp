#include "store/known_marks.h"

#include <time.h>

#include <map>
#include <mutex>

namespace kesp::store {
namespace {

struct Kept {
    FileStamp stamp;
    std::int64_t keptNs = 0;
    KnownMarks marks;
};

std::mutex& KeptLock() {
    static std::mutex lock;
    return lock;
}

std::map<QString, Kept>& KeptMarks() {
    static std::map<QString, Kept> kept;
    return kept;
}

}  // namespace

std::int64_t MarksClockNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::optional<KnownMarks> TakeKnownMarks(const QString& path, const FileStamp& stamp,
                                         std::uint32_t records) {
    const std::lock_guard<std::mutex> hold(KeptLock());
    const auto found = KeptMarks().find(path);
    if (found == KeptMarks().end()) return std::nullopt;
    Kept kept = std::move(found->second);
    KeptMarks().erase(found);
    const bool unchanged = kept.stamp == stamp && stamp.ChangedBefore(kept.keptNs) &&
                           kept.marks.deleted.size() == records;
    if (!unchanged) return std::nullopt;
    return std::move(kept.marks);
}

void KeepKnownMarks(const QString& path, const FileStamp& stamp, std::int64_t readNs,
                    KnownMarks marks) {
    const std::lock_guard<std::mutex> hold(KeptLock());
    KeptMarks()[path] = Kept{stamp, readNs, std::move(marks)};
}

}  // namespace kesp::store
