// The calendar layer of the agenda, each figure a ratio to a yardstick
// measured in the same run:
//
//   expanding   1,000 series in Europe/Berlin (500 weekly on one to three
//               weekdays, 500 monthly by day of month, by "the second Tuesday"
//               and by "the last Friday"), each over the 18 months after its
//               start, with OccurrenceStarts, against libical's own
//               icalrecur_iterator over the same rules and starts (zoned, as
//               libical is used without the work-arounds). Goal: at most 2.
//   reading     a file of 10,000 events, 1,000 of them series, read with
//               ReadCalendarFile, against python3-icalendar's
//               Calendar.from_ical on the same file, timed inside the python
//               process (its start and the file's reading not counted).
//               Goal: at most 3.
//
//   storing   the same 1,000 series expanded and stored as the agenda's
//               appointments (each with its link, each series with its row),
//               all up to one day eighteen months after the first start, as an
//               import stores them, against libical's iteration up to that day.
//               Goal: at most 2.
//   importing   the same file imported into an empty agenda (read, checked
//               against what is there, stored in one commit) against
//               python3-icalendar reading it. Goal: at most 3.
//
// Times are the processor's for the benchmark's own work; python's is its
// process time around from_ical.
//
//   calendar_benchmark [Google Benchmark's options]
#include "apps/agenda/calendar_exchange.h"
#include "apps/agenda/calendar_file.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/event_appointments.h"
#include "data/installed_table_files.h"
#include "store/xbase.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimeZone>

#include <libical/ical.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSeries = 1000;
constexpr int kEvents = 10000;

// The occurrences each way counted, to show both expand to the same.
std::map<std::string, qsizetype> occurrencesFound;

QList<CalendarItem> MakeSeries() {
    static const char* const kWeekdays[] = {"MO", "TU", "WE", "TH", "FR"};
    QList<CalendarItem> series;
    for (int i = 0; i < kSeries; ++i) {
        CalendarItem item;
        item.uid = QStringLiteral("series-%1@bench").arg(i);
        item.zone = QStringLiteral("Europe/Berlin");
        // Starts on a day the rule gives, as calendar programs write them.
        QDate first = QDate(2027, 1, 4).addDays(i % 5 + 7 * (i % 4));  // a weekday
        if (i % 2 == 0) {
            QStringList days{kWeekdays[first.dayOfWeek() - 1]};
            for (int extra = 1; extra <= i % 3; ++extra)
                days.append(kWeekdays[(first.dayOfWeek() - 1 + 2 * extra) % 5]);
            item.rule = QStringLiteral("FREQ=WEEKLY;BYDAY=") + days.join(u',');
        } else if (i % 6 == 1) {
            first = QDate(2027, 1 + i % 12, 1 + i % 28);
            item.rule = QStringLiteral("FREQ=MONTHLY;BYMONTHDAY=%1").arg(first.day());
        } else if (i % 6 == 3) {
            first = QDate(2027, 1, 12);  // the second Tuesday
            item.rule = QStringLiteral("FREQ=MONTHLY;BYDAY=2TU");
        } else {
            first = QDate(2027, 1, 29);  // the last Friday
            item.rule = QStringLiteral("FREQ=MONTHLY;BYDAY=-1FR");
        }
        item.start = QDateTime(first, QTime(8 + i % 10, (i % 12) * 5));
        series.append(item);
    }
    return series;
}

const QList<CalendarItem>& Series() {
    static const QList<CalendarItem> series = MakeSeries();
    return series;
}

// The one day up to which an import stores the series without end.
const QDate kStoredUntil = QDate(2027, 1, 4).addMonths(18);

// An empty agenda table in a fresh folder, open in the current work area.
class EmptyAgenda {
  public:
    EmptyAgenda() {
        path_ = folder_.path() + QLatin1Char('/');
        kesp::WriteInstalledTable(path_ + "agenda.dbf", *kesp::InstalledTable("agenda.dbf"));
        DBUSEAREA(true, path_ + "agenda.dbf", "agenda");
    }
    ~EmptyAgenda() { DBCLOSEALL(); }
    const QString& path() const { return path_; }

  private:
    QTemporaryDir folder_;
    QString path_;
};

