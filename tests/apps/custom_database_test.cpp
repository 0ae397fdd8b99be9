// The user's own application beyond the shared record-window contract: the
// names of "myfields.dbf" on the records window, the naming window
// "freemyapp", the seven templates in both windows and all three languages,
// its searches, count lines and export, driven end to end.
#include "apps/custom/custom_database.h"
#include "apps/common/record_kind.h"
#include "apps/custom/custom_operations.h"
#include "apps/custom/database_templates.h"
#include "data/installed_tables.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/reminder_settings.h"
#include "store/codec.h"
#include "store/xbase.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/date_picker.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

using kesp::test::TestDriver;

const QString kRecords = "myapp_frm";
const QString kNaming = "freemyapp";

struct Entry {
    QString free01, free02, free03;
    bool free06 = false;
    QDate free09;
    QString free10;
};

const QStringList kFieldCaptions = {"Label_1", "Label_2", "Label_3", "Label_4", "Label_5",
                                    "Check_1", "Check_2", "Check_3", "Label_9", "Label_10"};

class CustomDatabase : public RecordFixture {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        InstallTable("kespfree.dbf");
        InstallTable("myfields.dbf");
        InstallTable("erinnern.dbf");
    }

    void WriteRecords(const QList<Entry>& entries) {
        DBUSEAREA(true, dataPath() + "kespfree.dbf", "entries");
        for (const Entry& entry : entries) {
            DBAPPEND();
            REPLACE("FREE01", entry.free01);
            REPLACE("FREE02", entry.free02);
            REPLACE("FREE03", entry.free03);
            REPLACE("FREE06", entry.free06);
            REPLACE("FREE09", entry.free09);
            REPLACE("FREE10", entry.free10);
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }

    // The ten field names and the application name, as the file holds them.
    QStringList StoredNames() {
        const int previous = SELECT();
        DBUSEAREA(true, dataPath() + "myfields.dbf", "stored");
        DBGOTOP();
        QStringList names;
        for (int n = 1; n <= 10; ++n)
            names.append(FIELD(QString("FREE%1").arg(n, 2, 10, QChar('0'))).toString().trimmed());
        names.append(FIELD("APPNAME").toString().trimmed());
        DBCLOSEAREA();
        DBSELECTAREA(previous);
        return names;
    }

    QByteArray NamesFile() const {
        QFile file(dataPath() + "myfields.dbf");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static QString Caption(const QString& control) {
        return TestDriver::read(kRecords, control, "caption").toString();
    }
    static QStringList RecordsCaptions() {
        QStringList captions;
        for (const QString& control : kFieldCaptions)
            captions.append(Caption(control));
        captions.append(GETPROPERTY(kRecords, "Title").toString());
        return captions;
    }
    static QString Header(int column) {
        return GETPROPERTY(kRecords, "Browse_2", "header", column).toString();
    }
    static QString Shown(const QString& control) {
        return TestDriver::read(kRecords, control).toString();
    }
    static QStringList Listed() { return ListRows(kRecords, "Browse_2"); }
    static QStringList NamingBoxes(const QString& stem, int rows = 11) {
        QStringList values;
        for (int n = 1; n <= rows; ++n)
            values.append(TestDriver::read(kNaming, stem + QString::number(n)).toString());
        return values;
    }
    static void Type(const QString& window, const QString& box, const QString& text) {
        TestDriver::clearText(window, box);
        TestDriver::typeInto(window, box, text);
    }

    // A stand-in for the main window and its own-application button.
    static void DefineMainWindowButton() {
        _DEFINEWINDOW("haupt", WindowKind::Main, {.title = "haupt", .width = 300, .height = 100});
        _DEFINEBUTTON("Button_27", {.row = 10, .col = 10, .width = 150, .height = 25});
        _ENDWINDOW();
        _ACTIVATEWINDOW("haupt");
        ListenToKindRenames([](const RecordKind&, const QString& name) {
            if (ISWINDOWDEFINED("haupt")) SETPROPERTY("haupt", "Button_27", "caption", name);
        });
    }
    static QString MainWindowButton() {
        return GETPROPERTY("haupt", "Button_27", "caption").toString();
    }
};

// ---- The seven templates ------------------------------------------------------

TEST_F(CustomDatabase, EveryTemplateRenamesTheRecordsWindowAndStoresItsNamesInEveryLanguage) {
    const QList<DatabaseTemplate>& templates = DatabaseTemplates();
    ASSERT_EQ(templates.size(), 7);
    WriteRecords({{.free01 = "Momo", .free02 = "Ende"}});
    DefineMainWindowButton();
    int widest = 0;
    for (const kesp::FieldDescription& field : kesp::InstalledTable("myfields.dbf")->fields)
        widest = std::max(widest, field.width);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_MYAPP();
        for (int n = 1; n <= templates.size(); ++n) {
            const DatabaseTemplate& chosen = templates[n - 1];
            SCOPED_TRACE(QString("%1 %2").arg(code, chosen.button).toStdString());
            TestDriver::click(kRecords, chosen.button);
            const QStringList names = TemplateNames(chosen);
            EXPECT_EQ(RecordsCaptions(), names);
            EXPECT_EQ(Header(1), TemplateHeader(chosen, 1));
            EXPECT_EQ(Header(2), TemplateHeader(chosen, 2));
            EXPECT_EQ(Shown("Label_8"), TEXT(chosen.searchHint)) << "the hint is not shortened";
            EXPECT_EQ(StoredNames(), names) << "stored at once, nothing cut";
            for (const QString& name : names)
                EXPECT_LE(name.size(), widest);
            EXPECT_EQ(MainWindowButton(), names.last());
            EXPECT_EQ(Shown("Text_1"), "Momo") << "the record keeps its value";
        }
        TestDriver::closeWindow(kRecords);
    }
}

