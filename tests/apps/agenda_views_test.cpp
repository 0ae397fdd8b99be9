// The agenda window's two views: the chosen day in the table, the eleven
// days after it in the list, their headings, their order, in three languages.
#include "apps/agenda/agenda_operations.h"
#include "store/xbase.h"
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"

#include <QSignalBlocker>
#include <QWidget>

namespace {

using kesp::test::TestDriver;

class AgendaViews : public AgendaFixture {};

TEST_F(AgendaViews, ChosenDayInTheTableTheElevenDaysAfterItInTheListInDateOrder) {
    // Stored out of order, with keys written under all three languages: the
    // order comes from the date, hour and minute alone.
    CreateAgenda({{QDate(2008, 2, 6), "08", "00", "Zu spät", "06/02/20080800"},
                  {QDate(2008, 2, 1), "10", "15", "Februar", "02/01/20081015"},
                  {QDate(2008, 1, 27), "09", "30", "Zahnarzt", "27.01.20080930"},
                  {QDate(2008, 2, 5), "23", "55", "Letzter Tag"},
                  {QDate(2008, 1, 25), "18", "30", "Heute"},
                  {QDate(2008, 2, 4), "07", "05", "Montag", "04/02/20080705"}});
    OpenAgenda(QDate(2008, 1, 25));
    EXPECT_EQ(ElevenDayItems(),
              QStringList({"27.01.2008 09:30 Zahnarzt", "01.02.2008 10:15 Februar",
                           "04.02.2008 07:05 Montag", "05.02.2008 23:55 Letzter Tag"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_2").toString(),
              "Termine von 26.01.2008 bis 05.02.2008");
    EXPECT_EQ(DayRows(), QStringList({"18:30 Heute"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "1 Termin(e) für den 25.01.2008");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Heute");

    // Another day: both views and headings follow at once.
    ChooseDay(QDate(2008, 1, 27));
    EXPECT_EQ(DayRows(), QStringList({"09:30 Zahnarzt"}));
    EXPECT_EQ(ElevenDayItems().size(), 4);
    EXPECT_EQ(ElevenDayItems().first(), "01.02.2008 10:15 Februar");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_2").toString(),
              "Termine von 28.01.2008 bis 07.02.2008");
}

TEST_F(AgendaViews, UnderAmericanDatesARangeAcrossTheYearEndListsDecemberFirst) {
    UseLanguage("AM");
    CreateAgenda({{QDate(2008, 1, 2), "09", "00", "New year", "01/02/20080900"},
                  {QDate(2007, 12, 28), "14", "00", "Old year", "12/28/20071400"},
                  {QDate(2007, 12, 31), "20", "00", "Party", "31.12.20072000"}});
    OpenAgenda(QDate(2007, 12, 26));
    EXPECT_EQ(ElevenDayItems(), QStringList({"12/28/2007 14:00 Old year", "12/31/2007 20:00 Party",
                                             "01/02/2008 09:00 New year"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_2").toString(),
              "Appointm.: 12/27/2007 to 01/06/2008");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(), "0 appointment(s): 12/26/2007");
}

TEST_F(AgendaViews, ADayWithoutAppointmentsShowsAnEmptyTableAndZero) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Gestern"},
                  {QDate(2008, 1, 26), "10", "00", "Am Tag danach, also in der Liste"}});
    OpenAgenda(QDate(2008, 1, 25));
    ChooseDay(QDate(2008, 1, 24));
    EXPECT_EQ(DayRows(), QStringList());
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "0 Termin(e) für den 24.01.2008");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Browse_1").toInt(), 0);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "");
    // The list never holds the chosen day itself.
    EXPECT_EQ(ElevenDayItems().size(), 2);
    ChooseDay(QDate(2008, 1, 25));
    EXPECT_EQ(ElevenDayItems(), QStringList({"26.01.2008 10:00 Am Tag danach, also in der Liste"}));
}

TEST_F(AgendaViews, TheDayIsOrderedByTimeAndEqualTimesKeepTheirTableOrder) {
    CreateAgenda({{QDate(2008, 1, 25), "14", "00", "Nachmittag"},
                  {QDate(2008, 1, 25), "09", "05", "Erster um fünf nach neun"},
                  {QDate(2008, 1, 25), "09", "00", "Neun"},
                  {QDate(2008, 1, 25), "09", "05", "Zweiter um fünf nach neun"},
                  {QDate(2008, 1, 25), "10", "00", "Gelöscht", "", true}});
    OpenAgenda(QDate(2008, 1, 25));
    EXPECT_EQ(DayRows(), QStringList({"09:00 Neun", "09:05 Erster um fünf nach neun",
                                      "09:05 Zweiter um fünf nach neun", "14:00 Nachmittag"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "4 Termin(e) für den 25.01.2008");
    // Opening removed the record left marked deleted.
    EXPECT_EQ(StoredRecords().size(), 4);
}

TEST_F(AgendaViews, ChoosingARowShowsItInTheEditPanel) {
    CreateAgenda(
        {{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}, {QDate(2008, 1, 25), "18", "30", "Kino"}});
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::select("agenda_frm", "Browse_1", 2);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Kino");
    EXPECT_EQ(TestDriver::read("agenda_frm", "DatePicker_1").toDate(), QDate(2008, 1, 25));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_3").toInt(), 19);  // "18"
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_4").toInt(), 7);   // "30"
    TestDriver::select("agenda_frm", "Browse_1", 1);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_3").toInt(), 10);  // "09"
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_4").toInt(), 2);   // "05"
}

TEST_F(AgendaViews, ATimeTheListsCannotShowLeavesThemWithoutASelection) {
    CreateAgenda({{QDate(2008, 1, 25), "7", "07", "Von anderswo"},
                  {QDate(2008, 1, 25), "", "", "Ohne Zeit"},
                  {QDate(2008, 1, 25), "24", "60", "Außer der Zeit"}});
    OpenAgenda(QDate(2008, 1, 25));
    for (int row = 1; row <= 3; ++row) {
        TestDriver::select("agenda_frm", "Browse_1", row);
        SCOPED_TRACE(TestDriver::read("agenda_frm", "Text_2").toString().toStdString());
        EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_3").toInt(), 0);
        EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_4").toInt(), 0);
    }
}

TEST_F(AgendaViews, TheDatePickersNeverHoldTheEmptyDate) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}});
    OpenAgenda(QDate(2008, 1, 25));
    ChooseDay(QDate(2008, 1, 27));
    SETPROPERTY("agenda_frm", "DatePicker_2", "value", QDate(2008, 2, 3));
    ChooseDay(QDate(2008, 1, 25));
    for (const char* picker : {"MonthCal_1", "DatePicker_1", "DatePicker_2"}) {
        SCOPED_TRACE(picker);
        const QDate before = TestDriver::read("agenda_frm", picker).toDate();
        ASSERT_TRUE(before.isValid());
        SETPROPERTY("agenda_frm", picker, "value", QDate());
        EXPECT_EQ(TestDriver::read("agenda_frm", picker).toDate(), before);
        TestDriver::clearText("agenda_frm", picker);
        TestDriver::pressKey("agenda_frm", picker, Qt::Key_Return);
        EXPECT_EQ(TestDriver::read("agenda_frm", picker).toDate(), before);
    }
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "1 Termin(e) für den 25.01.2008");
}