void StoreAsAppointments(benchmark::State& state) {
    QList<EventToStore> events;
    for (const CalendarItem& item : Series())
        events.append({item, {}});
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto agenda = std::make_unique<EmptyAgenda>();
        state.ResumeTiming();
        stored = StoreEvents(agenda->path(), events, kStoredUntil).appointments;
        state.PauseTiming();
        agenda.reset();  // the folder removed, not measured
        state.ResumeTiming();
    }
    state.counters["appointments"] = double(stored);
    occurrencesFound["stored"] = stored;
}

void IterateWithLibicalToTheStoredDay(benchmark::State& state);

void ExpandWithOccurrenceStarts(benchmark::State& state) {
    qsizetype occurrences = 0;
    for (auto _ : state) {
        occurrences = 0;
        for (const CalendarItem& item : Series())
            occurrences += OccurrenceStarts(item, item.start.date().addMonths(18)).size();
        benchmark::DoNotOptimize(occurrences);
    }
    state.counters["occurrences"] = double(occurrences);
    occurrencesFound["OccurrenceStarts"] = occurrences;
}

// libical's own iteration of every series up to `lastDay(series)`.
void IterateWithLibical(benchmark::State& state,
                        const std::function<QDate(const CalendarItem&)>& lastDay,
                        const char* counted) {
    icaltimezone* berlin = icaltimezone_get_builtin_timezone("Europe/Berlin");
    std::vector<std::pair<icalrecurrencetype, icaltimetype>> rules;
    std::vector<icaltimetype> ends;
    for (const CalendarItem& item : Series()) {
        const QByteArray start = item.start.toString("yyyyMMdd'T'HHmmss").toLatin1();
        icaltimetype first = icaltime_from_string(start.constData());
        first = icaltime_set_timezone(&first, berlin);
        const QByteArray end =
            QDateTime(lastDay(item), QTime(23, 59, 59)).toString("yyyyMMdd'T'HHmmss").toLatin1();
        rules.emplace_back(icalrecurrencetype_from_string(item.rule.toLatin1().constData()), first);
        ends.push_back(icaltime_from_string(end.constData()));
    }
    qsizetype occurrences = 0;
    for (auto _ : state) {
        occurrences = 0;
        std::vector<icaltimetype> starts;
        for (std::size_t i = 0; i < rules.size(); ++i) {
            starts.clear();
            icalrecur_iterator* iterator = icalrecur_iterator_new(rules[i].first, rules[i].second);
            for (icaltimetype next = icalrecur_iterator_next(iterator);
                 !icaltime_is_null_time(next); next = icalrecur_iterator_next(iterator)) {
                if (icaltime_compare(next, ends[i]) > 0) break;
                starts.push_back(next);
            }
            icalrecur_iterator_free(iterator);
            occurrences += qsizetype(starts.size());
        }
        benchmark::DoNotOptimize(occurrences);
    }
    state.counters["occurrences"] = double(occurrences);
    occurrencesFound[counted] = occurrences;
}

void ExpandWithLibical(benchmark::State& state) {
    IterateWithLibical(
        state, [](const CalendarItem& item) { return item.start.date().addMonths(18); }, "libical");
}

void IterateWithLibicalToTheStoredDay(benchmark::State& state) {
    IterateWithLibical(
        state, [](const CalendarItem&) { return kStoredUntil; }, "libical to the day");
}

// 10,000 events over two years, in Berlin's zone, with places, descriptions,
// attendees and reminders; every tenth a series.
QByteArray MakeFile() {
    QList<CalendarItem> items;
    for (int i = 0; i < kEvents; ++i) {
        CalendarItem item;
        item.uid = QStringLiteral("event-%1@bench").arg(i);
        item.zone = QStringLiteral("Europe/Berlin");
        item.start = QDateTime(QDate(2027, 1, 1).addDays(i % 730), QTime(7 + i % 12, (i % 12) * 5));
        item.end = item.start.addSecs(3600);
        item.summary =
            QStringLiteral("Besprechung %1 mit Müller, Schmidt; Raum %2").arg(i).arg(i % 40);
        item.location = QStringLiteral("Hauptstraße %1, 10115 Berlin").arg(i % 200);
        item.description =
            QStringLiteral("Tagesordnung:\n1. Bericht\n2. Planung für Woche %1\n3. Verschiedenes")
                .arg(i % 52);
        item.alarmMinutes = 15;
        item.keptLines =
            QStringLiteral(
                "ATTENDEE;CN=Anna Müller;ROLE=REQ-PARTICIPANT:mailto:anna@example.org\r\n"
                "CATEGORIES:Arbeit,Team\r\nSEQUENCE:%1\r\n")
                .arg(i % 5);
        if (i % 10 == 0) {
            item.rule = i % 20 == 0 ? QStringLiteral("FREQ=WEEKLY;BYDAY=MO,WE;COUNT=40")
                                    : QStringLiteral("FREQ=MONTHLY;BYDAY=-1FR");
            item.leftOutDates = {item.start.addDays(7)};
        }
        items.append(item);
    }
    return WriteCalendarFile(items, QDateTime(QDate(2027, 1, 1), QTime(0, 0), QTimeZone::utc()));
}

