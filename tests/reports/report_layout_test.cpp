// The layout of list reports, read back from the recorded pages: which text
// stands on which line and column, in which font.
#include "report_test_support.h"

#include "reports/number_picture.h"
#include "reports/page_folder.h"

#include <gtest/gtest.h>

#include "store/xbase.h"

#include <QDate>

QString LineText(const RecordedPage& page, int line) {
    const QList<PageText> texts = OnLine(page, line);
    EXPECT_LE(texts.size(), 1) << "line " << line;
    return texts.isEmpty() ? QString() : texts.first().text;
}

int ColumnOf(const RecordedPage& page, int line, const QString& what) {
    for (const PageText& text : OnLine(page, line)) {
        if (const int at = int(text.text.indexOf(what)); at >= 0) return text.column + at;
    }
    return -1;
}

namespace {

using Row = MemoryRecords::Row;

const QString kTwoColumns =
    "TITLE 'Birthdays|2008'\n"
    "HEADERS {'',''},{'First name','Birthday'}\n"
    "FIELDS {'vorname','tag'}\n"
    "WIDTHS {20,10}\n"
    "WORKAREA geburt\n";

Row Person(const QString& name, const QDate& day) {
    return {{"VORNAME", {name}}, {"TAG", {day}}};
}

std::vector<RecordedPage> LayOut(const CompiledReport& report, std::vector<Row> rows,
                                 int* recordsSeen = nullptr) {
    MemoryRecords records(std::move(rows));
    PageList pages;
    ReportLayoutSettings settings = FixedClock();
    int seen = 0;
    settings.onEachRecord = [&seen] { ++seen; };
    const int count = LayOutReport(report, records, pages, settings);
    EXPECT_EQ(count, pages.pageCount());
    EXPECT_TRUE(records.atEnd());  // the view is left at its end
    if (recordsSeen) *recordsSeen = seen;
    return pages.pages();
}

TEST(ReportLayout, EmptyViewGivesOnePageWithTheHeaderOnly) {
    const auto pages = LayOut(Compile("TOTALS {.F.,.T.}\nGROUPED BY tag\n" + kTwoColumns), {});
    ASSERT_EQ(pages.size(), 1u);
    const RecordedPage& page = pages[0];
    // Line 1: page label, title, date; W = 30, N = 2.
    ASSERT_EQ(OnLine(page, 1).size(), 3);
    EXPECT_EQ(OnLine(page, 1)[0].text, "Pag.     1");
    EXPECT_EQ(OnLine(page, 1)[2].text, QString(21, ' ') + "24.12.2008");
    EXPECT_EQ(OnLine(page, 2)[1].text, QString(21, ' ') + "10:11:12");
    EXPECT_EQ(LineText(page, 3), "");
    EXPECT_EQ(LineText(page, 4), QString(20, '-') + " " + QString(10, '-') + " ");
    EXPECT_EQ(LineText(page, 5), QString(32, ' '));
    EXPECT_EQ(LineText(page, 6), "First name           Birthday   ");
    EXPECT_EQ(LineText(page, 7), LineText(page, 4));
    EXPECT_EQ(LineText(page, 9), "**  ** ");  // the group line of the header
    // Nothing was summed, so no total lines: nothing after the header block.
    for (const PageText& text : page.texts)
        EXPECT_LE(text.line, 9) << text.text.toStdString();
    EXPECT_TRUE(OnLine(page, 5).first().bold && OnLine(page, 6).first().bold);
    EXPECT_FALSE(OnLine(page, 4).first().bold);
}

TEST(ReportLayout, TwoLineTitleIsCentredOverTheColumns) {
    const auto pages = LayOut(Compile(kTwoColumns), {Person("Anna", QDate(1970, 3, 9))});
    const RecordedPage& page = pages[0];
    // (30 - 9) / 2 - 1 = 9 blanks before "Birthdays", (30 - 4) / 2 - 1 = 12 before "2008".
    EXPECT_EQ(ColumnOf(page, 1, "Birthdays"), 9);
    EXPECT_EQ(ColumnOf(page, 2, "2008"), 12);
    const PageText title = OnLine(page, 1)[1];
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.pointSize, 13);  // one point larger than the 12-point text
    EXPECT_EQ(title.family, "Liberation Mono");
    EXPECT_FALSE(OnLine(page, 1)[0].bold);
    EXPECT_EQ(OnLine(page, 1)[0].pointSize, 12);
    // The data line starts at line 9.
    EXPECT_EQ(LineText(page, 9), "Anna                 09.03.1970 ");
    EXPECT_FALSE(OnLine(page, 9).first().bold);

