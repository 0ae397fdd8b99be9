// The search over everything: what it finds in the installed tables, and the
// box and list of the main window as a user drives them by keyboard.
#include "shell/everything_search.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/everything_panel.h"
#include "shell/language.h"
#include "tests/shell/installed_program.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QListView>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

namespace {

using kesp::test::TestDriver;

class EverythingSearchTest : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"},
                                     {"NACHNAME", "Müller"},
                                     {"STRASSE", "Hauptstraße 3"},
                                     {"FREE04", "sailing"}});
        AddRecord("adressen_g.dbf",
                  {{"VORNAME", "Max"}, {"NACHNAME", "Mueller"}, {"STRASSE", "Hauptstrasse 9"}});
        AddRecord("adressen_g.dbf", {{"VORNAME", "Gone"}, {"NACHNAME", "Müller"}});
        DeleteRecords("adressen_g.dbf",
                      [] { return FIELD("VORNAME").toString().startsWith("Gone"); });
        AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 24)},
                                {"N_TITEL", "Einkauf"},
                                {"N_TEXT", "Müller anrufen\nund Brot"}});
        AddRecord("agenda.dbf", {{"DATUM", QDate(2025, 12, 24)},
                                 {"STUN", "18"},
                                 {"MINU", "00"},
                                 {"TERMIN", "Bescherung"}});
        AddRecord("internet.dbf", {{"N_TITEL", "Café Crème"}, {"N_HYPER", "https://example.org"}});
    }

    // The groups as "kind: name" per result.
    static QStringList Found(const QString& typed) {
        QStringList found;
        for (const SearchGroup& group : SearchEverything(typed))
            for (const auto& shown : group.corpus->Show(group.matches.records, FoldedWords(typed)))
                found.append(group.corpus->kind().id + ": " + shown.value().name);
        return found;
    }

    // "Baum 1" = "tree 1" up to the count, in the dictionary.
    void AddPairs(const QString& german, const QString& english, int count) {
        DBUSEAREA(false, DataFile("de_en.dbf"), "t");
        for (int n = 1; n <= count; ++n) {
            DBAPPEND();
            REPLACE("DE", QString("%1 %2").arg(german).arg(n));
            REPLACE("EN", QString("%1 %2").arg(english).arg(n));
        }
        DBCOMMIT();
        DBCLOSEALL();
    }

    static void WaitForTheSearch() {
        for (int i = 0; i < 1000 && EverythingSearchRunning(); ++i)
            QApplication::processEvents();
        ASSERT_FALSE(EverythingSearchRunning());
    }

    // The control that has the focus in the main window, active or not.
    static QWidget* Focused() { return TestDriver::widget("haupt")->focusWidget(); }

    static QListView* ResultList() {
        return qobject_cast<QListView*>(TestDriver::widget("haupt", "List_alles"));
    }
    static QStringList ListLines() {
        QStringList lines;
        QAbstractItemModel* model = ResultList()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            lines.append(model->index(row, 0).data().toString());
        return lines;
    }
};

TEST_F(EverythingSearchTest, EveryWordInAnyFieldAndOrderFoldedOverCaseAccentsAndUmlauts) {
    OpenMainWindow();
    const QStringList annaAndMax{"private: Anna Müller", "business: Max Mueller"};
    EXPECT_EQ(Found("mueller strasse"), annaAndMax);
    EXPECT_EQ(Found("muller STRASSE"), QStringList{"private: Anna Müller"})
        << "\"muller\" is Müller, not Mueller";
    EXPECT_EQ(Found("haupt müller"), annaAndMax) << "ü also stands for ue";
    EXPECT_EQ(Found("hauptstraße"), annaAndMax) << "ß is ss both ways";
    EXPECT_EQ(Found("cafe creme"), QStringList{"bookmarks: Café Crème"});
    EXPECT_EQ(Found("hobbies sail"), QStringList{"private: Anna Müller"})
        << "the name the user gave the field is searched with its value";
    EXPECT_EQ(Found("brot anrufen"), QStringList{"notes: Einkauf"}) << "memo text, any order";
    EXPECT_TRUE(Found("gone").isEmpty()) << "a record marked deleted is not found";
    EXPECT_TRUE(Found("anna zebra").isEmpty()) << "every word must occur";

    const std::vector<SearchGroup> groups = SearchEverything("müller");
    EXPECT_EQ(EverythingResultLines(groups, FoldedWords("müller")),
              (QStringList{"Contacts(friends) (1)", "  Anna Müller — Müller",
                           "Contacts (Business) (1)", "  Max Mueller — Mueller", "Notes (1)",
                           "  Einkauf — Müller anrufen und Brot"}));
}

