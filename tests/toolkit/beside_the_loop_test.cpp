// Work the event loop's thread waits for on another thread: the loop turns
// meanwhile for painting and posted steps only (no timer, no window closed,
// no step kept for after the turn), what the work throws comes back to the
// caller, and where the loop must not turn the work runs on the calling
// thread.
#include "toolkit/beside_the_loop.h"
#include "store/fault.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using kesp::RunBesideTheLoop;

namespace {

// Waits, on the work's thread, until `flag` is set (or five seconds passed).
bool AwaitFlag(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!flag && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return flag;
}

}  // namespace

TEST(BesideTheLoop, TheLoopTurnsForPostedStepsButNoTimerRunsAndNoWindowOrHeldStepMeanwhile) {
    QWidget window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    bool timerRan = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&timerRan] { timerRan = true; });
    timer.start(0);
    std::atomic<bool> postedRan{false};
    bool heldStepRan = false;
    bool timerRanBeforePosted = true;
    const std::thread::id loopThread = std::this_thread::get_id();
    std::thread::id nestedThread;
    QMetaObject::invokeMethod(
        &window,
        [&] {
            timerRanBeforePosted = timerRan;
            // The window system asks the window to close, and a step posted
            // meanwhile waits for its own work: both wait for the first.
            window.windowHandle()->close();
            RunBesideTheLoop([&nestedThread] { nestedThread = std::this_thread::get_id(); });
            kesp::RunOutsideTurns(&window, [&heldStepRan] { heldStepRan = true; });
            postedRan = true;
        },
        Qt::QueuedConnection);

    std::thread::id workThread;
    bool sawPosted = false;
    RunBesideTheLoop([&] {
        workThread = std::this_thread::get_id();
        sawPosted = AwaitFlag(postedRan);
    });
    EXPECT_TRUE(sawPosted) << "the loop did not turn while the work went on";
    EXPECT_NE(workThread, loopThread);
    EXPECT_EQ(nestedThread, loopThread) << "work inside a turn runs where it is asked for";
    EXPECT_FALSE(timerRanBeforePosted);
    EXPECT_FALSE(timerRan);
    EXPECT_TRUE(window.isVisible()) << "closed while the work went on";
    EXPECT_FALSE(heldStepRan) << "a step kept for after the turn ran inside it";

    // Done, the loop runs the timer and the held step, and the window closes as asked.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return timerRan && heldStepRan && !window.isVisible(); }, 2000));
    // Outside a turn a step runs at once.
    bool atOnce = false;
    kesp::RunOutsideTurns(&window, [&atOnce] { atOnce = true; });
    EXPECT_TRUE(atOnce);
}

TEST(BesideTheLoop, WhatTheWorkThrowsComesBackAndItsFaultGoesToTheCallersHandler) {
    kesp::Fault refusal;
    refusal.subCode = 1011;
    refusal.fileName = "t.dbf";
    refusal.osCode = 28;
    try {
        RunBesideTheLoop([&refusal] {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            throw kesp::WriteFailure(refusal);
        });
        ADD_FAILURE() << "nothing thrown";
    } catch (const kesp::WriteFailure& failure) {
        EXPECT_EQ(failure.fault().fileName, QStringLiteral("t.dbf"));
        EXPECT_EQ(failure.fault().osCode, 28);
    }

    // A fault raised by the work reaches the handler of the loop's thread.
    std::thread::id handledOn;
    QString handled;
    const kesp::FaultHandler before =
        kesp::SetFaultHandler([&handledOn, &handled](const kesp::Fault& fault) {
            handledOn = std::this_thread::get_id();
            handled = fault.description;
        });
    kesp::Fault damage;
    damage.subCode = 1012;
    damage.description = "Corruption detected";
    EXPECT_THROW(RunBesideTheLoop([&damage] { kesp::RaiseFault(damage); }), kesp::FaultException);
    kesp::SetFaultHandler(before);
    EXPECT_EQ(handled, QStringLiteral("Corruption detected"));
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST(BesideTheLoop, OffTheLoopsThreadTheWorkRunsOnTheCallingThread) {
    std::thread::id caller;
    std::thread::id ran;
    std::thread other([&] {
        caller = std::this_thread::get_id();
        RunBesideTheLoop([&ran] { ran = std::this_thread::get_id(); });
        // Nothing to turn here: returns at once.
        kesp::TurnTheLoopWhile([] { return true; });
    });
    other.join();
    EXPECT_EQ(ran, caller);
}

TEST(BesideTheLoop, TheLoopTurnsWhileThreadsAlreadyRunningAreBusy) {
    std::atomic<bool> busy{true};
    std::atomic<bool> postedRan{false};
    QObject context;
    QMetaObject::invokeMethod(
        &context, [&postedRan] { postedRan = true; }, Qt::QueuedConnection);
    std::thread reader([&] {
        AwaitFlag(postedRan);
        busy = false;
        QMetaObject::invokeMethod(
            &context, [] {}, Qt::QueuedConnection);  // wakes the loop
    });
    kesp::TurnTheLoopWhile([&busy] { return busy.load(); });
    reader.join();
    EXPECT_TRUE(postedRan);
    EXPECT_FALSE(busy);
}