    // A title wider than the columns starts at the margin, not before it.
    const auto wide = LayOut(Compile("TITLE 'A title much wider than thirty'\n" + kTwoColumns), {});
    EXPECT_EQ(ColumnOf(wide[0], 1, "A title"), 0);
    // An extra heading becomes the second line of a title that has none.
    CompiledReport extra = Compile("TITLE 'Birthdays'\n" + kTwoColumns);
    extra.extraHeading = "March";
    EXPECT_EQ(ColumnOf(LayOut(extra, {})[0], 2, "March"), 11);
    const auto margin = LayOut(Compile("LMARGIN 4\n" + kTwoColumns), {});
    EXPECT_EQ(OnLine(margin[0], 1)[0].column, 4);
    EXPECT_EQ(ColumnOf(margin[0], 1, "Birthdays"), 4 + 9);
    EXPECT_EQ(ColumnOf(margin[0], 6, "First name"), 4);
}

TEST(ReportLayout, CellsAreCutOrPaddedToTheirColumn) {
    const auto pages = LayOut(Compile("FIELDS {'vorname','tag','betrag','ja'}\n"
                                      "HEADERS {'An upper heading too long','x','Amount','OK'},"
                                      "{'Lower heading too long','Datum','',''}\n"
                                      "WIDTHS {8,10,8,2}\n"
                                      "NFORMATS {'','','@E 9,999.99',''}\n"
                                      "WORKAREA w\n"),
                              {{{"VORNAME", {QString("Maximiliane")}},
                                {"TAG", {QDate(2001, 2, 3)}},
                                {"BETRAG", {1234.5}},
                                {"JA", {true}}}});
    const RecordedPage& page = pages[0];
    EXPECT_EQ(LineText(page, 5), "An upper x          Amount   OK ");
    EXPECT_EQ(LineText(page, 6), "Lower he Datum                  ");
    EXPECT_EQ(LineText(page, 9), "Maximili 03.02.2001 1.234,50 T  ");
}

TEST(ReportLayout, LongTextWrapsAcrossAPageBreakUnderARepeatedHeader) {
    // LPP 10: a record at line 9 and the memo's second line at line 10 fill
    // the first page; its third line goes on page 2 under a new header.
    const CompiledReport report = Compile(
        "HEADERS {'',''},{'Name','Note'}\n"
        "FIELDS {'vorname','notiz'}\n"
        "WIDTHS {6,12}\n"
        "WORKAREA w\n"
        "LPP 10\n");
    const auto pages = LayOut(
        report,
        {{{"VORNAME", {QString("Eva")}}, {"NOTIZ", {QString("one two three four five six"), true}}},
         {{"VORNAME", {QString("Tom")}}, {"NOTIZ", {QString(), true}}}});
    ASSERT_EQ(pages.size(), 2u);
    // The first memo line is justified to the full column width.
    EXPECT_EQ(LineText(pages[0], 9), "Eva    one      two ");
    EXPECT_EQ(LineText(pages[0], 10), QString(7, ' ') + "three four");
    EXPECT_EQ(OnLine(pages[0], 11).size(), 0);
    EXPECT_EQ(OnLine(pages[1], 1)[0].text, "Pag.     2");
    EXPECT_EQ(LineText(pages[1], 6), "Name   Note         ");
    EXPECT_EQ(LineText(pages[1], 9), QString(7, ' ') + "five six");
    EXPECT_EQ(LineText(pages[1], 10), "Tom                 ");
}

