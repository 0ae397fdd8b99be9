// The notes driven through their window: where they differ from the address
// books. Latest reminder first, the date search in the language's format,
// the title search in any case, New keeping the reminder, the count line
// under a filter, and the export byte for byte.
#include "apps/notes/notes.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/address_fixture.h"
#include "tests/apps/installed_table.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QColor>
#include <QDir>
#include <QTest>

namespace {

using kesp::test::TestDriver;

const QString kWindow = "notiz_frm";

QString Value(const QString& control) {
    return TestDriver::read(kWindow, control).toString();
}
QColor Colour(const QString& box) {
    return TestDriver::read(kWindow, box, "backcolor").value<QColor>();
}
void Type(const QString& control, const QString& text) {
    TestDriver::clearText(kWindow, control);
    TestDriver::typeInto(kWindow, control, text);
}
// Column 2 of the list: the titles, top to bottom.
QStringList Titles() {
    QStringList titles;
    for (int row = 1; row <= TestDriver::browseRows(kWindow, "Browse_1"); ++row)
        titles.append(TestDriver::browseCell(kWindow, "Browse_1", row, 2).trimmed());
    return titles;
}

struct Note {
    QDate created;
    QDate remind;
    QString title;
    QString text;
    bool deleted = false;
};

class Notes : public AddressFixture {
  protected:
    void SetUp() override {
        AddressFixture::SetUp();
        driver_.setToday(QDate(2026, 12, 8));
        CreateNotes({{QDate(2024, 1, 2), QDate(2024, 12, 24), "Geschenke", "Liste"},
                     {QDate(2025, 3, 4), {}, "ohne Datum", ""},
                     {QDate(2025, 5, 6), QDate(2026, 2, 1), "Zahnarzt", "Termin\r\nabsagen"},
                     {QDate(2025, 7, 8), QDate(2025, 12, 24), "gans bestellen", "beim Hof"},
                     {QDate(2025, 9, 9), QDate(2025, 6, 24), "Weg", "", true},
                     {QDate(2025, 9, 10), QDate(2025, 11, 24), "Gartenzaun", "a;b \"c\""}});
    }