const QByteArray& File() {
    static const QByteArray file = MakeFile();
    return file;
}

void ReadWithReadCalendarFile(benchmark::State& state) {
    qsizetype items = 0;
    for (auto _ : state) {
        const CalendarFileReading reading = ReadCalendarFile(File());
        items = reading.items.size();
        benchmark::DoNotOptimize(items);
    }
    state.counters["events"] = double(items);
}

void ImportIntoTheAgenda(benchmark::State& state) {
    int stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto agenda = std::make_unique<EmptyAgenda>();
        state.ResumeTiming();
        stored = ImportCalendarBytes(agenda->path(), File()).appointments;
        state.PauseTiming();
        agenda.reset();  // the folder removed, not measured
        state.ResumeTiming();
    }
    state.counters["appointments"] = double(stored);
}

void ReadWithPythonIcalendar(benchmark::State& state) {
    QTemporaryDir folder;
    const QString path = folder.filePath("bench.ics");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(File());
    file.close();
    const QString script = QStringLiteral(
        "import sys, time, icalendar\n"
        "data = open(sys.argv[1], 'rb').read()\n"
        "start = time.process_time()\n"
        "calendar = icalendar.Calendar.from_ical(data)\n"
        "seconds = time.process_time() - start\n"
        "print(seconds, len(calendar.walk('VEVENT')))\n");
    double events = 0;
    for (auto _ : state) {
        QProcess python;
        python.start(KESP_PYTHON, {"-c", script, path});
        python.waitForFinished(600000);
        const QList<QByteArray> figures = python.readAllStandardOutput().trimmed().split(' ');
        if (figures.size() != 2) {
            state.SkipWithError("python3-icalendar did not read the file");
            return;
        }
        state.SetIterationTime(figures[0].toDouble());
        events = figures[1].toDouble();
    }
    state.counters["events"] = events;
}

BENCHMARK(ExpandWithOccurrenceStarts)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExpandWithLibical)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(StoreAsAppointments)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(IterateWithLibicalToTheStoredDay)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ReadWithReadCalendarFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportIntoTheAgenda)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReadWithPythonIcalendar)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

// Keeps each run's time beside printing it, for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
            times[name] = run.run_name.time_type == "manual_time" ? run.GetAdjustedRealTime()
                                                                  : run.GetAdjustedCPUTime();
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    qputenv("TZ", "Europe/Berlin");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto ratio = [&reporter](const char* ours, const char* theirs) {
        const double yardstick = reporter.times[theirs];
        return yardstick > 0 ? reporter.times[ours] / yardstick : 0.0;
    };
    std::printf("expanding  OccurrenceStarts / libical's iteration = %.2f (goal: at most 2)\n",
                ratio("ExpandWithOccurrenceStarts", "ExpandWithLibical"));
    std::printf("           occurrences: %lld with OccurrenceStarts, %lld with libical\n",
                static_cast<long long>(occurrencesFound["OccurrenceStarts"]),
                static_cast<long long>(occurrencesFound["libical"]));
    std::printf("storing    StoreEvents / libical's iteration      = %.2f (goal: at most 2)\n",
                ratio("StoreAsAppointments", "IterateWithLibicalToTheStoredDay"));
    std::printf("           appointments: %lld stored, %lld occurrences with libical\n",
                static_cast<long long>(occurrencesFound["stored"]),
                static_cast<long long>(occurrencesFound["libical to the day"]));
    std::printf("reading    ReadCalendarFile / python3-icalendar   = %.2f (goal: at most 3)\n",
                ratio("ReadWithReadCalendarFile", "ReadWithPythonIcalendar"));
    std::printf("importing  ImportCalendarBytes / python3-icalendar = %.2f (goal: at most 3)\n",
                ratio("ImportIntoTheAgenda", "ReadWithPythonIcalendar"));
    benchmark::Shutdown();
    return 0;
}
