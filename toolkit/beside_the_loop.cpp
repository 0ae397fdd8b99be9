#include "toolkit/beside_the_loop.h"

#include "store/disk_wait.h"
#include "store/fault.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QWindow>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace kesp {

namespace {

constexpr QEventLoop::ProcessEventsFlags kOnlyPainting =
    QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
    QEventLoop::X11ExcludeTimers | QEventLoop::WaitForMoreEvents;

// Work done within this needs no turn of the loop.
constexpr std::chrono::milliseconds kMoment{2};

bool turning = false;

// Steps held while the loop turns, for after the turn.
struct HeldStep {
    QPointer<QObject> context;
    std::function<void()> step;
};
std::vector<HeldStep> heldSteps;

bool CanTurn() {
    return !turning && qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The window system asking a window to close while the loop turns: the
// window is asked again once the work is done, so that no window goes while
// a step of its own is half done.
class HeldCloses : public QObject {
  public:
    HeldCloses() { QCoreApplication::instance()->installEventFilter(this); }
    ~HeldCloses() override { QCoreApplication::instance()->removeEventFilter(this); }
    HeldCloses(const HeldCloses&) = delete;
    HeldCloses& operator=(const HeldCloses&) = delete;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close || !watched->isWindowType()) return false;
        event->ignore();
        auto* window = static_cast<QWindow*>(watched);
        RunOutsideTurns(window, [window] { window->close(); });
        return true;
    }
};

void Turn(const std::function<bool()>& busy) {
    struct Turning {
        Turning() { turning = true; }
        ~Turning() {
            turning = false;
            // Held again should the loop be turning once more when they come.
            for (HeldStep& held : std::exchange(heldSteps, {})) {
                if (!held.context) continue;
                QObject* context = held.context;
                QMetaObject::invokeMethod(
                    context,
                    [context, step = std::move(held.step)] { RunOutsideTurns(context, step); },
                    Qt::QueuedConnection);
            }
        }
        Turning(const Turning&) = delete;
        Turning& operator=(const Turning&) = delete;
    } scope;
    HeldCloses closes;
    while (busy())
        QCoreApplication::processEvents(kOnlyPainting);
}

}  // namespace

void RunBesideTheLoop(const std::function<void()>& work) {
    if (!CanTurn()) {
        work();
        return;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::mutex guard;
    std::condition_variable ended;
    std::atomic<bool> done{false};
    std::exception_ptr thrown;
    {
        std::jthread worker([&] {
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
            {
                const std::lock_guard lock(guard);
                done = true;
            }
            ended.notify_one();
            dispatcher->wakeUp();
        });
        {
            std::unique_lock lock(guard);
            ended.wait_for(lock, kMoment, [&done] { return done.load(); });
        }
        if (!done) Turn([&done] { return !done.load(); });
    }
    if (!thrown) return;
    try {
        std::rethrow_exception(thrown);
    } catch (const WriteFailure&) {
        throw;
    } catch (const FaultException& fault) {
        RaiseFault(fault.fault());
    }
}

void RunOutsideTurns(QObject* context, std::function<void()> step) {
    if (turning) {
        heldSteps.push_back({context, std::move(step)});
    } else {
        step();
    }
}

bool InsideATurn() {
    return turning;
}

void TurnTheLoopWhile(const std::function<bool()>& busy) {
    if (CanTurn()) Turn(busy);
}

void WaitForTheDiskBesideTheLoop() {
    store::SetDiskWaiter([](const std::function<void()>& step) { RunBesideTheLoop(step); });
}

}  // namespace kesp
