// Waiting for work on another thread without the windows waiting. The event
// loop's thread hands over a step that takes a while (a sync or an index
// file written whole in the middle of a save, a count over a table), or waits
// for threads reading the tables, and the windows go on being painted
// meanwhile: the loop turns, taking what the window system and painting
// need, but no input, no timer and no socket, so that nothing the user or a
// step between actions does runs in between.
// Keys and clicks wait for the work and follow it in their order; a window
// asked to close meanwhile closes once the work is done; steps posted by
// other threads that touch the tables wait for it too (RunOutsideTurns).
//
// Promises:
// - RunBesideTheLoop returns once `work` is done, throwing what it threw; a
//   fault it raised goes to the calling thread's fault handler, as if the
//   calling thread had raised it. Work that ends within a moment (two
//   milliseconds) lets the loop not turn at all.
// - A store operation may be half done meanwhile: painting shows what was
//   read before, a list reads the page it owes once the work is done
//   (InsideATurn), and steps posted by other threads that touch the tables
//   wait too (RunOutsideTurns). The work itself only reads the tables and
//   writes its own file.
// - Called on another thread than the loop's, before the application is
//   there, or inside such a wait, the work runs on the calling thread and
//   the loop does not turn: a step between two turns never finds another
//   half done.
//
// Made for the event loop's thread; the work may run anywhere.
#pragma once

#include <functional>

class QObject;

namespace kesp {

void RunBesideTheLoop(const std::function<void()>& work);

// Turns the loop as RunBesideTheLoop does while `busy` holds, for threads
// already running; the thread that ends `busy` must then wake the loop
// (posting an event to it does). Returns at once where RunBesideTheLoop
// would run its work on the calling thread: the caller then waits as it
// would have.
void TurnTheLoopWhile(const std::function<bool()>& busy);

// Makes the table store's waits for the disk (store/disk_wait.h) run beside
// the loop (at the program's start, and in the tests that show windows).
void WaitForTheDiskBesideTheLoop();

// For steps posted to the loop from other threads that read or write the
// tables (a list's page, what threads have read): runs `step` now, or, inside
// a turn, posts it to `context` for a later turn of the loop, once the work
// being waited for is done (a store operation may be half done meanwhile).
// Dropped when `context` is gone by then.
void RunOutsideTurns(QObject* context, std::function<void()> step);

// Whether the loop is turning for work beside it: what reads the tables on
// its own (a list's next page) waits then (RunOutsideTurns).
bool InsideATurn();

}  // namespace kesp
