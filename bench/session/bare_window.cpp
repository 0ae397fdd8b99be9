// The yardstick of the start-up: a bare Qt Widgets program that shows a
// window of the main window's size, waits until it is painted and exits,
// printing its peak memory in kilobytes. With --text the window shows one
// line of text in the main window's font.
#include "bench/session/paint_watch.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
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
    if (application.arguments().contains("--text")) {
        auto* line = new QLabel("Varnel Kesp 2.0", &window);
        line->setFont(QFont("Arial", 9));
        line->move(20, 20);
    }
    window.show();
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    std::fflush(stdout);
    std::_Exit(0);
}
