// A runtime fault: what the table store (and the form toolkit, for its own
// misuse) reports when something goes wrong that no module handles itself.
//
// Faults are not returned; they are raised. RaiseFault hands the fault to the
// installed handler. The program installs the program-wide fault handler,
// which logs, shows the "Program Error" box and ends the process; without one
// (unit tests of the store) the fault is thrown as FaultException.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

namespace kesp {

struct Fault {
    int severity = 2;          // 1 or less: "Warning", else "Error"
    QString subsystem;         // "DBFNTX" for table faults, the toolkit's name for its own
    int subCode = 0;           // 1001 open error, 2001 workarea not in use, ...
    QString description;       // "Open error", "Workarea not in use", ...
    QString fileName;          // the file concerned, if any
    QString operation;         // the operation that failed, used when there is no file
    int osCode = 0;            // the operating system's error code, 0 when none

    // "Error DBFNTX/1001  Open error: C:\data\x.dbf (DOS Error 2)"
    QString text() const;
};

class FaultException : public std::runtime_error {
public:
    explicit FaultException(Fault fault);
    const Fault& fault() const { return fault_; }

private:
    Fault fault_;
};

using FaultHandler = std::function<void(const Fault&)>;

// Installs the handler that receives every raised fault; returns the previous
// one. An empty handler restores the default (throw FaultException).
FaultHandler SetFaultHandler(FaultHandler handler);

// Hands the fault to the installed handler. Never returns: if the handler
// returns, the fault is thrown as FaultException.
[[noreturn]] void RaiseFault(const Fault& fault);

}  // namespace kesp
