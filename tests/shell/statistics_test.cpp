// The statistics of the main window with "today" fixed at 24 December 2007:
// what counts for today, what a deleted record does, and how a missing table
// ends the program.
#include "tests/shell/installed_program.h"

#include "kernel/public_variables.h"
#include "shell/statistics.h"
#include "store/fault.h"
#include "tests/paint_counter.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QFile>

namespace {

class Statistics : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        SET_TODAY_FOR_TESTS(QDate(2007, 12, 24));
    }
};

TEST_F(Statistics, DatesCountOnTodaysDayAndMonthOfAnyYearButNeverWhenEmpty) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2005, 12, 24)}, {"TERMIN", "Christmas 2005"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "Christmas 2007"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 11, 24)}, {"TERMIN", "a month early"}});
    AddRecord("agenda.dbf", {{"TERMIN", "no date"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(1999, 12, 24)}, {"N_TITEL", "note"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2007, 12, 25)}, {"N_TITEL", "tomorrow"}});
    AddRecord("projekt.dbf", {{"DATUMA", QDate(2007, 12, 24)}, {"DATUME", QDate(2008, 1, 24)}});
    AddRecord("projekt.dbf", {{"DATUMA", QDate(2007, 1, 1)}, {"DATUME", QDate(2008, 12, 24)}});

    OpenMainWindow();

    EXPECT_EQ(Property("lbl_4", "Value"), "2 Appointments [today]");
    EXPECT_EQ(Property("lbl_5", "Value"), "1 Notes [today]");
    EXPECT_EQ(Property("lbl_6", "Value"), "1 Projects [deadline today]");
}

TEST_F(Statistics, BirthdaysCountOnlyWhenTheRemindFlagIsSet) {
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Anna"}, {"GEBURTSTAG", QDate(1970, 12, 24)}, {"LISTE", true}});
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Bruno"}, {"GEBURTSTAG", QDate(1980, 12, 24)}, {"LISTE", false}});
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Carla"}, {"GEBURTSTAG", QDate(1975, 12, 23)}, {"LISTE", true}});
    AddRecord("adressen_p.dbf", {{"VORNAME", "Dora"}, {"LISTE", true}});
    AddRecord("adressen_g.dbf", {{"VORNAME", "ACME"}});

    OpenMainWindow();

    EXPECT_EQ(Property("lbl_1", "Value"), "4 Contacts [friends]");
    EXPECT_EQ(Property("lbl_2", "Value"), "1 Birthday [today]");
    EXPECT_EQ(Property("lbl_3", "Value"), "1 Contacts [business]");
    EXPECT_EQ(Property("lbl_7", "Value"), "0 [bookmarks]");
    EXPECT_EQ(Property("lbl_12", "Value"), "0 [Data]");
}

TEST_F(Statistics, ABirthdayOn29FebruaryCountsOn28FebruaryOfTheYearsWithoutOne) {
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Lea"}, {"GEBURTSTAG", QDate(1980, 2, 29)}, {"LISTE", true}});
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Max"}, {"GEBURTSTAG", QDate(1981, 2, 28)}, {"LISTE", true}});
    SET_TODAY_FOR_TESTS(QDate(2007, 2, 28));
    OpenMainWindow();
    EXPECT_EQ(Property("lbl_2", "Value"), "2 Birthday [today]");
    const struct {
        QDate today;
        const char* count;
    } days[] = {{QDate(2008, 2, 29), "1 Birthday [today]"},
                {QDate(2008, 2, 28), "1 Birthday [today]"},  // Max alone: Lea's day follows
                {QDate(2007, 3, 1), "0 Birthday [today]"},
                {QDate(2100, 2, 28), "2 Birthday [today]"}};  // 2100 has no 29 February
    for (const auto& day : days) {
        SET_TODAY_FOR_TESTS(day.today);
        HAUPT_STATISTIK();
        EXPECT_EQ(Property("lbl_2", "Value"), day.count) << day.today.toString().toStdString();
    }
}

TEST_F(Statistics, DeletedRecordStopsCountingAndIsGoneFromTheFileAfterTheRefresh) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2005, 12, 24)}, {"TERMIN", "keep"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2006, 12, 24)}, {"TERMIN", "drop"}});
    AddRecord("internet.dbf", {{"N_HYPER", "https://example.org"}});
    AddRecord("internet.dbf", {{"N_HYPER", "https://example.net"}});
    OpenMainWindow();
    EXPECT_EQ(Property("lbl_4", "Value"), "2 Appointments [today]");
    EXPECT_EQ(Property("lbl_7", "Value"), "2 [bookmarks]");

    DeleteRecords("agenda.dbf", [] { return FIELD("TERMIN").toString().trimmed() == "drop"; });
    DeleteRecords("internet.dbf",
                  [] { return FIELD("N_HYPER").toString().trimmed().endsWith(".net"); });
    EXPECT_EQ(RecordCount("agenda.dbf"), 2);  // only marked so far

    HAUPT_STATISTIK();  // "Update statistics"

    EXPECT_EQ(Property("lbl_4", "Value"), "1 Appointments [today]");
    EXPECT_EQ(Property("lbl_7", "Value"), "1 [bookmarks]");
    EXPECT_EQ(RecordCount("agenda.dbf"), 1);
    EXPECT_EQ(RecordCount("internet.dbf"), 1);
}

