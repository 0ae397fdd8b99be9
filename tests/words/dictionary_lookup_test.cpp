// Looking the dictionary up from outside the word list: the headwords of a
// side and their keys, the base forms of inflected words, the index of
// headwords and its side file, the lookup of a selection and the nearest
// headwords offered for a word the dictionary lacks.
#include "apps/words/dictionary_lookup.h"
#include "apps/words/dictionary_index_build.h"
#include "apps/words/headwords.h"
#include "apps/words/word_index.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/words/word_list_fixture.h"

#include <QFile>
#include <QThread>

namespace {

TEST(Headwords, AreTheAlternativesWithoutTheirNotes) {
    EXPECT_EQ(Headwords("Straße {f} (in der Stadt); Weg {m} [geogr.]; Straße"),
              QStringList({"Straße", "Weg"}));
    EXPECT_EQ(Headwords("aortic valve replacement /AVR/"),
              QStringList({"aortic valve replacement"}));
    EXPECT_EQ(Headwords("axis of twofold/binary symmetry"),
              QStringList({"axis of twofold/binary symmetry"}));
    EXPECT_EQ(Headwords("(persönliche) Sympathie {f} (für jdn.)"), QStringList({"Sympathie"}));
    EXPECT_EQ(Headwords("münden {vt} (in; auf) (Weg; Straße)"), QStringList({"münden"}))
        << "a semicolon inside a note separates nothing";
    EXPECT_TRUE(Headwords(" {pl} ; [ugs.]").isEmpty());
}

TEST(Headwords, KeysFoldCaseAccentsAndBothUmlautForms) {
    EXPECT_EQ(HeadwordKeys("Straße"), QList<QByteArray>({"strasse"}));
    EXPECT_EQ(HeadwordKeys("Müller"), QList<QByteArray>({"muller", "mueller"}));
    EXPECT_EQ(HeadwordKeys("Café  crème"), QList<QByteArray>({"cafe creme"}));
    EXPECT_EQ(HeadwordKeys("to go"), QList<QByteArray>({"to go", "go"}));
    EXPECT_TRUE(HeadwordKeys("...").isEmpty());
    EXPECT_EQ(TypedKey("  STRASSE "), "strasse");
}

TEST(BaseForms, UndoTheSimpleEndingsOfBothLanguages) {
    const auto has = [](const char* word, const char* base) {
        return BaseForms(word).contains(QByteArray(base));
    };
    EXPECT_TRUE(has("houses", "house"));
    EXPECT_TRUE(has("boxes", "box"));
    EXPECT_TRUE(has("flies", "fly"));
    EXPECT_TRUE(has("stopped", "stop"));
    EXPECT_TRUE(has("loved", "love"));
    EXPECT_TRUE(has("walked", "walk"));
    EXPECT_TRUE(has("running", "run"));
    EXPECT_TRUE(has("making", "make"));
    EXPECT_TRUE(has("hunde", "hund"));
    EXPECT_TRUE(has("frauen", "frau"));
    EXPECT_TRUE(has("kinder", "kind"));
    EXPECT_TRUE(has("hauses", "haus"));
    EXPECT_TRUE(has("autos", "auto"));
    EXPECT_FALSE(has("glass", "glas")) << "a double s is no plural";
    EXPECT_TRUE(BaseForms("as").isEmpty()) << "every form keeps two letters";
}

class DictionaryLookup : public WordListFixture {
  protected:
    void SetUp() override {
        WordListFixture::SetUp();
        UseLanguage("AM");
        CreateDictionary({{"Haus {n}", "house"},
                          {"Häuser {pl}", "houses"},
                          {"zu Hause", "at home"},
                          {"Straße {f} (in der Stadt)", "street"},
                          {"Hund {m}", "dog"},
                          {"gehen {vi}", "to go; to walk"},
                          {"Wörterbuch {n}", "dictionary"},
                          {"Computer {m}", "computer"},
                          {"Kompost {m}", "compost"},
                          {"Müller {m}", "miller"},
                          {"gelöscht", "deleted"}},
                         {"gelöscht"});
    }
    QString Table() const { return dataPath() + "de_en.dbf"; }
    std::unique_ptr<WordIndex> Index() {
        auto index = WordIndex::Build(Table());
        EXPECT_TRUE(index);
        return index;
    }
    QStringList Lines(const QString& text) {
        const auto index = Index();
        return AnswerLines(*index, LookUpSelection(*index, text));
    }
};

TEST_F(DictionaryLookup, FindsAWordOnEitherSideFoldedAsTheSearchFoldsIt) {
    EXPECT_EQ(Lines("strasse"), QStringList({"strasse", "  Straße {f} (in der Stadt) = street"}));
    EXPECT_EQ(Lines("STRASSE").mid(1), Lines("Straße").mid(1));
    EXPECT_EQ(Lines("house"), QStringList({"house", "  Haus {n} = house"}));
    EXPECT_EQ(Lines("mueller"), QStringList({"mueller", "  Müller {m} = miller"}));
    EXPECT_EQ(Lines("walk"), QStringList({"walk", "  gehen {vi} = to go; to walk"}))
        << "an English verb is found without its \"to\"";
    EXPECT_EQ(Lines("»Hund,«"), QStringList({"Hund", "  Hund {m} = dog"}))
        << "quotes and punctuation around the selection are left out";
    EXPECT_TRUE(Lines("deleted").first().startsWith("Nothing found")) << "a deleted pair is none";
}

TEST_F(DictionaryLookup, APhraseComesFirstThenEachOfItsWords) {
    EXPECT_EQ(Lines("zu  Hause"), QStringList({"zu Hause", "  zu Hause = at home",
                                               "Hause (base form: Haus)", "  Haus {n} = house"}));
    EXPECT_EQ(Lines("dog house"),
              QStringList({"dog", "  Hund {m} = dog", "house", "  Haus {n} = house"}));
}

TEST_F(DictionaryLookup, AnInflectedFormFallsBackToTheFormTheDictionaryHasMarkedAsSuch) {
    EXPECT_EQ(Lines("houses"), QStringList({"houses", "  Häuser {pl} = houses"}))
        << "a form the dictionary has is no inflection";
    EXPECT_EQ(Lines("dogs"), QStringList({"dogs (base form: dog)", "  Hund {m} = dog"}));
    EXPECT_EQ(Lines("Hunde"), QStringList({"Hunde (base form: Hund)", "  Hund {m} = dog"}));
    EXPECT_EQ(Lines("walked"),
              QStringList({"walked (base form: to walk)", "  gehen {vi} = to go; to walk"}));
}

TEST_F(DictionaryLookup, NothingFoundOffersTheNearestHeadwordsBestFirst) {
    EXPECT_EQ(Lines("Komputer"),
              QStringList({"Nothing found for “Komputer”.", "Did you mean …?", "  Computer"}));
    const auto index = Index();
    EXPECT_EQ(index->Closest("Wörtrebcuh").value(0), "Wörterbuch") << "two swaps, ten letters";
    EXPECT_EQ(index->Closest("Strase"), QStringList({"Straße"}));
    EXPECT_EQ(index->Closest("strasse", WordIndex::kGerman), QStringList({"Straße"}))
        << "the written form of a folded word comes first";
    EXPECT_TRUE(index->Closest("strasse", WordIndex::kEnglish).isEmpty());
    EXPECT_TRUE(index->Closest("Xylofon").isEmpty());
    EXPECT_EQ(Lines("Xylofon"),
              QStringList({"Nothing found for “Xylofon”.", "Nothing similar either."}));
}

TEST_F(DictionaryLookup, AtMostTenSuggestionsTheNearestFirst) {
    QList<Pair> pairs;
    for (int n = 0; n < 15; ++n)
        pairs.append(Pair(QString("Tisch%1").arg(QChar('a' + n)), "table"));
    pairs.append(Pair("Tisch", "table"));
    CreateDictionary(pairs);
    const QStringList near = Index()->Closest("Tiscg");
    ASSERT_EQ(near.size(), 10);
    EXPECT_EQ(near.first(), "Tisch") << "one edit before two";
}

TEST_F(DictionaryLookup, TheSideFileAnswersAsTheTableDidUntilTheTableChanges) {
    EXPECT_FALSE(WordIndex::Open(Table())) << "no side file yet";
    const auto built = Index();
    ASSERT_TRUE(built->Save());
    const auto saved = WordIndex::Open(Table());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->bytes(), built->bytes());
    EXPECT_EQ(saved->keyCount(), built->keyCount());
    for (const char* word : {"strasse", "zu Hause", "dogs", "Komputer"})
        EXPECT_EQ(AnswerLines(*saved, LookUpSelection(*saved, word)),
                  AnswerLines(*built, LookUpSelection(*built, word)))
            << word;

