// The printing services end to end: EXTREPORT on a table of the store with
// definition files in the current folder, the preview driven through the
// dialog seam, PDF output, and PRINTGRAPH on a window's chart.
#include "report_test_support.h"

#include "kernel/public_variables.h"
#include "reports/extreport.h"
#include "reports/page_output.h"
#include "reports/print_choice_dialog.h"
#include "reports/print_preview.h"
#include "reports/printgraph.h"
#include "reports/report_dialogs.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/test_driver.h"

#include <gtest/gtest.h>

#include <tuple>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWidget>

namespace {

// A line of what poppler's pdfinfo says about a PDF file ("Pages", "Page size").
QString PdfInfo(const QString& file, const QString& key) {
    QProcess info;
    info.start("pdfinfo", {file});
    if (!info.waitForFinished(20000)) return {};
    for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(key + ":")) return line.mid(key.size() + 1).trimmed();
    }
    return {};
}

int PdfPages(const QString& file) {
    const QString pages = PdfInfo(file, "Pages");
    return pages.isEmpty() ? -1 : pages.toInt();
}

const char* kBirthdayList =
    "DEFINE REPORT geb\n"
    "  TITLE 'Birthdays|2008'\n"
    "  HEADERS {'','',''},{'First name','Birthday','Note'}\n"
    "  FIELDS {'geburt->vorname','DTOC(geburtstag)','notiz'}\n"
    "  WIDTHS {12,10,20}\n"
    "  WORKAREA geburt\n"
    "  PAPERSIZE DMPAPER_A4\n"
    "  PREVIEW\n"
    "END REPORT\n";

class ReportServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SET_CENTURY(true);
        SET_DATEFORMAT("dd.mm.yyyy");
        SET_DELETED(true);
        previousFolder_ = QDir::currentPath();
        QDir::setCurrent(folder_.path());
        dialogs_ = DefaultReportDialogs();
        CurrentReportDialogs().askPageNumber = [](QWidget*, int, int) -> std::optional<int> {
            ADD_FAILURE() << "unexpected page question";
            return std::nullopt;
        };
        CurrentReportDialogs().askPdfFile = [](QWidget*) { return QString(); };
        CurrentReportDialogs().askPrintChoice = [](QWidget*, int) -> std::optional<PrintChoice> {
            return std::nullopt;
        };
        CurrentReportDialogs().askPrinter = CurrentReportDialogs().askPrintChoice;
        CurrentReportDialogs().runPreview = [this](PrintPreview& preview) {
            ++previews_;
            if (onPreview_) onPreview_(preview);
        };
    }
    void TearDown() override {
        DBCLOSEALL();
        CurrentReportDialogs() = dialogs_;
        QDir::setCurrent(previousFolder_);
    }

    void writeFile(const QString& name, const QByteArray& text) {
        QFile file(folder_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // The view "geburt": count persons, every seventh with a three-line note.
    void openPersons(int count) {
        kesp::CreateTable(folder_.filePath("adressen.dbf"), {{"VORNAME", 'C', 20, 0},
                                                             {"GEBURTSTAG", 'D', 8, 0},
                                                             {"BETRAG", 'N', 8, 2},
                                                             {"NOTIZ", 'M', 10, 0}});
        DBUSEAREA(true, folder_.filePath("adressen.dbf"), "geburt");
        for (int i = 1; i <= count; ++i) {
            DBAPPEND();
            REPLACE("vorname", "Person " + QString::number(i));
            REPLACE("geburtstag", QDate(1960, 1, 1).addDays(i * 37));
            REPLACE("betrag", i * 1.5);
            if (i % 7 == 0) REPLACE("notiz", "A note long enough to need three lines here");
        }
        DBCOMMIT();
        DBGOTOP();
    }

    QTemporaryDir folder_;
    QString previousFolder_;
    ReportDialogs dialogs_;
    kesp::test::TestDriver driver_;
    int previews_ = 0;
    std::function<void(PrintPreview&)> onPreview_;
};

TEST_F(ReportServiceTest, RefusedDefinitionsPrintNothing) {
    openPersons(3);
    const QByteArray head = "DEFINE REPORT r\nHEADERS {'a'},{'b'}\nWORKAREA geburt\nPREVIEW\n";
    const struct {
        QByteArray block;
        QString message;
    } cases[] = {
        {"", "Fields not defined"},
        {"FIELDS {'vorname'}\n", "Widths not defined"},
        {"FIELDS {'vorname'}\nWIDTHS {}\n", "Widths not defined"},
        {"FIELDS {'FERASE(vorname)'}\nWIDTHS {5}\n",
         "(r.rpt)  \"FERASE(vorname)\": function FERASE() is not allowed"},
        {"FIELDS {'nosuchfield'}\nWIDTHS {5}\n", "(r.rpt)  Field not found: nosuchfield"},
        {"FIELDS {'vorname','betrag'}\nWIDTHS {5,5}\n", "(r.rpt)  Fewer headers than fields"},
        {"FIELDS {'UPPER(geburtstag)'}\nWIDTHS {5}\n",
         "(r.rpt)  \"UPPER(geburtstag)\": UPPER() needs a text"},
    };
    for (const auto& c : cases) {
        writeFile("r.rpt", head + c.block);
        driver_.clearMessageBoxes();
        DBGOTOP();
        EXTREPORT("r");
        ASSERT_EQ(driver_.messageBoxes().size(), 1) << c.block.toStdString();
        EXPECT_EQ(driver_.messageBoxes()[0].text, c.message);
        EXPECT_EQ(driver_.messageBoxes()[0].title, "Information");
    }
    writeFile("nohead.rpt", "DEFINE REPORT r\nFIELDS {'vorname'}\nWIDTHS {5}\nWORKAREA geburt\n");
    driver_.clearMessageBoxes();
    EXTREPORT("nohead");
    EXPECT_EQ(driver_.messageBoxes().value(0).text, "(nohead.rpt)  Headers not defined");

    driver_.clearMessageBoxes();
    EXTREPORT("missing");
    ASSERT_EQ(driver_.messageBoxes().size(), 1);
    EXPECT_EQ(driver_.messageBoxes()[0].text, "(missing.rpt)  File not found");
    EXPECT_EQ(driver_.messageBoxes()[0].title, "Information");
    EXPECT_EQ(previews_, 0);
}

TEST_F(ReportServiceTest, PreviewShowsTheViewAndCleansUpAfterItself) {
    openPersons(300);
    DBSETFILTER([] { return FIELD("betrag").toDouble() > 3; }, "betrag > 3");
    DBGOTOP();
    writeFile("geb.rpt", kBirthdayList);
    QString pageFolder;
    const QString pdf = folder_.filePath("saved.pdf");
    CurrentReportDialogs().askPdfFile = [&](QWidget*) { return pdf; };
    CurrentReportDialogs().askPageNumber = [](QWidget*, int current, int count) {
        EXPECT_EQ(current, 2);
        EXPECT_GT(count, 3);
        return std::optional<int>(3);
    };
    onPreview_ = [&](PrintPreview& preview) {
        EXPECT_EQ(preview.windowTitle(), "Print Preview");
        pageFolder = dynamic_cast<const PageFolder&>(preview.pages()).path();
        EXPECT_TRUE(QFile::exists(pageFolder + "/pages.kpg"));
        // 298 records and two more lines for each of the 42 notes, 50 lines a page.
        const int pages = preview.pageCount();
        EXPECT_EQ(pages, 8);
        const RecordedPage first = preview.pages().page(0);
        EXPECT_EQ(ColumnOf(first, 9, "Person 3"), 0);
        EXPECT_EQ(ColumnOf(first, 9, "21.04.1960"), 13);
        // Person 7 has the note: justified first line, two more lines below.
        EXPECT_EQ(LineText(first, 13), "Person 7     16.09.1960 A  note  long enough ");
        EXPECT_EQ(LineText(first, 14), QString(24, ' ') + "to need three lines");
        EXPECT_EQ(LineText(first, 15), QString(24, ' ') + "here");
        EXPECT_EQ(LineText(first, 16).left(9), "Person 8 ");

        // Navigation by buttons, keys and "Go To Page".
        preview.show();
        preview.nextPage();
        EXPECT_EQ(preview.currentPage(), 1);
        QTest::keyClick(&preview, Qt::Key_End);
        EXPECT_EQ(preview.currentPage(), pages - 1);
        preview.nextPage();
        EXPECT_EQ(preview.currentPage(), pages - 1);
        QTest::keyClick(&preview, Qt::Key_PageUp);
        EXPECT_EQ(preview.currentPage(), pages - 2);
        QTest::keyClick(&preview, Qt::Key_Home);
        EXPECT_EQ(preview.currentPage(), 0);
        QTest::keyClick(&preview, Qt::Key_PageDown);
        EXPECT_EQ(preview.currentPage(), 1);
        preview.findChild<QAction*>("goto")->trigger();
        EXPECT_EQ(preview.currentPage(), 2);
        // Zoom by the button and by a click on the page.
        preview.findChild<QAction*>("zoom")->trigger();
        EXPECT_TRUE(preview.zoomed());
        QTest::mouseClick(preview.findChild<QWidget*>("page"), Qt::LeftButton);
        EXPECT_FALSE(preview.zoomed());
        // Thumbnails: one per page; choosing one shows that page.
        preview.findChild<QAction*>("thumbnails")->trigger();
        auto* thumbnails = preview.findChild<QListWidget*>("thumbnails");
        ASSERT_EQ(thumbnails->count(), pages);
        emit thumbnails->itemClicked(thumbnails->item(4));
        EXPECT_EQ(preview.currentPage(), 4);
        // "Save" writes every page into the PDF file chosen.
        preview.findChild<QAction*>("save")->trigger();
        EXPECT_EQ(PdfPages(pdf), pages);
        if (const QByteArray look = qgetenv("KESP_LOOK_DIR"); !look.isEmpty()) {
            preview.resize(1000, 800);
            preview.grab().save(QString::fromLocal8Bit(look) + "/preview.png");
            preview.toggleZoom();
            preview.grab().save(QString::fromLocal8Bit(look) + "/preview_zoom.png");
            QFile::copy(pdf, QString::fromLocal8Bit(look) + "/report.pdf");
        }
    };
    EXTREPORT("geb");
    EXPECT_EQ(previews_, 1);
    EXPECT_TRUE(driver_.messageBoxes().isEmpty());
    EXPECT_TRUE(DBEOF());  // the view is left at its end
    EXPECT_FALSE(pageFolder.isEmpty());
    EXPECT_FALSE(QFile::exists(pageFolder));  // removed when the preview closed
    EXPECT_FALSE(PrintPreview::IsOpen());
}

// The preview opens with the page as wide as the view, so its text can be
// read, every action of its bar in sight (none in an overflow menu), and its
// texts in the interface language.
TEST_F(ReportServiceTest, PreviewOpensAtPageWidthWithEveryActionInSightInTheLanguage) {
    openPersons(60);
    writeFile("geb.rpt", kBirthdayList);
    const QString language = THE_LANG;
    for (const auto& [code, title, close] : {std::tuple{"DE", "Druckvorschau", "Schließen"},
                                             {"AM", "Print Preview", "Close"},
                                             {"BR", "Visualizar impressão", "Fechar"}}) {
        SCOPED_TRACE(code);
        THE_LANG = code;
        onPreview_ = [&](PrintPreview& preview) {
            preview.show();
            EXPECT_EQ(preview.windowTitle(), title);
            EXPECT_EQ(preview.findChild<QAction*>("close")->text(), close);
            auto* bar = preview.findChild<QToolBar*>("tools");
            ASSERT_NE(bar, nullptr);
            for (QAction* action : bar->actions()) {
                QWidget* button = bar->widgetForAction(action);
                EXPECT_TRUE(button != nullptr && button->isVisible())
                    << action->text().toStdString();
            }
            auto* scroll = preview.findChild<QScrollArea*>();
            const int page = preview.findChild<QWidget*>("page")->width();
            EXPECT_GE(page, scroll->viewport()->width() - 40) << "page width";
            EXPECT_LE(page, scroll->viewport()->width());
            if (const QByteArray look = qgetenv("KESP_LOOK_DIR"); !look.isEmpty())
                preview.grab().save(QString::fromLocal8Bit(look) + "/preview_" + code + ".png");
        };
        EXTREPORT("geb");
    }
    THE_LANG = language;
}

TEST_F(ReportServiceTest, OnlyOnePreviewAtATime) {
    openPersons(5);
    writeFile("geb.rpt", kBirthdayList);
    onPreview_ = [&](PrintPreview&) {
        DBGOTOP();
        EXTREPORT("geb");
        PRINTGRAPH("nowhere", true, false);
    };
    EXTREPORT("geb");
    EXPECT_EQ(previews_, 1);
    ASSERT_EQ(driver_.messageBoxes().size(), 2);
    for (const auto& box : driver_.messageBoxes()) {
        EXPECT_EQ(box.text, "Print preview pending, close first");
    }
    // Once closed, the next job runs.
    onPreview_ = nullptr;
    DBGOTOP();
    EXTREPORT("geb");
    EXPECT_EQ(previews_, 2);

    // A print started from the events processed while the pages are laid
    // out is refused too, and the running report still gets every record.
    driver_.clearMessageBoxes();
    QTimer::singleShot(0, [] { EXTREPORT("geb"); });
    int pages = 0;
    onPreview_ = [&](PrintPreview& preview) { pages = preview.pageCount(); };
    DBGOTOP();
    EXTREPORT("geb");
    EXPECT_EQ(previews_, 3);
    EXPECT_EQ(pages, 1);
    ASSERT_EQ(driver_.messageBoxes().size(), 1);
    EXPECT_EQ(driver_.messageBoxes()[0].text, "Print preview pending, close first");
}

TEST_F(ReportServiceTest, PrintingWithoutPreviewAndFromThePreview) {
    openPersons(120);
    writeFile("direct.rpt",
              "DEFINE REPORT direct\nHEADERS {''},{'Name'}\nFIELDS {'vorname'}\nWIDTHS {20}\n"
              "WORKAREA geburt\nSELECT\nLPP 58\n");
    // The printer choice cancelled: nothing printed, no message.
    EXTREPORT("direct");
    EXPECT_TRUE(driver_.messageBoxes().isEmpty());
    EXPECT_FALSE(DBEOF());

    // The PDF printer chosen: pages 2 to 3, two collated copies.
    const QString pdf = folder_.filePath("direct.pdf");
    CurrentReportDialogs().askPrinter = [&](QWidget*, int) {
        PrintChoice choice;
        choice.pdfFile = pdf;
        choice.copies = 2;
        choice.fromPage = 2;
        choice.toPage = 3;
        return std::optional<PrintChoice>(choice);
    };
    EXTREPORT("direct");
    EXPECT_EQ(PdfPages(pdf), 4);
    EXPECT_EQ(previews_, 0);

    // "Print" in the preview: the PDF printer asks for its file.
    writeFile("geb.rpt", kBirthdayList);
    const QString fromPreview = folder_.filePath("preview.pdf");
    CurrentReportDialogs().askPrintChoice = [](QWidget*, int count) {
        EXPECT_EQ(count, 4);
        PrintChoice choice;
        choice.subset = PrintChoice::Subset::OddPagesOnly;
        return std::optional<PrintChoice>(choice);
    };
    CurrentReportDialogs().askPdfFile = [&](QWidget*) { return fromPreview; };
    onPreview_ = [](PrintPreview& preview) { preview.print(); };
    DBGOTOP();
    EXTREPORT("geb");
    EXPECT_EQ(PdfPages(fromPreview), 2);  // pages 1 and 3
}

TEST_F(ReportServiceTest, MissingPictureIsReportedAndTheReportStillPrinted) {
    openPersons(2);
    writeFile("pic.rpt",
              "DEFINE REPORT pic\nHEADERS {'',''},{'Name','Amount'}\n"
              "FIELDS {'vorname','betrag'}\nWIDTHS {10,8}\nTOTALS {.F.,.T.}\n"
              "WORKAREA geburt\nIMAGE {'img/none.bmp',0,0,3,10}\nPREVIEW\n");
    int pictures = -1;
    onPreview_ = [&](PrintPreview& preview) {
        const RecordedPage page = preview.pages().page(0);
        pictures = int(page.pictures.size());
        // The amount field has two decimals, and prints them without a picture.
        EXPECT_EQ(LineText(page, 9), "Person 1       1.50 ");
        EXPECT_EQ(LineText(page, 12), QString(11, ' ') + "    4.50 ");
    };
    EXTREPORT("pic");
    ASSERT_EQ(driver_.messageBoxes().size(), 1);
    EXPECT_EQ(driver_.messageBoxes()[0].text, "graphic file not found");
    EXPECT_EQ(driver_.messageBoxes()[0].title, "error");
    EXPECT_EQ(pictures, 0);
    EXPECT_EQ(previews_, 1);
}

TEST_F(ReportServiceTest, PaperSizeLandscapeAndSmallFontReachThePdf) {
    openPersons(200);
    writeFile("wide.rpt",
              "DEFINE REPORT wide\n"
              "TITLE 'Amounts by year|of birth'\n"
              "HEADERS {'','',''},{'First name','Amount','Note'}\n"
              "FIELDS {'vorname','betrag','notiz'}\n"
              "WIDTHS {20,10,30}\n"
              "TOTALS {.F.,.T.,.F.}\n"
              "NFORMATS {'','@E 999,999.99',''}\n"
              "GROUPED BY STR(YEAR(geburtstag),4)\n"
              "HEADRGRP 'Year'\n"
              "WORKAREA geburt\n"
              "CPL 120\n"
              "LPP 40\n"
              "LMARGIN 5\n"
              "PAPERSIZE DMPAPER_A4\n"
              "LANDSCAPE PREVIEW\n");
    const QString pdf = folder_.filePath("wide.pdf");
    CurrentReportDialogs().askPdfFile = [&](QWidget*) { return pdf; };
    onPreview_ = [&](PrintPreview& preview) {
        const RecordedPage first = preview.pages().page(0);
        EXPECT_NEAR(first.paperMm.width(), 297, 0.5);
        EXPECT_NEAR(first.paperMm.height(), 210, 0.5);
        EXPECT_EQ(LineText(first, 9), "** Year ** 1960");
        EXPECT_EQ(OnLine(first, 9).first().pointSize, 8);
        EXPECT_EQ(OnLine(first, 9).first().column, 5);
        const RecordedPage last = preview.pages().page(preview.pageCount() - 1);
        bool total = false;
        for (const PageText& text : last.texts)
            total = total || text.text == "*** Total ***";
        EXPECT_TRUE(total);
        preview.save();
        if (const QByteArray look = qgetenv("KESP_LOOK_DIR"); !look.isEmpty()) {
            QFile::copy(pdf, QString::fromLocal8Bit(look) + "/wide.pdf");
            preview.resize(1000, 700);
            preview.show();
            preview.showThumbnails();
            preview.grab().save(QString::fromLocal8Bit(look) + "/thumbnails.png");
        }
    };
    EXTREPORT("wide");
    EXPECT_EQ(previews_, 1);
    EXPECT_TRUE(PdfInfo(pdf, "Page size").startsWith("842 x 595"))
        << PdfInfo(pdf, "Page size").toStdString();  // A4 lying: 842 x 595 points
}

TEST(PrintChoiceDialog, ReadsTheSettingsAsShown) {
    PrintChoiceDialog dialog(12);
    EXPECT_EQ(dialog.windowTitle(), "Print");
    auto* printer = dialog.findChild<QComboBox*>("printer");
    // The PDF printer is always there, last; on a machine without printers it is the choice.
    ASSERT_GE(printer->count(), 1);
    EXPECT_EQ(printer->itemText(printer->count() - 1), PrintChoiceDialog::kPdfPrinter);
    PrintChoice plain = dialog.choice();
    EXPECT_EQ(plain.copies, 1);
    EXPECT_TRUE(plain.collate);
    EXPECT_EQ(plain.fromPage, 0);  // "All"
    EXPECT_EQ(plain.subset, PrintChoice::Subset::AllRange);

    printer->setCurrentIndex(printer->count() - 1);
    dialog.findChild<QSpinBox*>("copies")->setValue(3);
    dialog.findChild<QCheckBox*>("collate")->setChecked(false);
    dialog.findChild<QRadioButton*>("pages")->setChecked(true);
    dialog.findChild<QSpinBox*>("from")->setValue(4);
    dialog.findChild<QSpinBox*>("to")->setValue(20);  // held to the last page
    dialog.findChild<QComboBox*>("subset")->setCurrentIndex(2);
    const PrintChoice c = dialog.choice();
    EXPECT_TRUE(c.printer.isEmpty());
    EXPECT_EQ(c.copies, 3);
    EXPECT_FALSE(c.collate);
    EXPECT_EQ(c.fromPage, 4);
    EXPECT_EQ(c.toPage, 12);
    EXPECT_EQ(c.subset, PrintChoice::Subset::EvenPagesOnly);
    if (const QByteArray look = qgetenv("KESP_LOOK_DIR"); !look.isEmpty()) {
        dialog.show();
        dialog.grab().save(QString::fromLocal8Bit(look) + "/print_choice.png");
    }
}

TEST(PrintOrder, RangesSubsetsAndCopies) {
    auto order = [](PrintChoice c) { return PrintOrder(5, c); };
    PrintChoice all;
    EXPECT_EQ(order(all), QList<int>({0, 1, 2, 3, 4}));
    PrintChoice range;
    range.fromPage = 2;
    range.toPage = 9;
    EXPECT_EQ(order(range), QList<int>({1, 2, 3, 4}));
    range.subset = PrintChoice::Subset::EvenPagesOnly;
    EXPECT_EQ(order(range), QList<int>({1, 3}));
    PrintChoice odd;
    odd.subset = PrintChoice::Subset::OddPagesOnly;
    odd.copies = 2;
    EXPECT_EQ(order(odd), QList<int>({0, 2, 4, 0, 2, 4}));
    odd.collate = false;
    EXPECT_EQ(order(odd), QList<int>({0, 0, 2, 2, 4, 4}));
    PrintChoice backwards;
    backwards.fromPage = 4;
    backwards.toPage = 2;
    EXPECT_TRUE(order(backwards).isEmpty());
}

TEST_F(ReportServiceTest, ChartPrintedAsOneCentredPicture) {
    QWidget window;
    window.setObjectName("bioform");
    window.resize(600, 400);
    window.setProperty("chartRect", QRect(100, 50, 400, 200));
    window.show();
    RecordedPage page;
    onPreview_ = [&](PrintPreview& preview) {
        ASSERT_EQ(preview.pageCount(), 1);
        page = preview.pages().page(0);
        EXPECT_TRUE(QImage(page.pictures.value(0).file).size() == QSize(400, 200));
    };
    // The dialog cancelled: nothing printed.
    PRINTGRAPH("BioForm", true, true);
    EXPECT_EQ(previews_, 0);
    PRINTGRAPH("BioForm", true, false);
    ASSERT_EQ(previews_, 1);
    ASSERT_EQ(page.pictures.size(), 1);
    const QRectF area = page.pictures[0].areaMm;
    EXPECT_NEAR(area.width() / area.height(), 2.0, 1e-6);
    EXPECT_NEAR(area.center().x(), page.paperMm.width() / 2, 1e-6);
    EXPECT_NEAR(area.center().y(), page.paperMm.height() / 2, 1e-6);
    EXPECT_NEAR(area.width(), page.paperMm.width() - 10, 1e-6);  // no offsets on a PDF

    // The fit on a sheet with offsets: less 10 mm and twice the offset, on
    // top of the printable area's own offsets.
    const QRectF tall = ChartAreaMm({210, 297}, {5, 5}, {100, 400});
    EXPECT_NEAR(tall.height(), 297 - 10 - 10 - 10, 1e-9);
    EXPECT_NEAR(tall.width(), tall.height() / 4, 1e-9);
    EXPECT_NEAR(tall.center().x(), 105, 1e-9);
    EXPECT_TRUE(ChartAreaMm({10, 10}, {5, 5}, {1, 1}).isEmpty());
}

}  // namespace
