#include "shell/snapshot_summaries.h"

#include "toolkit/beside_the_loop.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

SnapshotSummary SummariseSnapshot(const Snapshot& snapshot) {
    SnapshotSummary summary{SnapshotDamage(snapshot), {}};
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn())
        summary.counts.append(SnapshotTableCount(snapshot, *kind));
    return summary;
}

SnapshotSummaries::SnapshotSummaries(const QList<Snapshot>& snapshots, QObject* receiver, Each each,
                                     std::function<void()> done)
    : stop_(std::make_shared<std::atomic<bool>>(false)) {
    // The pool is waited for before the application goes away, so a result
    // posted to it always finds it.
    QThreadPool::globalInstance()->start(
        [snapshots, stop = stop_, receiver = QPointer<QObject>(receiver), each, done] {
            const auto post = [&stop, &receiver](std::function<void()> step) {
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [stop, receiver, step] {
                        kesp::RunOutsideTurns(QCoreApplication::instance(), [stop, receiver, step] {
                            if (!*stop && receiver) step();
                        });
                    },
                    Qt::QueuedConnection);
            };
            for (int at = 0; at < snapshots.size(); ++at) {
                if (*stop) return;
                SnapshotSummary summary = SummariseSnapshot(snapshots[at]);
                post([each, at, summary] { each(at, summary); });
            }
            post(done);
        });
}

SnapshotSummaries::~SnapshotSummaries() {
    *stop_ = true;
}
