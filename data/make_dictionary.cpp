// Fills the word list's table with the pairs of a German-English dictionary
// in the format of Debian's trans-de-en (see dictionary_pairs.h):
//
//   kesp_make_dictionary <dictionary file> <table file>
//
// A table that already holds records (someone's own word list) is left as it
// is. Otherwise every pair whose German and English words are both given and
// both fit their fields is appended, German in De, English in En, in the
// order of the file; the other pairs are skipped. Prints how many pairs were
// written and how many skipped, and why.
#include "data/dictionary_pairs.h"
#include "data/installed_tables.h"
#include "store/fault.h"
#include "store/xbase.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

struct Tally {
    long written = 0;
    long tooLong = 0;
    long emptySide = 0;
    long unmatched = 0;
    long skipped() const { return tooLong + emptySide + unmatched; }
};

// The width of De and En as the installed description gives them.
int WordWidth() {
    const kesp::TableDescription* table = kesp::InstalledTable("de_en.dbf");
    return table ? table->fields.front().width : 50;
}

Tally AppendPairs(QFile& dictionary, int width) {
    Tally tally;
    while (!dictionary.atEnd()) {
        QString line = QString::fromUtf8(dictionary.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        const kesp::LinePairs found = kesp::PairsOfLine(line);
        tally.unmatched += found.unmatched;
        for (const kesp::WordPair& pair : found.pairs) {
            if (pair.german.isEmpty() || pair.english.isEmpty()) {
                ++tally.emptySide;
            } else if (pair.german.size() > width || pair.english.size() > width) {
                ++tally.tooLong;
            } else {
                DBAPPEND();
                REPLACE("De", pair.german);
                REPLACE("En", pair.english);
                ++tally.written;
            }
        }
    }
    DBCOMMIT();
    return tally;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <dictionary file> <table file>\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString table = QString::fromLocal8Bit(argv[2]);
    const QByteArray name = QFileInfo(table).fileName().toLocal8Bit();
    QFile dictionary(source);
    if (!dictionary.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read the dictionary %s (Debian package trans-de-en)\n",
                     argv[1]);
        return 1;
    }
    try {
        SET_DELETED(true);
        DBUSEAREA(false, table, "dictionary");
        if (NETERR()) {
            std::fprintf(stderr, "%s is in use by another program\n", name.constData());
            return 1;
        }
        if (RECCOUNT() > 0) {
            std::printf("%s already holds %d pairs: left as it is\n", name.constData(), RECCOUNT());
            DBCLOSEALL();
            return 0;
        }
        const int width = WordWidth();
        const Tally tally = AppendPairs(dictionary, width);
        DBCLOSEALL();
        std::printf(
            "%s: %ld pairs written, %ld skipped (%ld longer than %d characters, %ld with an "
            "empty side, %ld on lines whose sides do not correspond)\n",
            name.constData(), tally.written, tally.skipped(), tally.tooLong, width, tally.emptySide,
            tally.unmatched);
    } catch (const kesp::FaultException& fault) {
        std::fprintf(stderr, "%s\n", qPrintable(fault.fault().text()));
        return 1;
    }
    return 0;
}
