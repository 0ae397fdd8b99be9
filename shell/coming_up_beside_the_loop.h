// The days ahead (coming_up.h) read beside the event loop, on the two
// threads of TableReaders, so that the window "Coming up" and the start of
// the program ask for them without holding the loop however many records
// the tables hold.
//
// Promises:
// - The entries handed over are ComingUp's for the same day, days and
//   setting, in the same order. The reading begins once no other holds a
//   table (table_readers.h).
// - A kind whose reading raised a fault is read again on the event loop's
//   thread before the entries are handed over, where the fault is raised as
//   ComingUp raises it.
// - Destroyed before it is done, the reading is cancelled, waited for, and
//   hands nothing over.
//
// Made and destroyed on the event loop's thread; `ready` runs there, as an
// action (action_dispatch.h), on a later turn of the loop, and leaves the
// reading alive.
#pragma once

#include "shell/coming_up.h"

#include <QDate>

#include <functional>
#include <memory>
#include <vector>

class TableReaders;

class ComingUpBesideTheLoop {
  public:
    using Ready = std::function<void(std::vector<ComingUpEntry> entries)>;
    ComingUpBesideTheLoop(const QDate& today, int days, bool customDateReminds, Ready ready);
    ~ComingUpBesideTheLoop();

    // Until the entries are handed over.
    bool running() const { return running_; }

  private:
    void HandOver();

    ComingUpDays days_;
    std::vector<KindComingUp> kinds_;
    std::vector<std::vector<ComingUpEntry>> ofKind_;  // one a kind, each written by one thread
    Ready ready_;
    bool running_ = true;
    std::unique_ptr<TableReaders> readers_;
};
