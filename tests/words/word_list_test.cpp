// The word list driven through the test driver as the user drives it:
// opening with its reorganisation, both lookups, editing, adding and
// deleting pairs, in the three languages.
#include "apps/words/word_list.h"
#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/words/word_list_fixture.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QTest>

namespace {

using kesp::test::TestDriver;

const QColor kGreen{0, 255, 0};
const QColor kRed{255, 0, 0};
const QColor kWhite{255, 255, 255};

const QList<Pair> kFruit = {{"Birne", "pear"},
                            {"Äpfel", "apples"},
                            {"Apfel", "apple"},
                            {"Zitrone", "lemon"},
                            {"apfelgrün", "apple green"}};

class WordList : public WordListFixture {
  protected:
    void Open(const QList<Pair>& pairs) {
        CreateDictionary(pairs);
        OPENFORM_WOERTER();
        ASSERT_TRUE(TestDriver::isOpen("woerter_frm"));
        TakeMessages();
    }
    void TearDown() override {
        if (TestDriver::isOpen("woerter_frm")) TestDriver::closeWindow("woerter_frm");
        WordListFixture::TearDown();
    }
    static bool Enabled(const QString& button) {
        return TestDriver::read("woerter_frm", button, "Enabled").toBool();
    }
};

// ---- Opening ---------------------------------------------------------------------

TEST_F(WordList, OpeningPacksBuildsBothIndexesAndShowsTheFirstPairInGermanOrder) {
    CreateDictionary(kFruit, {"Zitrone"});
    OPENFORM_WOERTER();

    // Windows-1252 order of the capitals: APFEL, APFELGRÜN, BIRNE, ÄPFEL.
    EXPECT_EQ(ListedPairs(), QStringList({"Apfel = apple", "apfelgrün = apple green",
                                          "Birne = pear", "Äpfel = apples"}));
    EXPECT_EQ(PairShown(), "Apfel = apple");
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");
    EXPECT_EQ(THE_ANZAHL, 4);
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
    EXPECT_TRUE(QFile::exists(dataPath() + "ide1.ntx"));
    EXPECT_TRUE(QFile::exists(dataPath() + "ide2.ntx"));
    EXPECT_EQ(GETPROPERTY("woerter_frm", "Browse_2", "Header", 1).toString(), "Deutsch");
    TestDriver::closeWindow("woerter_frm");

    // The deleted pair is gone from the file.
    EXPECT_EQ(StoredPairs().size(), 4);
    EXPECT_FALSE(StoredPairs().contains("-Zitrone = lemon"));
}

TEST_F(WordList, EveryTextFollowsTheLanguageOfTheMomentItOpens) {
    const struct {
        const char* code;
        const char* title;
        const char* germanCaption;
        const char* frame;
        const char* ready;
        const char* found;
        const char* deleteQuestion;
    } languages[] = {
        {"DE", "Wörterbuch [deutsch] <--> [englisch]", "Eingabe auf deutsch", "Bearbeiten",
         "Fertig. Anzahl der Daten: 5", "2 Wörter gefunden", "Birne löschen?"},
        {"AM", "Dictionary [german] <--> [english]", "German", "Edit", "Ready. Total records: 5",
         "Found 2 words", "Delete: Birne ?"},
        {"BR", "Dicionário [alemão] <--> [ingles]", "Alemão", "Editar",
         "Pronto. Número de registros: 5", "2 palavra(s) encontrada(s)", "Apagar: Birne ?"},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        Open(kFruit);
        EXPECT_EQ(GETPROPERTY("woerter_frm", "Title").toString(), language.title);
        EXPECT_EQ(TestDriver::read("woerter_frm", "Label_17").toString(), language.germanCaption);
        EXPECT_EQ(TestDriver::read("woerter_frm", "Frame_4", "Caption").toString(), language.frame);
        EXPECT_EQ(Status(), language.ready);
        LookUpGerman("apfel");
        EXPECT_EQ(Status(), language.found);
        LookUpGerman("");
        SelectGerman("Birne");
        driver_.answerNext(false);
        TestDriver::click("woerter_frm", "Button_6");
        EXPECT_EQ(TakeMessages(), QStringList({QString("MSGYESNO: ") + language.deleteQuestion}));
        TestDriver::closeWindow("woerter_frm");
    }
    UseLanguage("AM");
    Open(kFruit);
    EXPECT_EQ(GETPROPERTY("woerter_frm", "Browse_2", "Header", 2).toString(), "English");
    EXPECT_EQ(TestDriver::read("woerter_frm", "Button_6", "ToolTip").toString(), "Delete");
    EXPECT_EQ(TestDriver::read("woerter_frm", "Label_21").toString(), "search");
}

// ---- Lookups ------------------------------------------------------------------------

TEST_F(WordList, LowerCaseBeginningFindsEveryCaseGreenWithTheCountAndEmptiesTheOtherBox) {
    Open(kFruit);
    TestDriver::typeInto("woerter_frm", "Text_13", "pear");
    LookUpGerman("äp");

    EXPECT_EQ(ListedPairs(), QStringList({"Äpfel = apples"}));
    EXPECT_EQ(PairShown(), "Äpfel = apples");
    EXPECT_EQ(BoxColour("Text_12"), kGreen);
    EXPECT_EQ(Status(), "1 Wörter gefunden");
    EXPECT_EQ(THE_ANZAHL, 1);
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_13").toString(), "");
    EXPECT_EQ(BoxColour("Text_13"), kWhite);
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));

    LookUpGerman("APF");
    EXPECT_EQ(ListedPairs(), QStringList({"Apfel = apple", "apfelgrün = apple green"}));
    EXPECT_EQ(Status(), "2 Wörter gefunden");
}

