// Tips and tricks driven through their window: what they do beyond the shared
// record window. The word search copies each matching tip once into the
// result table and shows that table instead of the collection; Save and
// Delete in the result view reach the collection; Save new and Delete end the
// result view; the export writes the table shown, byte for byte.
#include "apps/tips/tips.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QApplication>
#include <QColor>
#include <QDir>

#include <QTest>
#include <tuple>

namespace {

using kesp::test::TestDriver;

const QString kWindow = "tipps";
const QColor kGreen{0, 255, 0};
const QColor kRed{255, 0, 0};
const QColor kWhite{255, 255, 255};

QString Value(const QString& control) {
    return TestDriver::read(kWindow, control).toString();
}
QColor SearchColour() {
    return TestDriver::read(kWindow, "Text_s", "backcolor").value<QColor>();
}
QStringList Titles() {
    return RecordFixture::ListRows(kWindow, "Browse_2");
}
void Search(const QString& words) {
    TestDriver::clearText(kWindow, "Text_s");
    TestDriver::typeInto(kWindow, "Text_s", words);
    TestDriver::click(kWindow, "Button_1");
}
void Retype(const QString& control, const QString& text) {
    TestDriver::clearText(kWindow, control);
    TestDriver::typeInto(kWindow, control, text);
}

struct Tip {
    QString title;
    QString description;
};

class TipsWindow : public RecordFixture {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        InstallTable("ergeb.dbf");
        WriteTips({{"Netzwerk", "Kabel prüfen"},
                   {"E-Mail im Netz", "Postfach;\r\nServer \"smtp\""},
                   {"Mailbox", "voll"},
                   {"Drucker", "Papier\r\nnachlegen"}});
    }

    void WriteTips(const QList<Tip>& tips) {
        InstallTable("Tricks.dbf");
        DBUSEAREA(false, dataPath() + "Tricks.dbf", "fixture");
        for (const Tip& tip : tips) {
            DBAPPEND();
            REPLACE("TITEL", tip.title);
            REPLACE("BEZ", tip.description);
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }

    // The tips as stored, in record order, "-" before one marked deleted;
    // read after the window has closed.
    QStringList Stored(const QString& table = "Tricks.dbf") {
        DBCLOSEALL();
        SET_DELETED(false);
        DBUSEAREA(false, dataPath() + table, "stored");
        QStringList stored;
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            stored.append((DELETED() ? "-" : "") + FIELD("TITEL").toString().trimmed() + "|" +
                          FIELD("BEZ").toString());
        }
        DBCLOSEAREA();
        SET_DELETED(true);
        return stored;
    }
};

TEST_F(TipsWindow, OpensOnTheCollectionByTitleWithTheTitleSearchChosen) {
    OPENFORM_TIPPS();
    ASSERT_TRUE(TestDriver::isOpen(kWindow));
    EXPECT_EQ(Titles(), (QStringList{"Drucker", "E-Mail im Netz", "Mailbox", "Netzwerk"}));
    EXPECT_EQ(Value("Text_7"), "Drucker");
    EXPECT_EQ(Value("Edit_3"), "Papier\r\nnachlegen");
    EXPECT_EQ(Value("Label_1"), "4 Tipps in der Datenbank");
    EXPECT_EQ(Value("Label_8"), "Titel");
    EXPECT_EQ(Value("Label_2"), "nach Titel suchen");
    EXPECT_EQ(Value("RadioGroup_2"), "1");
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(WAS, 1);
    EXPECT_FALSE(TestDriver::isShown(kWindow, "btn_save"));
    EXPECT_TRUE(TestDriver::isShown(kWindow, "ToolBar_1"));
}

