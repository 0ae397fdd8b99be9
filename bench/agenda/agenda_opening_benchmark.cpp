// Opening the agenda window on a day of a table of 100,000 appointments
// stored by 200 daily series (500 occurrences each) against opening it on
// 100,000 single appointments at the same days and times: the occurrences
// must cost the opening at most 1.2 × what as many single appointments cost.
// Both tables are stored as an import stores them, each appointment with
// its UID; the window is opened and closed as the user does it, through the
// toolkit's test driver on the offscreen platform.
//
//   agenda_opening_benchmark [Google Benchmark's options]
#include "apps/agenda/agenda.h"
#include "apps/agenda/event_appointments.h"
#include "data/installed_table_files.h"
#include "kernel/lang_date_format.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSeries = 200;
constexpr int kEach = 500;
const QDate kFirstDay(2027, 1, 1);
const QDate kOpenedOn(2027, 6, 1);

// A program folder with its data and export folders and an agenda filled
// with the events.
class Folder {
  public:
    explicit Folder(const QList<EventToStore>& events) {
        path_ = folder_.path() + QLatin1Char('/');
        QDir(path_).mkdir("data");
        QDir(path_).mkdir("export");
        UseFolder();
        kesp::WriteInstalledTable(THE_DATA_PATH + "agenda.dbf",
                                  *kesp::InstalledTable("agenda.dbf"));
        DBUSEAREA(true, THE_DATA_PATH + "agenda.dbf", "agenda");
        StoreEvents(THE_DATA_PATH, events, StoreHorizon(kOpenedOn));
        DBCLOSEALL();
    }
    void UseFolder() const {
        THE_APP_PATH = path_;
        THE_DATA_PATH = path_ + "data/";
        THE_EXPORT_PATH = path_ + "export/";
    }

  private:
    QTemporaryDir folder_;
    QString path_;
};

CalendarItem At(int series, const QDate& day) {
    CalendarItem item;
    item.summary = QStringLiteral("Termin %1").arg(series);
    item.start = QDateTime(day, QTime(7 + series % 12, (series % 12) * 5));
    return item;
}

QList<EventToStore> SeriesEvents() {
    QList<EventToStore> events;
    for (int series = 0; series < kSeries; ++series) {
        CalendarItem item = At(series, kFirstDay);
        item.uid = QStringLiteral("series-%1@bench").arg(series);
        item.rule = QStringLiteral("FREQ=DAILY;COUNT=%1").arg(kEach);
        events.append({item, {}});
    }
    return events;
}

QList<EventToStore> SingleEvents() {
    QList<EventToStore> events;
    for (int day = 0; day < kEach; ++day)
        for (int series = 0; series < kSeries; ++series) {
            CalendarItem item = At(series, kFirstDay.addDays(day));
            item.uid = QStringLiteral("single-%1-%2@bench").arg(series).arg(day);
            events.append({item, {}});
        }
    return events;
}

void OpenTheAgenda(benchmark::State& state, const Folder& folder) {
    kesp::test::TestDriver driver;  // answers for the window's modal loop
    driver.setToday(kOpenedOn);
    folder.UseFolder();
    for (auto _ : state) {
        OPENFORM_AGENDA();
        state.PauseTiming();
        kesp::test::TestDriver::closeWindow("agenda_frm");
        state.ResumeTiming();
    }
}

std::unique_ptr<Folder> occurrences;
std::unique_ptr<Folder> singles;

void OpenOnOccurrences(benchmark::State& state) {
    OpenTheAgenda(state, *occurrences);
}

void OpenOnSingleAppointments(benchmark::State& state) {
    OpenTheAgenda(state, *singles);
}

BENCHMARK(OpenOnOccurrences)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(OpenOnSingleAppointments)->Unit(benchmark::kMillisecond)->Iterations(5);

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            times[run.benchmark_name().substr(0, run.benchmark_name().find('/'))] =
                run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    THE_LANG = QStringLiteral("DE");
    SET_DATEFORMAT(LANG_DATEFORMAT());
    SET_CENTURY(true);
    SET_DELETED(true);
    occurrences = std::make_unique<Folder>(SeriesEvents());
    singles = std::make_unique<Folder>(SingleEvents());
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double yardstick = reporter.times["OpenOnSingleAppointments"];
    std::printf(
        "opening    on 100,000 occurrences / on 100,000 single appointments = %.2f "
        "(goal: at most 1.2)\n",
        yardstick > 0 ? reporter.times["OpenOnOccurrences"] / yardstick : 0.0);
    occurrences.reset();
    singles.reset();
    benchmark::Shutdown();
    return 0;
}