TEST_F(CustomDatabase, EveryTemplateFillsOnlyTheNamingBoxesAndClosingWithoutSaveStoresNothing) {
    const QByteArray before = NamesFile();
    const QStringList stored = StoredNames();
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_MYAPPCONFIG();
        for (const DatabaseTemplate& chosen : DatabaseTemplates()) {
            SCOPED_TRACE(QString("%1 %2").arg(code, chosen.button).toStdString());
            TestDriver::click(kNaming, chosen.button);
            QStringList boxes = TemplateNames(chosen);
            if (!IsBlank(chosen.nameInBox)) boxes.last() = TEXT(chosen.nameInBox);
            EXPECT_EQ(NamingBoxes("Text_"), boxes);
            EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), TEXT(chosen.application));
            EXPECT_EQ(NamingBoxes("Label_"), stored) << "the current names stay";
        }
        TestDriver::closeWindow(kNaming);
        EXPECT_EQ(NamesFile(), before);
    }
}

TEST_F(CustomDatabase, TheTemplatesSpecialCellsAndTheBooksInEnglish) {
    UseLanguage("AM");
    OPENFORM_MYAPPCONFIG();
    TestDriver::click(kNaming, "t3");
    EXPECT_EQ(TestDriver::read(kNaming, "Text_11").toString(), "Cookbook");
    EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), "Cookbook DB");
    TestDriver::closeWindow(kNaming);

    OPENFORM_MYAPP();
    TestDriver::click(kRecords, "t3");
    EXPECT_EQ(StoredNames().last(), "Cookbook DB");
    TestDriver::click(kRecords, "t4");
    EXPECT_EQ(Header(1), "Model");
    EXPECT_EQ(Header(2), "License");
    EXPECT_EQ(Caption("Label_2"), "License plate");
    TestDriver::click(kRecords, "t1");
    EXPECT_EQ(Header(1), "Title");
    EXPECT_EQ(Header(2), "Author");
    EXPECT_EQ(Caption("Label_1"), "Title");
    EXPECT_EQ(Shown("Label_8"), "Search: Title and Author");
    EXPECT_EQ(GETPROPERTY(kRecords, "Title").toString(), "Literature DB");
    UseLanguage("BR");
    TestDriver::click(kRecords, "t3");
    EXPECT_EQ(Header(1), "Receita");
    EXPECT_EQ(Caption("Label_1"), "Nome da receita");
    UseLanguage("AM");
    TestDriver::click(kRecords, "t1");
    TestDriver::closeWindow(kRecords);

    OPENFORM_MYAPPCONFIG();
    EXPECT_EQ(TestDriver::read(kNaming, "Label_1").toString(), "Title");
    EXPECT_EQ(TestDriver::read(kNaming, "Label_11").toString(), "Literature DB");
}

