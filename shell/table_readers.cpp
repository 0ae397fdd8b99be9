#include "shell/table_readers.h"

#include "store/fault.h"
#include "toolkit/beside_the_loop.h"

#include <algorithm>
#include <utility>

namespace {

// Every reading alive, so that the event loop's thread can wait for them all.
std::vector<TableReaders*>& Alive() {
    static std::vector<TableReaders*> alive;
    return alive;
}

}  // namespace

TableReaders::TableReaders(std::size_t tasks, Task read, std::function<void()> whenDone)
    : read_(std::move(read)),
      faulted_(tasks, 0),
      whenDone_(std::move(whenDone)),
      loopSide_(std::make_unique<QObject>()) {
    Alive().push_back(this);
    threads_.emplace_back([this] { ReadSome(); });
    threads_.emplace_back([this] { ReadSome(); });
}

TableReaders::~TableReaders() {
    Cancel();
    Wait();
    std::erase(Alive(), this);
}

void TableReaders::ReadSome() {
    for (std::size_t task = next_++; task < faulted_.size() && !cancelled_; task = next_++) {
        try {
            read_(task, cancelled_);
        } catch (const kesp::FaultException&) {
            faulted_[task] = 1;
        }
    }
    if (--working_ > 0) return;
    // The last one out tells the loop; the readers are waited for before
    // `loopSide_` goes, so it is still there.
    QMetaObject::invokeMethod(
        loopSide_.get(),
        [this] {
            kesp::RunOutsideTurns(loopSide_.get(), [this] {
                Wait();
                if (whenDone_ && !cancelled_) std::exchange(whenDone_, {})();
            });
        },
        Qt::QueuedConnection);
}

void TableReaders::Wait() {
    for (std::thread& thread : threads_)
        if (thread.joinable()) thread.join();
}

void TableReaders::Cancel() {
    cancelled_ = true;
}

void WaitForTableReaders() {
    for (TableReaders* readers : Alive())
        readers->Wait();
}

bool TableReadersRunning() {
    return std::any_of(Alive().begin(), Alive().end(),
                       [](const TableReaders* readers) { return readers->running(); });
}