TEST_F(EverythingSearchTest, DatesAreFoundAsTypedInTheLanguageAndChangesAtTheNextSearch) {
    OpenMainWindow();
    for (const auto& [language, typed] :
         {std::pair{"DE", "24.12"}, std::pair{"AM", "12/24"}, std::pair{"BR", "24/12"}}) {
        SCOPED_TRACE(language);
        CHANGE_LANG(language);
        EXPECT_EQ(Found(typed),
                  (QStringList{"agenda: " + DTOC(QDate(2025, 12, 24)) + " 18:00 Bescherung",
                               "notes: Einkauf"}));
    }
    // A record written meanwhile, by the program or another, is found at once.
    AddRecord("notiz.dbf", {{"N_TITEL", "Zebra"}});
    EXPECT_EQ(Found("zebra"), QStringList{"notes: Zebra"});
    DeleteRecords("notiz.dbf", [] { return FIELD("N_TITEL").toString().startsWith("Zebra"); });
    EXPECT_TRUE(Found("zebra").isEmpty());
}

TEST_F(EverythingSearchTest, TheDictionaryListsItsFirstFiftyPairsAndCountsTheRest) {
    AddPairs("Baum", "tree", 60);
    OpenMainWindow();
    const std::vector<SearchGroup> groups = SearchEverything("baum");
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].matches.total, 60);
    EXPECT_EQ(groups[0].matches.records.size(), 50u);
    const QStringList lines = EverythingResultLines(groups, FoldedWords("baum"));
    EXPECT_EQ(lines.first(), "Dictionary (60)");
    EXPECT_EQ(lines.at(1), "  Baum 1 = tree 1 — Baum 1");
    EXPECT_EQ(lines.last(), "  … the first 50 of 60");
}

TEST_F(EverythingSearchTest, AMemoBeyondItsFileIsNamedOnceAndTheRestIsFound) {
    AddRecord("notiz.dbf", {{"N_TITEL", "Kaputt"}, {"N_TEXT", "Müller verloren"}});
    AddRecord("notiz.dbf", {{"N_TITEL", "Heil"}, {"N_TEXT", "Müller gefunden"}});
    PointMemoBeyondItsFile("notiz.dbf", 2, "N_TEXT");
    OpenMainWindow();
    EXPECT_EQ(Found("müller"), (QStringList{"private: Anna Müller", "business: Max Mueller",
                                            "notes: Einkauf", "notes: Heil"}));
    EXPECT_EQ(Found("kaputt"), QStringList{"notes: Kaputt"}) << "its other fields are searched";

    EverythingSearch search("müller");
    while (!search.Step(QDeadlineTimer(QDeadlineTimer::Forever))) {
    }
    ASSERT_EQ(search.unreadable().size(), 1u);
    EXPECT_EQ(search.unreadable()[0]->kind().id, "notes");
    const QString told = "Some notes in Notes (notiz.dbf) cannot be read; they were not searched.";
    EXPECT_EQ(UnreadableMemosText(*search.unreadable()[0]), told);

    // The box tells it once among the results, in the language in force.
    TestDriver::typeInto("haupt", "s_alles", "müller");
    WaitForTheSearch();
    EXPECT_EQ(ListLines().count(told), 1) << ListLines().join("|").toStdString();
    EXPECT_TRUE(ListLines().contains("Notes (2)"));
    CHANGE_LANG("DE");
    TestDriver::clearText("haupt", "s_alles");
    TestDriver::typeInto("haupt", "s_alles", "zebra");
    WaitForTheSearch();
    EXPECT_EQ(ListLines(),
              (QStringList{"Einige Notizen in Notizen (notiz.dbf) können nicht gelesen werden; sie "
                           "wurden nicht durchsucht.",
                           "Nichts gefunden."}));
}

