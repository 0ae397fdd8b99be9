// Renders the agenda window in the three languages to PNG files in the
// build's screenshots folder, for a person to look at.
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"

#include <QDir>

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

}  // namespace
