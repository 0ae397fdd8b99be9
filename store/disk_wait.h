// Where the store waits for the disk. A sync, or an index file written whole,
// may take a while when the disk is busy; the store hands each such step to
// the installed waiter, which runs it (on another thread, if it likes, while
// its own thread does something else) and returns once it is done, with what
// it threw. Without a waiter the calling thread runs the step.
//
// Promises: a step handed over only writes or syncs its file and reads what
// the caller leaves alone until the waiter returns (an index file reads its
// order and the table's records); it raises its faults as the calling thread
// would. The store's own bookkeeping stays on the calling thread.
#pragma once

#include <functional>

namespace kesp::store {

using DiskWaiter = std::function<void(const std::function<void()>& step)>;

// Installs `waiter` for every thread; returns the previous one. An empty
// waiter restores running the steps on the calling thread.
DiskWaiter SetDiskWaiter(DiskWaiter waiter);

// Runs `step` through the installed waiter.
void WaitForDisk(const std::function<void()>& step);

}  // namespace kesp::store
