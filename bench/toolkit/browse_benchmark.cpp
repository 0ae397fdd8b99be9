// One keystroke in the quick-search box of a record window on a word list of
// 1,000,000 records, timed from the key to the refreshed list with the first
// match selected (and the edit area filled), against two yardsticks in the
// same run:
//
//   peer     the same window a program built on SQLite would show (a line
//            edit, a result line, a list of 15 rows, the edit area's boxes
//            filled from the chosen row; bench/peer/peer_window.h), whose
//            handler asks SQLite for the indexed prefix count and the first
//            15 rows. It gets the same key through the same event path.
//            Figure: our window's time / the peer's. Goals: at most 1.0
//            for each prefix length (the key alone: two thirds of both
//            windows' time is the toolkit's own key handling), and at most
//            0.5 for the key and the painting after it over every letter
//            typed.
//   sqlite   SQLite's bare query, the same count and 15 rows with no window
//            at all: the store's own figure, our window's time / SQLite's.
//
// The keystrokes type the first four letters of words of the list, one
// letter at a time, so every prefix length from one to four is measured;
// clearing the box (a search for everything) is measured on its own.
// Figures are sums of times per prefix length and over all typed letters.
// 200 words are typed unless asked otherwise: a keystroke of the 4th letter
// takes some 50 µs, and over 40 words its ratio moved by a tenth from one
// run to the next.
// Times are the thread's processor time, so that other programs on a busy
// machine do not count; the ratios of wall-clock times are printed beside
// them. Painting after the key is timed apart, for both windows.
//
//   browse_benchmark [records [words]]
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/record_window.h"
#include "bench/peer/peer_window.h"
#include "kernel/public_variables.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <sqlite3.h>

#include <sys/utsname.h>
#include <time.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

// ---- The record window under test ----------------------------------------------
// Everything this benchmark knows of the record window is in this block: a
// word-list window described as an application describes its window, opened
// by the shared steps, and the search box's change action, which runs the
// shared quick-search step a keystroke runs.
namespace word_window {

void Open();
void Fill();
void Search();

RecordWindow Describe() {
    RecordWindow words;
    words.window = "words_frm";
    words.title = {"Wortliste", "Word list", "Lista de palavras"};
    words.table = "words.dbf";
    words.alias = "words";
    words.indexes = {{"ide1", KeyForm::Upper, "De"}};
    words.normalOrder = "ide1";
    words.fields = {{.control = "t_de", .field = "DE", .at = {70, 220, 230}},
                    {.control = "t_en", .field = "EN", .at = {120, 220, 230}}};
    words.list.columns = {{.field = "De", .header = {"Deutsch", "German", "Alemão"}}};
    words.searches = {{.box = "suche", .index = "ide1", .run = Search}};
    words.required.control = "t_de";
    words.deleteQuestion.field = "De";
    words.actions = {.open = Open, .fill = Fill};
    return words;
}

const RecordWindow& Window() {
    static const RecordWindow words = Describe();
    return words;
}

void Open() {
    OpenRecordWindow(Window());
}

void Fill() {
    FillRecordWindow(Window());
}

void Search() {
    QuickSearchRecords(Window(), "suche");
}

// The number the search's result line shows ("1482 gefunden").
int ResultLineCount() {
    return GETPROPERTY(Window().window, Window().resultLine.name, "value")
        .toString()
        .section(' ', 0, 0)
        .toInt();
}

}  // namespace word_window

// ---- The benchmark --------------------------------------------------------------------

namespace {

QString Word(std::mt19937& random) {
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<int> length(4, 14);
    QString word;
    const int n = length(random);
    for (int i = 0; i < n; ++i)
        word += QChar(u'a' + letter(random));
    word[0] = word[0].toUpper();
    return word;
}

double Seconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Processor and wall-clock time of one piece of work.
struct Stopwatch {
    QElapsedTimer wall;
    double processorStart = 0;
    Stopwatch() { Restart(); }
    void Restart() {
        wall.start();
        processorStart = ProcessorSeconds();
    }
    std::pair<double, double> Elapsed() const {
        return {ProcessorSeconds() - processorStart, Seconds(wall)};
    }
};

void Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", error);
        sqlite3_free(error);
    }
}