TEST_F(TipsWindow, WordSearchCopiesEachMatchingTipOnceAtItsFirstWord) {
    OPENFORM_TIPPS();
    Search("net mail");
    EXPECT_EQ(Value("Label_2"), "3 gefunden");
    EXPECT_EQ(SearchColour(), kGreen);
    EXPECT_TRUE(KOPIERT);
    // The tips of "net" in title order, then the tips of "mail" not yet taken.
    EXPECT_EQ(Titles(), (QStringList{"E-Mail im Netz", "Netzwerk", "Mailbox"}));
    EXPECT_EQ(Value("Text_7"), "E-Mail im Netz");
    EXPECT_EQ(Value("Label_1"), "4 Tipps in der Datenbank") << "the count line counts the tips";
    TestDriver::click(kWindow, "x4");
    EXPECT_EQ(Value("Text_7"), "Mailbox");
    TestDriver::click(kWindow, "x3");
    EXPECT_EQ(Value("Text_7"), "Mailbox") << "next on the last result stays there";
    TestDriver::click(kWindow, "x2");
    EXPECT_EQ(Value("Text_7"), "Netzwerk");
    TestDriver::click(kWindow, "x5");
    TestDriver::click(kWindow, "btn_cancel");
    EXPECT_TRUE(KOPIERT) << "New and Cancel keep the result view";
    EXPECT_EQ(Titles().size(), 3);
    EXPECT_EQ(Value("Text_7"), "Netzwerk");

    Search("mail  mail");
    EXPECT_EQ(Value("Label_2"), "2 gefunden");
    EXPECT_EQ(Titles(), (QStringList{"E-Mail im Netz", "Mailbox"}));
    EXPECT_EQ(Stored("ergeb.dbf").size(), 2) << "the result table was emptied first";
}

// Enter in the search box searches, as the search button does.
TEST_F(TipsWindow, EnterInTheSearchBoxSearches) {
    OPENFORM_TIPPS();
    TestDriver::typeInto(kWindow, "Text_s", "net");
    QTest::keyClick(TestDriver::widget(kWindow, "Text_s"), Qt::Key_Return);
    EXPECT_EQ(Value("Label_2"), "2 gefunden");
    EXPECT_EQ(SearchColour(), kGreen);
}

TEST_F(TipsWindow, AMissShowsTheCollectionInRedAndBlanksShowItInWhite) {
    OPENFORM_TIPPS();
    Search("net");
    Search("xyz");
    EXPECT_EQ(SearchColour(), kRed);
    EXPECT_EQ(Value("Label_2"), "0 gefunden");
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(Titles(), (QStringList{"Drucker", "E-Mail im Netz", "Mailbox", "Netzwerk"}));
    EXPECT_EQ(Value("Text_7"), "Drucker");

    Search("   ");
    EXPECT_EQ(SearchColour(), kWhite);
    EXPECT_EQ(Value("Label_2"), "4 gefunden");
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(Titles().size(), 4);
}

TEST_F(TipsWindow, TheDescriptionIsSearchedWithItsLineBreaksAsBlanks) {
    OPENFORM_TIPPS();
    TestDriver::select(kWindow, "RadioGroup_2", 2);
    EXPECT_EQ(WAS, 2);
    EXPECT_EQ(Value("Label_8"), "Beschreibung");
    EXPECT_EQ(Value("Label_2"), "nach Beschreibung suchen");
    EXPECT_EQ(Titles().size(), 4) << "choosing the part runs no search";

    Search("SMTP papier");
    EXPECT_EQ(Titles(), (QStringList{"E-Mail im Netz", "Drucker"}));
    EXPECT_EQ(Value("Label_2"), "2 gefunden");
    Search("netz");  // in titles only
    EXPECT_EQ(SearchColour(), kRed);

    TestDriver::select(kWindow, "RadioGroup_2", 1);
    EXPECT_EQ(Value("Label_8"), "Titel");
    Search("netz");
    EXPECT_EQ(Value("Label_2"), "2 gefunden");
}

