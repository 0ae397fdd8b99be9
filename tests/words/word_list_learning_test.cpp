// The word list's pairs marked to learn and their export, and the nearest
// headwords it offers when a lookup finds nothing.
#include "apps/words/dictionary_index_build.h"
#include "apps/words/learn_marks.h"
#include "apps/words/word_list.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/words/word_list_fixture.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QTest>
#include <QThread>

namespace {

using kesp::test::TestDriver;

constexpr char kWindow[] = "woerter_frm";

const QList<Pair> kPairs = {{"Apfel {m}", "apple"},
                            {"Birne {f}", "pear"},
                            {"Straße {f}", "street"},
                            {"Wörterbuch {n}", "dictionary"}};

class WordListLearning : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        UseLanguage("AM");
        CreateDictionary(kPairs);
    }
    void TearDown() override {
        if (TestDriver::isOpen(kWindow)) TestDriver::closeWindow(kWindow);
        WordListFixture::TearDown();
    }
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        DOMETHOD(kWindow, "Browse_2", "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // The mark column of each listed pair, "" or "★".
    static QStringList Marks() {
        QStringList marks;
        for (int row = 1; row <= TestDriver::browseRows(kWindow, "Browse_2"); ++row)
            marks.append(TestDriver::browseCell(kWindow, "Browse_2", row, 3));
        return marks;
    }
    QByteArray Exported() {
        QFile file(exportPath() + "ToLearn.txt");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(WordListLearning, CtrlLMarksAPairAndTakesTheMarkAwayAgainKeptByItsText) {
    OPENFORM_WOERTER();
    EXPECT_EQ(TestDriver::browseRows(kWindow, "Browse_2"), 4);
    SelectGerman("Birne {f}");
    Press(Qt::Key_L);
    SelectGerman("Wörterbuch {n}");
    Press(Qt::Key_L);
    EXPECT_EQ(Marks(), QStringList({"", "★", "", "★"}));
    SelectGerman("Birne {f}");
    Press(Qt::Key_L);
    EXPECT_EQ(Marks(), QStringList({"", "", "", "★"}));
    SelectGerman("Apfel {m}");
    Press(Qt::Key_L);
    TestDriver::closeWindow(kWindow);

    // A new dictionary with the pairs in another order (an update): the marks
    // follow the text, and the mark taken away stays away after the pack.
    CreateDictionary({kPairs[3], {"Zitrone {f}", "lemon"}, kPairs[1], kPairs[0]});
    OPENFORM_WOERTER();
    EXPECT_EQ(ListedPairs(), QStringList({"Apfel {m} = apple", "Birne {f} = pear",
                                          "Wörterbuch {n} = dictionary", "Zitrone {f} = lemon"}));
    EXPECT_EQ(Marks(), QStringList({"★", "", "★", ""}));
    EXPECT_EQ(LearnMarks(),
              QList<LearnPair>({{"Wörterbuch {n}", "dictionary"}, {"Apfel {m}", "apple"}}))
        << "in the order they were set";
    TestDriver::closeWindow(kWindow);
    DBCLOSEALL();  // as the next window opened does
    QList<LearnPair> stored;
    ASSERT_TRUE(ReadLearnMarks(dataPath() + kLearnMarksTable, &stored));
    EXPECT_EQ(stored, LearnMarks());
    DBUSEAREA(false, dataPath() + kLearnMarksTable, "marks");
    EXPECT_EQ(RECCOUNT(), 2) << "the mark taken away was packed away";
    DBCLOSEAREA();
}

TEST_F(WordListLearning, CtrlEWritesThePairsToLearnAsATabSeparatedFileAFlashCardProgramReads) {
    OPENFORM_WOERTER();
    Press(Qt::Key_E);
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: No pair is marked to learn."}));
    EXPECT_FALSE(QFile::exists(exportPath() + "ToLearn.txt"));

    for (const char* german : {"Straße {f}", "Apfel {m}"}) {
        SelectGerman(german);
        Press(Qt::Key_L);
    }
    Press(Qt::Key_E);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("MSGBOX: 2 pairs to learn exported to:") ||
                told[0].startsWith("MSGEXCLAMATION: 2 pairs to learn exported to:"))
        << told[0].toStdString();
    EXPECT_EQ(Exported(), "Straße {f}\tstreet\tvarnel-kesp\nApfel {m}\tapple\tvarnel-kesp\n");

    // Read back as a flash-card program reads it: UTF-8, three tab-separated
    // fields a line, one line per pair.
    QProcess check;
    check.start("python3", {"-c", R"py(
import csv, sys
with open(sys.argv[1], encoding="utf-8", newline="") as f:
    rows = list(csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE))
assert rows == [["Straße {f}", "street", "varnel-kesp"], ["Apfel {m}", "apple", "varnel-kesp"]], rows
print("ok")
)py",
                            exportPath() + "ToLearn.txt"});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.readAllStandardOutput().trimmed(), "ok")
        << check.readAllStandardError().toStdString();
}