// The same list in SQLite: count the words beginning with the prefix through
// the index, then fetch the first 15 of them in order, every column read.
class SqliteList {
  public:
    explicit SqliteList(const QString& path) {
        sqlite3_open(QFile::encodeName(path).constData(), &db_);
        Exec(db_, "PRAGMA cache_size = -200000");
        Exec(db_, "CREATE TABLE words(de TEXT, en TEXT)");
        Exec(db_, "BEGIN");
        sqlite3_prepare_v2(db_, "INSERT INTO words(de, en) VALUES(?1, ?2)", -1, &insert_, nullptr);
    }
    ~SqliteList() {
        sqlite3_finalize(count_);
        sqlite3_finalize(page_);
        sqlite3_close(db_);
    }
    sqlite3* Handle() const { return db_; }
    void Add(const QByteArray& de, const QByteArray& en) {
        sqlite3_bind_text(insert_, 1, de.constData(), static_cast<int>(de.size()), SQLITE_STATIC);
        sqlite3_bind_text(insert_, 2, en.constData(), static_cast<int>(en.size()), SQLITE_STATIC);
        sqlite3_step(insert_);
        sqlite3_reset(insert_);
    }
    void Index() {
        sqlite3_finalize(insert_);
        Exec(db_, "COMMIT");
        Exec(db_, "CREATE INDEX ide1 ON words(upper(de))");
        sqlite3_prepare_v2(db_,
                           "SELECT count(*) FROM words WHERE upper(de) >= ?1 AND upper(de) < ?2",
                           -1, &count_, nullptr);
        sqlite3_prepare_v2(db_,
                           "SELECT de, en FROM words WHERE upper(de) >= ?1 AND upper(de) < ?2 "
                           "ORDER BY upper(de) LIMIT 15",
                           -1, &page_, nullptr);
    }
    // Returns the count; `bytes` grows by what was fetched, so nothing is optimised away.
    int Search(const QByteArray& prefix, std::size_t& bytes) {
        QByteArray hi = prefix;
        if (hi.isEmpty()) {
            hi = "\x7f";
        } else {
            hi[hi.size() - 1] = static_cast<char>(hi.back() + 1);
        }
        int count = 0;
        for (sqlite3_stmt* statement : {count_, page_}) {
            sqlite3_bind_text(statement, 1, prefix.constData(), static_cast<int>(prefix.size()),
                              SQLITE_STATIC);
            sqlite3_bind_text(statement, 2, hi.constData(), static_cast<int>(hi.size()),
                              SQLITE_STATIC);
        }
        if (sqlite3_step(count_) == SQLITE_ROW) count = sqlite3_column_int(count_, 0);
        sqlite3_reset(count_);
        while (sqlite3_step(page_) == SQLITE_ROW) {
            bytes += std::strlen(reinterpret_cast<const char*>(sqlite3_column_text(page_, 0)));
            bytes += std::strlen(reinterpret_cast<const char*>(sqlite3_column_text(page_, 1)));
        }
        sqlite3_reset(page_);
        return count;
    }

  private:
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    sqlite3_stmt* count_ = nullptr;
    sqlite3_stmt* page_ = nullptr;
};

// What the event loop does a few milliseconds after a keystroke (the window
// system asks for an update): paints every widget the keystroke changed.
void PaintWhatChanged(const QString& window) {
    QApplication::processEvents();
    QEvent update(QEvent::UpdateRequest);
    QApplication::sendEvent(kesp::test::TestDriver::widget(window), &update);
}

