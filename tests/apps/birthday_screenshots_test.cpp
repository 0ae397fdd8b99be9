// Pictures of the birthday list and of the biorhythm chart (lines, bars,
// points, and without a birth date) in the three languages, and their
// printouts as PDF files, written to the build's screenshots folder for a
// person to look at.
#include "apps/biorhythm/biorhythm.h"
#include "apps/birthdays/birthdays.h"
#include "tests/apps/birthday_fixture.h"
#include "tests/apps/recorded_printing.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QDir>

namespace {

using kesp::test::TestDriver;

class BirthdayScreenshots : public BirthdayFixture {
  protected:
    void SetUp() override {
        BirthdayFixture::SetUp();
        pictures_ = KESP_SCREENSHOT_DIR;
        QDir().mkpath(pictures_);
        SET_PICTURE_FOLDER(KESP_APP_DIR);
        driver_.setToday(QDate(2006, 11, 28));
        CreatePersons({{.vorname = "Jürgen",
                        .nachname = "Weiß",
                        .geburtstag = QDate(1964, 12, 24),
                        .liste = true},
                       {.vorname = "Émilie",
                        .nachname = "Côté",
                        .geburtstag = QDate(1991, 7, 1),
                        .liste = true}});
        SetContact(1, "0711 12345", "anna.albers@example.org");
        SetContact(5, "+49 30 555 0199", "juergen@example.de");
        InstallTable("geburt.dbf", false);
        StoreBirthDate(QDate(1980, 1, 1));
    }
    void StoreBirthDate(const QDate& date) {
        DBUSEAREA(false, dataPath() + "geburt.dbf", "g");
        DBGOTOP();
        if (DBEOF()) DBAPPEND();
        REPLACE("DATUM", date);
        DBCOMMIT();
        DBCLOSEAREA();
    }
    void Shoot(const QString& window, const QString& name) {
        EXPECT_TRUE(kesp::SaveWindowScreenshot(window, pictures_ + "/" + name + ".png"))
            << name.toStdString();
    }
    QString pictures_;
};

TEST_F(BirthdayScreenshots, BirthdayListInEveryLanguage) {
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        const QString suffix = QString("_") + code;
        OPENFORM_GEBURT();
        TestDriver::select("form3", "Browse_1", 4);
        Shoot("form3", "form3_list" + suffix);
        TestDriver::typeInto("form3", "s_geburt", "an");
        Shoot("form3", "form3_search" + suffix);
        TestDriver::clearText("form3", "s_geburt");
        TestDriver::typeInto("form3", "s_geburt", "zzz");
        Shoot("form3", "form3_miss" + suffix);
        TestDriver::click("form3", "Button_6");  // March
        Shoot("form3", "form3_march" + suffix);
        TestDriver::closeWindow("form3");

        RecordedPrinting printing;
        printing.pdfFile = pictures_ + "/birthday_list" + suffix + ".pdf";
        QFile::remove(printing.pdfFile);
        PRINT_GEB();
        EXPECT_TRUE(QFile::exists(printing.pdfFile)) << code;
    }
}

TEST_F(BirthdayScreenshots, BiorhythmChartsInEveryLanguage) {
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        const QString suffix = QString("_") + code;
        OPENBIO();
        Shoot("bioform", "bioform_lines" + suffix);
        TestDriver::click("bioform", "Button_2");
        Shoot("bioform", "bioform_bars" + suffix);
        TestDriver::click("bioform", "Button_3");
        Shoot("bioform", "bioform_points" + suffix);
        SETPROPERTY("bioform", "Text_2", "value", QDate(2008, 2, 25));
        TestDriver::click("bioform", "Button_2");
        Shoot("bioform", "bioform_february" + suffix);

        RecordedPrinting printing;
        printing.printer = PrintChoice{};
        printing.pdfFile = pictures_ + "/biorhythm" + suffix + ".pdf";
        QFile::remove(printing.pdfFile);
        TestDriver::click("bioform", "Button_4");
        EXPECT_TRUE(QFile::exists(printing.pdfFile)) << code;
        TestDriver::closeWindow("bioform");
    }
    StoreBirthDate(QDate());
    UseLanguage("DE");
    OPENBIO();
    Shoot("bioform", "bioform_no_birth_date_DE");
    TestDriver::closeWindow("bioform");
}

}  // namespace