TEST_F(CustomDatabase, RecordsKeepTheirValuesUnderRenamedCaptions) {
    WriteRecords({{.free01 = "Grüne Soße", .free02 = "Hauptgang", .free06 = true}});
    OPENFORM_MYAPP();
    TestDriver::click(kRecords, "t3");
    EXPECT_EQ(Caption("Label_1"), "Speisenname");
    EXPECT_EQ(Shown("Text_1"), "Grüne Soße");
    EXPECT_EQ(Caption("Check_1"), "Vorspeise");
    EXPECT_TRUE(TestDriver::read(kRecords, "Check_1").toBool());
    EXPECT_EQ(THE_APP_NAME2, "Literature DB") << "the message title waits for the next opening";
    TestDriver::closeWindow(kRecords);
    OPENFORM_MYAPP();
    EXPECT_EQ(GETPROPERTY(kRecords, "Title").toString(), "Kochrezepte DB");
    EXPECT_EQ(THE_APP_NAME2, "Kochrezepte DB");
    EXPECT_EQ(Shown("Label_8"), "Suche in Speisenname bzw. Speisengruppe");
    EXPECT_EQ(Shown("Text_1"), "Grüne Soße");
    EXPECT_EQ(Shown("Text_2"), "Hauptgang");
}

// ---- The naming window --------------------------------------------------------

TEST_F(CustomDatabase, SavingNamesStoresThemTrimmedAndRenamesTheMainWindowButtonAtOnce) {
    WriteRecords({{.free01 = "Riesling", .free02 = "Mosel"}});
    DefineMainWindowButton();
    UseLanguage("BR");
    OPENFORM_MYAPPCONFIG();
    EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), "Literature DB");
    EXPECT_EQ(TestDriver::read(kNaming, "Frame_1", "caption").toString(),
              "Literature DB: Renomear os CAMPOS LIVRES");
    EXPECT_EQ(TestDriver::read(kNaming, "Label_21").toString(), "* Campo Memo (Texto longo)");
    Type(kNaming, "Text_1", "  Wein ");
    Type(kNaming, "Text_2", "Region");
    Type(kNaming, "Text_11", QString("Weinkeller ") + QString(30, 'x'));
    EXPECT_EQ(TestDriver::read(kNaming, "Text_11").toString().size(), 30) << "at most 30 typed";
    Type(kNaming, "Text_11", " Weinkeller ");
    TestDriver::click(kNaming, "Button_5");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(MainWindowButton(), "Weinkeller");
    EXPECT_EQ(TestDriver::read(kNaming, "Label_1").toString(), "Wein");
    EXPECT_EQ(TestDriver::read(kNaming, "Label_11").toString(), "Weinkeller");
    EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), "Weinkeller");
    EXPECT_EQ(StoredNames().first(), "Wein");
    EXPECT_EQ(StoredNames().last(), "Weinkeller");

    OPENFORM_MYAPPCONFIG();  // a second request brings the open window to the front
    EXPECT_EQ(TestDriver::read(kNaming, "Label_1").toString(), "Wein");
    TestDriver::closeWindow(kNaming);

    OPENFORM_MYAPP();
    EXPECT_EQ(GETPROPERTY(kRecords, "Title").toString(), "Weinkeller");
    EXPECT_EQ(Caption("Label_1"), "Wein");
    EXPECT_EQ(Header(2), "Region");
    EXPECT_EQ(Shown("Label_8"), "procurar em Wein ou Region");
    EXPECT_EQ(Shown("Text_1"), "Riesling");
}

