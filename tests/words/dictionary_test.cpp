// The dictionary the word list is filled from: pairing the parts of a line,
// the build step that writes the pairs into an empty table and leaves a
// table with records alone, and the dictionary the build installed.
#include "data/dictionary_pairs.h"
#include "data/installed_table_files.h"
#include "store/xbase.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using kesp::PairsOfLine;

QStringList Pairs(const QString& line) {
    QStringList pairs;
    for (const kesp::WordPair& pair : PairsOfLine(line).pairs)
        pairs.append(pair.german + " = " + pair.english);
    return pairs;
}

TEST(DictionaryLine, PairsTheNthGermanPartWithTheNthEnglishPart) {
    EXPECT_EQ(Pairs("Apfel {m} | Äpfel {pl} | einen Apfel schälen :: apple | apples | to peel an "
                    "apple"),
              QStringList({"Apfel {m} = apple", "Äpfel {pl} = apples",
                           "einen Apfel schälen = to peel an apple"}));
    // Alternatives within a part stay together; blanks around a part go.
    EXPECT_EQ(Pairs("Aas {n}; Aasfleisch {n} [zool.]  ::  carrion "),
              QStringList({"Aas {n}; Aasfleisch {n} [zool.] = carrion"}));
    EXPECT_EQ(Pairs("umhin {adv} :: "), QStringList({"umhin {adv} = "}));
    EXPECT_EQ(Pairs("umhin {adv} ::"), QStringList({"umhin {adv} = "}));
}

TEST(DictionaryLine, CommentsStrayTextAndUnmatchedSidesGiveNoPairs) {
    EXPECT_TRUE(Pairs("# Version :: devel 2023-01-30").isEmpty());
    EXPECT_TRUE(Pairs("").isEmpty());
    EXPECT_TRUE(Pairs("Haus {n} - house").isEmpty());
    const kesp::LinePairs unmatched = PairsOfLine("a | b | c :: x | y");
    EXPECT_TRUE(unmatched.pairs.isEmpty());
    EXPECT_EQ(unmatched.unmatched, 3);
}

class DictionaryStep : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        table_ = folder_.filePath("de_en.dbf");
        kesp::WriteInstalledTable(table_, *kesp::InstalledTable("de_en.dbf"));
        source_ = folder_.filePath("de-en");
        QFile file(source_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString fifty(50, QChar(u'x'));
        file.write(QString("# Version :: test\n"
                           "Haus {n} | Häuser {pl} :: house | houses\n"
                           "Straße {f} :: street; road\n"
                           "zustehen {vi} :: \n"
                           "leer {adj} ::\r\n" +
                           fifty + " :: fifty\n" + fifty + "y :: fifty-one\n" + "a | b :: c\n")
                       .toUtf8());
    }
    void TearDown() override { DBCLOSEALL(); }

    // Runs the build step; returns what it printed.
    QString Run() {
        QProcess step;
        step.start(KESP_MAKE_DICTIONARY, {source_, table_});
        step.waitForFinished(30000);
        EXPECT_EQ(step.exitCode(), 0) << step.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(step.readAllStandardOutput()).trimmed();
    }
    QStringList Stored() {
        DBUSEAREA(false, table_, "t");
        QStringList pairs;
        for (DBGOTOP(); !DBEOF(); DBSKIP())
            pairs.append(FIELD("DE").toString().trimmed() + " = " +
                         FIELD("EN").toString().trimmed());
        DBCLOSEALL();
        return pairs;
    }

    QTemporaryDir folder_;
    QString table_;
    QString source_;
};

TEST_F(DictionaryStep, WritesThePairsThatFitAndTellsWhatItSkipped) {
    EXPECT_EQ(Run(),
              "de_en.dbf: 4 pairs written, 5 skipped (1 longer than 50 characters, 2 with an "
              "empty side, 2 on lines whose sides do not correspond)");
    EXPECT_EQ(Stored(),
              QStringList({"Haus {n} = house", "Häuser {pl} = houses", "Straße {f} = street; road",
                           QString(50, QChar(u'x')) + " = fifty"}));
}

TEST_F(DictionaryStep, LeavesATableThatHoldsRecordsAlone) {
    DBUSEAREA(false, table_, "t");
    DBAPPEND();
    REPLACE("DE", "mein Wort");
    REPLACE("EN", "my word");
    DBCOMMIT();
    DBCLOSEALL();
    EXPECT_EQ(Run(), "de_en.dbf already holds 1 pairs: left as it is");
    EXPECT_EQ(Stored(), QStringList({"mein Wort = my word"}));
}

// The one test that reads the installed dictionary.
TEST(InstalledDictionary, HoldsTheDebianPairsEachTrimmedGivenAndAtMostFiftyCharacters) {
    QTemporaryDir copy;
    const QString table = copy.filePath("de_en.dbf");
    ASSERT_TRUE(QFile::copy(QString(KESP_BUILT_APP_DIR) + "/data/de_en.dbf", table));
    SET_DELETED(true);
    DBUSEAREA(false, table, "t");
    EXPECT_GT(RECCOUNT(), 300000) << "is the Debian package trans-de-en installed?";
    const QSet<QString> expected = {"Aalsuppe {f} [cook.] = eel soup", "Haus {n} = house",
                                    "Wörterbuch {n} = wordbook"};
    QSet<QString> seen;
    int faults = 0;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        const QString german = FIELD("DE").toString();
        const QString english = FIELD("EN").toString();
        const QString pair = german.trimmed() + " = " + english.trimmed();
        if (DELETED() || german.trimmed().isEmpty() || english.trimmed().isEmpty() ||
            german.startsWith(u' ') || english.startsWith(u' ')) {
            if (++faults <= 5) ADD_FAILURE() << "record " << number << ": " << pair.toStdString();
        }
        if (expected.contains(pair)) seen.insert(pair);
    }
    EXPECT_EQ(seen, expected);
    DBCLOSEALL();
}

}  // namespace
