// The program-wide fault handler: how every fault that no module handles ends
// the program.
//
// Once installed, a raised fault (kesp::RaiseFault, from the table store or
// from misuse of the form toolkit) appends an entry to "ErrorLog.Htm" in the
// current folder, closes all tables without writing (the fault may have cut a
// change in half), shows the "Program Error" stop box with the fault text and
// the "Called from" lines of the running operations, and ends the process
// with exit code 1.
//
// When the current folder cannot take the log (read-only, full), it goes to
// the first of the log folders that takes it, then to the temporary folder,
// and the stop box says where, or that no folder took it. A second fault
// raised while the first is being handled is added to the stop box, which is
// still shown.
//
// A table another program cut short while it was open (a fault with
// cutWhileOpen) raised while an action or a list is reading is logged and
// goes on to them instead: it costs the windows that show the table, not
// the program (cut_table.h).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/fault.h"

#include <QString>
#include <QStringList>

namespace kesp {

// The subsystem name of the toolkit's own faults, and the version text its
// log entries carry.
inline constexpr char kFormsSubsystem[] = "KESPFORMS";
inline constexpr char kFormsVersion[] = "Kesp Forms 2.0";

// logFolders: where the log goes when the current folder cannot take it (the
// temporary folder is tried after them).
void InstallProgramFaultHandler(const QStringList& logFolders = {});

// A text the stop box shows under the fault (what the user can do about a
// fault at this stage of the run); empty: none.
void SetStopBoxAdvice(const QString& advice);

// The text a fault is logged and shown with: the store's form for table
// faults, "Error: Kesp Forms 2.0: <description>" for the toolkit's own.
QString FaultText(const Fault& fault);

// Raises a fault of the toolkit itself (misuse of the layer).
[[noreturn]] void RaiseFormsFault(const QString& description);

// Division as the modules expect it: dividing by zero yields 0.
inline double DIVIDE(double dividend, double divisor) {
    return divisor == 0 ? 0 : dividend / divisor;
}

}  // namespace kesp