TEST_F(TipsWindow, SaveInTheResultViewChangesTheTipInTheCollectionToo) {
    OPENFORM_TIPPS();
    Search("net mail");
    Retype("Text_7", "E-Mail im Netzwerk ");
    Retype("Edit_3", "neu");
    TestDriver::click(kWindow, "x8");
    EXPECT_TRUE(KOPIERT) << "the result view stays";
    EXPECT_EQ(Titles(), (QStringList{"E-Mail im Netzwerk", "Netzwerk", "Mailbox"}));
    EXPECT_EQ(Value("Text_7"), "E-Mail im Netzwerk");
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_2").toInt(), 1);

    // The one copy of the tip is the one edited: saving another result
    // leaves the edit in the collection.
    TestDriver::click(kWindow, "x4");
    Retype("Text_7", "Mailbox voll");
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Value("Text_7"), "Mailbox voll");
    TestDriver::closeWindow(kWindow);
    EXPECT_EQ(Stored(), (QStringList{"Netzwerk|Kabel prüfen", "E-Mail im Netzwerk|neu",
                                     "Mailbox voll|voll", "Drucker|Papier\r\nnachlegen"}));

    // Save with an empty title stores it.
    OPENFORM_TIPPS();
    Search("drucker");
    TestDriver::clearText(kWindow, "Text_7");
    TestDriver::click(kWindow, "x8");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(Titles(), QStringList{""});
    TestDriver::closeWindow(kWindow);
    EXPECT_EQ(Stored().last(), "|Papier\r\nnachlegen");
}

// After a deletion in the full view the count line takes the delete step's
// wording with the live count; opening the window again, the opening's.
TEST_F(TipsWindow, TheCountLineAfterADeletionUsesTheDeleteStepsWording) {
    for (const auto& [code, deleted, opened] :
         {std::tuple{"AM", "3 Tips & tricks in the database.", "3 tips in the database"},
          {"BR", "2 macete(s) no banco de dados.", "2 macete(s) no banco de dados"}}) {
        UseLanguage(code);
        OPENFORM_TIPPS();
        driver_.answerNext(true);
        TestDriver::click(kWindow, "x6");
        TakeMessages();
        EXPECT_EQ(Value("Label_1"), deleted);
        TestDriver::closeWindow(kWindow);
        OPENFORM_TIPPS();
        EXPECT_EQ(Value("Label_1"), opened);
        TestDriver::closeWindow(kWindow);
    }
}

TEST_F(TipsWindow, DeleteInTheResultViewRemovesTheTipAndReturnsToTheCollection) {
    OPENFORM_TIPPS();
    TestDriver::select(kWindow, "RadioGroup_2", 2);
    Search("voll kabel");
    ASSERT_EQ(Titles(), (QStringList{"Mailbox", "Netzwerk"}));
    TestDriver::click(kWindow, "x3");
    driver_.answerNext(false);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Titel: Netzwerk löschen?"});
    EXPECT_TRUE(KOPIERT) << "no changes nothing";
    EXPECT_EQ(Titles().size(), 2);

    driver_.answerNext(true);
    TestDriver::click(kWindow, "x6");
    TakeMessages();
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(Titles(), (QStringList{"Drucker", "E-Mail im Netz", "Mailbox"}));
    EXPECT_EQ(Value("Text_7"), "Drucker");
    EXPECT_EQ(Value("Text_s"), "");
    EXPECT_EQ(SearchColour(), kWhite);
    EXPECT_EQ(Value("Label_8"), "Beschreibung");
    EXPECT_EQ(Value("Label_2"), "nach Beschreibung suchen");
    EXPECT_EQ(Value("Label_1"), "3 Tipps & Tricks in der Datenbank.")
        << "the delete step's own wording, with the live count";
    TestDriver::closeWindow(kWindow);
    EXPECT_EQ(Stored()[0], "-Netzwerk|Kabel prüfen");
    EXPECT_EQ(Stored("ergeb.dbf").size(), 2) << "the results stay until the next search";

    // Opening again packs the collection and shows it, not the old results.
    OPENFORM_TIPPS();
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(Titles().size(), 3);
    EXPECT_EQ(Value("Label_8"), "Titel") << "the title search is chosen again";
}

