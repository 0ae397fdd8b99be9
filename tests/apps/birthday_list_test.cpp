// The birthday list driven through its window: who is listed and in which
// order, the month views, the first-name search, the details and the count
// line, and the printed list from the window and from the main window.
#include "apps/birthdays/birthday_operations.h"
#include "apps/birthdays/birthdays.h"
#include "tests/apps/birthday_fixture.h"
#include "tests/apps/recorded_printing.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QColor>
#include <QDir>

namespace {

using kesp::test::TestDriver;

QString Value(const QString& control) {
    return TestDriver::read("form3", control).toString();
}
QColor SearchColour() {
    return TestDriver::read("form3", "s_geburt", "backcolor").value<QColor>();
}
QStringList List() {
    return AddressFixture::ListRows("form3");
}
QStringList Dates() {
    QStringList dates;
    for (int row = 1; row <= TestDriver::browseRows("form3", "Browse_1"); ++row)
        dates.append(TestDriver::browseCell("form3", "Browse_1", row, 2));
    return dates;
}
void Search(const QString& text) {
    TestDriver::clearText("form3", "s_geburt");
    TestDriver::typeInto("form3", "s_geburt", text);
}
// Buttons Button_4 ... Button_15 are January ... December.
void ShowMonth(int month) {
    TestDriver::click("form3", "Button_" + QString::number(month + 3));
}
// The first names on the data lines of printed pages.
QStringList PrintedNames(const QList<RecordedPage>& pages) {
    QStringList names;
    for (const QString& line : RecordedPrinting::DataLines(pages))
        names.append(line.section(' ', 0, 0));
    return names;
}

class BirthdayList : public BirthdayFixture {
  protected:
    void SetUp() override {
        BirthdayFixture::SetUp();
        CreatePersons(
            {{.vorname = "Dieter", .geburtstag = QDate(1990, 1, 1), .liste = true, .deleted = true},
             {.vorname = "Emil", .geburtstag = QDate(1975, 11, 30), .liste = true}});
        SetContact(1, "0711 12345", "anna@example.org");
    }
};

TEST_F(BirthdayList, OpensOnTheListedPersonsByMonthThenDayAfterPackingTheDeletedOnes) {
    OPENFORM_GEBURT();
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
    // No birth date first, then by month and, within March, by day.
    EXPECT_EQ(List(), (QStringList{"Carla", "andreas", "Anna", "Emil"}));
    EXPECT_EQ(Dates(), (QStringList{"  .  .", "05.03.1985", "20.03.1970", "30.11.1975"}));
    EXPECT_EQ(Value("t_vorname"), "Carla");
    EXPECT_EQ(Value("t_geburtstag"), "");
    EXPECT_EQ(Value("lbl_filter"), "");
    EXPECT_EQ(QApplication::focusWidget(), TestDriver::widget("form3", "s_geburt"));
    TestDriver::closeWindow("form3");
    EXPECT_EQ(StoredNames("adressen_p.dbf"),
              (QStringList{"Anna", "andreas", "Bernd", "Carla", "Emil"}));
}

TEST_F(BirthdayList, SelectingAPersonShowsTheDetailsInTheDateFormatOfTheLanguage) {
    const struct {
        const char* code;
        const char* date;
        const char* count;
    } languages[] = {{"DE", "20.03.1970", "4 Daten in der Datenbank."},
                     {"AM", "03/20/1970", "4 records in the database."},
                     {"BR", "20/03/1970", "4 registros no banco de dados."}};
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        OPENFORM_GEBURT();
        TestDriver::select("form3", "Browse_1", 3);
        EXPECT_EQ(Value("t_vorname"), "Anna");
        EXPECT_EQ(Value("t_nachname"), "Albers");
        EXPECT_EQ(Value("t_geburtstag"), language.date);
        EXPECT_EQ(Value("t_tel"), "0711 12345");
        EXPECT_EQ(Value("t_email"), "anna@example.org");
        EXPECT_EQ(Value("label_anzahl"), language.count);
        TestDriver::closeWindow("form3");
    }
    // Each caption is as wide as the box under it.
    OPENFORM_GEBURT();
    for (const auto& [caption, box] :
         {std::pair{"Label_21", "t_geburtstag"}, {"Label_22", "t_tel"}})
        EXPECT_EQ(GETPROPERTY("form3", caption, "width").toInt(),
                  GETPROPERTY("form3", box, "width").toInt())
            << caption;
    EXPECT_EQ(GETPROPERTY("form3", "Label_21", "width").toInt(), 80);
    EXPECT_EQ(GETPROPERTY("form3", "Label_22", "width").toInt(), 150);
}

