// The birthday list and the biorhythm as the installed program opens them:
// from the main window's buttons, over the tables and report definitions the
// build installs.
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

class BirthdayLaunch : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        for (const char* report : {"xxrep_geb.rpt", "xxrep_geb_en.rpt", "xxrep_geb_br.rpt"})
            ASSERT_TRUE(
                QFile::copy(QString(KESP_BUILT_APP_DIR) + "/" + report, folder_.filePath(report)))
                << report;
        saved_ = CurrentReportDialogs();
        CurrentReportDialogs().runPreview = [this](PrintPreview& preview) {
            pages_.append(preview.pageCount());
        };
    }
    void TearDown() override {
        CurrentReportDialogs() = saved_;
        InstalledProgram::TearDown();
    }
    ReportDialogs saved_;
    QList<int> pages_;  // the page count of each preview shown
};

TEST_F(BirthdayLaunch, MainWindowButtonsOpenTheListAndPrintIt) {
    AddRecord("adressen_p.dbf",
              {{"VORNAME", "Anna"}, {"GEBURTSTAG", QDate(1970, 3, 20)}, {"LISTE", true}});
    OpenMainWindow();
    ASSERT_EQ(THE_LANG, "AM");
    for (const char* button : {"Button_4", "Button_6"}) {
        SCOPED_TRACE(button);
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen("form3"));
        EXPECT_EQ(TestDriver::read("form3", "label_anzahl").toString(),
                  "1 records in the database.");
        EXPECT_EQ(TestDriver::read("form3", "t_geburtstag").toString(), "03/20/1970");
        TestDriver::click("form3", "Button_16");
        TestDriver::closeWindow("form3");
    }
    TestDriver::click("haupt", "Button_8");
    EXPECT_EQ(pages_, (QList<int>{1, 1, 1}));
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(THE_APP_PATH));
}

TEST_F(BirthdayLaunch, BiorhythmButtonOpensTheChartOfTheInstalledBirthDate) {
    OpenMainWindow();
    TestDriver::click("haupt", "Button_25");
    ASSERT_TRUE(TestDriver::isOpen("bioform"));
    EXPECT_EQ(TestDriver::read("bioform", "Text_3").toDate(), QDate(1980, 1, 1));
    EXPECT_EQ(GETPROPERTY("bioform", "Title").toString(), "Biorhythm");
    ASSERT_NE(TestDriver::widget("bioform", "Graph"), nullptr);
    SETPROPERTY("bioform", "Text_3", "value", QDate(1977, 7, 7));
    TestDriver::click("bioform", "Button_5");
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_[0].text, "Birthday updated.\nPlease run analysis again. (Select diagram)");
    TestDriver::closeWindow("bioform");
    TestDriver::click("haupt", "Button_31");  // "Update statistics" shows the stored date
    EXPECT_EQ(Property("Label_19", "Value"), "Birthday: 07/07/1977");
}

}  // namespace