TEST(ReportLayout, SmallerFontForMoreCharactersButTheSameGrid) {
    const auto at80 = LayOut(Compile(kTwoColumns), {Person("Anna", {})});
    const auto at120 = LayOut(Compile(kTwoColumns + "CPL 120\n"), {Person("Anna", {})});
    ASSERT_EQ(at80[0].texts.size(), at120[0].texts.size());
    for (qsizetype i = 0; i < at120[0].texts.size(); ++i) {
        const PageText& big = at80[0].texts[i];
        const PageText& small = at120[0].texts[i];
        EXPECT_EQ(small.line, big.line);
        EXPECT_EQ(small.column, big.column);
        EXPECT_EQ(small.text, big.text);
        EXPECT_EQ(small.pointSize, big.pointSize == 13 ? 9 : 8);
    }
    // The grid in millimetres: 10/2.45 mm per line, 10/4.75 mm per column.
    EXPECT_NEAR(LineTopMm(9), 9 * 4.0816 + 7.2727, 0.001);
    EXPECT_NEAR(ColumnLeftMm(3), 3 * 2.1053 + 6.4865, 0.001);
}

TEST(ReportLayout, TotalsAndGroupSubtotals) {
    const CompiledReport report = Compile(
        "HEADERS {'',''},{'Name','Amount'}\n"
        "FIELDS {'vorname','betrag'}\n"
        "WIDTHS {6,8}\n"
        "TOTALS {.F.,.T.}\n"
        "NFORMATS {'','99999.99'}\n"
        "GROUPED BY 'Month ' + STR(MONTH(tag),2)\n"
        "HEADRGRP 'Group'\n"
        "WORKAREA w\n");
    auto row = [](const QString& name, double amount, int month) {
        return Row{{"VORNAME", {name}}, {"BETRAG", {amount}}, {"TAG", {QDate(2008, month, 1)}}};
    };
    int seen = 0;
    const auto pages =
        LayOut(report, {row("Anna", 10, 1), row("Ben", 2.5, 1), row("Cleo", 100, 3)}, &seen);
    EXPECT_EQ(seen, 3);  // events processed once per record
    ASSERT_EQ(pages.size(), 1u);
    const RecordedPage& page = pages[0];
    const QStringList expected = {
        "** Group ** Month  1",  // 9: caption of the first group, part of the header
        "Anna      10.00 ",      // 10
        "Ben        2.50 ",      // 11
        "** Subtotal **",        // 12
        "          12.50 ",      // 13
        "** Group ** Month  3",  // 14
        "Cleo     100.00 ",      // 15
        "** Subtotal **",        // 16
        "         100.00 ",      // 17
        "*** Total ***",         // 18
        "         112.50 ",      // 19
    };
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(LineText(page, 9 + i), expected[i]) << "line " << 9 + i;
    }
    for (int boldLine : {9, 12, 13, 14, 16, 17, 18, 19}) {
        EXPECT_TRUE(OnLine(page, boldLine).first().bold) << boldLine;
    }
    EXPECT_FALSE(OnLine(page, 10).first().bold);
    EXPECT_EQ(OnLine(page, 20).size(), 0);

    // Without grouping: only the grand total.
    const auto plain = LayOut(Compile("HEADERS {'',''},{'Name','Amount'}\n"
                                      "FIELDS {'vorname','betrag'}\nWIDTHS {6,8}\n"
                                      "TOTALS {.F.,.T.}\nWORKAREA w\n"),
                              {row("Anna", 10, 1), row("Ben", 2.5, 1)});
    EXPECT_EQ(LineText(plain[0], 11), "*** Total ***");
    EXPECT_EQ(LineText(plain[0], 12), "           12.5 ");

    // Numbers read from a field with decimals keep them without a picture,
    // and so does their total.
    auto stored = [](const QString& name, double amount) {
        return Row{{"VORNAME", {name}}, {"BETRAG", ReportValue{amount, false, 2}}};
    };
    const auto fieldDecimals = LayOut(Compile("HEADERS {'',''},{'Name','Amount'}\n"
                                              "FIELDS {'vorname','betrag'}\nWIDTHS {6,8}\n"
                                              "TOTALS {.F.,.T.}\nWORKAREA w\n"),
                                      {stored("Anna", 10), stored("Ben", -0.001)});
    EXPECT_EQ(LineText(fieldDecimals[0], 9), "Anna      10.00 ");
    EXPECT_EQ(LineText(fieldDecimals[0], 10), "Ben        0.00 ");
    EXPECT_EQ(LineText(fieldDecimals[0], 12), "          10.00 ");
}

