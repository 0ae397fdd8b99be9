// Reading report definitions: the keyword rules, the defaults, the array
// literals, the refusals, paper names and font sizes.
#include "reports/report_definition.h"
#include "reports/paper_size.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

const char* kBirthdays =
    "* birthday list\n"
    "DEFINE REPORT xxrep_geb\n"
    "  TITLE 'Birthdays|2008'\n"
    "  HEADERS {'',''},{'First name','Birthday'}\n"
    "  FIELDS {'geburt->vorname','geburt->geburtstag'} ;\n"
    "  WIDTHS {20,10}\n"
    "  TOTALS {.F.,.F.}\n"
    "  NFORMATS {'','999.99'}\n"
    "  WORKAREA geburt\n"
    "  LPP 50\n"
    "  CPL 120\n"
    "  LMARGIN 3\n"
    "  PAPERSIZE DMPAPER_A4\n"
    "  GROUPED BY MONTH(geburtstag)\n"
    "  HEADRGRP 'Month'\n"
    "  IMAGE {'img/logo.bmp', 0, 40, 5, 60}\n"
    "  PREVIEW\n"
    "  LANDSCAPE MULTIPLE\n"
    "END REPORT\n";

TEST(ReportDefinition, ReadsEveryKeywordOfAFullBlock) {
    const ReportDefinition d = ParseReportDefinition("xxrep_geb", kBirthdays);
    EXPECT_EQ(d.title, "'Birthdays|2008'");
    ASSERT_TRUE(d.hasHeaders);
    EXPECT_EQ(d.upperHeadings, QStringList({"", ""}));
    EXPECT_EQ(d.lowerHeadings, QStringList({"First name", "Birthday"}));
    EXPECT_EQ(d.fields, QStringList({"geburt->vorname", "geburt->geburtstag"}));
    EXPECT_EQ(d.widths, QList<int>({20, 10}));
    EXPECT_EQ(d.totals, QList<bool>({false, false}));
    EXPECT_EQ(d.numberFormats, QStringList({"", "999.99"}));
    EXPECT_EQ(d.workArea, "geburt");
    EXPECT_EQ(d.linesPerPage, 50);
    EXPECT_EQ(d.charactersPerLine, 120);
    EXPECT_EQ(d.leftMargin, 3);
    EXPECT_EQ(d.paperName, "DMPAPER_A4");
    EXPECT_EQ(d.groupBy, "MONTH(geburtstag)");
    EXPECT_EQ(d.groupCaption, "Month");
    ASSERT_TRUE(d.image.has_value());
    EXPECT_EQ(d.image->file, "img/logo.bmp");
    EXPECT_EQ(d.image->left, 40);
    EXPECT_EQ(d.image->bottom, 5);
    EXPECT_TRUE(d.preview);
    EXPECT_TRUE(d.landscape);
    EXPECT_TRUE(d.imageOnEveryPage);  // a flag at the end of a line counts
    EXPECT_FALSE(d.selectPrinter);
    EXPECT_EQ(ReportDefinitionProblem(d), "");
}

TEST(ReportDefinition, DefaultsWhenKeywordsAreAbsent) {
    const ReportDefinition d = ParseReportDefinition(
        "r", "DEFINE REPORT r\nFIELDS {'a'}\nWIDTHS {5}\nHEADERS {'x'},{'y'}\nWORKAREA w\n");
    EXPECT_EQ(d.title, "");
    EXPECT_EQ(d.linesPerPage, 58);
    EXPECT_EQ(d.charactersPerLine, 80);
    EXPECT_EQ(d.leftMargin, 0);
    EXPECT_EQ(PaperNumber(d.paperName), 1);
    EXPECT_FALSE(d.anySummed());
    EXPECT_FALSE(d.image.has_value());
    EXPECT_FALSE(d.preview || d.selectPrinter || d.landscape || d.imageOnEveryPage);
    EXPECT_EQ(ParseReportDefinition("r", "DEFINE REPORT r\nLPP 0\n").linesPerPage, 58);
}

TEST(ReportDefinition, NumbersNoPageCanHaveKeepTheDefaults) {
    const ReportDefinition d = ParseReportDefinition(
        "r", "REPORT r\nLPP " + QString(60, '6') + "\nCPL 1e300\nLMARGIN -9e12\n");
    EXPECT_EQ(d.linesPerPage, 58);
    EXPECT_EQ(d.charactersPerLine, 80);
    EXPECT_EQ(d.leftMargin, 0);
}

TEST(ReportDefinition, KeywordRulesOfTheBlock) {
    // Lines before the section line do not count; the value is what follows
    // the keyword, without trailing blanks and one ";"; any case except
    // HEADERS, which must be in capitals.
    const ReportDefinition d = ParseReportDefinition("r",
                                                     "WORKAREA before\n"
                                                     "define report r\n"
                                                     "workarea  after ;;  \n"
                                                     "headers {'lower'}\n"
                                                     "Lpp 12\n"
                                                     "CPL 96\n"
                                                     "\n"
                                                     "PREVIEW\n"
                                                     "LMARGIN 9\n");
    EXPECT_EQ(d.workArea, "after ;");
    EXPECT_FALSE(d.hasHeaders);
    EXPECT_EQ(d.linesPerPage, 12);
    EXPECT_EQ(d.charactersPerLine, 96);
    // An empty line ends the block: neither the flag nor LMARGIN after it count.
    EXPECT_FALSE(d.preview);
    EXPECT_EQ(d.leftMargin, 0);
    // The first later line holding the keyword wins; a keyword needs a blank after it.
    const ReportDefinition first = ParseReportDefinition("r", "REPORT r\nLPPX 7\nLPP 20\nLPP 30\n");
    EXPECT_EQ(first.linesPerPage, 20);
    // Without a section line nothing is read.
    EXPECT_TRUE(ParseReportDefinition("r", "FIELDS {'a'}\nWIDTHS {1}\n").fields.isEmpty());
    // Lines are cut at 500 characters.
    const ReportDefinition longLine =
        ParseReportDefinition("r", "REPORT r\n" + QString(492, ' ') + "TITLE 'cut here'\n");
    EXPECT_EQ(longLine.title, "'c");
}

