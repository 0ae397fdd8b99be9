// The agenda's semicolon files and printed lists of the day and of the
// eleven days after it.
#include "apps/agenda/agenda_operations.h"
#include "kernel/public_variables.h"
#include "reports/page_folder.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"
#include "store/xbase.h"
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace {

using kesp::test::TestDriver;

const QList<StoredAppointment> kWeek = {
    {QDate(2008, 1, 25), "18", "30", "Essen; \"Anna\" kocht"},
    {QDate(2008, 2, 1), "10", "15", "Februar"},
    {QDate(2008, 1, 25), "09", "05", "Zahnarzt Dr. Müller"},
    {QDate(2008, 1, 27), "09", "30", "Sonntag"},
    {QDate(2008, 2, 6), "08", "00", "Zu spät für die Liste"},
};

class AgendaOutput : public AgendaFixture {
  protected:
    void SetUp() override {
        AgendaFixture::SetUp();
        CreateAgenda(kWeek);
    }
    // The record of the selected row, and its text in the edit panel.
    static QString Selected() {
        return QString::number(TestDriver::read("agenda_frm", "Browse_1").toInt()) + " " +
               TestDriver::read("agenda_frm", "Text_2").toString();
    }
};

TEST_F(AgendaOutput, TheDayFileInEveryLanguageByteForByte) {
    struct Expected {
        const char* code;
        QString file;
        QByteArray bytes;
        QString message;
    };
    const Expected languages[] = {
        {"DE", "Agenda_Tag.csv",
         "Datum;St.;Min.;Termin;\r25.01.2008;09;05;Zahnarzt Dr. M\xfcller;\r"
         "25.01.2008;18;30;\"Essen; \"\"Anna\"\" kocht\";\r",
         "Agenda_Tag.csv wurde erstellt."},
        {"AM", "Agenda_Day.csv",
         "Date;HH;Min.;Appointment;\r01/25/2008;09;05;Zahnarzt Dr. M\xfcller;\r"
         "01/25/2008;18;30;\"Essen; \"\"Anna\"\" kocht\";\r",
         "File Agenda_Day.csv created."},
        {"BR", "Agenda_Dia.csv",
         "Data;HH;Min.;Compromisso;\r25/01/2008;09;05;Zahnarzt Dr. M\xfcller;\r"
         "25/01/2008;18;30;\"Essen; \"\"Anna\"\" kocht\";\r",
         "Arquivo Agenda_Dia.csv foi criado."},
    };
    for (const Expected& expected : languages) {
        SCOPED_TRACE(expected.code);
        UseLanguage(expected.code);
        OpenAgenda(QDate(2008, 1, 25));
        TestDriver::click("agenda_frm", "Button_5");
        EXPECT_EQ(ExportedFile(expected.file), expected.bytes);
        EXPECT_EQ(TakeMessages(),
                  QStringList({"MSGEXCLAMATION: " + expected.message + "\n" + exportPath()}));
        EXPECT_EQ(QDir::currentPath() + "/", dataPath());
        TestDriver::closeWindow("agenda_frm");
    }
}

TEST_F(AgendaOutput, TheRangeFileHoldsTheElevenDaysInDateOrderAndAnEmptyViewTheHeader) {
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::click("agenda_frm", "Button_6");
    EXPECT_EQ(ExportedFile("Agenda.csv"),
              QByteArray("Datum;St.;Min.;Termin;\r27.01.2008;09;30;Sonntag;\r"
                         "01.02.2008;10;15;Februar;\r"));
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGEXCLAMATION: Agenda.csv wurde erstellt.\n" + exportPath()}));

    // An empty view: the header line alone, overwriting the earlier file.
    ChooseDay(QDate(2009, 1, 1));
    TestDriver::click("agenda_frm", "Button_6");
    TestDriver::click("agenda_frm", "Button_5");
    EXPECT_EQ(ExportedFile("Agenda.csv"), QByteArray("Datum;St.;Min.;Termin;\r"));
    EXPECT_EQ(ExportedFile("Agenda_Tag.csv"), QByteArray("Datum;St.;Min.;Termin;\r"));
    EXPECT_EQ(TakeMessages().size(), 2);

    UseLanguage("AM");
    ChooseDay(QDate(2008, 1, 24));
    TestDriver::click("agenda_frm", "Button_6");
    EXPECT_EQ(ExportedFile("Agenda.csv"),
              QByteArray("Date;HH;Min.;Appointment;\r01/25/2008;09;05;Zahnarzt Dr. M\xfcller;\r"
                         "01/25/2008;18;30;\"Essen; \"\"Anna\"\" kocht\";\r"
                         "01/27/2008;09;30;Sonntag;\r02/01/2008;10;15;Februar;\r"));
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGEXCLAMATION: File Agenda.csv created.\n" + exportPath()}));
}

TEST_F(AgendaOutput, AnExportThatCannotBeWrittenSaysSoAndLeavesTheViews) {
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::select("agenda_frm", "Browse_1", 2);
    const QString selected = Selected();
    THE_EXPORT_PATH = folder_.path() + "/no such folder/";
    for (const char* button : {"Button_5", "Button_6"}) {
        SCOPED_TRACE(button);
        TestDriver::click("agenda_frm", button);
        const QString file = QString(button) == "Button_5" ? "Agenda_Tag.csv" : "Agenda.csv";
        EXPECT_EQ(TakeMessages(),
                  QStringList({"MSGEXCLAMATION: Sorry, CSV Datei konnte nicht erstellt werden. "
                               "Rechte und Schutz prüfen.\n" +
                               THE_EXPORT_PATH + file + ": Der Ordner ist nicht vorhanden"}));
        EXPECT_EQ(Selected(), selected);
        EXPECT_EQ(DayRows().size(), 2);
        EXPECT_EQ(ElevenDayItems().size(), 2);
        EXPECT_EQ(QDir::currentPath() + "/", dataPath());
    }
}

TEST_F(AgendaOutput, AfterAnyExportOrPrintTheSelectedAppointmentIsSelectedAgain) {
    OpenAgenda(QDate(2008, 1, 25));
    CurrentReportDialogs().runPreview = [](PrintPreview&) {};
    TestDriver::select("agenda_frm", "Browse_1", 2);
    const QString selected = Selected();
    ASSERT_TRUE(selected.endsWith("Essen; \"Anna\" kocht"));
    for (const char* button : {"Button_5", "Button_6", "Button_3", "Button_4"}) {
        SCOPED_TRACE(button);
        TestDriver::click("agenda_frm", button);
        EXPECT_EQ(Selected(), selected);
        EXPECT_EQ(TestDriver::read("agenda_frm", "MonthCal_1").toDate(), QDate(2008, 1, 25));
        EXPECT_EQ(DayRows().size(), 2);
    }
    CurrentReportDialogs() = DefaultReportDialogs();
}

class AgendaReports : public AgendaOutput {
  protected:
    void SetUp() override {
        AgendaOutput::SetUp();
        CurrentReportDialogs().runPreview = [this](PrintPreview& preview) {
            for (int page = 0; page < preview.pageCount(); ++page)
                pages_.append(preview.pages().page(page));
            inputDuringReport_ = GETPROPERTY("agenda_frm", "MonthCal_1", "enabled").toBool() ||
                                 GETPROPERTY("agenda_frm", "Browse_1", "enabled").toBool();
            if (!pdf_.isEmpty()) preview.save();
        };
        CurrentReportDialogs().askPdfFile = [this](QWidget*) { return pdf_; };
    }
    void TearDown() override {
        CurrentReportDialogs() = DefaultReportDialogs();
        AgendaOutput::TearDown();
    }
    // The texts of one printed line as they appear on paper: the texts of a
    // line overlap (title, page number, date), their blanks cover nothing.
    QString Line(int page, int line) const {
        QString joined;
        for (const PageText& text : pages_.value(page).texts) {
            if (text.line != line) continue;
            joined = joined.leftJustified(text.column + text.text.size());
            for (int at = 0; at < text.text.size(); ++at)
                if (text.text[at] != u' ') joined[text.column + at] = text.text[at];
        }
        return joined.trimmed();
    }
    // Saves the next preview as PDF and its pages as PNG pictures beside the
    // window pictures of the build, for a person to look at.
    void SavePdfAs(const QString& name) {
        const QString folder = KESP_SCREENSHOT_DIR;
        QDir().mkpath(folder);
        pdf_ = folder + "/" + name + ".pdf";
        QFile::remove(pdf_);
    }
    void ExpectPdfPictured(const QString& name) {
        ASSERT_TRUE(QFile::exists(pdf_));
        QProcess pictures;
        pictures.start("pdftoppm",
                       {"-png", "-r", "60", pdf_, QString(KESP_SCREENSHOT_DIR) + "/" + name});
        ASSERT_TRUE(pictures.waitForFinished(30000));
        EXPECT_EQ(pictures.exitCode(), 0);
        EXPECT_TRUE(QFile::exists(QString(KESP_SCREENSHOT_DIR) + "/" + name + "-1.png"));
    }

    QList<RecordedPage> pages_;
    QString pdf_;
    bool inputDuringReport_ = true;
};

TEST_F(AgendaReports, TheDayReportListsTheDayByTimeOnA4) {
    OpenAgenda(QDate(2008, 1, 25));
    SavePdfAs("agenda_day_report_DE");
    TestDriver::click("agenda_frm", "Button_3");
    ASSERT_EQ(pages_.size(), 1);
    EXPECT_FALSE(inputDuringReport_);
    EXPECT_TRUE(GETPROPERTY("agenda_frm", "MonthCal_1", "enabled").toBool());
    EXPECT_NEAR(pages_[0].paperMm.width(), 210, 0.5);
    EXPECT_TRUE(Line(0, 1).startsWith("Pag.     1")) << Line(0, 1).toStdString();
    EXPECT_TRUE(Line(0, 1).contains(" Agenda ")) << Line(0, 1).toStdString();
    EXPECT_TRUE(Line(0, 2).startsWith("Termine des Tages")) << Line(0, 2).toStdString();
    EXPECT_EQ(Line(0, 6), "Datum      St. Min. Termin");
    EXPECT_EQ(Line(0, 9), "25.01.2008 09  05   Zahnarzt Dr. Müller");
    EXPECT_EQ(Line(0, 10), "25.01.2008 18  30   Essen; \"Anna\" kocht");
    EXPECT_EQ(Line(0, 11), "");
    ExpectPdfPictured("agenda_day_report_DE");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(QDir::currentPath() + "/", dataPath());
}

TEST_F(AgendaReports, TheRangeReportGroupsTheElevenDaysByDay) {
    for (const char* code : {"DE", "AM", "BR"}) {
        SCOPED_TRACE(code);
        UseLanguage(code);
        pages_.clear();
        OpenAgenda(QDate(2008, 1, 24));
        SavePdfAs(QString("agenda_range_report_") + code);
        TestDriver::click("agenda_frm", "Button_4");
        ASSERT_EQ(pages_.size(), 1);
        const QString day = code == QString("DE") ? "Tag" : code == QString("AM") ? "Day" : "Dia";
        const QString first = DTOC(QDate(2008, 1, 25));
        EXPECT_EQ(Line(0, 9), "** " + day + " ** " + first);
        EXPECT_EQ(Line(0, 10), first + " 09  05   Zahnarzt Dr. Müller");
        EXPECT_EQ(Line(0, 11), first + " 18  30   Essen; \"Anna\" kocht");
        EXPECT_EQ(Line(0, 12), "** " + day + " ** " + DTOC(QDate(2008, 1, 27)));
        EXPECT_EQ(Line(0, 14), "** " + day + " ** " + DTOC(QDate(2008, 2, 1)));
        EXPECT_EQ(Line(0, 16), "");
        ExpectPdfPictured(QString("agenda_range_report_") + code);
        // The day view is back, with its selection.
        EXPECT_EQ(DayRows(), QStringList());
        EXPECT_EQ(ElevenDayItems().size(), 4);
        TestDriver::closeWindow("agenda_frm");
    }
}

TEST_F(AgendaReports, AMissingDefinitionIsReportedAndTheViewsAreRefreshed) {
    QFile::remove(THE_APP_PATH + "xxagenda01_br.rpt");
    QFile::remove(THE_APP_PATH + "xxagenda02_br.rpt");
    UseLanguage("BR");
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::select("agenda_frm", "Browse_1", 2);
    const QString selected = Selected();
    TestDriver::click("agenda_frm", "Button_3");
    TestDriver::click("agenda_frm", "Button_4");
    ASSERT_EQ(driver_.messageBoxes().size(), 2);
    EXPECT_EQ(driver_.messageBoxes()[0].text, "(xxagenda01_br.rpt)  File not found");
    EXPECT_EQ(driver_.messageBoxes()[1].text, "(xxagenda02_br.rpt)  File not found");
    EXPECT_EQ(driver_.messageBoxes()[1].title, "Information");
    EXPECT_TRUE(pages_.isEmpty());
    EXPECT_EQ(Selected(), selected);
    EXPECT_EQ(ElevenDayItems().size(), 2);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(), "2 Compromisso(s): 25/01/2008");
    EXPECT_TRUE(GETPROPERTY("agenda_frm", "Button_3", "enabled").toBool());
}

}  // namespace