    QThread::msleep(20);  // a time of change of its own
    CreateDictionary({{"Katze {f}", "cat"}});
    EXPECT_FALSE(saved->Current());
    EXPECT_FALSE(WordIndex::Open(Table())) << "made from another table";
    EXPECT_TRUE(WordIndex::Open(Table(), true)) << "however old, when asked for";
    const WordIndex* index = DictionaryIndex(Table(), true);
    ASSERT_TRUE(index);
    EXPECT_EQ(index->PairsWithKey("katze"), std::vector<int>{1});
    EXPECT_TRUE(WordIndex::Open(Table())) << "built anew and saved";
}

// Built on a worker from the records taken at its start: the side file and
// the answers are those of the index built at once, and it is kept.
TEST_F(DictionaryLookup, TheIndexBuiltOnAWorkerIsTheOneBuiltAtOnce) {
    BuildDictionaryIndexInBackground(Table());
    EXPECT_TRUE(DictionaryIndexComing());
    WaitForDictionaryIndex();
    const QString side = WordIndex::SideFilePath(Table());
    QFile file(side);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray fromWorker = file.readAll();
    file.close();
    const WordIndex* kept = CurrentDictionaryIndex(Table());
    ASSERT_TRUE(kept);
    const auto atOnce = Index();
    ASSERT_TRUE(QFile::remove(side));
    ASSERT_TRUE(atOnce->Save());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), fromWorker);
    for (const char* word : {"strasse", "zu Hause", "dogs", "Komputer", "deleted", "Wörtrebcuh"})
        EXPECT_EQ(AnswerLines(*kept, LookUpSelection(*kept, word)),
                  AnswerLines(*atOnce, LookUpSelection(*atOnce, word)))
            << word;
    EXPECT_EQ(kept->Closest("Strase"), QStringList({"Straße"}));

    BuildDictionaryIndexInBackground(Table());
    EXPECT_FALSE(DictionaryIndexComing()) << "current: nothing to build";
    QThread::msleep(20);
    CreateDictionary({{"Katze {f}", "cat"}});
    DBUSEAREA(false, Table(), "held");
    BuildDictionaryIndexInBackground(Table());
    EXPECT_FALSE(DictionaryIndexComing()) << "the table held: left for the next opening";
    DBCLOSEAREA();
}

