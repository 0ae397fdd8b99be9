// The projects driven through their window: where they differ from the
// address books. Earliest due date first in every date format, the due-date
// search by the date's text, the done and open buttons, Save under such a
// filter, New with today in all three dates, overdue open projects in red,
// and the export byte for byte in each language.
#include "apps/projects/projects.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/installed_table.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QTest>
#include <QWidget>

namespace {

using kesp::test::TestDriver;

const QString kWindow = "projekt_frm";
const QDate kToday(2008, 2, 20);
const QColor kRed(255, 0, 0);

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
QStringList Column(int column) {
    return RecordFixture::ListRows(kWindow, "Browse_1", column);
}
QStringList Titles() {
    return Column(2);
}
// The control that has the keyboard focus (a part of a control counts as the control).
QString Focused() {
    QWidget* control = TestDriver::widget(kWindow)->focusWidget();
    while (control != nullptr &&
           (control->objectName().isEmpty() || control->objectName().startsWith("qt_")))
        control = control->parentWidget();
    return control != nullptr ? control->objectName() : QString();
}

struct Project {
    QDate created;
    QDate start;
    QDate due;
    QString title;
    QString participants;
    QString text;
    bool done = false;
    bool deleted = false;
};

// Listed by due date: Jahresabschluss (done), Website (open, overdue), Umzug.
const QList<Project> kProjects = {
    {QDate(2007, 11, 1), QDate(2007, 11, 5), QDate(2008, 2, 15), "Website",
     "Anna\r\nBernd\r\nCarla", "Entwurf; \"neu\"", false},
    {QDate(2007, 12, 1), QDate(2008, 1, 2), QDate(2008, 3, 1), "Umzug", "", "Kisten", false},
    {QDate(2007, 10, 1), QDate(2007, 10, 1), QDate(2007, 12, 31), "Jahresabschluss", "", "", true},
    {QDate(2007, 9, 1), QDate(2007, 9, 1), QDate(2007, 9, 30), "Weg", "", "", true, true},
};

class Projects : public RecordFixture {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        driver_.setToday(kToday);
        CreateProjects(kProjects);
    }

    void CreateProjects(const QList<Project>& projects) {
        DBCLOSEALL();
        CreateInstalledTable(dataPath(), "projekt.dbf");
        DBUSEAREA(false, dataPath() + "projekt.dbf", "fixture");
        for (const Project& project : projects) {
            DBAPPEND();
            REPLACE("ERSTELLT", project.created);
            REPLACE("DATUMA", project.start);
            REPLACE("DATUME", project.due);
            REPLACE("N_TITEL", project.title);
            REPLACE("N_TEIL", project.participants);
            REPLACE("N_TEXT", project.text);
            REPLACE("FERTIG", project.done);
            if (project.deleted) DBDELETE();
        }
        DBCOMMIT();
        DBCLOSEAREA();
    }

    QList<Project> WithNoneDone() const {
        QList<Project> projects = kProjects;
        for (Project& project : projects)
            project.done = false;
        return projects;
    }
};

TEST_F(Projects, ListedByDueDateInEveryDateFormat) {
    const struct {
        const char* language;
        QStringList dates;
        QString count;
        QString title;
    } languages[] = {
        {"DE", {"31.12.2007", "15.02.2008", "01.03.2008"}, "3 Daten in der Datenbank.", "Projekte"},
        {"AM",
         {"12/31/2007", "02/15/2008", "03/01/2008"},
         "3 records in the database.",
         "Projects"},
        {"BR",
         {"31/12/2007", "15/02/2008", "01/03/2008"},
         "3 registros no banco de dados.",
         "Projetos"},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.language);
        UseLanguage(language.language);
        OPENFORM_PROJEKT();
        EXPECT_EQ(Column(1), language.dates);
        EXPECT_EQ(Titles(), (QStringList{"Jahresabschluss", "Website", "Umzug"}));
        EXPECT_EQ(Value("Text_3"), "Jahresabschluss");
        EXPECT_EQ(Value("label_anzahl"), language.count);
        EXPECT_EQ(GETPROPERTY(kWindow, "Title").toString(), language.title);
        TestDriver::click(kWindow, "x3");
        EXPECT_EQ(Value("Text_3"), "Website");
        EXPECT_EQ(Value("Edit_2"), "Anna\r\nBernd\r\nCarla");
        EXPECT_FALSE(TestDriver::read(kWindow, "Check_1").toBool());
        TestDriver::closeWindow(kWindow);
    }
}

