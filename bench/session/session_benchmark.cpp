// A user's day with the program at 100,000 records in every application (the
// word list on the installed dictionary), on the offscreen platform: for
// every action of the day (session_day.h) the longest gap of the event loop
// and its whole time, worst first. Then the figures with their yardsticks
// from the same run:
//
//   first screen   each search over everything, from the keystroke until the
//                  list holds a screenful (goal: 50 ms, the first as later);
//   statistics     the refresh against reading the files it counts once
//                  (goal: 2.0);
//   memory         the day's peak against the data folder's size plus a bare
//                  Qt window's peak (goal: 1.5);
//   start-up       the program up to its main window painted with the
//                  statistics, against a bare Qt program that shows a window
//                  of the same size (session_bare_window), each a process of
//                  its own, the median of five (goal: 1.5); beside it, for
//                  reading the figure, the same bare window showing one line
//                  of text, whose first text loads the font database as
//                  every window with text must.
//
// The last two lines read "worst gap N ms in ACTION" and "start-up R x a bare
// Qt window" for a script to check.
//
// A day of use runs first, unmeasured: the measured day finds the index
// files and backups such a day leaves.
//
//   session_benchmark [records [new folder]]
// (internally also: --day FOLDER, --start-up FOLDER)
#include "bench/session/session_day.h"
#include "bench/session/session_folder.h"
#include "kernel/public_variables.h"
#include "shell/backups.h"
#include "shell/start_up.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 FolderBytes(const QString& folder) {
    qint64 bytes = 0;
    for (QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories); files.hasNext();)
        bytes += files.nextFileInfo().size();
    return bytes;
}

// A child process's wall time in milliseconds and the first number it printed.
struct ChildRun {
    double ms = 0;
    long printed = 0;
};

