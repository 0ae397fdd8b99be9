// Renders the agenda window in the three languages to PNG files in the
// build's screenshots folder, for a person to look at.
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QDir>
#include <QFile>

namespace {

using kesp::test::TestDriver;

class AgendaScreenshots : public AgendaFixture {};

TEST_F(AgendaScreenshots, TheAgendaWindowInEveryLanguage) {
    const QString pictures = KESP_SCREENSHOT_DIR;
    QDir().mkpath(pictures);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt Dr. Müller"},
                  {QDate(2008, 1, 25), "12", "30", "Mittagessen mit Anna; Treffpunkt Rathaus"},
                  {QDate(2008, 1, 25), "18", "00", "Kino: Die Feuerzangenbowle"},
                  {QDate(2008, 1, 27), "10", "00", "Brunch bei Jürgen"},
                  {QDate(2008, 2, 1), "08", "15", "Projekt Übergabe"},
                  {QDate(2008, 2, 4), "14", "45", "Reifenwechsel"},
                  {QDate(2008, 2, 5), "19", "30", "Chorprobe"}});
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OpenAgenda(QDate(2008, 1, 25));
        TestDriver::select("agenda_frm", "Browse_1", 2);
        TestDriver::typeInto("agenda_frm", "Text_1", "Geburtstag Oma");
        EXPECT_TRUE(
            kesp::SaveWindowScreenshot("agenda_frm", pictures + "/agenda_frm_" + code + ".png"));
        TestDriver::closeWindow("agenda_frm");
    }
}

// The details window and the question which occurrences, over an
// occurrence of a weekly series with a place.
TEST_F(AgendaScreenshots, TheDetailsAndTheSeriesQuestionInEveryLanguage) {
    const QString pictures = KESP_SCREENSHOT_DIR;
    QDir().mkpath(pictures);
    SET_PICTURE_FOLDER(KESP_APP_DIR);
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt Dr. Müller"}});
    QFile file(folder_.path() + "/series.ics");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\n"
               "UID:choir@test\r\nDTSTART:20080122T193000\r\nDTEND:20080122T213000\r\n"
               "RRULE:FREQ=WEEKLY;BYDAY=TU,FR;UNTIL=20080630\r\nSUMMARY:Chorprobe\r\n"
               "LOCATION:Gemeindehaus\r\nDESCRIPTION:Noten mitbringen\r\nEND:VEVENT\r\n"
               "END:VCALENDAR\r\n");
    file.close();
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        OpenAgenda(QDate(2008, 1, 25));
        if (QString(code) == "DE") {
            driver_.answerNextFile(file.fileName());
            TestDriver::click("agenda_frm", "Menu_2");
            TakeMessages();
        }
        TestDriver::select("agenda_frm", "Browse_1", 2);
        EXPECT_TRUE(kesp::SaveWindowScreenshot(
            "agenda_frm", pictures + "/agenda_frm_series_" + code + ".png"));
        TestDriver::click("agenda_frm", "Button_7");
        ASSERT_TRUE(TestDriver::isOpen("agenda_det"));
        EXPECT_TRUE(
            kesp::SaveWindowScreenshot("agenda_det", pictures + "/agenda_det_" + code + ".png"));
        TestDriver::closeWindow("agenda_det");
        TestDriver::click("agenda_frm", "Button_1");
        ASSERT_TRUE(TestDriver::isOpen("agenda_serie"));
        EXPECT_TRUE(kesp::SaveWindowScreenshot("agenda_serie",
                                               pictures + "/agenda_serie_" + code + ".png"));
        TestDriver::closeWindow("agenda_serie");
        TestDriver::closeWindow("agenda_frm");
    }
}

}  // namespace
