// The semicolon format on its own: separators, line ends, quoting, the
// Windows-1252 bytes and the renderings that follow the language.
#include "apps/common/semicolon_csv.h"

#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <gtest/gtest.h>

namespace {

QByteArray LineOf(const QStringList& values) {
    SemicolonCsv csv;
    csv.addLine(values);
    return csv.bytes();
}

TEST(SemicolonCsv, EveryValueEndsWithSemicolonAndEveryLineWithOneCarriageReturn) {
    SemicolonCsv csv;
    csv.addLine({"Vorname", "Nachname"});
    csv.addLine({"Anna", ""});
    csv.addLine({});
    EXPECT_EQ(csv.bytes(), QByteArray("Vorname;Nachname;\rAnna;;\r\r"));
}

TEST(SemicolonCsv, ValuesThatWouldShiftColumnsAreQuotedWithInnerQuotesDoubled) {
    EXPECT_EQ(LineOf({"Müller; Söhne", "x"}), QByteArray("\"M\xfcller; S\xf6hne\";x;\r"));
    EXPECT_EQ(LineOf({"Der \"Chef\""}), QByteArray("\"Der \"\"Chef\"\"\";\r"));
    EXPECT_EQ(LineOf({"a'b, c"}), QByteArray("a'b, c;\r"));
}

TEST(SemicolonCsv, ALineBreakOrNulInsideAnyValueBecomesABlankSoOneRecordStaysOneLine) {
    const QString withNul = QString("a") + QChar(0) + "b";
    EXPECT_EQ(LineOf({"eins\rzwei", "drei\nvier", withNul, "fünf\r\nsechs"}),
              QByteArray("eins zwei;drei vier;a b;f\xfcnf  sechs;\r"));
    // A memo's line breaks become one blank before the line is written.
    EXPECT_EQ(LineOf({CsvLongText("eins\r\nzwei\rdrei\nvier")}),
              QByteArray("eins zwei drei vier;\r"));
    // Quoting still applies after the blanks replace the breaks.
    EXPECT_EQ(LineOf({"Weg;\r\"1\""}), QByteArray("\"Weg; \"\"1\"\"\";\r"));
}

TEST(SemicolonCsv, TextsBecomeWindows1252Bytes) {
    EXPECT_EQ(LineOf({"Straße", "Não", "€"}), QByteArray("Stra\xdf"
                                                         "e;N\xe3o;\x80;\r"));
}

TEST(SemicolonCsv, LongTextsGoOnOneLineAndTextsLoseTheirBlanks) {
    const QString softBreak = QString(QChar(0x8D)) + "\n";
    EXPECT_EQ(CsvLongText("  erste Zeile\r\nzweite" + softBreak + "dritte  "),
              QString("erste Zeile zweite dritte"));
    // A lone line feed or carriage return is not a line break of the memo.
    EXPECT_EQ(CsvLongText("a\nb\rc"), QString("a\nb\rc"));
    EXPECT_EQ(CsvText("  Anna Maria   "), QString("Anna Maria"));
}

TEST(SemicolonCsv, DatesAndYesNoFollowTheLanguage) {
    SET_CENTURY(true);
    const QDate christmas(2006, 12, 24);
    THE_LANG = "DE";
    SET_DATEFORMAT("dd.mm.yyyy");
    EXPECT_EQ(CsvDate(christmas), QString("24.12.2006"));
    EXPECT_EQ(CsvDate(QDate()), QString("  .  .    "));
    EXPECT_EQ(CsvYesNo(true) + CsvYesNo(false), QString("JaNein"));
    THE_LANG = "AM";
    SET_DATEFORMAT("mm/dd/yyyy");
    EXPECT_EQ(CsvDate(christmas), QString("12/24/2006"));
    EXPECT_EQ(CsvYesNo(true) + CsvYesNo(false), QString("YesNo"));
    THE_LANG = "BR";
    SET_DATEFORMAT("dd/mm/yyyy");
    EXPECT_EQ(CsvDate(christmas), QString("24/12/2006"));
    EXPECT_EQ(CsvDate(QDate()), QString("  /  /    "));
    EXPECT_EQ(CsvYesNo(true) + CsvYesNo(false), QString("SimNão"));
}

}  // namespace