TEST_F(DictionaryLookup, ADamagedSideFileIsNotReadAndBuiltAnew) {
    ASSERT_TRUE(Index()->Save());
    const QString side = WordIndex::SideFilePath(Table());
    QFile file(side);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    for (const qint64 cut : {qint64(0), qint64(40), size / 2, size - 1}) {
        ASSERT_TRUE(file.resize(cut));
        EXPECT_FALSE(WordIndex::Open(Table(), true)) << "cut to " << cut;
    }
    file.close();
    const auto rebuilt = WordIndex::OpenOrBuild(Table());
    ASSERT_TRUE(rebuilt);
    EXPECT_EQ(rebuilt->PairsWithKey("hund").size(), 1u);
}

// Every byte of the side file changed in turn: whatever the file then says,
// a lookup and a suggestion read only inside it, and never crash.
TEST_F(DictionaryLookup, AnyByteOfTheSideFileChangedGivesAnswersButNeverACrash) {
    ASSERT_TRUE(Index()->Save());
    const QString side = WordIndex::SideFilePath(Table());
    QFile file(side);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray sound = file.readAll();
    file.close();
    int opened = 0;
    for (qsizetype at = 0; at < sound.size(); ++at) {
        QByteArray damaged = sound;
        damaged[at] = static_cast<char>(damaged[at] ^ 0xA5);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        const auto index = WordIndex::Open(Table(), true);
        if (!index) continue;
        ++opened;
        for (const char* text : {"strasse", "zu Hause", "dogs", "Komputer", "Wörtrebcuh"})
            AnswerLines(*index, LookUpSelection(*index, text));
    }
    EXPECT_GT(opened, sound.size() / 2) << "most changes pass for an index";
}

TEST_F(DictionaryLookup, PairsAreFoundOnTheSidesAsked) {
    const auto index = Index();
    EXPECT_EQ(index->PairsWithKey("computer").size(), 1u);
    EXPECT_EQ(index->PairsWithKey("computer", WordIndex::kGerman),
              index->PairsWithKey("computer", WordIndex::kEnglish));
    EXPECT_TRUE(index->PairsWithKey("house", WordIndex::kGerman).empty());
    EXPECT_EQ(index->PairOf(4).german, "Straße {f} (in der Stadt)");
    EXPECT_EQ(index->PairOf(999).record, 0);
}

}  // namespace
