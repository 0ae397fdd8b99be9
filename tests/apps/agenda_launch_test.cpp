// The agenda as the installed program opens it: from the main window's
// launch buttons, over the tables and report definitions the build installs.
#include "kernel/public_variables.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"
#include "store/xbase.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QFile>

namespace {

using kesp::test::TestDriver;

class AgendaLaunch : public InstalledProgram {};

TEST_F(AgendaLaunch, TheReportDefinitionsAreInstalledAsWindows1252Text) {
    const QString built = KESP_BUILT_APP_DIR;
    for (const char* name : {"xxagenda01", "xxagenda01_en", "xxagenda01_br", "xxagenda02",
                             "xxagenda02_en", "xxagenda02_br"}) {
        SCOPED_TRACE(name);
        QFile definition(built + "/" + name + ".rpt");
        ASSERT_TRUE(definition.open(QIODevice::ReadOnly));
        const QByteArray text = definition.readAll();
        EXPECT_TRUE(text.startsWith("DEFINE REPORT "));
        EXPECT_TRUE(text.contains("PAPERSIZE DMPAPER_A4"));
        EXPECT_TRUE(text.contains("PREVIEW"));
        EXPECT_FALSE(text.contains("\n\r\n")) << "no blank line inside the block";
    }
    QFile german(built + "/xxagenda02.rpt");
    ASSERT_TRUE(german.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        german.readAll().contains("n\xe4"
                                  "chsten elf Tage"));
    QFile portuguese(built + "/xxagenda02_br.rpt");
    ASSERT_TRUE(portuguese.open(QIODevice::ReadOnly));
    EXPECT_TRUE(portuguese.readAll().contains("pr\xf3ximos onze dias"));
}

TEST_F(AgendaLaunch, BothLaunchButtonsOpenTheAgendaOverTheInstalledTable) {
    const QString built = KESP_BUILT_APP_DIR;
    for (const char* name : {"xxagenda01_en.rpt", "xxagenda02_en.rpt"})
        QFile::copy(built + "/" + name, folder_.filePath(name));
    SET_TODAY_FOR_TESTS(QDate(2008, 1, 25));
    OpenMainWindow();
    ASSERT_EQ(THE_LANG, "AM") << "the language the program is installed with";
    for (const char* button : {"Button_10", "Button_13"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("agenda_frm"));
        EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
                  "0 appointment(s): 01/25/2008");
        TestDriver::closeWindow("agenda_frm");
    }

    TestDriver::click("haupt", "Button_13");
    TestDriver::typeInto("agenda_frm", "Text_1", "Dentist");
    TestDriver::select("agenda_frm", "Combo_1", 10);
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(), "1 appointment(s): 01/25/2008");

    int pages = 0;
    const ReportDialogs dialogs = CurrentReportDialogs();
    CurrentReportDialogs().runPreview = [&pages](PrintPreview& preview) {
        pages = preview.pageCount();
    };
    TestDriver::click("agenda_frm", "Button_3");
    CurrentReportDialogs() = dialogs;
    EXPECT_EQ(pages, 1);
    TestDriver::click("agenda_frm", "Button_5");
    QFile exported(THE_EXPORT_PATH + "Agenda_Day.csv");
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll(),
              QByteArray("Date;HH;Min.;Appointment;\r01/25/2008;09;00;Dentist;\r"));
    TestDriver::closeWindow("agenda_frm");
}

}  // namespace
