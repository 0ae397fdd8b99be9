#include "store/disk_wait.h"

#include <utility>

namespace kesp::store {

namespace {

DiskWaiter& Installed() {
    static DiskWaiter waiter;
    return waiter;
}

}  // namespace

DiskWaiter SetDiskWaiter(DiskWaiter waiter) {
    return std::exchange(Installed(), std::move(waiter));
}

void WaitForDisk(const std::function<void()>& step) {
    if (Installed()) {
        Installed()(step);
    } else {
        step();
    }
}

}  // namespace kesp::store