// Figures counted beside the loop fill the main window's labels in a moment:
// the window is painted once, when the refresh returns. A table packed and
// counted on the loop (it holds a record marked deleted) shows its status
// line at once, before its count.
TEST_F(Statistics, CountedFiguresArePaintedWhenTheRefreshReturnsAPackAsItGoes) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2005, 12, 24)}, {"TERMIN", "keep"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2006, 12, 24)}, {"TERMIN", "drop"}});
    OpenMainWindow();
    QApplication::processEvents();
    PaintCounter count(kesp::test::TestDriver::widget("haupt", "lbl_4"));
    PaintCounter status(kesp::test::TestDriver::widget("haupt", "Label_36"));
    AddRecord("agenda.dbf", {{"DATUM", QDate(2004, 12, 24)}, {"TERMIN", "new"}});
    HAUPT_STATISTIK();
    EXPECT_EQ(Property("lbl_4", "Value"), "3 Appointments [today]");
    EXPECT_EQ(count.paints, 0);
    EXPECT_EQ(status.paints, 0);
    QApplication::processEvents();
    EXPECT_GE(count.paints, 1);

    DeleteRecords("agenda.dbf", [] { return FIELD("TERMIN").toString().trimmed() == "drop"; });
    status.paints = 0;
    HAUPT_STATISTIK();
    EXPECT_GE(status.paints, 1);  // inside the refresh: nothing returned to the loop yet
    EXPECT_EQ(Property("lbl_4", "Value"), "2 Appointments [today]");
}

TEST_F(Statistics, ShowsOwnApplicationBirthDateAndTheTimeOfTheRunInTheLanguage) {
    OpenMainWindow();
    EXPECT_EQ(THE_APP_NAME2, "Literature DB");
    EXPECT_EQ(Property("Button_27", "Caption"), "Literature DB");
    EXPECT_EQ(Property("Label_19", "Value"), "Birthday: 01/01/1980");
    EXPECT_TRUE(Property("Label_36", "Value").startsWith("Last update: 12/24/2007 "));
    EXPECT_EQ(Property("Label_36", "Value").size(),
              QString("Last update: 12/24/2007 14:05:09").size());
    EXPECT_EQ(GETPROPERTY("haupt", "ProgressBar_4", "Value").toInt(), 100);

    StoreLanguage("DE");
    HAUPT_STATISTIK();
    EXPECT_EQ(Property("Label_19", "Value"), "Geburtsdatum: 01.01.1980");
    EXPECT_TRUE(Property("Label_36", "Value").startsWith("Zuletzt aktualisiert: 24.12.2007 "));
    EXPECT_EQ(Property("lbl_9", "Value"), "0 [Wörter]");
    EXPECT_EQ(Property("lbl_3", "Value"), "0 Adressen [Gechäftl.]");
}

TEST_F(Statistics, EmptyNameAndBirthDateTablesGiveABlankCaptionAndNoDate) {
    DeleteRecords("myfields.dbf", {});
    DeleteRecords("geburt.dbf", {});
    OpenMainWindow();
    EXPECT_EQ(THE_APP_NAME2, "");
    EXPECT_EQ(Property("Button_27", "Caption"), "");
    EXPECT_EQ(Property("Label_19", "Value").trimmed(), "Birthday:   /  /");
}

TEST_F(Statistics, MissingTableEndsTheProgramThroughTheFaultHandlerNamingTheFile) {
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}});
    ASSERT_TRUE(QFile::remove(DataFile("notiz.dbf")));
    int exitCode = -1;
    kesp::seam::endProcess = [&exitCode](int code) { exitCode = code; };

    EXPECT_THROW(OpenMainWindow(), kesp::FaultException);

    EXPECT_EQ(exitCode, 1);
    ASSERT_FALSE(boxes_.isEmpty());
    EXPECT_EQ(boxes_.last().kind, "STOP");
    EXPECT_EQ(boxes_.last().title, "Program Error");
    EXPECT_TRUE(boxes_.last().text.contains("notiz.dbf")) << qPrintable(boxes_.last().text);
    EXPECT_TRUE(boxes_.last().text.contains("HAUPT_STATISTIK"));

    QFile log(folder_.filePath("ErrorLog.Htm"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString entry = QString::fromLatin1(log.readAll());
    EXPECT_TRUE(entry.contains("notiz.dbf"));
    EXPECT_TRUE(entry.contains("Open error"));

    // The steps before the missing table keep their new values; the status
    // line and the progress bar had moved on to the failing step before its
    // table was opened.
    EXPECT_EQ(Property("lbl_4", "Value"), "1 Appointments [today]");
    EXPECT_EQ(Property("lbl_5", "Value"), "");
    EXPECT_EQ(Property("Label_36", "Value"), "Update notes [today]");
    EXPECT_EQ(GETPROPERTY("haupt", "ProgressBar_4", "Value").toInt(), 40);
}

}  // namespace