TEST_F(CustomDatabase, CancelShowsTheStoredNamesAgainAndWritesNothing) {
    const QByteArray before = NamesFile();
    OPENFORM_MYAPPCONFIG();
    TestDriver::click(kNaming, "t2");
    Type(kNaming, "Text_3", "Makler");
    TestDriver::click(kNaming, "Button_1");
    EXPECT_EQ(NamingBoxes("Text_"), StoredNames());
    EXPECT_EQ(NamingBoxes("Label_"), StoredNames());
    EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), "Literature DB");
    TestDriver::closeWindow(kNaming);
    EXPECT_EQ(NamesFile(), before);
}

TEST_F(CustomDatabase, TheDateFieldAsAReminderIsSavedAndCancelledWithTheNames) {
    WriteReminderSettings({.days = 12});
    OPENFORM_MYAPPCONFIG();
    EXPECT_FALSE(TestDriver::read(kNaming, "Check_1").toBool()) << "off as installed";
    TestDriver::click(kNaming, "Check_1");
    TestDriver::click(kNaming, "Button_1");
    EXPECT_FALSE(TestDriver::read(kNaming, "Check_1").toBool()) << "cancelled";
    EXPECT_FALSE(ReadReminderSettings().customDateReminds);

    TestDriver::click(kNaming, "Check_1");
    driver_.answerNext(false);
    TestDriver::closeWindow(kNaming);
    ASSERT_TRUE(TestDriver::isOpen(kNaming)) << "closing asks about the changed box";
    TestDriver::click(kNaming, "Button_5");
    EXPECT_TRUE(ReadReminderSettings().customDateReminds);
    EXPECT_EQ(ReadReminderSettings().days, 12) << "the other reminder settings stay";
    TestDriver::closeWindow(kNaming);
    EXPECT_FALSE(TestDriver::isOpen(kNaming)) << "nothing left unsaved";

    OPENFORM_MYAPPCONFIG();
    EXPECT_TRUE(TestDriver::read(kNaming, "Check_1").toBool());
    TestDriver::closeWindow(kNaming);
}

TEST_F(CustomDatabase, NamesWrittenIntoATableWithoutItsRecordAppendItFirst) {
    InstallTable("myfields.dbf", false);
    OPENFORM_MYAPPCONFIG();
    EXPECT_EQ(GETPROPERTY(kNaming, "Title").toString(), "");
    TestDriver::click(kNaming, "t5");
    TestDriver::click(kNaming, "Button_5");
    EXPECT_EQ(StoredNames().first(), "Kategorie");
    EXPECT_EQ(StoredNames().last(), "Musik DB");
    TestDriver::closeWindow(kNaming);

    InstallTable("myfields.dbf", false);
    OPENFORM_MYAPP();
    EXPECT_EQ(GETPROPERTY(kRecords, "Title").toString(), "");
    TestDriver::click(kRecords, "t6");
    EXPECT_EQ(StoredNames().at(1), "Schauspieler");
    EXPECT_EQ(StoredNames().last(), "Videos DB");
}

// ---- Names on the records window ----------------------------------------------

TEST_F(CustomDatabase, ALongNameIsShortenedInTheHintOnlyAndAnEmptyNameLeavesTitlesEmpty) {
    StoreMyAppNames({"Sechzehn Zeichen", "Fünfzehn Zeich.", "", "", "", "", "", "", "", "", ""});
    OPENFORM_MYAPP();
    EXPECT_EQ(Shown("Label_8"), "Suche in Sechzehn Zeich... bzw. Fünfzehn Zeich.");
    EXPECT_EQ(Header(1), "Sechzehn Zeichen");
    EXPECT_EQ(Header(2), "Fünfzehn Zeich.");
    EXPECT_EQ(Caption("Label_3"), "");
    EXPECT_EQ(GETPROPERTY(kRecords, "Title").toString(), "");
    TestDriver::click(kRecords, "x5");
    TestDriver::click(kRecords, "Button_1");
    EXPECT_EQ(TakeMessages(""),
              QStringList{"MSGEXCLAMATION: Feld: Sechzehn Zeichen darf nicht leer sein!"})
        << "titled with the empty application name";
}

