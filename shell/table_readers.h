// Reading tables of the data folder on two threads of their own, one task a
// table, for work over every table that would hold the event loop: the main
// window's statistics (which wait for it) and the days ahead (which do not).
// A task opens its table only to look at it (DbfTable::Purpose::Inspect) and
// is the one thread that reads it; nothing writes it meanwhile.
//
// Promises:
// - Every task runs once, on one of the two threads and never on the
//   caller's: the caller's fault handler would end the program over a table
//   the work area may still open. A task that raises a fault (a thread
//   without a handler gets it as FaultException) counts as faulted, for the
//   caller to do again on the event loop's thread, where the fault is raised
//   as there.
// - A table being read is locked (dbf_table.h): the event loop's thread
//   waits for every running reading (WaitForTableReaders) before it opens a
//   table one of them may hold, or leaves that table for later
//   (TableReadersRunning).
// - Cancelled, the tasks not begun are not run and a running task may ask
//   the flag it is given to stop early; the step when done then never comes.
//   Destroyed, the readers are cancelled and waited for.
//
// Made, waited for and destroyed on the event loop's thread.
#pragma once

#include <QObject>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class TableReaders {
  public:
    using Task = std::function<void(std::size_t task, const std::atomic<bool>& cancelled)>;

    // Starts reading: `read` for each task from 0 to `tasks` - 1; once every
    // task is done, `whenDone` runs on the event loop's thread (on a later
    // turn of the loop), unless cancelled.
    TableReaders(std::size_t tasks, Task read, std::function<void()> whenDone = {});
    ~TableReaders();
    TableReaders(const TableReaders&) = delete;
    TableReaders& operator=(const TableReaders&) = delete;

    // Returns once every task is done.
    void Wait();
    void Cancel();

    // Whether a task is still running or waiting to run.
    bool running() const { return working_.load() > 0; }
    // After the tasks are done: whether `task` raised a fault.
    bool faulted(std::size_t task) const { return faulted_[task] != 0; }

  private:
    void ReadSome();

    Task read_;
    std::vector<char> faulted_;  // one a task, each written by the thread that ran it
    std::atomic<std::size_t> next_{0};
    std::atomic<int> working_{2};
    std::atomic<bool> cancelled_{false};
    std::function<void()> whenDone_;
    // Receives the last thread's word on the event loop's thread; gone with
    // the readers, and with it a word not yet taken.
    std::unique_ptr<QObject> loopSide_;
    std::vector<std::thread> threads_;
};

// Returns once no table is being read beside the loop.
void WaitForTableReaders();

// Whether any table may be being read beside the loop now.
bool TableReadersRunning();