TEST_F(BirthdayList, MonthViewsShowOnlyThatMonthsListedPersonsByDay) {
    OPENFORM_GEBURT();
    ShowMonth(3);
    EXPECT_EQ(List(), (QStringList{"andreas", "Anna"}));  // never Bernd, who is not listed
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(Value("t_vorname"), "andreas");
    ShowMonth(11);
    EXPECT_EQ(List(), QStringList{"Emil"});
    ShowMonth(1);  // Dieter's month, but Dieter was deleted
    EXPECT_EQ(List(), QStringList{});
    EXPECT_EQ(Value("lbl_filter"), "0 gefunden");
    EXPECT_EQ(Value("t_vorname"), "");
    for (int month = 1; month <= 12; ++month) {
        ShowMonth(month);
        EXPECT_FALSE(List().contains("Carla")) << month;
        EXPECT_FALSE(List().contains("Bernd")) << month;
    }
    TestDriver::click("form3", "Button_3");  // "Alle"
    EXPECT_EQ(List(), (QStringList{"Carla", "andreas", "Anna", "Emil"}));
    EXPECT_EQ(Value("lbl_filter"), "4 gefunden");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");
}

TEST_F(BirthdayList, FirstNameSearchFindsListedPersonsInAnyCaseAndFallsBackToEverybody) {
    OPENFORM_GEBURT();
    Search("an");
    EXPECT_EQ(List(), (QStringList{"andreas", "Anna"}));
    EXPECT_EQ(Value("lbl_filter"), "2 gefunden");
    EXPECT_EQ(SearchColour(), QColor(0, 255, 0));
    EXPECT_EQ(Value("t_vorname"), "andreas");

    // A miss lists every listed person by first name, from the first one.
    Search("zzz");
    EXPECT_EQ(SearchColour(), QColor(255, 0, 0));
    EXPECT_EQ(Value("lbl_filter"), "0 gefunden");
    EXPECT_EQ(List(), (QStringList{"andreas", "Anna", "Carla", "Emil"}));
    EXPECT_EQ(TestDriver::browseTopRow("form3", "Browse_1"), 1);
    EXPECT_EQ(Value("t_vorname"), "andreas");

    Search("be");  // Bernd is in the table but not on the list
    EXPECT_EQ(SearchColour(), QColor(255, 0, 0));
    EXPECT_FALSE(List().contains("Bernd"));

    TestDriver::clearText("form3", "s_geburt");
    EXPECT_EQ(SearchColour(), QColor(255, 255, 255));
    EXPECT_EQ(List(), (QStringList{"andreas", "Anna", "Carla", "Emil"}));
    EXPECT_EQ(Value("lbl_filter"), "4 gefunden");
    EXPECT_EQ(Value("label_anzahl"), "4 Daten in der Datenbank.");

    // "All" goes back to the birthday order and leaves the search box alone.
    Search("zzz");
    TestDriver::click("form3", "Button_3");
    EXPECT_EQ(List(), (QStringList{"Carla", "andreas", "Anna", "Emil"}));
    EXPECT_EQ(SearchColour(), QColor(255, 0, 0));
    EXPECT_EQ(Value("s_geburt"), "zzz");
}