// ---- Searches, counts and saving ------------------------------------------------

class CustomDatabaseRecords : public CustomDatabase {
  protected:
    void SetUp() override {
        CustomDatabase::SetUp();
        WriteRecords({{.free01 = "Momo", .free02 = "Ende"},
                      {.free01 = "Emil", .free02 = "Kästner"},
                      {.free01 = "Krabat", .free02 = "Preußler"},
                      {.free01 = "Matilda", .free02 = "Dahl"}});
    }
    static QColor BoxColour(const QString& box) {
        return TestDriver::read(kRecords, box, "backcolor").value<QColor>();
    }
};

TEST_F(CustomDatabaseRecords, BothSearchesIgnoreCaseAMissListsEverythingSaveNewNarrowsBySearchOne) {
    UseLanguage("BR");
    OPENFORM_MYAPP();
    EXPECT_EQ(Shown("Label_91"), "4 encontrado(s)");
    EXPECT_EQ(Listed(), QStringList({"Emil", "Krabat", "Matilda", "Momo"}));
    TestDriver::typeInto(kRecords, "txt_suche_1", "mA");
    EXPECT_EQ(Listed(), QStringList{"Matilda"});
    EXPECT_EQ(Shown("Label_91"), "1 encontrado(s)");
    EXPECT_EQ(BoxColour("txt_suche_1"), QColor(0, 255, 0));
    TestDriver::typeInto(kRecords, "txt_suche_2", "kÄ");
    EXPECT_EQ(Listed(), QStringList{"Emil"});
    TestDriver::typeInto(kRecords, "txt_suche_2", "x");
    EXPECT_EQ(Shown("Label_91"), "0 ");
    EXPECT_EQ(BoxColour("txt_suche_2"), QColor(255, 0, 0));
    EXPECT_EQ(Listed().size(), 4);

    TestDriver::click(kRecords, "x5");
    EXPECT_EQ(TestDriver::read(kRecords, "DatePicker_1").toDate(), QDate::currentDate());
    Type(kRecords, "Text_1", "Mara");
    Type(kRecords, "Text_2", "Kästner");
    TestDriver::click(kRecords, "Button_1");
    EXPECT_EQ(TakeMessages("Literature DB"), QStringList{"MSGBOX: O registro foi salvo!"});
    EXPECT_EQ(Listed(), QStringList({"Mara", "Matilda"})) << "search 1's text, not search 2's";
    EXPECT_EQ(Shown("Label_91"), "2 encontrado(s)");
    EXPECT_EQ(Shown("Label_11"), "5 registros no banco de dados");
}

TEST_F(CustomDatabaseRecords, TheCountLineAfterADeleteAndASaveNewCountsTheLiveRecords) {
    OPENFORM_MYAPP();
    EXPECT_EQ(Shown("Label_11"), "4 Daten in der Datenbank");
    TestDriver::typeInto(kRecords, "txt_suche_1", "m");
    driver_.answerNext(true);
    TestDriver::click(kRecords, "x6");
    EXPECT_EQ(TakeMessages("Literature DB"), QStringList{"MSGYESNO: Daten: Matilda löschen?"});
    EXPECT_EQ(Shown("Label_91"), "1 gefunden") << "the matches left";
    EXPECT_EQ(Shown("Label_11"), "3 Daten in der Datenbank");
    TestDriver::click(kRecords, "x5");
    Type(kRecords, "Text_1", "Michel");
    TestDriver::click(kRecords, "Button_1");
    TakeMessages("Literature DB");
    EXPECT_EQ(Shown("Label_11"), "4 Daten in der Datenbank") << "the deleted one is not counted";
}