    void CreateNotes(const QList<Note>& notes) {
        DBCLOSEALL();
        CreateInstalledTable(dataPath(), "notiz.dbf");
        DBUSEAREA(false, dataPath() + "notiz.dbf", "fixture");
        for (const Note& note : notes) {
            DBAPPEND();
            REPLACE("ERSTELLT", note.created);
            REPLACE("DATUM", note.remind);
            REPLACE("N_TITEL", note.title);
            REPLACE("N_TEXT", note.text);
            if (note.deleted) DBDELETE();
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }
};

TEST_F(Notes, OpenLatestReminderFirstWithEmptyRemindersLast) {
    OPENFORM_NOTIZ();
    EXPECT_EQ(Titles(),
              (QStringList{"Zahnarzt", "gans bestellen", "Gartenzaun", "Geschenke", "ohne Datum"}));
    EXPECT_EQ(Value("Text_3"), "Zahnarzt");
    EXPECT_EQ(Value("Text_1"), "06.05.2025");
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
    EXPECT_EQ(Value("lbl_filter"), "Suche nach Datum oder Titel");
    EXPECT_EQ(GETPROPERTY(kWindow, "Title").toString(), "Notiz");
    EXPECT_FALSE(TestDriver::isShown(kWindow, "Button_1"));
    TestDriver::click(kWindow, "x4");
    EXPECT_EQ(Value("Text_3"), "ohne Datum");
    TestDriver::click(kWindow, "x3");
    EXPECT_EQ(Value("Text_3"), "ohne Datum");
}

TEST_F(Notes, DateSearchFollowsTheLanguagesDateFormat) {
    OPENFORM_NOTIZ();
    Type("suche_datum", "24.12");
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(Colour("suche_datum"), QColor(0, 255, 0));
    EXPECT_EQ(Titles().size(), 2);
    EXPECT_TRUE(Titles().contains("Geschenke") && Titles().contains("gans bestellen"));
    // The count line keeps counting the table.
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");

    Type("suche_datum", "24/12");
    EXPECT_EQ(Value("lbl_filter"), "0 gefunden");
    EXPECT_EQ(Colour("suche_datum"), QColor(255, 0, 0));
    EXPECT_EQ(Value("Text_3"), "");  // the seek ran past every note
    // Every note is listed again in date-text order, the list standing where
    // it stood; paging up reaches the notes before.
    EXPECT_EQ(Titles(), (QStringList{"Gartenzaun", "Geschenke", "gans bestellen"}));
    TestDriver::pressKey(kWindow, "Browse_1", Qt::Key_PageUp);
    EXPECT_EQ(Titles(),
              (QStringList{"ohne Datum", "Zahnarzt", "Gartenzaun", "Geschenke", "gans bestellen"}));

    Type("suche_datum", "24");
    EXPECT_EQ(Value("lbl_filter"), "3 gefunden");
    TestDriver::clearText(kWindow, "suche_datum");
    EXPECT_EQ(Colour("suche_datum"), QColor(255, 255, 255));
    EXPECT_EQ(Titles().size(), 5);
}

TEST_F(Notes, DateSearchUnderAmericanDates) {
    UseLanguage("AM");
    OPENFORM_NOTIZ();
    Type("suche_datum", "12/24");
    EXPECT_EQ(Value("lbl_filter"), "2 found");
    EXPECT_EQ(Value("label_anzahl"), "5 records in the database.");
}

TEST_F(Notes, TitleSearchInAnyCaseThenSaveDropsTheFilterAndKeepsTheNote) {
    OPENFORM_NOTIZ();
    Type("suche_titel", "ga");
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(Titles(), (QStringList{"gans bestellen", "Gartenzaun"}));
    EXPECT_EQ(Value("Text_3"), "gans bestellen");
    SETPROPERTY(kWindow, "Text_3", "value", "Gans bestellen");
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Value("Text_3"), "Gans bestellen");
    EXPECT_EQ(Titles().size(), 5);  // the filter is gone, latest reminder first again
    EXPECT_EQ(Titles().first(), "Zahnarzt");
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_1").toInt(), RECNO());
    EXPECT_EQ(Value("label_anzahl"), "5 Daten in der Datenbank.");
    // After the save the date search still finds by the plain date text.
    Type("suche_datum", "24.12.2025");
    EXPECT_EQ(Value("lbl_filter"), "1 gefunden");
}

TEST_F(Notes, NewSetsTodayKeepsTheReminderAndRequiresATitle) {
    OPENFORM_NOTIZ();
    const QDate shownReminder = TestDriver::read(kWindow, "DatePicker_1").toDate();
    TestDriver::click(kWindow, "x5");
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Button_1"));
    EXPECT_FALSE(TestDriver::isShown(kWindow, "ToolBar_1"));
    EXPECT_EQ(Value("Text_1"), "08.12.2026");
    EXPECT_EQ(Value("Text_3"), "");
    EXPECT_EQ(Value("Edit_1"), "");
    EXPECT_EQ(TestDriver::read(kWindow, "DatePicker_1").toDate(), shownReminder);

    TestDriver::click(kWindow, "Button_1");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGEXCLAMATION: Mindestens Titel eingeben"}));
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Button_1"));

    Type("Text_3", "Neu");
    TestDriver::click(kWindow, "Button_1");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(Value("label_anzahl"), "6 Daten in der Datenbank.");
    EXPECT_EQ(Value("Text_3"), "Zahnarzt");  // the latest reminder first
    EXPECT_TRUE(Titles().contains("Neu"));
    DBSELECTAREA("notiz");
    DBGOBOTTOM();
    DBSKIP(0);
    bool found = false;
    for (int n = 1; n <= RECCOUNT(); ++n) {
        DBGOTO(n);
        if (FIELD("notiz->N_TITEL").toString().trimmed() != "Neu") continue;
        found = true;
        EXPECT_EQ(FIELD("notiz->ERSTELLT").toDate(), QDate(2026, 12, 8));
        EXPECT_EQ(FIELD("notiz->DATUM").toDate(), shownReminder);
    }
    EXPECT_TRUE(found);
}

TEST_F(Notes, SaveWithoutTitleSaysSoInEachLanguage) {
    UseLanguage("BR");
    OPENFORM_NOTIZ();
    TestDriver::clearText(kWindow, "Text_3");
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGEXCLAMATION: Entre com um Título"}));
    TestDriver::click(kWindow, "x5");
    TestDriver::click(kWindow, "Button_1");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGEXCLAMATION: Insira um Título."}));
}

TEST_F(Notes, CountLineAfterDeleteUnderAFilterAndAfterALaterSave) {
    OPENFORM_NOTIZ();
    Type("suche_titel", "ga");
    driver_.answerNext(true);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(TakeMessages(), (QStringList{"MSGYESNO: gans bestellen löschen?"}));
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(Titles(), (QStringList{"Gartenzaun"}));
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    EXPECT_EQ(Titles().size(), 4);

    driver_.answerNext(false);
    TestDriver::click(kWindow, "x6");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
}

TEST_F(Notes, ExportIsByteForByteInEachLanguage) {
    OPENFORM_NOTIZ();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Notiz.csv wurde erstellt.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Notiz.csv"),
              QByteArray("ERSTELLT;TITEL;NOTIZ;DATUM;\r"
                         "06.05.2025;Zahnarzt;Termin absagen;01.02.2026;\r"
                         "08.07.2025;gans bestellen;beim Hof;24.12.2025;\r"
                         "10.09.2025;Gartenzaun;\"a;b \"\"c\"\"\";24.11.2025;\r"
                         "02.01.2024;Geschenke;Liste;24.12.2024;\r"
                         "04.03.2025;ohne Datum;;  .  .    ;\r"));
    TestDriver::closeWindow(kWindow);

