// Steps that must all be done even when the system refuses a write in one of
// them. After a record is committed, what follows only writes index files,
// packs and opens the table again and refreshes the window: the record is
// stored by then, so a refused write there must neither stop the window
// half-way nor be told as if nothing had been saved. Each step runs to its
// end (the store completes an index operation before it throws, and an old
// index file is built again from its key text at the next opening), the
// first refusal is kept, and the window tells it once it shows the result.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/fault.h"

#include <QString>

#include <functional>
#include <optional>

class StepsToTheEnd {
  public:
    // Runs the step; a write the system refuses in it is kept, not thrown.
    // Faults go on to the fault handler as ever.
    void Run(const std::function<void()>& step);

    bool refused() const { return firstRefusal_.has_value(); }

    // Warns that the record is saved and names the file that could not be
    // written afterwards and the system's reason; false, showing nothing,
    // when nothing was refused.
    bool TellSavedAnyway(const QString& title) const;

    // Throws the first refusal kept, if any, for the caller's caller to tell.
    void ThrowRefusal() const;

  private:
    std::optional<kesp::WriteFailure> firstRefusal_;
};