TEST_F(AgendaViews, TheDayViewKeepsTheDayItWasOpenedFor) {
    CreateAgenda(
        {{QDate(2008, 1, 25), "09", "05", "Heute"}, {QDate(2008, 1, 26), "10", "00", "Morgen"}});
    OpenAgenda(QDate(2008, 1, 25));
    // The chosen day changes without the views being rebuilt (as while a
    // report is laid out): the view still holds the day it was made for.
    {
        const QSignalBlocker quiet(TestDriver::widget("agenda_frm", "MonthCal_1"));
        ChooseDay(QDate(2008, 1, 26));
    }
    DBSELECTAREA("a");
    QStringList shown;
    DBEVAL([&shown] { shown.append(FIELD("TERMIN").toString().trimmed()); });
    EXPECT_EQ(shown, QStringList({"Heute"}));
}

TEST_F(AgendaViews, TextsFollowTheLanguage) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Dentista"},
                  {QDate(2008, 1, 25), "10", "00", "Reunião"}});
    struct Expected {
        const char* code;
        QString editFrame, textHeader, preview, dayHeading;
    };
    const Expected languages[] = {
        {"DE", "Termin bearbeiten", "Termin", "Druckvorschau", "2 Termin(e) für den 25.01.2008"},
        {"AM", "Edit appointment", "Appointment", "Print preview", "2 appointment(s): 01/25/2008"},
        {"BR", "Alterar compromisso", "Compromisso", "Imprimir", "2 Compromisso(s): 25/01/2008"},
    };
    for (const Expected& expected : languages) {
        SCOPED_TRACE(expected.code);
        UseLanguage(expected.code);
        OpenAgenda(QDate(2008, 1, 25));
        EXPECT_EQ(GETPROPERTY("agenda_frm", "Title").toString(), "Agenda");
        EXPECT_EQ(GETPROPERTY("agenda_frm", "Frame_2", "caption").toString(), expected.editFrame);
        EXPECT_EQ(GETPROPERTY("agenda_frm", "Browse_1", "header", 3).toString(),
                  expected.textHeader);
        EXPECT_EQ(TestDriver::read("agenda_frm", "Label_6").toString(), expected.textHeader);
        EXPECT_EQ(GETPROPERTY("agenda_frm", "Button_4", "caption").toString(), expected.preview);
        EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(), expected.dayHeading);
        TestDriver::closeWindow("agenda_frm");
    }
}

}  // namespace