TEST(ReportDefinition, ArrayLiteralsKeepExpressionsWhole) {
    const auto arrays = ParseArrayLiterals(
        "{'a,b', \"UPPER(x)+'|'\", DTOC(CTOD('01.02.2003')), 12.5, .T., .f.},{ }");
    ASSERT_TRUE(arrays.has_value());
    ASSERT_EQ(arrays->size(), 2);
    const QList<QVariant>& first = arrays->first();
    ASSERT_EQ(first.size(), 6);
    EXPECT_EQ(first[0].toString(), "a,b");
    EXPECT_EQ(first[1].toString(), "UPPER(x)+'|'");
    EXPECT_EQ(first[2].toString(), "DTOC(CTOD('01.02.2003'))");
    EXPECT_DOUBLE_EQ(first[3].toDouble(), 12.5);
    EXPECT_EQ(first[4], QVariant(true));
    EXPECT_EQ(first[5], QVariant(false));
    EXPECT_TRUE(arrays->last().isEmpty());
    EXPECT_FALSE(ParseArrayLiterals("{'open").has_value());
    EXPECT_FALSE(ParseArrayLiterals("no array").has_value());
}

TEST(ReportDefinition, RefusesWhatCannotBePrinted) {
    auto problem = [](const QString& block) {
        return ReportDefinitionProblem(ParseReportDefinition("rep", "REPORT rep\n" + block));
    };
    const QString headers = "HEADERS {'a','b'},{'c','d'}\nWORKAREA w\n";
    EXPECT_EQ(problem("WIDTHS {1,2}\n" + headers), "Fields not defined");
    EXPECT_EQ(problem("FIELDS {}\nWIDTHS {1,2}\n" + headers), "Fields not defined");
    EXPECT_EQ(problem("FIELDS {'x','y'}\n" + headers), "Widths not defined");
    EXPECT_EQ(problem("FIELDS {'x','y'}\nWIDTHS {}\n" + headers), "Widths not defined");
    // Refusals of our own name the definition.
    EXPECT_EQ(problem("FIELDS {'x','y'}\nWIDTHS {1,2}\nWORKAREA w\n"),
              "(rep.rpt)  Headers not defined");
    EXPECT_EQ(problem("FIELDS {'x','y'}\nWIDTHS {1,2}\nHEADERS {'a','b'},{'c','d'}\n"),
              "(rep.rpt)  Workarea not defined");
    EXPECT_TRUE(problem("FIELDS {'x','y'}\nWIDTHS {1}\n" + headers).startsWith("(rep.rpt)  "));
    EXPECT_TRUE(problem("FIELDS {'x','y','z'}\nWIDTHS {1,2,3}\n" + headers).contains("headers"));
    EXPECT_TRUE(
        problem("FIELDS {'x','y'}\nWIDTHS {1,2}\nTOTALS {.T.}\n" + headers).contains("totals"));
    EXPECT_TRUE(problem("FIELDS {'x','y'}\nWIDTHS {1,0}\n" + headers).contains("positive"));
}

TEST(ReportDefinition, ReadsTheFileFromTheFolder) {
    QTemporaryDir folder;
    QFile file(folder.filePath("geb.rpt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "DEFINE REPORT geb\r\nTITLE 'Gr\xfc\xdf"
        "e'\r\nWORKAREA geburt\r\n");
    file.close();
    const auto d = ReadReportDefinitionFile(folder.path(), "geb");
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->title, QString::fromUtf8("'Grüße'"));  // Windows-1252 text
    EXPECT_EQ(d->workArea, "geburt");
    EXPECT_FALSE(ReadReportDefinitionFile(folder.path(), "missing").has_value());
}

TEST(PaperAndFont, NamesNumbersAndSizes) {
    EXPECT_EQ(PaperNumber("DMPAPER_LETTER"), 1);
    EXPECT_EQ(PaperNumber("dmpaper_a4"), 9);
    EXPECT_EQ(PaperNumber("DMPAPER_A3"), 8);
    EXPECT_EQ(PaperNumber("DMPAPER_A4_ROTATED"), 77);
    EXPECT_EQ(PaperNumber("DMPAPER_PENV_10_ROTATED"), 118);
    EXPECT_EQ(PaperNumber("DMPAPER_NONSENSE"), 1);
    EXPECT_EQ(PaperNumber("A4"), 1);
    EXPECT_EQ(PaperPageSize(9).id(), QPageSize::A4);
    EXPECT_EQ(PaperPageSize(5).id(), QPageSize::Legal);
    EXPECT_EQ(PaperPageSize(1).id(), QPageSize::Letter);

    const int sizes[][2] = {{80, 12}, {96, 10}, {120, 8}, {140, 7}, {160, 6}, {100, 12}, {0, 12}};
    for (const auto& [cpl, points] : sizes)
        EXPECT_EQ(ReportFontSize(cpl), points) << cpl;
}

}  // namespace
