// The search over everything, on the installed dictionary and 10,000 records
// in every other application, driven through the main window's box. Each
// figure is a ratio to a yardstick measured in the same run:
//
//   whole search   every application searched, every match counted, with the
//                  folded copy read, against SQLite counting the same matches
//                  over the same rows (one LIKE '%word%' condition per word,
//                  both folded forms of a word with umlauts, over the folded
//                  text stored beside each row);
//   first screen   the processor time from a keystroke in the box until the
//                  list holds a screenful of results (goal: 30 ms);
//   first read     the first search after the start, which reads every table
//                  into the folded copy, against reading the table files once;
//   kept           the bytes of the folded copy against the tables on disk;
//   coming up      the days ahead (60 days, the own application's date
//                  included) over every table with dates, against reading
//                  those table files once (goal: 2).
//
//   search_benchmark [de_en.dbf]
#include "kernel/public_variables.h"
#include "kernel/search_folding.h"
#include "shell/coming_up.h"
#include "shell/everything_panel.h"
#include "shell/everything_search.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/record_kinds.h"
#include "shell/start_up.h"
#include "store/xbase.h"
#include "toolkit/driver_seam.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kRecords = 10000;

double Seconds(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    work();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

// The yardstick of reading: each file read once, in blocks of a megabyte.
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

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double Median(int runs, const std::function<double()>& measure) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(measure());
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

const QStringList kWords = {
    "Müller",  "Hauptstraße", "Köln",   "Bäcker", "Garten", "Rechnung", "Meier",    "Schule",
    "Fußball", "Geburtstag",  "Termin", "Arzt",   "Urlaub", "Projekt",  "Angebot",  "Café",
    "Straße",  "Haus",        "Brief",  "Konto",  "Reise",  "Zahnarzt", "Übergabe", "Wohnung"};

QString Words(QRandomGenerator& random, int count) {
    QStringList words;
    for (int i = 0; i < count; ++i)
        words.append(kWords[random.bounded(kWords.size())] + QString::number(random.bounded(100)));
    return words.join(' ');
}

// 10,000 records in the table of every application but the dictionary, each
// text field holding a few words (memos a few more), dates spread over years.
void FillTables(const QString& data) {
    QRandomGenerator random(7);
    for (const RecordKind& kind : RecordKinds()) {
        if (!kind.viewOf.isEmpty() || kind.id == "words") continue;
        DBUSEAREA(false, data + kind.table, "t");
        for (int n = 0; n < kRecords; ++n) {
            DBAPPEND();
            for (const QString& field : kind.searchFields) {
                const QChar type = FIELDTYPE(field);
                REPLACE(field, Words(random, type == 'M' ? 12 : 2));
            }
            for (const KindDate& date : kind.dates) {
                const QDate day(1990 + random.bounded(40), 1 + random.bounded(12),
                                1 + random.bounded(28));
                REPLACE(date.field, day);
                // Most projects of the past are done, as in a list kept up to date.
                if (!date.doneField.isEmpty())
                    REPLACE(date.doneField, day < QDate(2026, 12, 1) && random.bounded(20) != 0);
            }
        }
        DBCOMMIT();
        DBCLOSEALL();
    }
}

// The same rows in SQLite: the folded text of each searchable record.
void CopyToSqlite(sqlite3* db, const QString& data) {
    Exec(db, "BEGIN");
    for (const RecordKind& kind : RecordKinds()) {
        if (!kind.viewOf.isEmpty() || kind.searchFields.isEmpty()) continue;
        const QString table = "k_" + kind.id;
        Exec(db, ("CREATE TABLE " + table + "(recno INTEGER, folded TEXT)").toUtf8().constData());
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, ("INSERT INTO " + table + " VALUES(?1, ?2)").toUtf8().constData(),
                           -1, &insert, nullptr);
        DBUSEAREA(false, data + kind.table, "t");
        for (DBGOTOP(); !DBEOF(); DBSKIP(1)) {
            QString text;
            for (const QString& field : kind.searchFields)
                text += FIELD(field).toString().trimmed() + ' ';
            for (const KindDate& date : kind.dates)
                text += DTOC(FIELD(date.field).toDate()) + ' ';
            QByteArray folded = FoldPlain(text);
            const QByteArray spelled = FoldSpelled(text);
            if (spelled != folded) folded += '\x1e' + spelled;
            sqlite3_bind_int(insert, 1, RECNO());
            sqlite3_bind_text(insert, 2, folded.constData(), static_cast<int>(folded.size()),
                              SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        DBCLOSEALL();
        sqlite3_finalize(insert);
    }
    Exec(db, "COMMIT");
}

// SQLite's count of the records holding every word, over every table.
int SqliteSearch(sqlite3* db, const QString& typed) {
    QStringList conditions;
    for (const FoldedWord& word : FoldedWords(typed)) {
        QString condition = "folded LIKE '%" + QString::fromUtf8(word.plain) + "%'";
        if (word.spelled != word.plain)
            condition =
                "(" + condition + " OR folded LIKE '%" + QString::fromUtf8(word.spelled) + "%')";
        conditions.append(condition);
    }
    int total = 0;
    for (const RecordKind& kind : RecordKinds()) {
        if (!kind.viewOf.isEmpty() || kind.searchFields.isEmpty()) continue;
        const QString sql =
            "SELECT count(*) FROM k_" + kind.id + " WHERE " + conditions.join(" AND ");
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &count, nullptr);
        if (sqlite3_step(count) == SQLITE_ROW) total += sqlite3_column_int(count, 0);
        sqlite3_finalize(count);
    }
    return total;
}

int OurSearch(const QString& typed) {
    int total = 0;
    for (const SearchGroup& group : SearchEverything(typed))
        total += group.matches.total;
    return total;
}

QLineEdit* Box() {
    return qobject_cast<QLineEdit*>(kesp::FormWindowNamed("haupt")->control("s_alles")->widget());
}

QAbstractItemView* List() {
    return qobject_cast<QAbstractItemView*>(
        kesp::FormWindowNamed("haupt")->control("List_alles")->widget());
}

// Processor time from the keystroke until the list holds a screenful (or the
// search is done).
double FirstScreen(const QString& typed) {
    Box()->clear();
    QApplication::processEvents();
    const double start = ProcessorSeconds();
    Box()->setText(typed);
    while (List()->model()->rowCount() < 25 && EverythingSearchRunning())
        QApplication::processEvents();
    QApplication::processEvents();  // painted
    return ProcessorSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString dictionary =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(KESP_APP_DIR) + "/data/de_en.dbf";
#ifndef NDEBUG
    std::printf("WARNING: a debug build; the figures mean little\n");
#endif
    QTemporaryDir scratch;
    const QString folder = scratch.path();
    for (const char* sub : {"data", "img", "export"})
        QDir(folder).mkpath(sub);
    for (const char* sub : {"data", "img"}) {
        for (const QFileInfo& file :
             QDir(QString(KESP_APP_DIR) + "/" + sub).entryInfoList(QDir::Files))
            if (file.fileName() != "de_en.dbf")
                QFile::copy(file.absoluteFilePath(), folder + "/" + sub + "/" + file.fileName());
    }
    QFile::copy(dictionary, folder + "/data/de_en.dbf");
    const QString data = folder + "/data/";

    kesp::seam::activationReturnsAtOnce = true;
    kesp::seam::answerMessageBox = [](const kesp::seam::MessageBoxShown&) { return true; };
    QDir::setCurrent(folder);
    START_UP(folder);
    APPLY_STORED_LANG();  // the date format the main window will show
    FillTables(data);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(folder + "/search.sqlite").constData(), &db);
    CopyToSqlite(db, data);
    DEFINE_HAUPT();
    _ACTIVATEWINDOW("haupt");
    QApplication::processEvents();

    QStringList files;
    qint64 tableBytes = 0;
    for (const KindCorpus& corpus : SearchCorpora()) {
        for (const QString& file : {corpus.kind().table, corpus.kind().memoFile}) {
            if (file.isEmpty()) continue;
            files.append(data + file);
            tableBytes += QFile(data + file).size();
        }
    }
    const double readOnce = ReadFilesOnce(files);
    const double firstRead = Seconds([] { OurSearch("müller"); });
    std::printf("first read:   %8.1f ms, reading the files once %8.1f ms: ratio %.2f\n",
                firstRead * 1e3, readOnce * 1e3, firstRead / readOnce);
    std::size_t kept = 0;
    for (const KindCorpus& corpus : SearchCorpora())
        kept += corpus.bytesKept();
    std::printf("kept:         %8.1f MB, tables on disk %8.1f MB: ratio %.2f (goal 1.5)\n",
                kept / 1e6, tableBytes / 1e6, static_cast<double>(kept) / tableBytes);

    for (const QString& typed :
         {QString("müller"), QString("mueller straße"), QString("haus"), QString("a"),
          QString("zahnarzt7 termin"), QString("12/24"), QString("übergabe42")}) {
        int ours = 0;
        int theirs = 0;
        const double our = Median(5, [&] { return Seconds([&] { ours = OurSearch(typed); }); });
        const double their =
            Median(5, [&] { return Seconds([&] { theirs = SqliteSearch(db, typed); }); });
        const double screen = Median(5, [&] { return FirstScreen(typed); });
        std::printf(
            "\"%s\": whole search %7.2f ms, SQLite %7.2f ms: ratio %.2f (goal 1.0); "
            "matches %d / %d; first screen %5.1f ms processor (goal 30)\n",
            typed.toUtf8().constData(), our * 1e3, their * 1e3, our / their, ours, theirs,
            screen * 1e3);
    }
    QStringList dated;
    for (const RecordKind& kind : RecordKinds()) {
        if (!kind.viewOf.isEmpty() || kind.dates.isEmpty()) continue;
        for (const QString& file : {kind.table, kind.memoFile})
            if (!file.isEmpty()) dated.append(data + file);
    }
    const double readDated = Median(5, [&dated] { return ReadFilesOnce(dated); });
    for (const int days : {7, 60}) {
        std::size_t entries = 0;
        const double coming = Median(5, [&entries, days] {
            return Seconds(
                [&entries, days] { entries = ComingUp(QDate(2026, 12, 1), days, true).size(); });
        });
        std::printf(
            "coming up %2d days: %6.1f ms (%zu entries), reading those files once %6.1f ms: "
            "ratio %.2f (goal 2)\n",
            days, coming * 1e3, entries, readDated * 1e3, coming / readDated);
    }
    sqlite3_close(db);
    return 0;
}