TEST_F(CustomDatabaseRecords, SavingAnEditedRecordKeepsTheOtherSearchCurrent) {
    OPENFORM_MYAPP();
    TestDriver::typeInto(kRecords, "txt_suche_1", "kra");
    Type(kRecords, "Text_2", "Zauberer");
    TestDriver::click(kRecords, "x8");
    EXPECT_TRUE(TakeMessages("Literature DB").isEmpty());
    TestDriver::typeInto(kRecords, "txt_suche_2", "zau");
    EXPECT_EQ(Listed(), QStringList{"Krabat"});
    Type(kRecords, "Text_1", " ");
    TestDriver::click(kRecords, "x8");
    EXPECT_EQ(TakeMessages("Literature DB"),
              QStringList{"MSGEXCLAMATION: Feld: Title darf nicht leer sein!"});
    UseLanguage("BR");
    TestDriver::click(kRecords, "x8");
    EXPECT_EQ(TakeMessages("Literature DB"),
              QStringList{"MSGEXCLAMATION: Campo: Title está vazio!"});
}

// ---- The export ----------------------------------------------------------------

TEST_F(CustomDatabase, TheExportWritesTheShownNamesAndTheRecordsInEveryLanguage) {
    StoreMyAppNames({"Titel", "Autor", "Ort; Regal", "ISBN", "Seiten", "gelesen", "verliehen",
                     "gesucht", "Gekauft", "Notiz", "Bücher"});
    WriteRecords(
        {{.free01 = "Momo",
          .free02 = "Ende",
          .free03 = "Flur",
          .free06 = true,
          .free09 = QDate(2006, 12, 24),
          .free10 = "Zeile eins\r\nZeile zwei "},
         {.free01 = "Arm und \"reich\"", .free02 = "Diamond", .free09 = QDate(1999, 3, 1)}});
    const QByteArray header =
        "Titel;Autor;\"Ort; Regal\";ISBN;Seiten;gelesen;verliehen;gesucht;"
        "Gekauft;Notiz;\r";
    const struct {
        const char* code;
        QByteArray lines;
        QString message;
    } languages[] = {
        {"DE",
         "\"Arm und \"\"reich\"\"\";Diamond;;;;Nein;Nein;Nein;01.03.1999;;\r"
         "Momo;Ende;Flur;;;Ja;Nein;Nein;24.12.2006;Zeile eins Zeile zwei;\r",
         "Datei Myapp.csv wurde erstellt."},
        {"AM",
         "\"Arm und \"\"reich\"\"\";Diamond;;;;No;No;No;03/01/1999;;\r"
         "Momo;Ende;Flur;;;Yes;No;No;12/24/2006;Zeile eins Zeile zwei;\r",
         "File Myapp.csv created."},
        {"BR",
         "\"Arm und \"\"reich\"\"\";Diamond;;;;N\xE3o;N\xE3o;N\xE3o;01/03/1999;;\r"
         "Momo;Ende;Flur;;;Sim;N\xE3o;N\xE3o;24/12/2006;Zeile eins Zeile zwei;\r",
         "Arquivo Myapp.csv foi criado."},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_MYAPP();
        TestDriver::click(kRecords, "x7");
        EXPECT_EQ(TakeMessages("Bücher"),
                  QStringList{"MSGEXCLAMATION: " + language.message + "\n" + exportPath()});
        EXPECT_EQ(ExportedFile("Myapp.CSV"), header + language.lines);
        TestDriver::closeWindow(kRecords);
    }

    UseLanguage("DE");
    OPENFORM_MYAPP();
    TestDriver::click(kRecords, "t1");  // the header follows the names shown
    TestDriver::typeInto(kRecords, "txt_suche_2", "en");
    TestDriver::click(kRecords, "x7");
    EXPECT_EQ(ExportedFile("Myapp.CSV"),
              "Titel;Autor;Kategorie;ISBN;Seiten;ausgeliehen;zum Verkauf;gesucht;Datum;"
              "Kommentar;\r"
              "Momo;Ende;Flur;;;Ja;Nein;Nein;24.12.2006;Zeile eins Zeile zwei;\r");
}

// ---- Pictures --------------------------------------------------------------------

