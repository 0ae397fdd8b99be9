// What the backups window shows of each snapshot, worked out on a worker
// thread: whether it can be restored and how many records each application's
// table holds. A snapshot is never written once it is made, so its tables are
// read beside the windows without taking anything from them; the window shows
// each summary as it comes.
//
// Promises:
// - A summary is what SnapshotDamage and SnapshotCounts say of the snapshot.
// - Summaries reach `each` on the thread of the windows, in the order of the
//   snapshots, and never after Stop or after `receiver` is gone.
#pragma once

#include "shell/backups.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

struct SnapshotSummary {
    QString damage;           // empty when it can be restored
    QList<long long> counts;  // in the order of KindsWithTablesOfTheirOwn
};

// The summary read on the calling thread.
SnapshotSummary SummariseSnapshot(const Snapshot& snapshot);

class SnapshotSummaries {
  public:
    using Each = std::function<void(int index, const SnapshotSummary& summary)>;
    // Starts the worker over `snapshots`; `done` follows the last summary.
    SnapshotSummaries(const QList<Snapshot>& snapshots, QObject* receiver, Each each,
                      std::function<void()> done);
    // Stops: the worker ends after the snapshot at hand, and nothing more
    // reaches `each` or `done`.
    ~SnapshotSummaries();
    SnapshotSummaries(const SnapshotSummaries&) = delete;
    SnapshotSummaries& operator=(const SnapshotSummaries&) = delete;

  private:
    std::shared_ptr<std::atomic<bool>> stop_;
};
