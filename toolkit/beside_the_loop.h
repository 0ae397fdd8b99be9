// Waiting for work on another thread without the windows waiting. The event
// loop's thread runs a step that takes a while on the disk (a sync, an index
// file written whole) or waits for threads reading the tables, and the
// windows go on being painted meanwhile: the loop turns, taking what the
// window system and painting need, but no input, no timer and no socket, so
// that nothing the user or a step between actions does runs in between.
// Keys and clicks wait for the work and follow it in their order; a window
// asked to close meanwhile closes once the work is done.
//
// Promises:
// - RunBesideTheLoop returns once `work` is done, throwing what it threw; a
//   fault it raised goes to the calling thread's fault handler, as if the
//   calling thread had raised it. Work that ends within a moment (two
//   milliseconds) lets the loop not turn at all.
// - Called on another thread than the loop's, before the application is
//   there, or inside such a wait, the work runs on the calling thread and
//   the loop does not turn: a step between two turns never finds another
//   half done.
//
// Made for the event loop's thread; the work may run anywhere.
#pragma once

#include <functional>

namespace kesp {

void RunBesideTheLoop(const std::function<void()>& work);

// Turns the loop as RunBesideTheLoop does while `busy` holds, for threads
// already running; the thread that ends `busy` must then wake the loop
// (posting an event to it does). Returns at once where RunBesideTheLoop
// would run its work on the calling thread: the caller then waits as it
// would have.
void TurnTheLoopWhile(const std::function<bool()>& busy);

// Makes the table store's waits for the disk (store/disk_wait.h) run beside
// the loop.
void WaitForTheDiskBesideTheLoop();

}  // namespace kesp