TEST_F(TipsWindow, CtrlZAfterADeleteInTheResultViewBringsTheTipBack) {
    OPENFORM_TIPPS();
    TestDriver::select(kWindow, "RadioGroup_2", 2);
    Search("voll kabel");
    TestDriver::click(kWindow, "x3");
    driver_.answerNext(true);
    TestDriver::click(kWindow, "x6");
    TakeMessages();
    ASSERT_EQ(Titles().size(), 3);
    DOMETHOD(kWindow, "Browse_2", "SetFocus");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Titles(), (QStringList{"Drucker", "E-Mail im Netz", "Mailbox", "Netzwerk"}));
    EXPECT_EQ(Value("Text_7"), "Netzwerk");
    EXPECT_EQ(Value("Label_1").left(1), "4");
    TestDriver::closeWindow(kWindow);
    EXPECT_EQ(Stored()[0], "Netzwerk|Kabel prüfen");
}

TEST_F(TipsWindow, DeleteInTheFullViewEmptiesTheSearch) {
    OPENFORM_TIPPS();
    Search("xyz");
    driver_.answerNext(true);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Titel: Drucker löschen?"});
    EXPECT_EQ(Value("Text_s"), "");
    EXPECT_EQ(SearchColour(), kWhite);
    EXPECT_EQ(Value("Label_2"), "nach Titel suchen");
    EXPECT_EQ(Value("Label_1"), "3 Tipps & Tricks in der Datenbank.");
}

TEST_F(TipsWindow, SaveNewEndsTheResultViewAndCountsEveryTip) {
    OPENFORM_TIPPS();
    Search("mail");
    TestDriver::click(kWindow, "x5");
    EXPECT_TRUE(TestDriver::isShown(kWindow, "btn_save"));
    EXPECT_FALSE(TestDriver::isShown(kWindow, "ToolBar_1"));
    EXPECT_EQ(Value("Text_7"), "");
    TestDriver::typeInto(kWindow, "Edit_3", "ohne Titel");
    TestDriver::click(kWindow, "btn_save");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Geben Sie mindestens Titel ein."});
    EXPECT_TRUE(KOPIERT) << "a refused tip leaves the result view";
    EXPECT_TRUE(TestDriver::isShown(kWindow, "btn_save")) << "and the entry as typed";
    EXPECT_EQ(Value("Edit_3"), "ohne Titel");

    TestDriver::typeInto(kWindow, "Text_7", "Akku");
    TestDriver::click(kWindow, "btn_save");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_FALSE(KOPIERT);
    EXPECT_EQ(Titles(), (QStringList{"Akku", "Drucker", "E-Mail im Netz", "Mailbox", "Netzwerk"}));
    EXPECT_EQ(Value("Text_7"), "Akku");
    EXPECT_EQ(Value("Label_2"), "5 gefunden");
    EXPECT_EQ(Value("Label_1"), "5 Tipps in der Datenbank");
    EXPECT_EQ(SearchColour(), kWhite);
    TestDriver::closeWindow(kWindow);
    EXPECT_EQ(Stored().last(), "Akku|ohne Titel");
}

