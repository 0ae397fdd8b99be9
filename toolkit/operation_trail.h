// The trail of the program's own operations that are running, innermost last.
// The fault handler prints it as the "Called from" lines of a fault.
//
// Every module operation opens with KESP_OPERATION(); the entry lives until the
// operation returns, so the trail is exactly the chain of running operations,
// each with the line of the source file at which it was entered.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QList>
#include <QString>

namespace kesp {

struct TrailEntry {
    const char* operation;
    int line;
};

class OperationScope {
  public:
    OperationScope(const char* operation, int line);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;
};

// The running operations, outermost first.
QList<TrailEntry> OperationTrail();

// "Called from OPENADRESSE_P(412)" lines, innermost first.
QStringList CalledFromLines();

}  // namespace kesp

#define KESP_OPERATION() const ::kesp::OperationScope kespOperationScope_(__func__, __LINE__)