TEST(ReportLayout, PageNumbersAndBreaksByLinesPerPage) {
    const CompiledReport report = Compile(kTwoColumns + "LPP 12\n");
    std::vector<Row> rows;
    for (int i = 1; i <= 9; ++i)
        rows.push_back(Person("P" + QString::number(i), {}));
    const auto pages = LayOut(report, rows);
    // Lines 9..12 hold four records a page: 4 + 4 + 1, and no page of
    // nothing but a header after a full last page.
    ASSERT_EQ(pages.size(), 3u);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(OnLine(pages[size_t(p)], 1)[0].text, "Pag.     " + QString::number(p + 1));
    }
    EXPECT_EQ(ColumnOf(pages[1], 9, "P5"), 0);
    EXPECT_EQ(ColumnOf(pages[1], 12, "P8"), 0);
    EXPECT_EQ(ColumnOf(pages[2], 9, "P9"), 0);
    const auto full = LayOut(report, std::vector<Row>(rows.begin(), rows.begin() + 8));
    EXPECT_EQ(full.size(), 2u);

    // A second report counts from 1 again.
    const auto again = LayOut(report, rows);
    EXPECT_EQ(OnLine(again[0], 1)[0].text, "Pag.     1");
    // Page numbers are right-aligned in four places.
    std::vector<Row> many(500, Person("x", {}));
    const auto long_ = LayOut(Compile(kTwoColumns + "LPP 9\n"), many);
    EXPECT_EQ(long_.size(), 500u);
    EXPECT_EQ(OnLine(long_[99], 1)[0].text, "Pag.   100");
}

TEST(ReportLayout, PictureOnTheFirstPageOrOnEvery) {
    const QString block = kTwoColumns + "LPP 9\nIMAGE {'logo.bmp', 0, 30, 4, 50}\n";
    ReportLayoutSettings settings = FixedClock();
    settings.imageFile = "/abs/logo.bmp";
    for (const bool every : {false, true}) {
        MemoryRecords records({Person("a", {}), Person("b", {}), Person("c", {})});
        PageList pages;
        LayOutReport(Compile(block + (every ? "MULTIPLE\n" : "")), records, pages, settings);
        ASSERT_EQ(pages.pageCount(), 3);
        for (int p = 0; p < 3; ++p) {
            const auto& pictures = pages.pages()[size_t(p)].pictures;
            ASSERT_EQ(pictures.size(), (p == 0 || every) ? 1 : 0) << p << every;
            if (pictures.isEmpty()) continue;
            EXPECT_EQ(pictures[0].file, "/abs/logo.bmp");
            EXPECT_NEAR(pictures[0].areaMm.left(), ColumnLeftMm(30), 1e-9);
            EXPECT_NEAR(pictures[0].areaMm.bottom(), LineTopMm(4), 1e-9);
        }
    }
    // A missing picture file (empty here) prints the report without it.
    MemoryRecords records({Person("a", {})});
    PageList pages;
    LayOutReport(Compile(block), records, pages, FixedClock());
    EXPECT_TRUE(pages.pages()[0].pictures.isEmpty());
}

TEST(ReportLayout, ValueThatDoesNotFitItsExpressionStopsTheLayout) {
    MemoryRecords records({Person("a", QDate(2000, 1, 1))});
    PageList pages;
    EXPECT_THROW(LayOutReport(Compile("FIELDS {'UPPER(tag)','tag'}\n" + kTwoColumns), records,
                              pages, FixedClock()),
                 ReportExpressionError);
}

