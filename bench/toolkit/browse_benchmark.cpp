// The browse after the quick search, on a word list of 1,000,000 records.
//
// For each search text: seek, prefix filter (with its key-prefix promise) and
// count, as the record windows search; then refresh the browse, select the
// current record and paint the list. The figure is the browse's time as a
// ratio to the search's time in the same run: at most 1.0 means the list never
// costs more than the search itself.
//
//   browse_benchmark [records [rounds [nopaint]]]
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/browse_view.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/utsname.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

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

int kRounds = 20;

QString cpesq;

// The quick search of the record windows; returns the number of matches.
int SeekFilterCount(const QString& text) {
    DBCLEARFILTER();
    cpesq = text;
    DBSEEK(cpesq);
    int matches = 0;
    if (FOUND()) {
        DBSETFILTER([] { return EQ(UPPER(FIELD("words->De")), cpesq); }, "UPPER(words->De) = cPesq",
                    [] { return cpesq; }, KeyRange::Decides);
        DBEVAL([&matches] { ++matches; });
        DBGOTOP();
    } else {
        DBCLEARFILTER();
    }
    return matches;
}

void RefreshAndSelect() {
    DOMETHOD("words_frm", "Browse_1", "refresh");
    SETPROPERTY("words_frm", "Browse_1", "value", RECNO());
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (argc > 2) kRounds = std::max(1, std::atoi(argv[2]));
    // "nopaint" leaves the painting out, for profiling the refresh alone.
    const bool withPaint = argc <= 3 || std::strcmp(argv[3], "nopaint") != 0;
    utsname machine{};
    uname(&machine);
    std::printf("machine: %s %s, %d records\n", machine.nodename, machine.machine, records);
#ifndef NDEBUG
    std::printf("WARNING: a debug build; the figures mean little\n");
#endif
    QTemporaryDir folder;
    SET_EXACT(false);
    SET_DELETED(true);

    std::mt19937 random(20061224);
    const QString table = folder.filePath("words.dbf");
    kesp::CreateTable(table, {{"DE", 'C', 50, 0}, {"EN", 'C', 50, 0}});
    DBUSEAREA(true, table, "words");
    for (int i = 0; i < records; ++i) {
        DBAPPEND();
        REPLACE("DE", Word(random));
        REPLACE("EN", Word(random));
    }
    DBCOMMIT();
    DBCREATEINDEX(folder.filePath("ide"), "UPPER(De)");
    DBGOTOP();

    _DEFINEWINDOW("words_frm", WindowKind::Standard,
                  {.title = "Wortliste", .width = 700, .height = 450});
    _DEFINEBROWSE("Browse_1", {.row = 100,
                               .col = 10,
                               .width = 190,
                               .height = 290,
                               .headers = {"Deutsch", "Englisch"},
                               .widths = {90, 90},
                               .fields = {"words->De", "words->En"},
                               .workArea = "words"});
    _ENDWINDOW();
    _ACTIVATEWINDOW("words_frm");
    QApplication::processEvents();
    auto* view = qobject_cast<kesp::BrowseView*>(
        kesp::FindFormWindow("words_frm")->findControl("Browse_1")->widget());

    // The unfiltered list first: a refresh must not walk the table.
    QElapsedTimer clock;
    clock.start();
    DBGOTO(records / 2);
    RefreshAndSelect();
    const double wholeTable = Seconds(clock);
    std::printf("refresh + select on the unfiltered table: %.3f ms (%d rows read)\n",
                wholeTable * 1e3, view->rows().rowCount());

    const QStringList twoLetters = {"MA", "BE", "ZU", "QX", "AN", "ST", "KO", "WE", "XY", "EL"};
    const QStringList longer = {"MAR", "BER", "ZUK", "QXA", "ANNA", "STE", "KOL", "WEST"};
    for (const QStringList* texts : {&twoLetters, &longer}) {
        double search = 0;
        double browse = 0;
        double paint = 0;
        double worst = 0;
        long matches = 0;
        for (int round = 0; round < kRounds; ++round) {
            for (const QString& text : *texts) {
                clock.restart();
                matches += SeekFilterCount(text);
                const double s = Seconds(clock);
                clock.restart();
                RefreshAndSelect();
                const double b = Seconds(clock);
                clock.restart();
                if (withPaint) view->viewport()->repaint();
                paint += Seconds(clock);
                search += s;
                browse += b;
                worst = std::max(worst, s > 0 ? b / s : 0.0);
            }
        }
        const double runs = double(kRounds) * texts->size();
        std::printf(
            "%s search texts (%.0f matches per search):\n"
            "  seek+filter+count %.4f ms, browse refresh+select %.4f ms, "
            "ratio %.3f (worst single search %.3f)\n"
            "  painting the list afterwards (not in the ratio) %.4f ms\n",
            texts == &twoLetters ? "two-letter" : "three/four-letter", matches / runs,
            search / runs * 1e3, browse / runs * 1e3, search > 0 ? browse / search : 0.0, worst,
            paint / runs * 1e3);
    }
    DBCLOSEALL();
    return 0;
}