TEST_F(WordList, MissIsRedWithNoneFoundListsEveryPairAndSelectsTheNextWord) {
    Open(kFruit);
    LookUpGerman("Banane");

    EXPECT_EQ(BoxColour("Text_12"), kRed);
    EXPECT_EQ(Status(), "0 Wörter gefunden");
    EXPECT_EQ(ListedPairs().size(), 5);
    EXPECT_EQ(PairShown(), "Birne = pear");
    EXPECT_TRUE(Enabled("Button_5"));

    // After the last word (Ä sorts after Z, Ü after Ä) there is no pair to
    // select: the edit frame is empty, its buttons off, and the add button
    // still takes a new pair.
    LookUpGerman("übel");
    EXPECT_EQ(BoxColour("Text_12"), kRed);
    EXPECT_EQ(PairShown(), " = ");
    EXPECT_FALSE(Enabled("Button_5"));
    EXPECT_FALSE(Enabled("Button_6"));
    EXPECT_TRUE(Enabled("Button_7"));
}

TEST_F(WordList, EmptyTextListsEveryPairInWhite) {
    Open(kFruit);
    LookUpGerman("bir");
    ASSERT_EQ(BoxColour("Text_12"), kGreen);
    LookUpGerman("   ");

    EXPECT_EQ(BoxColour("Text_12"), kWhite);
    EXPECT_EQ(ListedPairs().size(), 5);
    EXPECT_EQ(Status(), "5 Wörter gefunden");
    EXPECT_EQ(PairShown(), "Apfel = apple");
}

TEST_F(WordList, EnglishLookupListsInEnglishOrderAndTheNextGermanOneInGermanOrderAgain) {
    Open(kFruit);
    TestDriver::typeInto("woerter_frm", "Text_12", "bir");
    LookUpEnglish("APPLE");
    EXPECT_EQ(ListedPairs(),
              QStringList({"Apfel = apple", "apfelgrün = apple green", "Äpfel = apples"}));
    EXPECT_EQ(BoxColour("Text_13"), kGreen);
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_12").toString(), "");

    LookUpGerman("");
    EXPECT_EQ(ListedPairs().first(), "Apfel = apple");
    EXPECT_EQ(ListedPairs().last(), "Äpfel = apples");
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_13").toString(), "");
}

TEST_F(WordList, TypingAloneLooksNothingUp) {
    Open(kFruit);
    TestDriver::typeInto("woerter_frm", "Text_12", "zit");
    TestDriver::typeInto("woerter_frm", "Text_13", "lem");
    EXPECT_EQ(ListedPairs().size(), 5);
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 5");
}