TEST_F(BirthdayList, PrintingAMonthViewPrintsThatMonthAndReturnsToTheSelectedPerson) {
    RecordedPrinting printing;
    OPENFORM_GEBURT();
    ShowMonth(3);
    TestDriver::select("form3", "Browse_1", 2);
    ASSERT_EQ(Value("t_vorname"), "Anna");
    TestDriver::click("form3", "Button_16");
    ASSERT_EQ(printing.previews.size(), 1);
    EXPECT_EQ(PrintedNames(printing.previews[0]), (QStringList{"andreas", "Anna"}));
    EXPECT_EQ(Value("t_vorname"), "Anna");
    EXPECT_EQ(TestDriver::read("form3", "Browse_1").toInt(), 1);  // Anna's record
    EXPECT_EQ(List(), (QStringList{"andreas", "Anna"}));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(dataPath()));

    // A search prints what it shows, in first-name order.
    Search("an");
    TestDriver::click("form3", "Button_16");
    ASSERT_EQ(printing.previews.size(), 2);
    EXPECT_EQ(PrintedNames(printing.previews[1]), (QStringList{"andreas", "Anna"}));
    TestDriver::click("form3", "Button_3");
    TestDriver::click("form3", "Button_16");
    ASSERT_EQ(printing.previews.size(), 3);
    EXPECT_EQ(PrintedNames(printing.previews[2]),
              (QStringList{"Carla", "andreas", "Anna", "Emil"}));
    EXPECT_EQ(Value("t_vorname"), "Carla");
}

TEST_F(BirthdayList, ThePrintedListHasItsColumnsAndTitleInTheLanguage) {
    RecordedPrinting printing;
    const struct {
        const char* code;
        const char* title;
        const char* headings;
        const char* anna;
    } languages[] = {
        {"DE", "Geburtstagsliste", "Vorname          Nachname         Geburtsdatum Telefon",
         "Anna             Albers           20.03.1970   0711 12345       anna@example.org"},
        {"AM", "Birthday List", "First name       Name             Birthday     Telephone",
         "Anna             Albers           03/20/1970   0711 12345       anna@example.org"},
        {"BR", "Aniversários - Lista", "Nome             Sobrenome        Aniversário  Telefone",
         "Anna             Albers           20/03/1970   0711 12345       anna@example.org"},
    };
    for (const auto& language : languages) {
        SCOPED_TRACE(language.code);
        UseLanguage(language.code);
        PRINT_GEB();
        ASSERT_FALSE(printing.previews.isEmpty());
        const QList<RecordedPage> pages = printing.previews.takeLast();
        ASSERT_EQ(pages.size(), 1);
        EXPECT_NEAR(pages[0].paperMm.width(), 210, 0.5);  // A4
        EXPECT_NEAR(pages[0].paperMm.height(), 297, 0.5);
        QStringList title;
        QString headings;
        for (const PageText& text : pages[0].texts) {
            if (text.line == 1 && text.bold) title.append(text.text.trimmed());
            if (text.line == 6) headings += text.text;
        }
        EXPECT_EQ(title, QStringList{language.title});
        EXPECT_TRUE(headings.startsWith(language.headings)) << headings.toStdString();
        EXPECT_EQ(RecordedPrinting::DataLines(pages).value(2), language.anna);
    }
}

TEST_F(BirthdayList, PrintingFromTheMainWindowPrintsEveryListedPersonWithoutPacking) {
    RecordedPrinting printing;
    PRINT_GEB();
    ASSERT_EQ(printing.previews.size(), 1);
    // Dieter is marked deleted: hidden from the print, but still in the file.
    EXPECT_EQ(PrintedNames(printing.previews[0]),
              (QStringList{"Carla", "andreas", "Anna", "Emil"}));
    EXPECT_FALSE(USED());
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(THE_APP_PATH));
    EXPECT_EQ(StoredNames("adressen_p.dbf"),
              (QStringList{"Anna", "andreas", "Bernd", "Carla", "-Dieter", "Emil"}));
}

TEST_F(BirthdayList, AMissingReportDefinitionIsReportedAndTheViewRestored) {
    RecordedPrinting printing;
    QFile::remove(folder_.filePath("xxrep_geb.rpt"));
    OPENFORM_GEBURT();
    TestDriver::select("form3", "Browse_1", 3);
    TestDriver::click("form3", "Button_16");
    EXPECT_TRUE(printing.previews.isEmpty());
    ASSERT_EQ(driver_.messageBoxes().size(), 1);
    EXPECT_EQ(driver_.messageBoxes()[0].text, "(xxrep_geb.rpt)  File not found");
    EXPECT_EQ(Value("t_vorname"), "Anna");
    EXPECT_EQ(List(), (QStringList{"Carla", "andreas", "Anna", "Emil"}));
}

}  // namespace
