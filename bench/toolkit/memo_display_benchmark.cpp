// Showing a memo in a record window's edit box (a box that wraps its lines at
// its width, as the notes' and the addresses' memos do): the value set, laid
// out and painted, for texts of 100 KB and 1 MB, each as ordinary words and as
// one run without a blank. Figures: the time at 1 MB over the time at 100 KB
// for each kind of text. Goal: at most 12 (linear cost, with room for the
// machine), whatever the words. Times are the processor's, so that other
// programs on a busy machine do not count.
//
//   memo_display_benchmark [Google Benchmark's options]
#include "toolkit/controls.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

QString Words(qsizetype length) {
    const QString sentence = QStringLiteral("Termin mit Frau Müller wegen der Reise nach Porto. ");
    QString text;
    text.reserve(length);
    while (text.size() < length)
        text += sentence;
    text.truncate(length);
    return text;
}

QString RunWithoutBlank(qsizetype length) {
    return QString(length, QLatin1Char('x'));
}

void ShowMemo(benchmark::State& state, QString (*make)(qsizetype)) {
    const QString text = make(state.range(0));
    QWidget window;
    window.resize(640, 480);
    const std::unique_ptr<kesp::Control> box =
        kesp::MakeEditBox(&window, QStringLiteral("memo"),
                          {.row = 10, .col = 10, .width = 400, .height = 200, .noHScroll = true});
    window.show();
    for (auto _ : state) {
        box->set(QStringLiteral("value"), 0, text);
        box->widget()->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        box->set(QStringLiteral("value"), 0, QString());
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

BENCHMARK_CAPTURE(ShowMemo, words, Words)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(ShowMemo, run_without_blank, RunWithoutBlank)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Keeps each run's time beside printing it, for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            times[run.benchmark_name()] = run.GetAdjustedCPUTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* kind : {"words", "run_without_blank"}) {
        const std::string name = std::string("ShowMemo/") + kind + "/";
        const double small = reporter.times[name + "100000/iterations:3"];
        const double large = reporter.times[name + "1000000/iterations:3"];
        if (small > 0)
            std::printf("%-18s 1 MB / 100 KB = %.1f (goal: at most 12)\n", kind, large / small);
    }
    benchmark::Shutdown();
    return 0;
}