// Enter in a lookup box runs its lookup, as the search button beside it does.
TEST_F(WordList, EnterInALookupBoxLooksUpAsItsButtonDoes) {
    Open(kFruit);
    TestDriver::typeInto("woerter_frm", "Text_12", "APF");
    QTest::keyClick(TestDriver::widget("woerter_frm", "Text_12"), Qt::Key_Return);
    EXPECT_EQ(ListedPairs(), QStringList({"Apfel = apple", "apfelgrün = apple green"}));
    EXPECT_EQ(Status(), "2 Wörter gefunden");
    TestDriver::typeInto("woerter_frm", "Text_13", "pear");
    QTest::keyClick(TestDriver::widget("woerter_frm", "Text_13"), Qt::Key_Enter);
    EXPECT_EQ(BoxColour("Text_13"), kGreen);
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_12").toString(), "");
}

// ---- Editing ---------------------------------------------------------------------------

TEST_F(WordList, EditedPairIsFoundAtOnceByTheLookupWhoseIndexWasNotInUse) {
    Open(kFruit);
    LookUpGerman("bir");
    TestDriver::clearText("woerter_frm", "Text_15");
    TestDriver::typeInto("woerter_frm", "Text_15", "  Williams pear ");
    TestDriver::click("woerter_frm", "Button_5");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Daten wurden hinzugefügt."}));
    EXPECT_EQ(ListedPairs(), QStringList({"Birne = Williams pear"}));

    LookUpEnglish("willi");
    EXPECT_EQ(BoxColour("Text_13"), kGreen);
    EXPECT_EQ(ListedPairs(), QStringList({"Birne = Williams pear"}));
    LookUpEnglish("pear");
    EXPECT_EQ(BoxColour("Text_13"), kRed);

    // And the other way round, saved twice in a row.
    LookUpEnglish("lemon");
    TestDriver::clearText("woerter_frm", "Text_14");
    TestDriver::typeInto("woerter_frm", "Text_14", "Limone");
    TestDriver::click("woerter_frm", "Button_5");
    TestDriver::clearText("woerter_frm", "Text_14");
    TestDriver::typeInto("woerter_frm", "Text_14", "Limette");
    TestDriver::click("woerter_frm", "Button_5");
    LookUpGerman("lim");
    EXPECT_EQ(ListedPairs(), QStringList({"Limette = lemon"}));
    TestDriver::closeWindow("woerter_frm");
    EXPECT_TRUE(StoredPairs().contains("Limette = lemon"));
    EXPECT_TRUE(StoredPairs().contains("Birne = Williams pear"));
}

TEST_F(WordList, SavingOrAddingWithAMissingWordIsRefusedAndWritesNothing) {
    Open(kFruit);
    TestDriver::clearText("woerter_frm", "Text_15");
    TestDriver::typeInto("woerter_frm", "Text_15", "   ");
    TestDriver::click("woerter_frm", "Button_5");
    AddPair("Kirsche", "");
    AddPair("", "cherry");
    const QString refusal = "MSGEXCLAMATION: Bitte Wort auf deutsch und englisch eingeben";
    EXPECT_EQ(TakeMessages(), QStringList({refusal, refusal, refusal}));
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
    TestDriver::closeWindow("woerter_frm");
    EXPECT_EQ(StoredPairs().size(), 5);
    EXPECT_TRUE(StoredPairs().contains("Apfel = apple"));
}

// ---- Adding ----------------------------------------------------------------------------

TEST_F(WordList, AddingSelectsThePairSelectedBeforeAndCountsOneMore) {
    Open(kFruit);
    SelectGerman("Birne");
    AddPair(" Kirsche ", "cherry");

    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Daten wurden hinzugefügt."}));
    EXPECT_EQ(PairShown(), "Birne = pear");
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 6");
    EXPECT_TRUE(ListedPairs().contains("Kirsche = cherry"));
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_16").toString(), "");
    EXPECT_EQ(TestDriver::read("woerter_frm", "Text_17").toString(), "");
    EXPECT_FALSE(TestDriver::isShown("woerter_frm", "ProgressBar_1"));
    LookUpEnglish("cher");
    EXPECT_EQ(ListedPairs(), QStringList({"Kirsche = cherry"}));
}

TEST_F(WordList, EmptyDictionaryTakesItsFirstPairAndSelectsIt) {
    Open({});
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 0");
    EXPECT_FALSE(Enabled("Button_5"));
    EXPECT_FALSE(Enabled("Button_6"));
    EXPECT_TRUE(Enabled("Button_7"));

    AddPair("Haus", "house");
    EXPECT_EQ(ListedPairs(), QStringList({"Haus = house"}));
    EXPECT_EQ(TestDriver::read("woerter_frm", "Browse_2").toInt(), 1);
    EXPECT_EQ(PairShown(), "Haus = house");
    EXPECT_TRUE(Enabled("Button_5"));
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 1");
}

