// Looking the installed dictionary up from outside the word list, each
// figure a ratio or a time measured in one run:
//
//   process   `kesp --lookup WORD` as a whole process (started, the side
//             file read, the pairs printed, ended) against a process that
//             only opens and reads the two index files of the dictionary
//             (index_floor). Goal: at most 1.5;
//   window    the lookup window through the running copy: a call of
//             Lookup(text) on a private session bus, from another connection,
//             until the window's first paint (offscreen). Goal: 50 ms;
//   suggest   "Did you mean" over the whole dictionary for a word of eight
//             letters with two typos. Goal: 20 ms;
//   memory    the memory the index of headwords adds while it suggests
//             (its pages read, the counts), against the table file. Goal: 1.
//
// Times of whole processes and of the window are wall-clock times; the
// suggestions' are the processor's.
//
//   lookup_benchmark [Google Benchmark's options]
#include "apps/words/lookup_window.h"
#include "apps/words/word_index.h"
#include "kernel/public_variables.h"
#include "shell/lookup_service.h"
#include "store/xbase.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

extern char** environ;

namespace {

QString& Folder() {
    static QString folder;
    return folder;
}

QString Table() {
    return Folder() + "/data/de_en.dbf";
}

long MemoryKilobytes(const char* field) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(std::strlen(field)).trimmed().split(' ')[0].toLong();
    return 0;
}

// Runs the program with its output thrown away and waits for its end.
void RunProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

// A private application folder: the program, the built tables, the two
// index files of the word list and the side file of headwords.
void MakeApplicationFolder() {
    QDir(Folder()).mkpath("data");
    QDir(Folder()).mkpath("export");
    QFile::copy(QString(KESP_APP_DIR) + "/kesp", Folder() + "/kesp");
    QFile(Folder() + "/kesp").setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    for (const QFileInfo& file : QDir(QString(KESP_APP_DIR) + "/data").entryInfoList(QDir::Files))
        QFile::copy(file.absoluteFilePath(), Folder() + "/data/" + file.fileName());
    THE_DATA_PATH = Folder() + "/data/";
    DBUSEAREA(false, Table(), "eng1");
    DBCREATEINDEX(THE_DATA_PATH + "ide1", "UPPER(De)");
    DBCREATEINDEX(THE_DATA_PATH + "ide2", "UPPER(En)");
    DBCLOSEALL();
    DictionaryIndex(Table(), true);
}

void LookupProcess(benchmark::State& state) {
    const std::vector<std::string> arguments = {(Folder() + "/kesp").toStdString(), "--lookup",
                                                "Haus"};
    for (auto _ : state)
        RunProcess(arguments);
}
BENCHMARK(LookupProcess)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

void FloorProcess(benchmark::State& state) {
    const std::vector<std::string> arguments = {INDEX_FLOOR,
                                                (Folder() + "/data/ide1.ntx").toStdString(),
                                                (Folder() + "/data/ide2.ntx").toStdString()};
    for (auto _ : state)
        RunProcess(arguments);
}
BENCHMARK(FloorProcess)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// The running copy offers its service on a private bus; the call comes from
// a connection of its own, as from `kesp --lookup-window`.
void LookupWindow(benchmark::State& state) {
    QDBusConnection caller = QDBusConnection::connectToBus(
        qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("caller"));
    const QStringList words = {"Haus", "strasse", "houses", "Komputer"};
    int n = 0;
    for (auto _ : state) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kLookupService, kLookupPath, kLookupInterface, "Lookup");
        call << words[n++ % words.size()];
        QElapsedTimer clock;
        clock.start();
        caller.asyncCall(call);
        // The first paint of the window (or of a control of it), wherever
        // the event loop delivers it.
        struct PaintWatch : QObject {
            qint64 paintedAt = -1;
            QElapsedTimer* clock;
            explicit PaintWatch(QElapsedTimer* c) : clock(c) {}
            bool eventFilter(QObject* object, QEvent* event) override {
                const auto* widget = qobject_cast<QWidget*>(object);
                if (event->type() == QEvent::Paint && paintedAt < 0 && widget &&
                    OpenLookupWindow() && widget->window() == OpenLookupWindow())
                    paintedAt = clock->nsecsElapsed();
                return false;
            }
        } watch(&clock);
        QApplication::instance()->installEventFilter(&watch);
        while (watch.paintedAt < 0 && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        QApplication::instance()->removeEventFilter(&watch);
        state.SetIterationTime(static_cast<double>(watch.paintedAt) / 1e9);
        // Each call finds no window open, as after Escape.
        if (OpenLookupWindow()) OpenLookupWindow()->close();
        while (OpenLookupWindow())
            QApplication::processEvents();
    }
}
BENCHMARK(LookupWindow)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

void Suggest(benchmark::State& state) {
    const WordIndex* index = DictionaryIndex(Table(), false);
    // "Computer" with two typos.
    const QStringList typed = {"Conputre", "Kompuetr", "Cmoputer", "Cumputar"};
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(index->Closest(typed[n++ % typed.size()]));
}
BENCHMARK(Suggest)->Unit(benchmark::kMillisecond)->Iterations(40);

// What the index keeps while it suggests, in a fresh process that reads it
// from its side file as a lookup does: the memory resident with it against
// without it, in kilobytes on standard output.
int MeasureMemory(const QString& table) {
    const long base = MemoryKilobytes("VmRSS:");
    const auto index = WordIndex::Open(table);
    if (!index) return 1;
    for (const char* word : {"Conputre", "Strase", "Wörtebruch", "hause", "Gechichte", "tabel",
                             "undrestand", "Xylofon", "Schmetterlng"})
        benchmark::DoNotOptimize(index->Closest(word));
    std::printf("%ld\n", MemoryKilobytes("VmRSS:") - base);
    return 0;
}

double MemoryRatio(const char* program) {
    QProcess child;
    child.start(QString::fromLocal8Bit(program), {"--memory", Table()});
    child.waitForFinished(60000);
    const double kept = child.readAllStandardOutput().trimmed().toDouble();
    return kept * 1024.0 / QFileInfo(Table()).size();
}

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find('/'));
            times[name] = name == "Suggest" ? run.GetAdjustedCPUTime() : run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;  // milliseconds
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0)
        return MeasureMemory(QString::fromLocal8Bit(argv[2]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus.waitForReadyRead(10000)) return 1;
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.readLine().trimmed());
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir folder;
    Folder() = folder.path();
    MakeApplicationFolder();
    const double memory = MemoryRatio(argv[0]);
    if (!OfferLookupService()) std::printf("WARNING: the lookup service could not be offered\n");

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.times;
    std::printf("\nprocess: kesp --lookup / floor = %.2f (goal: at most 1.5)\n",
                t["LookupProcess"] / t["FloorProcess"]);
    std::printf("window:  call to first paint = %.1f ms (goal: at most 50)\n", t["LookupWindow"]);
    std::printf("suggest: 8 letters, 2 typos = %.2f ms (goal: at most 20)\n", t["Suggest"]);
    std::printf(
        "memory:  added while suggesting / table file = %.2f (goal: at most 1; side file "
        "/ table file = %.2f)\n",
        memory,
        double(QFileInfo(WordIndex::SideFilePath(Table())).size()) / QFileInfo(Table()).size());
    benchmark::Shutdown();
    bus.kill();
    bus.waitForFinished();
    return 0;
}
