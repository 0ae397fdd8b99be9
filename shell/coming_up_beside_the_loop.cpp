#include "shell/coming_up_beside_the_loop.h"

#include "shell/table_readers.h"
#include "toolkit/action_dispatch.h"

#include <utility>

ComingUpBesideTheLoop::ComingUpBesideTheLoop(const QDate& today, int days, bool customDateReminds,
                                             Ready ready)
    : days_(DaysComingUp(today, days)),
      kinds_(KindsComingUp(customDateReminds)),
      ofKind_(kinds_.size()),
      ready_(std::move(ready)) {
    // A table another reading holds would be left out.
    WaitForTableReaders();
    readers_ = std::make_unique<TableReaders>(
        kinds_.size(),
        [this](std::size_t kind, const std::atomic<bool>& cancelled) {
            ofKind_[kind] = ReadComingUp(kinds_[kind], days_, &cancelled);
        },
        [this] { kesp::RunAction([this] { HandOver(); }); });
}

ComingUpBesideTheLoop::~ComingUpBesideTheLoop() = default;

void ComingUpBesideTheLoop::HandOver() {
    running_ = false;
    for (std::size_t kind = 0; kind < kinds_.size(); ++kind)
        if (readers_->faulted(kind)) ofKind_[kind] = ReadComingUp(kinds_[kind], days_);
    ready_(InTheirOrder(std::move(ofKind_)));
}