TEST_F(Projects, DueDateSearchComparesTheDateTextAndKeepsTheDueDateOrder) {
    QList<Project> projects = kProjects;
    projects.append({QDate(2008, 1, 5), QDate(2008, 1, 5), QDate(2009, 1, 10), "Messe", "", ""});
    CreateProjects(projects);
    OPENFORM_PROJEKT();
    EXPECT_EQ(Value("lbl_filter"), "Suche");
    Type("suche_datum", "15.02");
    EXPECT_EQ(Value("lbl_filter"), "1 gefunden");
    EXPECT_EQ(Colour("suche_datum"), QColor(0, 255, 0));
    EXPECT_EQ(Titles(), QStringList{"Website"});
    EXPECT_EQ(Value("Text_3"), "Website");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");

    // "1" begins 15.02.2008 and 10.01.2009, listed by date, not by text.
    Type("suche_datum", "1");
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(Titles(), (QStringList{"Website", "Messe"}));
    EXPECT_EQ(Value("Text_3"), "Website");

    Type("suche_datum", "15.02.2009");
    EXPECT_EQ(Value("lbl_filter"), "0 gefunden");
    EXPECT_EQ(Colour("suche_datum"), QColor(255, 0, 0));
    EXPECT_EQ(Titles(), (QStringList{"Jahresabschluss", "Website", "Umzug", "Messe"}));
    EXPECT_EQ(Value("Text_3"), "Jahresabschluss");

    TestDriver::clearText(kWindow, "suche_datum");
    EXPECT_EQ(Colour("suche_datum"), QColor(255, 255, 255));
    EXPECT_EQ(Titles().size(), 4);
    TestDriver::closeWindow(kWindow);

    UseLanguage("AM");
    OPENFORM_PROJEKT();
    Type("suche_datum", "02/15");
    EXPECT_EQ(Value("lbl_filter"), "1 found");
    Type("suche_datum", "15.02");
    EXPECT_EQ(Value("lbl_filter"), "0 found") << "the American date format only";
}

TEST_F(Projects, DoneAndOpenButtonsNarrowTheListAndKeepTheSearchBoxes) {
    OPENFORM_PROJEKT();
    Type("suche_titel", "x");
    TestDriver::click(kWindow, "Button_34");
    EXPECT_EQ(Titles(), QStringList{"Jahresabschluss"});
    EXPECT_EQ(Value("lbl_filter"), "1 gefunden");
    EXPECT_EQ(Value("Text_3"), "Jahresabschluss");
    EXPECT_EQ(Value("suche_titel"), "x");
    EXPECT_EQ(Colour("suche_titel"), QColor(255, 0, 0));

    TestDriver::click(kWindow, "Button_33");
    EXPECT_EQ(Titles(), (QStringList{"Website", "Umzug"}));
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(Value("Text_3"), "Website");
    EXPECT_EQ(Value("label_anzahl"), "3 Daten in der Datenbank.");
    EXPECT_EQ(GETPROPERTY(kWindow, "Button_34", "caption").toString(), "erledigt");
    EXPECT_EQ(GETPROPERTY(kWindow, "Button_33", "caption").toString(), "nicht erledigt");
}

TEST_F(Projects, DoneWithNoneDoneShowsNothingAndExportsTheHeaderOnly) {
    CreateProjects(WithNoneDone());
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "Button_34");
    EXPECT_TRUE(Titles().isEmpty());
    EXPECT_EQ(Value("lbl_filter"), "0 gefunden");
    EXPECT_EQ(Value("Text_3"), "") << "no project shown beside an empty list";
    EXPECT_EQ(Value("label_anzahl"), "3 Daten in der Datenbank.");

    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Projekt.csv wurde erstellt.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Projekt.csv"),
              QByteArray("ERSTELLT;BEGINNT_AM;FERTIG_BIS;TITEL;TEILNEHMERN;PROJEKT;ERLEDIGT;\r"));
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
}

