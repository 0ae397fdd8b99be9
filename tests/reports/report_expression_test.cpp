// The expression language of report definitions: what it evaluates, and what
// it refuses instead of running.
#include "reports/report_expression.h"
#include "store/xbase.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QMap>

namespace {

class ReportExpressionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SET_CENTURY(true);
        SET_DATEFORMAT("dd.mm.yyyy");
        fields_["VORNAME"] = {QString("anna      ")};
        fields_["GEBURT->NACHNAME"] = {QString("Berg")};
        fields_["GEBURTSTAG"] = {QDate(1970, 3, 9)};
        fields_["BETRAG"] = {12.5};
        fields_["NOTIZ"] = {QString("long text"), true};
    }

    ReportValue eval(const QString& text) {
        auto parsed = ReportExpression::Parse(text);
        if (auto* why = std::get_if<QString>(&parsed)) {
            ADD_FAILURE() << text.toStdString() << ": " << why->toStdString();
            return {};
        }
        return std::get<ReportExpression>(parsed).evaluate([this](const QString& name) {
            read_.append(name);
            return fields_.value(name.toUpper());
        });
    }
    QString refusal(const QString& text) {
        auto parsed = ReportExpression::Parse(text);
        auto* why = std::get_if<QString>(&parsed);
        return why ? *why : QString();
    }

    QMap<QString, ReportValue> fields_;
    QStringList read_;
};

TEST_F(ReportExpressionTest, FieldsLiteralsAndConcatenation) {
    EXPECT_EQ(eval("vorname").value, QVariant(QString("anna      ")));
    EXPECT_EQ(eval("geburt -> nachname").value, QVariant(QString("Berg")));
    EXPECT_EQ(read_.last(), "geburt->nachname");
    EXPECT_EQ(eval("'Mr. ' + geburt->nachname + \"!\"").value, QVariant(QString("Mr. Berg!")));
    EXPECT_EQ(eval("betrag + 1").value, QVariant(13.5));
    EXPECT_EQ(eval("geburtstag + 1").value, QVariant(QDate(1970, 3, 10)));
    EXPECT_TRUE(eval("notiz").memo);
    EXPECT_FALSE(eval("vorname").memo);
    EXPECT_EQ(eval("(('a'))").value, QVariant(QString("a")));
}

TEST_F(ReportExpressionTest, StoreFunctions) {
    EXPECT_EQ(eval("UPPER(vorname)").value, QVariant(QString("ANNA      ")));
    EXPECT_EQ(eval("dtoc(geburtstag)").value, QVariant(QString("09.03.1970")));
    EXPECT_EQ(eval("MONTH(geburtstag)").value, QVariant(3.0));
    EXPECT_EQ(eval("DAY(geburtstag)").value, QVariant(9.0));
    EXPECT_EQ(eval("YEAR(CTOD('24.12.2008'))").value, QVariant(2008.0));
    EXPECT_EQ(eval("STR(MONTH(geburtstag),2)").value, QVariant(QString(" 3")));
    EXPECT_EQ(eval("TRIM(vorname) + '|' + ALLTRIM('  x ')").value, QVariant(QString("anna|x")));
    EXPECT_EQ(eval("DESCEND(geburtstag)").value, QVariant(DESCEND(QDate(1970, 3, 9))));
    EXPECT_EQ(eval("DATE()").value, QVariant(DATE()));
}

TEST_F(ReportExpressionTest, RefusesAnythingElseAtReading) {
    // Nothing outside the small language passes: no other functions, no
    // assignment, no macros, no code blocks; the refusal names the text.
    for (const QString text :
         {"FERASE('data.dbf')", "RUN('rm')", "x := 1", "&macro", "{|| 1}", "a - b", "a * 2",
          "UPPER(a", "'open", "UPPER()", "STR(1,2,3,4)", "a->", "a b", ""}) {
        const QString why = refusal(text);
        EXPECT_FALSE(why.isEmpty()) << text.toStdString();
        EXPECT_TRUE(why.startsWith("\"" + text + "\"")) << why.toStdString();
    }
    EXPECT_TRUE(refusal("FERASE('x')").contains("FERASE"));
}