struct Tally {
    double window = 0;  // processor time
    double peer = 0;
    double sqlite = 0;
    double windowWall = 0;
    double peerWall = 0;
    double sqliteWall = 0;
    long matches = 0;
    int keystrokes = 0;
    using Time = std::pair<double, double>;
    void Add(Time w, Time p, Time s, int count) {
        window += w.first;
        windowWall += w.second;
        peer += p.first;
        peerWall += p.second;
        sqlite += s.first;
        sqliteWall += s.second;
        matches += count;
        ++keystrokes;
    }
    static double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }
    static constexpr double kKeyGoal = 1.0;
    static constexpr double kKeyAndPaintingGoal = 0.5;
    void Print(const char* what) const {
        if (keystrokes == 0) return;
        const double n = keystrokes;
        std::printf("%-20s %5d %8.0f %9.4f %9.4f %9.4f %7.3f %6.3f %7.3f %6.3f%s\n", what,
                    keystrokes, double(matches) / n, window / n * 1e3, peer / n * 1e3,
                    sqlite / n * 1e3, Ratio(window, peer), Ratio(windowWall, peerWall),
                    Ratio(window, sqlite), Ratio(windowWall, sqliteWall),
                    Ratio(window, peer) <= kKeyGoal ? "" : "  MISSED");
    }
};

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    const int wordCount = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    utsname machine{};
    uname(&machine);
    std::printf("machine: %s %s, %d records\n", machine.nodename, machine.machine, records);
#ifndef NDEBUG
    std::printf("WARNING: a debug build; the figures mean little\n");