TEST_F(Projects, SaveUnderTheDoneFilterEndsItAndKeepsTheProject) {
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "Button_34");
    ASSERT_EQ(Titles(), QStringList{"Jahresabschluss"});
    const int saved = TestDriver::read(kWindow, "Browse_1").toInt();
    Type("Text_3", "Jahresabschluss 2007");
    TestDriver::click(kWindow, "x8");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(Titles(), (QStringList{"Jahresabschluss 2007", "Website", "Umzug"}));
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_1").toInt(), saved);
    EXPECT_EQ(Value("Text_3"), "Jahresabschluss 2007");
    EXPECT_EQ(Value("label_anzahl"), "3 Daten in der Datenbank.");

    // A later due date moves the saved project down the list; it stays current.
    TestDriver::click(kWindow, "Button_34");
    SETPROPERTY(kWindow, "DatePicker_2", "value", QDate(2008, 6, 30));
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Titles(), (QStringList{"Website", "Umzug", "Jahresabschluss 2007"}));
    EXPECT_EQ(TestDriver::read(kWindow, "Browse_1").toInt(), saved);
}

TEST_F(Projects, NewSetsTodayInTheCreationDateAndBothPickers) {
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "x3");
    TestDriver::click(kWindow, "x5");
    EXPECT_TRUE(TestDriver::isShown(kWindow, "Button_1"));
    EXPECT_FALSE(TestDriver::isShown(kWindow, "ToolBar_1"));
    EXPECT_EQ(Value("Text_1"), "20.02.2008");
    EXPECT_EQ(TestDriver::read(kWindow, "DatePicker_1").toDate(), kToday);
    EXPECT_EQ(TestDriver::read(kWindow, "DatePicker_2").toDate(), kToday);
    EXPECT_FALSE(TestDriver::read(kWindow, "Check_1").toBool());
    for (const char* emptied : {"Text_3", "Edit_1", "Edit_2"})
        EXPECT_EQ(Value(emptied), "") << emptied;

    // The keyboard walks the panel down, beside the tall list.
    QApplication::processEvents();
    QStringList visited{Focused()};
    for (int step = 0; step < 4; ++step) {
        QTest::keyClick(TestDriver::widget(kWindow)->focusWidget(), Qt::Key_Tab);
        visited << Focused();
    }
    EXPECT_EQ(visited, (QStringList{"DatePicker_1", "DatePicker_2", "Text_3", "Edit_2", "Edit_1"}));

    TestDriver::click(kWindow, "Button_1");
    EXPECT_EQ(TakeMessages(), QStringList{"MSGEXCLAMATION: Mindestens Titel eingeben"});
    Type("Text_3", "Messe");
    TestDriver::click(kWindow, "Button_1");
    EXPECT_TRUE(TakeMessages().isEmpty());
    EXPECT_EQ(Titles(), (QStringList{"Jahresabschluss", "Website", "Messe", "Umzug"}));
    EXPECT_EQ(Value("Text_3"), "Jahresabschluss") << "the earliest due date first";
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    TestDriver::select(kWindow, "Browse_1", 3);
    EXPECT_EQ(Value("Text_1"), "20.02.2008");
    EXPECT_EQ(FIELD("projekt->ERSTELLT").toDate(), kToday);
    EXPECT_EQ(FIELD("projekt->DATUMA").toDate(), kToday);
    EXPECT_EQ(FIELD("projekt->DATUME").toDate(), kToday);
}

