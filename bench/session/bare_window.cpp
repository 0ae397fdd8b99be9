// The yardstick of the start-up: a bare Qt Widgets program that shows a
// window of the main window's size, waits until it is painted and exits,
// printing its peak memory in kilobytes.
#include "bench/session/paint_watch.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QWidget window;
    PaintWatch watch;
    window.installEventFilter(&watch);
    window.resize(674, 737);
    window.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    std::fflush(stdout);
    std::_Exit(0);
}
