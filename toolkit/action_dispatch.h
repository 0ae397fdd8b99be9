// Running the program's actions: every control's action and change action,
// and a window's initialisation, run through RunAction.
//
// An action stopped by a write the system refused (kesp::WriteFailure from
// the store: a full disk, an I/O error, a removed drive, a file beyond its
// size limit) ends right there, and the user is told in a warning box that
// names the file and the system's reason. Nothing else happens: a form keeps
// what was typed and its mode, so the user can make room and save again, and
// the program goes on. The store has put the table back to its last commit
// before it throws, so actions need no code of their own for it.
// Faults are not caught here; they go to the program-wide fault handler. A
// table another program cut short while it was open ends the action the same
// way and closes the windows that show it (cut_table.h).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/fault.h"
#include "toolkit/forms.h"

#include <functional>

namespace kesp {

// Runs the action, if there is one; false when a write failure or a cut
// table stopped it (the user has been told, or is as soon as the event loop
// takes over again).
bool RunAction(const Action& action);

// How the user is told of a write failure. The program installs a message in
// the interface language; until then an English warning box is shown.
using WriteFailureNotice = std::function<void(const WriteFailure&)>;
void SetWriteFailureNotice(WriteFailureNotice notice);

}  // namespace kesp
