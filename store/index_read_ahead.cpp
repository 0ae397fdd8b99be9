#include "store/index_read_ahead.h"

#include "store/area_orders.h"
#include "store/file_handle.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kesp::store {
namespace {

// One set of files being read, in the order given.
class Reading {
  public:
    explicit Reading(QStringList paths)
        : paths_(std::move(paths)), contents_(paths_.size()), done_(paths_.size(), false) {
        worker_ = std::thread([this] { ReadEach(); });
    }
    ~Reading() {
        stop_ = true;
        worker_.join();
    }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    std::optional<IndexFileContent> Take(const QString& path) {
        const qsizetype at = paths_.indexOf(path);
        if (at < 0) return std::nullopt;
        std::unique_lock<std::mutex> hold(lock_);
        ready_.wait(hold, [this, at] { return done_[static_cast<std::size_t>(at)]; });
        return std::exchange(contents_[static_cast<std::size_t>(at)], std::nullopt);
    }

  private:
    void ReadEach() {
        for (std::size_t at = 0; at < contents_.size(); ++at) {
            std::optional<IndexFileContent> content;
            if (!stop_) {
                try {
                    content = KeyOrder::ReadContent(paths_[static_cast<qsizetype>(at)],
                                                    KeyOrder::KeysToRead::OfExpressions);
                    // Laid out here, the keys are only moved into their order.
                    if (content && content->keysRead) content->taken = KeyOrder::TakeKeys(*content);
                } catch (...) {
                    // Met again, and told, where the order reads the file itself.
                }
            }
            const std::lock_guard<std::mutex> hold(lock_);
            contents_[at] = std::move(content);
            done_[at] = true;
            ready_.notify_all();
        }
    }

    const QStringList paths_;
    std::mutex lock_;
    std::condition_variable ready_;
    std::vector<std::optional<IndexFileContent>> contents_;
    std::vector<bool> done_;
    std::atomic<bool> stop_{false};
    std::thread worker_;
};

std::unique_ptr<Reading>& Current() {
    static std::unique_ptr<Reading> reading;
    return reading;
}

}  // namespace

void ReadIndexFilesAhead(const QString& folder, const QStringList& files) {
    Current().reset();
    QStringList paths;
    for (const QString& file : files)
        paths.append(areas::IndexPathIn(folder, file));
    Current() = std::make_unique<Reading>(std::move(paths));
}

std::optional<IndexFileContent> TakeReadAhead(const QString& path, bool withKeys) {
    if (!Current()) return std::nullopt;
    std::optional<IndexFileContent> content = Current()->Take(path);
    if (!content || (withKeys && !content->keysRead) || FileHandle::StampOf(path) != content->stamp)
        return std::nullopt;
    return content;
}

}  // namespace kesp::store