TEST_F(WordListLearning, TheFileToLearnKeepsEachPairOnOneLine) {
    EXPECT_EQ(LearnFileBytes({{"a\tb", "c\nd"}, {" e ", "f\r"}}),
              "a b\tc d\tvarnel-kesp\ne\tf\tvarnel-kesp\n");
    EXPECT_EQ(LearnFileBytes({}), "");
}

TEST_F(WordListLearning, ALookupThatFindsNothingOffersTheNearestHeadwordsOfItsSide) {
    OPENFORM_WOERTER();
    WaitForDictionaryIndex();
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1"));
    LookUpGerman("Wörtrbuch");
    ASSERT_TRUE(TestDriver::isShown(kWindow, "List_1"));
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Label_22"));
    EXPECT_EQ(TestDriver::read(kWindow, "Label_22").toString(), "Did you mean …?");
    EXPECT_EQ(TestDriver::read(kWindow, "List_1", "ItemCount").toInt(), 1);
    EXPECT_EQ(GETPROPERTY(kWindow, "List_1", "item", 1).toString(), "Wörterbuch");

    // Enter looks up the one chosen, and the suggestions go.
    DOMETHOD(kWindow, "List_1", "SetFocus");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(TestDriver::read(kWindow, "Text_12").toString(), "Wörterbuch");
    EXPECT_EQ(ListedPairs(), QStringList({"Wörterbuch {n} = dictionary"}));
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1"));

    // A word typed folded: the dictionary's spelling is offered.
    LookUpGerman("strasse");
    EXPECT_EQ(GETPROPERTY(kWindow, "List_1", "item", 1).toString(), "Straße");
    // The English lookup offers English headwords only.
    LookUpEnglish("aple");
    EXPECT_EQ(TestDriver::read(kWindow, "List_1", "ItemCount").toInt(), 1);
    EXPECT_EQ(GETPROPERTY(kWindow, "List_1", "item", 1).toString(), "apple");
    LookUpEnglish("zzzz");
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1")) << "nothing near: nothing offered";
}

// The index of headwords built on a worker after the opening: a lookup
// before it is ready gets its suggestions when it is, saying so while they
// take longer than a moment; a lookup after it drops the late answer.
TEST_F(WordListLearning, SuggestionsOfALookupBeforeTheIndexIsReadyFollowWhenItIs) {
    QThreadPool& pool = DictionaryIndexPool();
    QSemaphore held;
    // Released whatever happens, so that the builds' thread goes on.
    const std::unique_ptr<QSemaphore, void (*)(QSemaphore*)> releaseAtEnd(
        &held, [](QSemaphore* semaphore) { semaphore->release(2); });
    pool.start([&held] { held.acquire(); });  // the build waits behind this
    OPENFORM_WOERTER();
    EXPECT_EQ(ListedPairs().size(), 4) << "the window is ready before the index";
    ASSERT_TRUE(DictionaryIndexComing());
    LookUpGerman("Wörtrbuch");
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1"));
    QTest::qWait(250);
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Label_22"));
    EXPECT_EQ(TestDriver::read(kWindow, "Label_22").toString(),
              "Preparing the dictionary, suggestions follow …");
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1"));
    held.release();
    WaitForDictionaryIndex();
    ASSERT_TRUE(TestDriver::isShown(kWindow, "List_1"));
    EXPECT_EQ(TestDriver::read(kWindow, "Label_22").toString(), "Did you mean …?");
    EXPECT_EQ(GETPROPERTY(kWindow, "List_1", "item", 1).toString(), "Wörterbuch");
    TestDriver::closeWindow(kWindow);

    // The table written anew (a time of change of its own): built again.
    QThread::msleep(20);
    CreateDictionary(kPairs);
    pool.start([&held] { held.acquire(); });
    OPENFORM_WOERTER();
    ASSERT_TRUE(DictionaryIndexComing());
    LookUpGerman("Wörtrbuch");
    LookUpGerman("Birne");
    held.release();
    WaitForDictionaryIndex();
    QTest::qWait(250);
    EXPECT_FALSE(TestDriver::isShown(kWindow, "Label_22")) << "the lookup after found its pair";
    EXPECT_FALSE(TestDriver::isShown(kWindow, "List_1"));
}

}  // namespace
