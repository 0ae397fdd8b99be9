// Watches the event loop of the GUI thread for the longest time between two
// of its turns while an action runs: every time the event dispatcher wakes or
// is about to wait counts as a turn; the time it spends waiting for an event
// counts as none (the window could have answered then). The driver's own
// start of an action counts as a turn, so that an action the driver runs
// directly is one gap until the loop turns again.
//
// Single-threaded: created and read on the GUI thread, after the
// QApplication exists.
#pragma once

#include <QElapsedTimer>
#include <QObject>

class GapWatch : public QObject {
  public:
    GapWatch();

    // Starts a new action: the longest gap and the action's clock from now.
    void Begin();
    // The action has done its work: its whole time ends here.
    void Done();
    // Ends the watch (after the loop had time to settle): the gap up to now
    // counts too.
    void End();

    double worstMs() const { return static_cast<double>(worst_) / 1e6; }
    double wholeMs() const { return static_cast<double>(end_ - begin_) / 1e6; }

  private:
    void Turn(bool goesToWait);

    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 worst_ = 0;
    qint64 begin_ = 0;
    qint64 end_ = 0;
    bool waiting_ = false;
};
