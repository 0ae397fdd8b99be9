// The word list on the dictionary the build installs (some 300,000 pairs),
// driven through its real operations, each figure a ratio to a yardstick
// measured in the same run:
//
//   opening   OPENFORM_WOERTER until the first page of the list is painted
//             (pack with nothing to remove, both index builds) against SQLite
//             creating the same two indexes, on upper() of each column;
//   adding    a pair added with the add button (append, both index builds,
//             the list shown again) against the opening;
//   lookup    a lookup button (the index opened again, seek, filter, count,
//             the list refreshed and selected, the status line and progress
//             steps shown) against the peer window: the same widgets with the
//             same status line and progress steps, filled from SQLite's
//             indexed prefix count and first 15 rows (bench/peer/
//             peer_window.h), the two lookups taking turns. Goal: at most
//             0.8. The peer's progress steps repaint its window inside its
//             lookup, ours is painted after it: the lookup with the painting
//             after it is compared too. Beside it, the store's own figure:
//             the lookup against SQLite's bare count and 15 rows, with no
//             window at all;
//   memory    the peak memory the open window adds to the program, against
//             the table file;
//   refresh   the main window's statistics (every table packed and counted)
//             against reading the ten table files once.
//
//   word_list_benchmark [de_en.dbf]
#include "apps/words/word_list.h"
#include "apps/words/word_list_operations.h"
#include "apps/words/word_list_texts.h"
#include "bench/peer/peer_window.h"
#include "kernel/public_variables.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/driver_seam.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr char kWindow[] = "woerter_frm";

double Seconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The median of `runs` timings; `prepare` runs untimed before each.
double Median(int runs, const std::function<void()>& work,
              const std::function<void()>& prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        times.push_back(Seconds(work));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", error);
        sqlite3_free(error);
    }
}

double ReadFilesOnce(const QStringList& paths) {
    return Seconds([&paths] {
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (const QString& path : paths) {
            QFile file(path);
            file.open(QIODevice::ReadOnly);
            while (file.read(block.data(), block.size()) > 0) {
            }
        }
    });
}

long MemoryKilobytes(const char* field) {
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(std::strlen(field)).trimmed().split(' ')[0].toLong();
    }
    return 0;
}

// A private application folder: the built one's tables (and pictures), with
// the dictionary given.
void MakeApplicationFolder(const QString& folder, const QString& dictionary) {
    for (const char* sub : {"data", "img", "export"})
        QDir(folder).mkpath(sub);
    for (const char* sub : {"data", "img"}) {
        const QString from = QString(KESP_APP_DIR) + "/" + sub;
        for (const QFileInfo& file : QDir(from).entryInfoList(QDir::Files)) {
            if (file.fileName() == "de_en.dbf") continue;
            QFile::copy(file.absoluteFilePath(), folder + "/" + sub + "/" + file.fileName());
        }
    }
    QFile::copy(dictionary, folder + "/data/de_en.dbf");
}

void ProgramStartedIn(const QString& folder) {
    kesp::seam::activationReturnsAtOnce = true;
    kesp::seam::answerMessageBox = [](const kesp::seam::MessageBoxShown&) { return true; };
    QDir::setCurrent(folder);
    START_UP(folder);
    DEFINE_HAUPT();
    _ACTIVATEWINDOW("haupt");  // the statistics run once
}

void OpenWordList() {
    OPENFORM_WOERTER();
    QApplication::processEvents();  // the first page painted
}

void CloseWordList() {
    RELEASEWINDOW(kWindow);
    QApplication::processEvents();
}

// In a fresh process: the memory the word list adds to the running program
// (its main window shown, the statistics run), at its peak while it opens and
// looks up, and then while it adds a pair; written to `results` as
// "baseKB openKB addKB".
int MeasureMemory(const QString& folder, const QString& results) {
    ProgramStartedIn(folder);
    QApplication::processEvents();
    const long base = MemoryKilobytes("VmRSS:");
    {
        QFile reset("/proc/self/clear_refs");
        if (reset.open(QIODevice::WriteOnly)) reset.write("5");  // the peak starts here
    }
    OpenWordList();
    SETPROPERTY(kWindow, "Text_12", "value", QString("haus"));
    SUCHE_DE_1();
    SETPROPERTY(kWindow, "Text_13", "value", QString("house"));
    SUCHE_EN_2();
    QApplication::processEvents();
    const long open = MemoryKilobytes("VmHWM:");
    SETPROPERTY(kWindow, "Text_16", "value", QString("Speicherwort"));
    SETPROPERTY(kWindow, "Text_17", "value", QString("memory word"));
    T_SAVENEW_WOERTER();
    QApplication::processEvents();
    const long add = MemoryKilobytes("VmHWM:");
    QFile out(results);
    out.open(QIODevice::WriteOnly | QIODevice::Truncate);
    out.write(QByteArray::number(static_cast<qlonglong>(base)) + " " +
              QByteArray::number(static_cast<qlonglong>(open)) + " " +
              QByteArray::number(static_cast<qlonglong>(add)));
    return 0;
}