TEST_F(EverythingSearchTest, ByKeyboardFromTheBoxToARecordAndBack) {
    OpenMainWindow();
    QWidget* box = TestDriver::widget("haupt", "s_alles");
    QTest::keyClick(TestDriver::widget("haupt"), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(Focused(), box);
    TestDriver::typeInto("haupt", "s_alles", "müller");
    WaitForTheSearch();
    EXPECT_TRUE(ResultList()->isVisible());
    EXPECT_EQ(ListLines().first(), "Contacts(friends) (1)");

    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(Focused(), ResultList());
    EXPECT_EQ(ResultList()->currentIndex().row(), 1) << "the first result, under its heading";
    QTest::keyClick(ResultList(), Qt::Key_Down);  // over the business heading
    EXPECT_EQ(ResultList()->currentIndex().row(), 3);
    QTest::keyClick(ResultList(), Qt::Key_Return);
    ASSERT_TRUE(TestDriver::isOpen("form2"));
    EXPECT_EQ(FIELD("adressen_g->NACHNAME").toString().trimmed(), "Mueller");
    TestDriver::closeWindow("form2");
    EXPECT_EQ(ListLines().size(), 6) << "the results as they were";
    EXPECT_EQ(ResultList()->currentIndex().row(), 3);

    QTest::keyClick(ResultList(), Qt::Key_Escape);
    EXPECT_EQ(Focused(), box);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_TRUE(TestDriver::read("haupt", "s_alles").toString().isEmpty());
    EXPECT_FALSE(ResultList()->isVisible());
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_NE(Focused(), box) << "a second Escape leaves the box";
}

TEST_F(EverythingSearchTest, ReadAheadAtTheStartLeavesNothingToReadForTheFirstSearch) {
    OpenMainWindow();
    ASSERT_EQ(Found("müller").size(), 3);
    // A table changed after that search: its copy is read anew, ahead.
    AddRecord("notiz.dbf", {{"N_TITEL", "Müllerin"}});
    ReadAheadForEverythingSearch();
    const auto notes = std::find_if(SearchCorpora().begin(), SearchCorpora().end(),
                                    [](const KindCorpus& c) { return c.kind().id == "notes"; });
    ASSERT_NE(notes, SearchCorpora().end());
    for (int i = 0; i < 1000 && notes->size() != 2; ++i)
        QApplication::processEvents();
    EXPECT_EQ(notes->size(), 2u) << "read without a keystroke and without the box's focus";
    EXPECT_NE(Focused(), TestDriver::widget("haupt", "s_alles"));

    // The box's results are those of the whole search read on demand.
    TestDriver::typeInto("haupt", "s_alles", "müller");
    WaitForTheSearch();
    QStringList whole = EverythingResultLines(SearchEverything("müller"), FoldedWords("müller"));
    for (QString& line : whole)
        line = line.trimmed();
    EXPECT_EQ(ListLines(), whole);
    EXPECT_TRUE(whole.contains("Notes (2)"));
}

// The notes' copy, and what a copy read afresh finds in the table as it is now.
const KindCorpus& NotesCorpus() {
    return *std::find_if(SearchCorpora().begin(), SearchCorpora().end(),
                         [](const KindCorpus& c) { return c.kind().id == "notes"; });
}
KindCorpus::Matches FoundAfresh(const QString& typed) {
    KindCorpus fresh(NotesCorpus().kind());
    EXPECT_EQ(fresh.ReadOn(QDeadlineTimer(QDeadlineTimer::Forever)), KindCorpus::Reading::Done);
    return fresh.Find(FoldedWords(typed));
}

TEST_F(EverythingSearchTest, RecordsChangedWhileTheCopyIsReadAreFoundAsAFreshReadFindsThem) {
    // Notes over several parts of the copy, every seventh about the garden.
    DBUSEAREA(false, DataFile("notiz.dbf"), "n");
    for (int n = 1; n <= 3500; ++n) {
        DBAPPEND();
        REPLACE("N_TITEL", QString("Titel %1").arg(n));
        REPLACE("N_TEXT", n % 7 == 0 ? "Gartenzaun streichen" : "Einkauf");
    }
    DBCOMMIT();
    DBCLOSEALL();
    OpenMainWindow();
    KindCorpus& notes = const_cast<KindCorpus&>(NotesCorpus());
    // One part read, then a record changed in a later part, one deleted and
    // one appended: the reading goes on over the table as it is now.
    ASSERT_EQ(notes.ReadOn(QDeadlineTimer(0)), KindCorpus::Reading::MoreToRead);
    DBUSEAREA(false, DataFile("notiz.dbf"), "n");
    DBGOTO(1502);
    REPLACE("N_TEXT", "Gartentor ölen");
    DBGOTO(2101);
    DBDELETE();
    DBAPPEND();
    REPLACE("N_TITEL", "Neu");
    REPLACE("N_TEXT", "Gartenhaus");
    DBCOMMIT();
    DBCLOSEALL();
    TestDriver::typeInto("haupt", "s_alles", "garten");
    WaitForTheSearch();
    const KindCorpus::Matches fresh = FoundAfresh("garten");
    EXPECT_EQ(fresh.total, 3500 / 7 + 1);
    EXPECT_TRUE(ListLines().contains(QString("Notes (%1)").arg(fresh.total)));
    EXPECT_EQ(notes.Find(FoldedWords("garten")).records, fresh.records);
    EXPECT_EQ(notes.Find(FoldedWords("oelen")).records, std::vector<std::uint32_t>{1502});

    // A memo changed after the copy was read, found by the read-ahead.
    DBUSEAREA(false, DataFile("notiz.dbf"), "n");
    DBGOTO(3500);
    REPLACE("N_TEXT", "Zaun");
    DBCOMMIT();
    DBCLOSEALL();
    ReadAheadForEverythingSearch();
    for (int i = 0; i < 1000 && !notes.UpToDate(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(notes.Find(FoldedWords("garten")).records, FoundAfresh("garten").records);
    // The results listed meanwhile are read back from their records.
    EXPECT_TRUE(ListLines().contains("Titel 7 — Gartenzaun streichen"));
}

TEST_F(EverythingSearchTest, AWordIsFoundWhereverItStandsInTheFoldedText) {
    // The word at every offset against the sixteen bytes looked at together,
    // and last in the copy, where no full sixteen follow.
    for (int pad = 0; pad <= 40; ++pad)
        AddRecord("notiz.dbf", {{"N_TITEL", QString(pad, 'x') + "qz"}});
    AddRecord("notiz.dbf", {{"N_TITEL", "qQz"}});
    OpenMainWindow();
    const KindCorpus::Matches found = FoundAfresh("qz");
    EXPECT_EQ(found.total, 42);
    EXPECT_EQ(FoundAfresh("xqz").total, 40);
    EXPECT_EQ(FoundAfresh("qqz").total, 1) << "a first byte that repeats";
    EXPECT_EQ(FoundAfresh("zq").total, 0);
}

TEST_F(EverythingSearchTest, TheCopyIsReadAheadWhenTheMainWindowComesBackFromARecordWindow) {
    OpenMainWindow();
    ReadAheadForEverythingSearch();
    for (int i = 0; i < 1000 && !NotesCorpus().UpToDate(); ++i)
        QApplication::processEvents();
    AddRecord("notiz.dbf", {{"N_TITEL", "Müllerin"}});
    OpenRecordKindOn(RecordKindNamed("business"), 1);
    ASSERT_TRUE(TestDriver::isOpen("form2"));
    TestDriver::closeWindow("form2");
    for (int i = 0; i < 1000 && !NotesCorpus().UpToDate(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(NotesCorpus().size(), 2u) << "read without the box's focus or a keystroke";
    EXPECT_NE(Focused(), TestDriver::widget("haupt", "s_alles"));
}

TEST_F(EverythingSearchTest, IsPicturedWithItsResultsInEveryLanguage) {
    OpenMainWindow();
    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        CHANGE_LANG(code);
        TestDriver::clearText("haupt", "s_alles");
        TestDriver::typeInto("haupt", "s_alles", "müller");
        WaitForTheSearch();
        EXPECT_EQ(ResultList()->accessibleName(),
                  TEXT({"Suchergebnisse", "Search results", "Resultados da pesquisa"}));
        ASSERT_TRUE(kesp::SaveWindowScreenshot("haupt", folder + "/haupt_search_" + code + ".png"));
    }
}

TEST_F(EverythingSearchTest, ANewKeystrokeDropsTheSearchStillRunning) {
    AddPairs("Wort", "word", 20000);
    OpenMainWindow();
    // No events between the two keystrokes: the first search gets no step
    // beyond its first one.
    TestDriver::typeInto("haupt", "s_alles", "wort 1");
    TestDriver::typeInto("haupt", "s_alles", "9999");
    WaitForTheSearch();
    EXPECT_EQ(ListLines(), (QStringList{"Dictionary (1)", "Wort 19999 = word 19999 — Wort 19999"}));
}

TEST_F(EverythingSearchTest, AGroupShowsWhatItFoundSoFarAndEndsAsAWholeSearchShowsIt) {
    AddPairs("Wort", "word", 20000);
    OpenMainWindow();
    // What the list shows after each turn of the loop: a heading counting on
    // above the results found so far, each a beginning of the whole list.
    // Steps short enough for a few parts of the copy each.
    QList<QStringList> seen;
    SetEverythingSearchStepForTests(std::chrono::microseconds(300));
    TestDriver::typeInto("haupt", "s_alles", "wort");
    for (int i = 0; i < 100000 && EverythingSearchRunning(); ++i) {
        seen.append(ListLines());
        QApplication::processEvents();
    }
    SetEverythingSearchStepForTests({});
    ASSERT_FALSE(EverythingSearchRunning());
    const QStringList whole = ListLines();
    ASSERT_EQ(whole.size(), 52);
    EXPECT_EQ(whole.first(), "Dictionary (20000)");
    EXPECT_EQ(whole.last(), "… the first 50 of 20000");
    const auto counting = [](const QStringList& shown) {
        return !shown.isEmpty() && shown.first().endsWith(" …)");
    };
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), counting)) << "shown while found";
    for (const QStringList& shown : seen) {
        if (shown.isEmpty()) continue;
        EXPECT_TRUE(shown.first().startsWith("Dictionary (")) << shown.first().toStdString();
        EXPECT_LE(shown.size(), whole.size());
        EXPECT_EQ(shown.mid(1), whole.mid(1, shown.size() - 1));
    }
}

}  // namespace