// Names of the user's own are not replaced without a word; names that are a
// template's (in any language) are, as before.
TEST_F(CustomDatabase, ATemplateAsksBeforeItReplacesNamesOfTheUsersOwn) {
    const DatabaseTemplate& books = DatabaseTemplates()[0];
    const DatabaseTemplate& vehicles = DatabaseTemplates()[3];
    const QString question =
        "MSGYESNO: Die Vorlage ersetzt die Feldnamen, die Sie vergeben haben. Fortfahren?";
    OPENFORM_MYAPPCONFIG();
    Type(kNaming, "Text_1", "Wein");
    driver_.answerNext(false);
    TestDriver::click(kNaming, vehicles.button);
    EXPECT_EQ(TakeMessages(), QStringList{question});
    EXPECT_EQ(TestDriver::read(kNaming, "Text_1").toString(), "Wein");
    driver_.answerNext(true);
    TestDriver::click(kNaming, vehicles.button);
    EXPECT_EQ(TakeMessages(), QStringList{question});
    EXPECT_EQ(NamingBoxes("Text_", 10), TemplateNames(vehicles).mid(0, 10));
    TestDriver::click(kNaming, books.button);
    EXPECT_TRUE(TakeMessages().isEmpty()) << "a template's names are no one's own";

    // Stored names of one's own, in the records window.
    Type(kNaming, "Text_1", "Wein");
    TestDriver::click(kNaming, "Button_5");
    TestDriver::closeWindow(kNaming);
    UseLanguage("AM");
    OPENFORM_MYAPP();
    driver_.answerNext(false);
    TestDriver::click(kRecords, vehicles.button);
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGYESNO: The template replaces the field names you gave. Continue?"});
    EXPECT_EQ(StoredNames().first(), "Wein");
    EXPECT_EQ(Caption("Label_1"), "Wein");
    driver_.answerNext(true);
    TestDriver::click(kRecords, vehicles.button);
    TakeMessages();
    EXPECT_EQ(StoredNames(), TemplateNames(vehicles));
}

// Tab reads the yes/no frame as one block after the fields to its left, so a
// date typed after tabbing from the last text field lands in the date.
TEST_F(CustomDatabase, TabReachesTheDateBeforeTheYesNoFields) {
    OPENFORM_MYAPP();
    TestDriver::typeInto(kRecords, "Text_5", "");
    QStringList order;
    for (int step = 0; step < 5; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order, (QStringList{"DatePicker_1", "Check_1", "Check_2", "Check_3", "Edit_1"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "Check_2");
}

TEST_F(CustomDatabase, BothWindowsWithATemplateInEveryLanguage) {
    const QString pictures = KESP_SCREENSHOT_DIR;
    QDir().mkpath(pictures);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    WriteRecords({{.free01 = "Die unendliche Geschichte",
                   .free02 = "Michael Ende",
                   .free03 = "Fantasy",
                   .free06 = true,
                   .free09 = QDate(2006, 12, 24),
                   .free10 = "Erste Ausgabe, signiert."},
                  {.free01 = "Momo", .free02 = "Michael Ende"}});
    const QStringList chosen = {"t2", "t5", "t7"};
    int n = 0;
    kesp::SetNoDateHint(NO_DATE_HINT);  // as the program's start-up does
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        const QString suffix = QString("_") + code + ".png";
        OPENFORM_MYAPP();
        TestDriver::click(kRecords, chosen[n++]);
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kRecords, pictures + "/myapp_frm" + suffix));
        // A date that does not exist, refused where it was typed.
        TestDriver::typeInto(kRecords, "DatePicker_1",
                             code == QString("AM") ? "02312026" : "31022026");
        QTest::keyClick(TestDriver::widget(kRecords, "DatePicker_1"), Qt::Key_Tab);
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kRecords, pictures + "/myapp_frm_no_date" + suffix));
        QTest::keyClick(TestDriver::widget(kRecords, "DatePicker_1"), Qt::Key_Escape);
        TestDriver::closeWindow(kRecords);
        OPENFORM_MYAPPCONFIG();
        TestDriver::click(kNaming, "t3");
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kNaming, pictures + "/freemyapp" + suffix));
        TestDriver::closeWindow(kNaming);
    }
    kesp::SetNoDateHint({});
}

}  // namespace