TEST_F(ReportExpressionTest, RefusesValuesThatDoNotFitWhenEvaluated) {
    auto parsed = ReportExpression::Parse("UPPER(geburtstag)");
    ASSERT_TRUE(std::holds_alternative<ReportExpression>(parsed));
    const auto& expression = std::get<ReportExpression>(parsed);
    try {
        expression.evaluate([this](const QString& n) { return fields_.value(n.toUpper()); });
        FAIL() << "a date given to UPPER was accepted";
    } catch (const ReportExpressionError& error) {
        EXPECT_TRUE(error.message().contains("UPPER(geburtstag)"));
    }
    auto plus = ReportExpression::Parse("vorname + betrag");
    EXPECT_THROW(std::get<ReportExpression>(plus).evaluate(
                     [this](const QString& n) { return fields_.value(n.toUpper()); }),
                 ReportExpressionError);
}

TEST_F(ReportExpressionTest, RefusesNumbersNoDateOrWidthCanTake) {
    fields_["GROSS"] = {1e20};
    fields_["MINUS"] = {-1.0};
    const auto refused = [this](const QString& text) {
        auto parsed = ReportExpression::Parse(text);
        try {
            std::get<ReportExpression>(parsed).evaluate(
                [this](const QString& n) { return fields_.value(n.toUpper()); });
        } catch (const ReportExpressionError& error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_EQ(refused("geburtstag + gross"),
              "\"geburtstag + gross\": \"+\" moves the date too far");
    EXPECT_EQ(refused("gross + geburtstag"),
              "\"gross + geburtstag\": \"+\" moves the date too far");
    EXPECT_EQ(refused("STR(betrag, gross)"),
              "\"STR(betrag, gross)\": STR() needs a number from 1 to 255");
    EXPECT_EQ(refused("STR(betrag, 8, minus)"),
              "\"STR(betrag, 8, minus)\": STR() needs a number from 0 to 255");
    EXPECT_EQ(eval("STR(betrag, 8, 2)").value.toString(), "   12.50");
    EXPECT_EQ(eval("geburtstag + 3660000").value.toDate(), QDate(1970, 3, 9).addDays(3660000));
}

TEST_F(ReportExpressionTest, RefusesNestingDeeperThanAnyReportNeeds) {
    EXPECT_EQ(eval(QString(200, '(') + "betrag" + QString(200, ')')).value.toDouble(), 12.5);
    EXPECT_TRUE(
        refusal(QString(201, '(') + "betrag" + QString(201, ')')).endsWith("nested too deeply"));
    QString chain = "betrag";
    for (int i = 0; i < 250; ++i)
        chain += " + 1";
    EXPECT_TRUE(refusal(chain).endsWith("nested too deeply"));
    EXPECT_TRUE(refusal(QString(300, 'x').replace("x", "UPPER(") + "vorname" + QString(300, ')'))
                    .endsWith("nested too deeply"));
}

TEST_F(ReportExpressionTest, ListsTheFieldsItReads) {
    auto parsed = ReportExpression::Parse("UPPER(vorname) + geburt->nachname + vorname + 'x'");
    EXPECT_EQ(std::get<ReportExpression>(parsed).fieldNames(),
              QStringList({"vorname", "geburt->nachname"}));
}

TEST(ReportValueText, PrintsEachKind) {
    SET_CENTURY(true);
    SET_DATEFORMAT("mm/dd/yyyy");
    EXPECT_EQ(ReportValueText(QDate(2008, 12, 24)), "12/24/2008");
    EXPECT_EQ(ReportValueText(3.0), "3");
    EXPECT_EQ(ReportValueText(-2.25), "-2.25");
    EXPECT_EQ(ReportValueText(true), "T");
    SET_DATEFORMAT("dd.mm.yyyy");
}

}  // namespace