    UseLanguage("AM");
    OPENFORM_NOTIZ();
    Type("suche_titel", "za");  // only what the search lists
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(
        ExportedFile("Notes.csv"),
        QByteArray("CREATED;TITLE;NOTES;DATE;\r05/06/2025;Zahnarzt;Termin absagen;02/01/2026;\r"));
    TestDriver::closeWindow(kWindow);

    UseLanguage("BR");
    OPENFORM_NOTIZ();
    SETPROPERTY(kWindow, "Text_3", "value", QString("Zahnärzt"));
    TestDriver::click(kWindow, "x8");
    Type("suche_titel", "Z");
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages().last(),
              "MSGEXCLAMATION: Arquivo Lembrete.csv foi criado.\n" + exportPath());
    EXPECT_EQ(ExportedFile("Lembrete.csv"),
              QByteArray("CRIADO;TITULO;LEMBRETE;DATA;\r06/05/2025;Zahn\xe4rzt;Termin absagen;"
                         "01/02/2026;\r"));
}

TEST_F(Notes, ExportThatCannotBeWrittenSaysSo) {
    THE_EXPORT_PATH = dataPath() + "missing/";
    OPENFORM_NOTIZ();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Sorry, CSV Datei konnte nicht erstellt werden. "
                           "Rechte und Schutz prüfen.\n" +
                           dataPath() + "missing/Notiz.csv: Der Ordner ist nicht vorhanden"}));
}

TEST_F(Notes, IsPicturedInEveryLanguage) {
    QDir().mkpath(KESP_SCREENSHOT_DIR);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_NOTIZ();
        Type("suche_titel", "g");
        const QString file = QString(KESP_SCREENSHOT_DIR) + "/notiz_frm_" + code + ".png";
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kWindow, file)) << code;
        TestDriver::click(kWindow, "x5");
        EXPECT_TRUE(kesp::SaveWindowScreenshot(
            kWindow, QString(KESP_SCREENSHOT_DIR) + "/notiz_frm_entry_" + code + ".png"));
        TestDriver::closeWindow(kWindow);
    }
}

}  // namespace

// The reminder stands beside the creation date and before the title: Tab
// and Shift+Tab reach it there, typed with or without separators.
TEST_F(Notes, TabReachesTheReminderBesideTheCreationDate) {
    OPENFORM_NOTIZ();
    TestDriver::click(kWindow, "x5");
    QWidget* form = TestDriver::widget(kWindow);
    TestDriver::widget(kWindow, "Text_3")->setFocus();
    QTest::keyClick(form->focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(form->focusWidget()->objectName(), "DatePicker_1");
    QTest::keyClicks(form->focusWidget(), "24122027");
    QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form->focusWidget()->objectName(), "Text_3");
    EXPECT_EQ(TestDriver::read(kWindow, "DatePicker_1").toDate(), QDate(2027, 12, 24));
    TestDriver::widget(kWindow, "Text_1")->setFocus();
    QTest::keyClick(form->focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form->focusWidget()->objectName(), "DatePicker_1");
}