TEST(ReportText, WrappingJustifyingAndNumberPictures) {
    EXPECT_EQ(WrapLongText("one two three", 7), QStringList({"one two", "three"}));
    EXPECT_EQ(WrapLongText("abcdefghij k", 4), QStringList({"abcd", "efgh", "ij k"}));
    EXPECT_EQ(WrapLongText("a\r\nb  c\n", 5), QStringList({"a", "b c"}));
    EXPECT_EQ(WrapLongText("", 5), QStringList({""}));
    // Soft breaks an editor left in a memo are not printed and do not end a line.
    EXPECT_EQ(WrapLongText(QString("one") + QChar(0x8D) + "\ntwo three", 7),
              QStringList({"one two", "three"}));
    EXPECT_EQ(JustifyLine("a b c", 9), "a   b   c");
    EXPECT_EQ(JustifyLine("ab cd ef", 10), "ab  cd  ef");
    EXPECT_EQ(JustifyLine("ab c d", 8), "ab  c  d");
    EXPECT_EQ(JustifyLine("word", 6), "word  ");

    EXPECT_EQ(FormatNumberPicture(1234.567, "9,999.99"), "1,234.57");
    EXPECT_EQ(FormatNumberPicture(12, "9,999.99"), "   12.00");
    EXPECT_EQ(FormatNumberPicture(-12, "9999"), " -12");
    EXPECT_EQ(FormatNumberPicture(0.5, "99.99"), " 0.50");
    EXPECT_EQ(FormatNumberPicture(12345, "999"), "***");
    EXPECT_EQ(FormatNumberPicture(-999, "999"), "***");
    EXPECT_EQ(FormatNumberPicture(1234.5, "@E 9,999.99"), "1.234,50");
    EXPECT_EQ(FormatNumberPicture(0, "@Z 999"), "   ");
    EXPECT_EQ(NumberCell(42, "", 5), "   42");
    EXPECT_EQ(NumberCell(1234567, "", 5), "*****");
    EXPECT_EQ(NumberCell(7, "999", 5), "    7");
    EXPECT_EQ(NumberCell(12.5, "", 8, 2), "   12.50");
    EXPECT_EQ(NumberCell(12.5, "", 8, 0), "      13");
    EXPECT_EQ(NumberCell(-0.004, "", 6, 2), "  0.00");
    EXPECT_EQ(NumberCell(7, "999.9", 8, 2), "     7.0");  // a picture decides
}

TEST(PageFolder, PagesRoundTripAndTheFolderGoesWithIt) {
    QString path;
    {
        PageFolder folder;
        path = folder.path();
        RecordedPage page;
        page.paperMm = {210, 297};
        page.texts.append(PageText{3, 2, "Grüße", "Liberation Mono", 8, true});
        page.pictures.append(PagePicture{QRectF(1, 2, 3, 4), "/x.bmp"});
        folder.addPage(page);
        folder.addPage(RecordedPage{});
        EXPECT_EQ(folder.pageCount(), 2);
        EXPECT_TRUE(QFile::exists(path + "/pages.kpg"));
        EXPECT_TRUE(folder.page(1).empty()) << "read in any order";
        const RecordedPage back = folder.page(0);
        EXPECT_EQ(back.paperMm, QSizeF(210, 297));
        ASSERT_EQ(back.texts.size(), 1);
        EXPECT_EQ(back.texts[0].text, "Grüße");
        EXPECT_EQ(back.texts[0].line, 3);
        EXPECT_TRUE(back.texts[0].bold);
        ASSERT_EQ(back.pictures.size(), 1);
        EXPECT_EQ(back.pictures[0].areaMm, QRectF(1, 2, 3, 4));
    }
    EXPECT_FALSE(QFile::exists(path));
}

}  // namespace

namespace {

class FixedDateFormat : public ::testing::Environment {
  public:
    void SetUp() override {
        SET_CENTURY(true);
        SET_DATEFORMAT("dd.mm.yyyy");
    }
};
const auto* const kDateFormat = ::testing::AddGlobalTestEnvironment(new FixedDateFormat);

}  // namespace