#endif
    QTemporaryDir folder;
    THE_APP_PATH = folder.path() + "/";
    THE_DATA_PATH = THE_APP_PATH;
    THE_LANG = "DE";
    SET_EXACT(false);
    SET_DELETED(true);
    SET_CENTURY(true);
    SET_DATEFORMAT("dd.mm.yyyy");
    QDir::setCurrent(folder.path());

    // The same words in the table and in SQLite; some of them are typed later.
    std::mt19937 random(20061224);
    SqliteList lite(folder.filePath("words.sqlite"));
    kesp::CreateTable(folder.filePath("words.dbf"), {{"DE", 'C', 50, 0}, {"EN", 'C', 50, 0}});
    DBUSEAREA(true, folder.filePath("words.dbf"), "words");
    QStringList typed;
    std::uniform_int_distribution<int> pick(0, records - 1);
    std::vector<int> typedRecords(static_cast<std::size_t>(wordCount));
    for (int& r : typedRecords)
        r = pick(random);
    std::sort(typedRecords.begin(), typedRecords.end());
    for (int i = 0, next = 0; i < records; ++i) {
        const QString de = Word(random);
        const QString en = Word(random);
        DBAPPEND();
        REPLACE("DE", de);
        REPLACE("EN", en);
        lite.Add(de.toUtf8(), en.toUtf8());
        while (next < wordCount && typedRecords[static_cast<std::size_t>(next)] == i) {
            typed << de.left(4).toLower();
            ++next;
        }
    }
    DBCOMMIT();
    DBCLOSEALL();
    lite.Index();
    std::shuffle(typed.begin(), typed.end(), random);

    kesp::test::TestDriver driver;  // answers for the window's modal loop
    Stopwatch clock;
    ShowRecordWindow(word_window::Window());
    std::printf("opening the window (pack, index, count, first page): %.3f s\n",
                clock.Elapsed().second);
    const QString window = word_window::Window().window;
    const QString box = word_window::Window().searches.front().box;
    QApplication::processEvents();

    // The peer window on the same rows in SQLite, listing the German word
    // and filling the edit area's two boxes from the chosen row.
    bench::PeerWindowShape shape;
    shape.searches = {{"SELECT count(*) FROM words WHERE upper(de) >= ?1 AND upper(de) < ?2",
                       "SELECT de, en FROM words WHERE upper(de) >= ?1 AND upper(de) < ?2 "
                       "ORDER BY upper(de) LIMIT 15"}};
    shape.listedColumns = 1;
    shape.boxes = 2;
    bench::PeerWindow peer(lite.Handle(), shape);
    peer.show();
    QLineEdit* peerBox = peer.searchBox();
    // Both boxes found once, before the keys: each key takes the same path.
    QWidget* ourBox = kesp::test::TestDriver::widget(window, box);

    Tally byLength[4];
    Tally all;
    Tally cleared;
    int wrongCounts = 0;
    double painting = 0;
    double peerPainting = 0;
    std::size_t fetched = 0;
    for (const QString& word : typed) {
        for (int length = 1; length <= word.size(); ++length) {
            const QByteArray prefix = word.left(length).toUpper().toUtf8();
            const QString letter = word.mid(length - 1, 1);
            // Each window painted before the other's key, so that neither
            // paints the other's changes.
            clock.Restart();
            ourBox->setFocus();
            QTest::keyClick(ourBox, letter.at(0).toLatin1());
            const auto w = clock.Elapsed();
            clock.Restart();
            PaintWhatChanged(window);
            painting += clock.Elapsed().first;
            clock.Restart();
            peerBox->setFocus();
            QTest::keyClick(peerBox, letter.at(0).toLatin1());
            const auto p = clock.Elapsed();
            clock.Restart();
            peer.paintWhatChanged();
            peerPainting += clock.Elapsed().first;
            clock.Restart();
            const int count = lite.Search(prefix, fetched);
            const auto s = clock.Elapsed();
            byLength[length - 1].Add(w, p, s, count);
            all.Add(w, p, s, count);
            wrongCounts += word_window::ResultLineCount() != count;
            wrongCounts += peer.lastCount() != count;
        }
        clock.Restart();
        ourBox->setFocus();
        QTest::keyClick(ourBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(ourBox, Qt::Key_Backspace);
        const auto w = clock.Elapsed();
        PaintWhatChanged(window);
        clock.Restart();
        peerBox->setFocus();
        QTest::keyClick(peerBox, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(peerBox, Qt::Key_Backspace);
        const auto p = clock.Elapsed();
        peer.paintWhatChanged();
        clock.Restart();
        const int count = lite.Search({}, fetched);
        cleared.Add(w, p, clock.Elapsed(), count);
        wrongCounts += word_window::ResultLineCount() != count;
        wrongCounts += peer.lastCount() != count;
    }

    std::printf("%-20s %5s %8s %9s %9s %9s %7s %6s %7s %6s\n", "", "", "", "ours", "peer", "sqlite",
                "ours /", "wall", "ours /", "wall");
    std::printf("%-20s %5s %8s %9s %9s %9s %7s %6s %7s %6s\n", "keystroke", "count", "matches",
                "ms", "ms", "ms", "peer", "", "sqlite", "");
    const char* names[4] = {"1st letter", "2nd letter", "3rd letter", "4th letter"};
    for (int i = 0; i < 4; ++i)
        byLength[i].Print(names[i]);
    all.Print("every letter typed");
    cleared.Print("box cleared (all)");
    std::printf("goal: ours / peer at most %.1f for each prefix length and every letter typed\n",
                Tally::kKeyGoal);
    std::printf("painting after a keystroke (not in the ratios): ours %.4f ms, peer %.4f ms\n",
                painting / std::max(1, all.keystrokes) * 1e3,
                peerPainting / std::max(1, all.keystrokes) * 1e3);
    const double keyAndPainting = Tally::Ratio(all.window + painting, all.peer + peerPainting);
    std::printf("every letter typed, key and painting together: ours / peer %.3f (goal %.1f)%s\n",
                keyAndPainting, Tally::kKeyAndPaintingGoal,
                keyAndPainting <= Tally::kKeyAndPaintingGoal ? "" : "  MISSED");
    std::printf("(%zu bytes fetched from SQLite)\n", fetched);
    if (wrongCounts > 0)
        std::printf("ERROR: %d result lines disagree with SQLite's count\n", wrongCounts);
    driver.closeWindow(window);
    DBCLOSEALL();
    return wrongCounts == 0 ? 0 : 1;
}