TEST_F(Projects, OverdueOpenProjectsAreRedDoneAndDueTodayAreNot) {
    QList<Project> projects = kProjects;
    projects.append({QDate(2008, 1, 5), QDate(2008, 1, 5), kToday, "heute fällig", "", ""});
    projects.append({QDate(2008, 1, 5), QDate(2008, 1, 5), {}, "ohne Termin", "", ""});
    CreateProjects(projects);
    OPENFORM_PROJEKT();
    ASSERT_EQ(Titles(),
              (QStringList{"ohne Termin", "Jahresabschluss", "Website", "heute fällig", "Umzug"}));
    const QList<bool> red = {false, false, true, false, false};
    for (int row = 1; row <= red.size(); ++row) {
        const QColor colour = TestDriver::browseRowColour(kWindow, "Browse_1", row);
        EXPECT_EQ(colour.isValid() && colour == kRed, red[row - 1])
            << Titles()[row - 1].toStdString();
    }

    // Marked done and saved, the overdue project is no longer red.
    TestDriver::select(kWindow, "Browse_1", 3);
    TestDriver::click(kWindow, "Check_1");
    TestDriver::click(kWindow, "x8");
    EXPECT_EQ(Titles()[2], "Website");
    EXPECT_FALSE(TestDriver::browseRowColour(kWindow, "Browse_1", 3).isValid());
}

TEST_F(Projects, ExportIsByteForByteInEachLanguage) {
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Projekt.csv wurde erstellt.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Projekt.csv"),
              QByteArray("ERSTELLT;BEGINNT_AM;FERTIG_BIS;TITEL;TEILNEHMERN;PROJEKT;ERLEDIGT;\r"
                         "01.10.2007;01.10.2007;31.12.2007;Jahresabschluss;;;Ja;\r"
                         "01.11.2007;05.11.2007;15.02.2008;Website;Anna Bernd Carla;"
                         "\"Entwurf; \"\"neu\"\"\";Nein;\r"
                         "01.12.2007;02.01.2008;01.03.2008;Umzug;;Kisten;Nein;\r"));
    TestDriver::closeWindow(kWindow);

    UseLanguage("AM");
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Project.csv created.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Project.csv"),
              QByteArray("CREDATED;START;READY UNTIL;TITLE;PARTICIPANTS;PROJECT;READY;\r"
                         "10/01/2007;10/01/2007;12/31/2007;Jahresabschluss;;;Yes;\r"
                         "11/01/2007;11/05/2007;02/15/2008;Website;Anna Bernd Carla;"
                         "\"Entwurf; \"\"neu\"\"\";No;\r"
                         "12/01/2007;01/02/2008;03/01/2008;Umzug;;Kisten;No;\r"));
    TestDriver::closeWindow(kWindow);

    UseLanguage("BR");
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "Button_33");  // only what the list shows
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              (QStringList{"MSGEXCLAMATION: Arquivo Projeto.csv foi gerado.\n" + exportPath()}));
    EXPECT_EQ(ExportedFile("Projeto.csv"),
              QByteArray("CRIADO;INICIO;PRONTO ATE;TITULO;PARTICIPANTES;PROJETO;PRONTO;\r"
                         "01/11/2007;05/11/2007;15/02/2008;Website;Anna Bernd Carla;"
                         "\"Entwurf; \"\"neu\"\"\";N\xe3o;\r"
                         "01/12/2007;02/01/2008;01/03/2008;Umzug;;Kisten;N\xe3o;\r"));
}

TEST_F(Projects, ExportThatCannotBeWrittenSaysSoInTheLanguage) {
    UseLanguage("AM");
    THE_EXPORT_PATH = dataPath() + "missing/";
    OPENFORM_PROJEKT();
    TestDriver::click(kWindow, "x7");
    EXPECT_EQ(TakeMessages(),
              QStringList{"MSGEXCLAMATION: Sorry, I can not write the file. Permission?\n" +
                          dataPath() + "missing/Project.csv: The folder does not exist"});
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
}

TEST_F(Projects, IsPicturedInEveryLanguage) {
    QDir().mkpath(KESP_SCREENSHOT_DIR);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OPENFORM_PROJEKT();
        TestDriver::click(kWindow, "x4");
        const QString file = QString(KESP_SCREENSHOT_DIR) + "/projekt_frm_" + code + ".png";
        EXPECT_TRUE(kesp::SaveWindowScreenshot(kWindow, file)) << code;
        TestDriver::click(kWindow, "x5");
        EXPECT_TRUE(kesp::SaveWindowScreenshot(
            kWindow, QString(KESP_SCREENSHOT_DIR) + "/projekt_frm_entry_" + code + ".png"));
        TestDriver::closeWindow(kWindow);
    }
}

}  // namespace
