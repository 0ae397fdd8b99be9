// Adding a pair to the word list when the system refuses a write: before the
// pair is stored (the table file) nothing changes and the add frame keeps the
// pair; after it (the index files, which need much room on a large
// dictionary) the list shows and counts the pair and the message says it was
// saved. Held against the table as python3-dbfread reads it.
#include "apps/words/word_list.h"
#include "kernel/problem_texts.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/other_reader.h"
#include "tests/words/word_list_fixture.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"

#include <QDir>

#include <cerrno>

namespace {

using kesp::test::TestDriver;

const QList<Pair> kFruit = {{"Birne", "pear"}, {"Apfel", "apple"}, {"Zitrone", "lemon"}};

class WordListRefusedWrite : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        INSTALL_PROBLEM_TEXTS();
        CreateDictionary(kFruit);
        OPENFORM_WOERTER();
        ASSERT_TRUE(TestDriver::isOpen("woerter_frm"));
        TakeMessages();
    }
    void TearDown() override {
        kesp::store::RefuseChangesToFilesForTests({}, 0);
        kesp::store::LimitRoomForTests(-1);
        kesp::SetWriteFailureNotice({});
        if (TestDriver::isOpen("woerter_frm")) TestDriver::closeWindow("woerter_frm");
        WordListFixture::TearDown();
    }
    QStringList Stored() const { return ReadWithDbfread(dataPath() + "de_en.dbf", "DE"); }
    static QString Typed(const QString& box) {
        return TestDriver::read("woerter_frm", box).toString();
    }
};

TEST_F(WordListRefusedWrite, APairWhoseIndexesAreRefusedIsListedCountedAndToldSaved) {
    kesp::store::RefuseChangesToFilesForTests(".ntx", ENOSPC);
    AddPair("Kirsche", "cherry");
    kesp::store::RefuseChangesToFilesForTests({}, 0);

    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("MSGEXCLAMATION: Der Eintrag ist gespeichert. Die Datei " +
                                   QDir::toNativeSeparators(dataPath() + "ide1.ntx")))
        << told[0].toStdString();
    EXPECT_EQ(Stored(), QStringList({"Birne", "Apfel", "Zitrone", "Kirsche"}));
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");
    EXPECT_TRUE(ListedPairs().contains("Kirsche = cherry"));
    EXPECT_EQ(Typed("Text_16"), "") << "the add frame is ready for the next pair";
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));

    // Both lookups still work, and the next pair is added once.
    LookUpEnglish("cher");
    EXPECT_EQ(ListedPairs(), QStringList({"Kirsche = cherry"}));
    LookUpGerman("");
    AddPair("Pflaume", "plum");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Daten wurden hinzugefügt."}));
    EXPECT_EQ(Stored(), QStringList({"Birne", "Apfel", "Zitrone", "Kirsche", "Pflaume"}));
}

TEST_F(WordListRefusedWrite, APairWhoseRecordIsRefusedIsNotAddedAndIsAddedOnceOnRetry) {
    kesp::store::LimitRoomForTests(0);
    AddPair("Kirsche", "cherry");
    kesp::store::LimitRoomForTests(-1);

    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Die Tabelle ist so, wie sie zuletzt gespeichert wurde"))
        << told[0].toStdString();
    EXPECT_EQ(Stored(), QStringList({"Birne", "Apfel", "Zitrone"}));
    EXPECT_EQ(Typed("Text_16"), "Kirsche");
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));

    TestDriver::click("woerter_frm", "Button_7");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Daten wurden hinzugefügt."}));
    EXPECT_EQ(Stored(), QStringList({"Birne", "Apfel", "Zitrone", "Kirsche"}));
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");
}

}  // namespace
