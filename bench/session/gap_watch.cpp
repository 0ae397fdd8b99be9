#include "bench/session/gap_watch.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <algorithm>

GapWatch::GapWatch() {
    clock_.start();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { Turn(true); });
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { Turn(false); });
}

void GapWatch::Turn(bool goesToWait) {
    const qint64 now = clock_.nsecsElapsed();
    // From "about to wait" to "awake" the loop waited: no gap.
    if (!waiting_) worst_ = std::max(worst_, now - last_);
    waiting_ = goesToWait;
    last_ = now;
}

void GapWatch::Begin() {
    begin_ = last_ = clock_.nsecsElapsed();
    worst_ = 0;
    waiting_ = false;
}

void GapWatch::Done() {
    end_ = clock_.nsecsElapsed();
}

void GapWatch::End() {
    if (!waiting_) worst_ = std::max(worst_, clock_.nsecsElapsed() - last_);
}