struct Lookup {
    bool german;
    const char* text;  // upper-case ASCII, so that SQLite's upper() agrees
};

const Lookup kLookups[] = {{true, "HAUS"},   {true, "MA"},  {true, "SCH"},    {true, "WELT"},
                           {true, "ZU"},     {true, "AB"},  {true, "KIND"},   {true, "XY"},
                           {false, "HOUSE"}, {false, "TO"}, {false, "WORLD"}, {false, "CHILD"}};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--memory") == 0)
        return MeasureMemory(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    const QString dictionary =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(KESP_APP_DIR) + "/data/de_en.dbf";
    utsname machine{};
    uname(&machine);
    std::printf("machine: %s %s\n", machine.nodename, machine.machine);
#ifndef NDEBUG
    std::printf("WARNING: a debug build; the figures mean little\n");
#endif
    QTemporaryDir scratch;
    const QString folder = scratch.path();
    MakeApplicationFolder(folder, dictionary);
    const QString table = folder + "/data/de_en.dbf";
    const double tableBytes = static_cast<double>(QFile(table).size());

    // ---- The same pairs in SQLite ----
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(folder + "/words.sqlite").constData(), &db);
    Exec(db, "CREATE TABLE words(de TEXT, en TEXT)");
    Exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO words(de, en) VALUES(?1, ?2)", -1, &insert, nullptr);
    SET_DELETED(true);
    DBUSEAREA(false, table, "pairs");
    int pairs = 0;
    for (DBGOTOP(); !DBEOF(); DBSKIP()) {
        const QByteArray de = FIELD("DE").toString().trimmed().toUtf8();
        const QByteArray en = FIELD("EN").toString().trimmed().toUtf8();
        sqlite3_bind_text(insert, 1, de.constData(), static_cast<int>(de.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, en.constData(), static_cast<int>(en.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
        ++pairs;
    }
    DBCLOSEALL();
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    sync();
    std::printf("dictionary: %d pairs, table file %.1f MB\n", pairs, tableBytes / 1e6);

    // ---- SQLite ----
    const double liteIndexes = Median(
        3,
        [db] {
            Exec(db, "CREATE INDEX ide1 ON words(upper(de))");
            Exec(db, "CREATE INDEX ide2 ON words(upper(en))");
        },
        [db] {
            Exec(db, "DROP INDEX IF EXISTS ide1");
            Exec(db, "DROP INDEX IF EXISTS ide2");
        });
    std::vector<int> liteCounts;
    double liteLookups = 0;
    {
        sqlite3_stmt* count[2] = {};
        sqlite3_stmt* rows[2] = {};
        for (int german = 0; german < 2; ++german) {
            const char* column = german ? "de" : "en";
            const QByteArray countSql =
                QString("SELECT count(*) FROM words WHERE upper(%1) >= ?1 AND upper(%1) < ?2")
                    .arg(column)
                    .toLatin1();
            const QByteArray rowsSql = QString(
                                           "SELECT de, en FROM words WHERE upper(%1) >= ?1 "
                                           "ORDER BY upper(%1) LIMIT 15")
                                           .arg(column)
                                           .toLatin1();
            sqlite3_prepare_v2(db, countSql.constData(), -1, &count[german], nullptr);
            sqlite3_prepare_v2(db, rowsSql.constData(), -1, &rows[german], nullptr);
        }
        for (int round = 0; round < 3; ++round) {
            for (const Lookup& lookup : kLookups) {
                const QByteArray low = lookup.text;
                QByteArray high = low;
                high[high.size() - 1] = static_cast<char>(high.back() + 1);
                sqlite3_stmt* c = count[lookup.german];
                sqlite3_stmt* r = rows[lookup.german];
                liteLookups += Seconds([&] {
                    sqlite3_bind_text(c, 1, low.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(c, 2, high.constData(), -1, SQLITE_TRANSIENT);
                    if (sqlite3_step(c) == SQLITE_ROW && round == 0)
                        liteCounts.push_back(sqlite3_column_int(c, 0));
                    sqlite3_reset(c);
                    sqlite3_bind_text(r, 1, low.constData(), -1, SQLITE_TRANSIENT);
                    QByteArray fetched;
                    while (sqlite3_step(r) == SQLITE_ROW) {
                        fetched += reinterpret_cast<const char*>(sqlite3_column_text(r, 0));
                        fetched += reinterpret_cast<const char*>(sqlite3_column_text(r, 1));
                    }
                    sqlite3_reset(r);
                });
            }
        }
        liteLookups /= 3.0 * std::size(kLookups);
        for (int german = 0; german < 2; ++german) {
            sqlite3_finalize(count[german]);
            sqlite3_finalize(rows[german]);
        }
    }

    // ---- Peak memory, in a process of its own ----
    long memoryBase = 0;
    long memoryOpen = 0;
    long memoryAdd = 0;
    {
        const QString results = folder + "/memory.txt";
        const pid_t child = fork();
        if (child == 0) {
            const QByteArray where = QFile::encodeName(folder);
            const QByteArray out = QFile::encodeName(results);
            execl("/proc/self/exe", argv[0], "--memory", where.constData(), out.constData(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        QFile file(results);
        file.open(QIODevice::ReadOnly);
        const QList<QByteArray> fields = file.readAll().split(' ');
        if (fields.size() == 3) {
            memoryBase = fields[0].toLong();
            memoryOpen = fields[1].toLong();
            memoryAdd = fields[2].toLong();
        }
    }

    // ---- The word list ----
    ProgramStartedIn(folder);
    const double opening = Median(3, OpenWordList, [] {
        if (ISWINDOWDEFINED(kWindow)) CloseWordList();
    });
    int added = 0;
    const double adding = Median(
        3,
        [] {
            T_SAVENEW_WOERTER();
            QApplication::processEvents();
        },
        [&added] {
            ++added;
            SETPROPERTY(kWindow, "Text_16", "value", QString("Messwort %1").arg(added));
            SETPROPERTY(kWindow, "Text_17", "value", QString("benchmark word %1").arg(added));
        });
    std::vector<int> counts;
    double lookups = 0;
    double painting = 0;
    double reopening = 0;
    // The peer window, on the same pairs in SQLite, both columns listed.
    bench::PeerWindowShape shape;
    for (const char* column : {"de", "en"}) {
        shape.searches.push_back(
            {QString("SELECT count(*) FROM words WHERE upper(%1) >= ?1 AND upper(%1) < ?2")
                 .arg(column),
             QString("SELECT de, en FROM words WHERE upper(%1) >= ?1 ORDER BY upper(%1) LIMIT 15")
                 .arg(column)});
    }
    shape.listedColumns = 2;
    shape.boxes = 2;
    shape.searchAsYouType = false;
    shape.lookingUpText = TEXT(word_texts::kLookingUp);
    shape.foundText = TEXT(word_texts::kFoundWords);
    shape.progressSteps = {0, 30, 40, 60, 80, 100};
    bench::PeerWindow peer(db, shape);
    peer.show();
    double peerLookups = 0;
    double peerPainting = 0;
    int peerWrongCounts = 0;
    for (int round = 0; round < 3; ++round) {
        for (std::size_t i = 0; i < std::size(kLookups); ++i) {
            const Lookup& lookup = kLookups[i];
            const QString box = lookup.german ? "Text_12" : "Text_13";
            SETPROPERTY(kWindow, box, "value", QString(lookup.text));
            lookups += Seconds(lookup.german ? SUCHE_DE_1 : SUCHE_EN_2);
            // Painted as the peer window is painted after its lookup: the
            // events the lookup posted, then every widget it changed.
            painting += Seconds([] {
                QApplication::processEvents();
                QEvent update(QEvent::UpdateRequest);
                QApplication::sendEvent(kesp::FormWindowNamed(kWindow), &update);
            });
            if (round == 0) counts.push_back(static_cast<int>(THE_ANZAHL));
            // The part of the lookup that opens its index again.
            const QString index = lookup.german ? "ide1" : "ide2";
            reopening += Seconds([&index] {
                DBSELECTAREA("eng1");
                ORDLISTCLEAR();
                ORDLISTADD(index);
            });
            const int which = lookup.german ? 0 : 1;
            peer.searchBox(which)->setText(QString(lookup.text));
            peerLookups += Seconds([&peer, which] { peer.lookUp(which); });
            peerPainting += Seconds([&peer] { peer.paintWhatChanged(); });
            if (i < liteCounts.size()) peerWrongCounts += peer.lastCount() != liteCounts[i];
        }
    }
    const double lookupRuns = 3.0 * std::size(kLookups);
    lookups /= lookupRuns;
    painting /= lookupRuns;
    reopening /= lookupRuns;
    peerLookups /= lookupRuns;
    peerPainting /= lookupRuns;
    CloseWordList();

    // ---- The statistics with the dictionary installed ----
    const double refresh = Median(5, HAUPT_STATISTIK);
    QStringList statisticsFiles;
    for (const char* file :
         {"adressen_p.dbf", "adressen_p.dbf", "adressen_g.dbf", "agenda.dbf", "notiz.dbf",
          "projekt.dbf", "internet.dbf", "Tricks.dbf", "de_en.dbf", "kespfree.dbf"})
        statisticsFiles.append(folder + "/data/" + file);
    ReadFilesOnce(statisticsFiles);
    std::vector<double> reads;
    for (int i = 0; i < 5; ++i)
        reads.push_back(ReadFilesOnce(statisticsFiles));
    std::sort(reads.begin(), reads.end());
    const double readOnce = reads[2];
    RELEASEWINDOW("haupt");

    std::printf("%-58s %10s %10s %8s %6s\n", "workload", "word list", "yardstick", "ratio", "goal");
    const auto row = [](const char* name, double mine, double yardstick, double goal) {
        std::printf("%-58s %9.4fs %9.4fs %8.2f %6.1f%s\n", name, mine, yardstick, mine / yardstick,
                    goal, mine / yardstick <= goal ? "" : "  MISSED");
    };
    row("opening / SQLite creating both indexes", opening, liteIndexes, 1.0);
    row("adding a pair / the opening", adding, opening, 1.0);
    row("lookup / the peer window's lookup (SQLite)", lookups, peerLookups, 0.8);
    row("lookup / SQLite prefix count + first 15 rows (the store)", lookups, liteLookups, 1.0);
    row("statistics refresh / reading the ten table files once", refresh, readOnce, 2.0);
    std::printf(
        "  of the lookup, opening its index again: %.4fs; painting afterwards (not in the"
        " ratios): %.4fs, the peer's %.4fs\n",
        reopening, painting, peerPainting);
    // The peer's progress bar repaints at each step, and a repaint paints
    // every widget of its window already changed (its list items, set one by
    // one, at once); the record window's list is laid out from a posted event
    // and painted after the lookup. Together the two windows do the same.
    row("lookup and painting / the peer window's", lookups + painting, peerLookups + peerPainting,
        0.8);
    const double openedBytes = (memoryOpen - memoryBase) * 1024.0;
    const double addedBytes = (memoryAdd - memoryBase) * 1024.0;
    std::printf(
        "peak memory the open word list adds (opening, two lookups): %.1f MB = %.2f x the "
        "table file (goal 2.0)%s\n",
        openedBytes / 1e6, openedBytes / tableBytes,
        openedBytes / tableBytes <= 2.0 ? "" : "  MISSED");
    std::printf(
        "  and with an addition: %.1f MB = %.2f x (goal 2.0)%s; the program's peak %.1f MB\n",
        addedBytes / 1e6, addedBytes / tableBytes, addedBytes / tableBytes <= 2.0 ? "" : "  MISSED",
        memoryAdd * 1024.0 / 1e6);
    bool agree = counts.size() == liteCounts.size();
    for (std::size_t i = 0; agree && i < counts.size(); ++i)
        agree = counts[i] == liteCounts[i];
    std::printf("pairs found per lookup:");
    for (std::size_t i = 0; i < counts.size(); ++i)
        std::printf(" %s %d/%d", kLookups[i].text, counts[i],
                    i < liteCounts.size() ? liteCounts[i] : -1);
    std::printf("%s\n", agree ? "" : "  (the counts differ)");
    if (peerWrongCounts > 0)
        std::printf("ERROR: %d of the peer's counts differ from SQLite's\n", peerWrongCounts);
    sqlite3_close_v2(db);  // closed once the peer window's statements are finalised
    return 0;
}