TEST_F(WordList, PairAddedAfterALookupThatEndedPastTheLastWordIsSelected) {
    Open(kFruit);
    LookUpGerman("übel");
    AddPair("Zwetschge", "plum");
    EXPECT_EQ(PairShown(), "Zwetschge = plum");
    EXPECT_EQ(TestDriver::read("woerter_frm", "Browse_2").toInt(), 6);
}

TEST_F(WordList, PairAddedAfterAnEnglishLookupJoinsItsMatchesInGermanOrder) {
    Open(kFruit);
    LookUpEnglish("app");
    AddPair("Apfelbaum", "apple tree");
    EXPECT_EQ(ListedPairs(), QStringList({"Apfel = apple", "Apfelbaum = apple tree",
                                          "apfelgrün = apple green", "Äpfel = apples"}));
    AddPair("Kirsche", "cherry");
    EXPECT_FALSE(ListedPairs().contains("Kirsche = cherry"));
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 7");
}

// ---- Deleting --------------------------------------------------------------------------

TEST_F(WordList, DeletingAsksFirstThenShowsTheNewCountAndTheFirstPair) {
    Open(kFruit);
    SelectGerman("Birne");
    driver_.answerNext(false);
    TestDriver::click("woerter_frm", "Button_6");
    EXPECT_EQ(ListedPairs().size(), 5);
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Birne löschen?"}));

    TestDriver::click("woerter_frm", "Button_6");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGYESNO: Birne löschen?", "MSGEXCLAMATION: Daten wurden gelöscht."}));
    EXPECT_FALSE(ListedPairs().contains("Birne = pear"));
    EXPECT_EQ(PairShown(), "Apfel = apple");
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");

    // Among the pairs a lookup found, the count is of those found.
    LookUpGerman("apf");
    TestDriver::click("woerter_frm", "Button_6");
    EXPECT_EQ(Status(), "1 Wörter gefunden");
    EXPECT_EQ(ListedPairs(), QStringList({"apfelgrün = apple green"}));

    TestDriver::closeWindow("woerter_frm");
    EXPECT_TRUE(StoredPairs().contains("-Birne = pear"));
    OPENFORM_WOERTER();
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 3");
    TestDriver::closeWindow("woerter_frm");
    EXPECT_EQ(StoredPairs().size(), 3);
}

TEST_F(WordList, CtrlZTakesBackThisOpeningsDeletionsAndAReopenedWindowLeavesThemInTheTrash) {
    KeepPackedRecordsOf({"de_en.dbf"});
    Open(kFruit);
    const auto ctrlZ = [] {
        DOMETHOD("woerter_frm", "Browse_2", "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    };
    for (const char* german : {"Birne", "Zitrone"}) {
        SelectGerman(german);
        driver_.answerNext(true);
        TestDriver::click("woerter_frm", "Button_6");
    }
    TakeMessages();
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 3");
    ctrlZ();
    EXPECT_EQ(PairShown(), "Zitrone = lemon");
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");
    ctrlZ();
    EXPECT_EQ(PairShown(), "Birne = pear");
    EXPECT_EQ(ListedPairs().size(), 5);
    ctrlZ();  // nothing more to take back
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 5");
    EXPECT_TRUE(TakeMessages().isEmpty());

    // Deleted again and the window opened anew: the pair is packed away into
    // the trash (alone: the other pairs stay out of it), and comes back from there.
    SelectGerman("Birne");
    driver_.answerNext(true);
    TestDriver::click("woerter_frm", "Button_6");
    TestDriver::closeWindow("woerter_frm");
    OPENFORM_WOERTER();
    ctrlZ();
    EXPECT_EQ(Status(), "Fertig. Anzahl der Daten: 4");
    TestDriver::closeWindow("woerter_frm");
    const QList<TrashedRecord> trashed = TrashedRecordsOf("de_en.dbf", {"DE"});
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_EQ(trashed[0].values.value("DE").toString().trimmed(), "Birne");
    DBCLOSEALL();
    EXPECT_EQ(RestoreFromTrash("de_en.dbf", {trashed[0].row}), 1);
    EXPECT_EQ(StoredPairs().size(), 5);
    KeepPackedRecordsOf({});
}

}  // namespace
