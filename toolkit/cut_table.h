// A table another program cut short while the program had it open (the
// store's damage fault with cutWhileOpen, store/fault.h) costs the windows
// that show it, not the program: what the user typed in the other windows
// stays where it is.
//
// While an action runs (RunAction) or a list reads its rows, a CutTableScope
// is open. The program-wide fault handler logs such a fault once and lets it
// unwind to the nearest scope instead of ending the program; the scope's
// owner catches it and calls LetGoOfCutTable. As soon as the program is back
// in its event loop, every work area whose table was cut is closed without
// writing, every window whose list shows one of them is closed as the
// program closes windows (its release action runs, nothing is asked), and
// the user is told in a message naming the table. Outside every scope the
// fault ends the program as any other fault does.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/fault.h"

#include <QString>

#include <functional>

namespace kesp {

// Marks where a cut table's fault may unwind to; scopes nest.
class CutTableScope {
  public:
    CutTableScope();
    ~CutTableScope();
    CutTableScope(const CutTableScope&) = delete;
    CutTableScope& operator=(const CutTableScope&) = delete;
};

bool InCutTableScope();

// Called where the fault was caught: the areas and windows of the table are
// let go of, and the user told, once the event loop takes over again. The
// same table's fault again before then changes nothing.
void LetGoOfCutTable(const Fault& fault);

// Whether the table's cut was caught and is being let go of: its faults
// from now on were told already.
bool LettingGoOfCutTable(const QString& tablePath);

// How the user is told. The program installs a message in the interface
// language; until then an English warning box is shown.
using CutTableNotice = std::function<void(const Fault&)>;
void SetCutTableNotice(CutTableNotice notice);

}  // namespace kesp