TEST_F(TipsWindow, ExportWritesTheTableShownByteForByteInEachLanguage) {
    OPENFORM_TIPPS();
    TestDriver::click(kWindow, "x3");
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: Datei Tipps.csv wurde erstellt.\n" + exportPath()});
    EXPECT_EQ(ExportedFile("Tipps.csv"),
              QByteArray("TITEL;BESCHREIBUNG;\r"
                         "Drucker;Papier nachlegen;\r"
                         "E-Mail im Netz;\"Postfach; Server \"\"smtp\"\"\";\r"
                         "Mailbox;voll;\r"
                         "Netzwerk;Kabel pr\xfc"
                         "fen;\r"));
    EXPECT_EQ(Value("Text_7"), "E-Mail im Netz") << "back on the tip shown before";
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
    TestDriver::closeWindow(kWindow);

    UseLanguage("AM");
    OPENFORM_TIPPS();
    Search("net mail");
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: File Tips.csv created.\n" + exportPath()});
    EXPECT_EQ(ExportedFile("Tips.csv"),
              QByteArray("TITLE;DESCRIPTION;\r"
                         "E-Mail im Netz;\"Postfach; Server \"\"smtp\"\"\";\r"
                         "Netzwerk;Kabel pr\xfc"
                         "fen;\r"
                         "Mailbox;voll;\r"));
    EXPECT_TRUE(KOPIERT) << "the export keeps the result view";
    TestDriver::closeWindow(kWindow);

    UseLanguage("BR");
    OPENFORM_TIPPS();
    Search("drucker");
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: Arquivo Macetes.csv foi criado.\n" + exportPath()});
    EXPECT_EQ(ExportedFile("Macetes.csv"),
              QByteArray("Titulo;Descri\xe7\xe3o;\rDrucker;Papier nachlegen;\r"));
}

TEST_F(TipsWindow, AnExportThatCannotBeWrittenSaysSo) {
    ASSERT_TRUE(QDir(exportPath()).mkdir("Tipps.csv"));
    OPENFORM_TIPPS();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: Sorry, CSV Datei konnte nicht erstellt "
                          "werden. Rechte und Schutz prüfen.\n" +
                          exportPath() + "Tipps.csv: Ein Ordner trägt diesen Namen"});
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
}

TEST_F(TipsWindow, SpeaksEachLanguage) {
    UseLanguage("AM");
    OPENFORM_TIPPS();
    EXPECT_EQ(GETPROPERTY(kWindow, "Title").toString(), "Tips and tricks");
    EXPECT_EQ(Value("Label_1"), "4 tips in the database");
    EXPECT_EQ(Value("Label_2"), "search: title");
    EXPECT_EQ(GETPROPERTY(kWindow, "Frame_1", "caption").toString(), "Search");
    EXPECT_EQ(GETPROPERTY(kWindow, "Button_1", "tooltip").toString(), "Search");
    TestDriver::select(kWindow, "RadioGroup_2", 2);
    EXPECT_EQ(Value("Label_2"), "search: description");
    Search("xyz");
    EXPECT_EQ(Value("Label_2"), "0 found");
    driver_.answerNext(false);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGYESNO: Delete title: Drucker ?"});
    TestDriver::closeWindow(kWindow);

    UseLanguage("BR");
    OPENFORM_TIPPS();
    EXPECT_EQ(GETPROPERTY(kWindow, "Tab_1", "caption", 1).toString(), "Macetes");
    EXPECT_EQ(GETPROPERTY(kWindow, "RadioGroup_2", "caption", 2).toString(), "Descrição");
    EXPECT_EQ(Value("Label_1"), "4 macete(s) no banco de dados");
    Search("mail");
    EXPECT_EQ(Value("Label_2"), "2 encontrado(s)");
    TestDriver::click(kWindow, "x5");
    TestDriver::click(kWindow, "btn_save");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Entre com um título."});
}

TEST_F(TipsWindow, IsPicturedInEveryLanguage) {
    QDir().mkpath(KESP_SCREENSHOT_DIR);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_TIPPS();
        Search("net mail");
        const QString file = QString(KESP_SCREENSHOT_DIR) + "/tipps_" + code + ".png";
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kWindow, file)) << code;
        TestDriver::click(kWindow, "x5");
        EXPECT_TRUE(kesp::SaveWindowScreenshot(
            kWindow, QString(KESP_SCREENSHOT_DIR) + "/tipps_entry_" + code + ".png"));
        TestDriver::closeWindow(kWindow);
    }
}

}  // namespace