ChildRun RunChild(const QString& program, const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(program, arguments);
    child.waitForFinished(-1);
    ChildRun run{static_cast<double>(clock.nsecsElapsed()) / 1e6, 0};
    run.printed = QString::fromUtf8(child.readAllStandardOutput()).trimmed().toLong();
    return run;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int StartOnly(const QString& folder) {
    StartAndShowMainWindow(folder);
    std::printf("%ld\n", PeakKilobytes());
    std::fflush(stdout);
    std::_Exit(0);
}

int Day(const QString& folder) {
    const DayFigures day = RunDay(folder);
    std::vector<ActionTimes> actions = day.actions;
    std::stable_sort(
        actions.begin(), actions.end(),
        [](const ActionTimes& a, const ActionTimes& b) { return a.worstGapMs > b.worstGapMs; });
    std::printf("%-40s %12s %12s\n", "action", "worst gap ms", "whole ms");
    for (const ActionTimes& action : actions)
        std::printf("%-40s %12.1f %12.1f\n", action.action.toUtf8().constData(), action.worstGapMs,
                    action.wholeMs);
    std::printf("first screens of the searches over everything (goal 50 ms):");
    for (const double ms : day.firstScreensMs)
        std::printf(" %.1f", ms);
    std::printf(" ms\n");
    std::printf(
        "statistics: %.1f ms (%.1f ms with every table counted), reading the ten files "
        "once %.1f ms: ratio %.2f, every table counted %.2f (goal 2.0)\n",
        day.statisticsMs, day.statisticsCountedMs, day.readTenFilesOnceMs,
        day.statisticsMs / day.readTenFilesOnceMs,
        day.statisticsCountedMs / day.readTenFilesOnceMs);
    std::printf("peak %ld\n", PeakKilobytes());
    std::printf("worst gap %.0f ms in %s\n", actions.front().worstGapMs,
                actions.front().action.toUtf8().constData());
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments[1] == "--start-up") return StartOnly(arguments[2]);
    if (arguments.size() == 3 && arguments[1] == "--day") return Day(arguments[2]);
#ifndef NDEBUG
    std::printf("WARNING: a debug build; the figures mean little\n");
#endif
    const int records = arguments.size() > 1 ? arguments[1].toInt() : 100000;
    // A folder given is kept after the run, to look at or to run a day on again.
    QTemporaryDir scratch;
    const QString folder = arguments.size() > 2 ? arguments[2] : scratch.path();
    if (!QDir(folder).isEmpty()) {
        std::printf("%s is not empty: give a new folder, or --day FOLDER to run a day on it\n",
                    folder.toUtf8().constData());
        return 2;
    }
    QDir().mkpath(folder);
    PREPARE_RUN(folder);
    QElapsedTimer clock;
    clock.start();
    MakeSessionFolder(KESP_APP_DIR, folder, records, QDate::currentDate());
    // The backup the close of the day before left.
    QString reason;
    if (MakeSnapshot(QDateTime::currentDateTime().addDays(-1), &reason).isEmpty())
        std::printf("no backup of the day before: %s\n", reason.toUtf8().constData());
    const qint64 dataBytes = FolderBytes(folder + "/data");
    std::printf("data folder: %d records an application, %.1f MB, written in %.1f s\n", records,
                static_cast<double>(dataBytes) / 1e6, static_cast<double>(clock.elapsed()) / 1e3);
    std::fflush(stdout);
    // The day before, not measured: it leaves the index files a day of use
    // leaves, as a user's program finds them in the morning.
    QProcess dayBefore;
    dayBefore.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dayBefore.start(QApplication::applicationFilePath(), {"--day", folder});
    dayBefore.waitForFinished(-1);
    dayBefore.readAllStandardOutput();

    const QString self = QApplication::applicationFilePath();
    const QString bare = QApplication::applicationDirPath() + "/session_bare_window";
    std::vector<double> programMs;
    std::vector<double> bareMs;
    std::vector<double> textMs;
    long barePeak = 0;
    for (int run = 0; run < 5; ++run) {
        const ChildRun window = RunChild(bare, {});
        bareMs.push_back(window.ms);
        barePeak = std::max(barePeak, window.printed);
        textMs.push_back(RunChild(bare, {"--text"}).ms);
        programMs.push_back(RunChild(self, {"--start-up", folder}).ms);
    }

    QProcess dayRun;
    dayRun.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dayRun.start(self, {"--day", folder});
    dayRun.waitForFinished(-1);
    if (dayRun.exitCode() != 0) std::printf("the day ended with %d\n", dayRun.exitCode());
    QStringList lines = QString::fromUtf8(dayRun.readAllStandardOutput()).split('\n');
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString worst = lines.isEmpty() ? QString("worst gap ? ms in the day, which did not end")
                                    : lines.takeLast();
    const long dayPeak =
        !lines.isEmpty() && lines.last().startsWith("peak ") ? lines.takeLast().mid(5).toLong() : 0;
    for (const QString& line : lines)
        std::printf("%s\n", line.toUtf8().constData());
    const double allowed = static_cast<double>(dataBytes) / 1024 + static_cast<double>(barePeak);
    std::printf(
        "memory: peak %.1f MB, data folder %.1f MB + a bare Qt window %.1f MB: ratio %.2f "
        "(goal 1.5)\n",
        dayPeak / 1024.0, static_cast<double>(dataBytes) / 1048576.0, barePeak / 1024.0,
        dayPeak / allowed);
    std::printf("start-up: %.1f ms, a bare Qt window %.1f ms (medians of 5; goal 1.5)\n",
                Median(programMs), Median(bareMs));
    std::printf(
        "start-up against the bare window showing one line of text: %.1f ms, ratio %.2f (the "
        "first text loads the system's font database)\n",
        Median(textMs), Median(programMs) / Median(textMs));
    std::printf("%s\n", worst.toUtf8().constData());
    std::printf("start-up %.2f x a bare Qt window\n", Median(programMs) / Median(bareMs));
    return 0;
}
