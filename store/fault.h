// A runtime fault: what the table store (and the form toolkit, for its own
// misuse) reports when something goes wrong that no module handles itself.
//
// Faults are not returned; they are raised. RaiseFault hands the fault to the
// installed handler. The program installs the program-wide fault handler,
// which logs, shows the "Program Error" box and ends the process; without one
// (unit tests of the store) the fault is thrown as FaultException.
//
// A write the system refuses (a full disk, an I/O error, a removed drive, a
// file grown beyond its limit) is no fault but an expected problem: it is
// thrown as WriteFailure straight to the caller, never handed to the handler,
// after the store has put the table back as it was at its last commit.
#pragma once

#include <QString>

#include <functional>
#include <stdexcept>
#include <utility>

namespace kesp {

struct Fault {
    int severity = 2;     // 1 or less: "Warning", else "Error"
    QString subsystem;    // "DBFNTX" for table faults, the toolkit's name for its own
    int subCode = 0;      // 1001 open error, 2001 workarea not in use, ...
    QString description;  // "Open error", "Workarea not in use", ...
    QString fileName;     // the file concerned, if any
    QString operation;    // the operation that failed, used when there is no file
    int osCode = 0;       // the operating system's error code, 0 when none
    QString detail;       // what exactly is wrong ("field descriptor 2"), if known
    QString remedy;       // what the user can do about it, if anything
    // Another program cut the table's file short while the store had it open
    // (a damaged table, 1012): that table can no longer be read or written,
    // the rest of the program can go on.
    bool cutWhileOpen = false;

    // "Error DBFNTX/1001  Open error: C:\data\x.dbf (DOS Error 2)"; a detail
    // follows the subject in parentheses, a remedy after " - ".
    QString text() const;
    // The system's text for osCode ("No space left on device"), else the detail.
    QString reason() const;
};

class FaultException : public std::runtime_error {
  public:
    explicit FaultException(Fault fault);
    const Fault& fault() const { return fault_; }

  private:
    Fault fault_;
};

// A write the system refused. The fault names the file, the operation and
// the system's error code (sub-code 1011, "Write error"). When the store
// throws it, the table concerned is as it was at its last commit, in memory
// and, as far as the system lets it, on disk; writing again later is allowed.
class WriteFailure : public FaultException {
  public:
    explicit WriteFailure(Fault fault) : FaultException(std::move(fault)) {}
};

using FaultHandler = std::function<void(const Fault&)>;

// Installs the handler that receives every fault raised on the calling
// thread; returns the previous one. An empty handler restores the default
// (throw FaultException), which every other thread keeps until it installs
// one of its own.
FaultHandler SetFaultHandler(FaultHandler handler);

// Hands the fault to the installed handler. Never returns: if the handler
// returns, the fault is thrown as FaultException.
[[noreturn]] void RaiseFault(const Fault& fault);

}  // namespace kesp
