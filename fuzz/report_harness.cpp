#include "fuzz/report_harness.h"

#include "reports/number_picture.h"
#include "reports/report_definition.h"
#include "reports/report_expression.h"
#include "store/codec.h"

#include <QDate>

namespace {

ReportValue ReadField(const QString& aliasField) {
    const QString name = aliasField.mid(aliasField.lastIndexOf("->") + 1).trimmed();
    const QChar kind = name.isEmpty() ? QChar() : name.front().toLower();
    if (kind == 'n') return {name.mid(1).toDouble(), false, 2};
    if (kind == 'd') return {QDate::fromJulianDay(name.mid(1).toLongLong())};
    if (kind == 'l') return {name.size() % 2 == 0};
    if (kind == 'm') return {name.repeated(3), true};
    return {name};
}

void Evaluate(const QString& text, const QString& picture) {
    auto parsed = ReportExpression::Parse(text);
    auto* expression = std::get_if<ReportExpression>(&parsed);
    if (expression == nullptr) return;
    expression->fieldNames();
    try {
        const ReportValue value = expression->evaluate(ReadField);
        ReportValueText(value.value);
        if (value.value.typeId() == QMetaType::Double) {
            FormatNumberPicture(value.value.toDouble(), picture);
            NumberCell(value.value.toDouble(), picture, 12, value.decimals);
        }
    } catch (const ReportExpressionError&) {
        // The expected answer to values that do not fit.
    }
}

}  // namespace

void RunReportDefinitionInput(const std::uint8_t* data, std::size_t size) {
    const QString text = kesp::store::DecodeText(reinterpret_cast<const char*>(data), size);
    const ReportDefinition definition = ParseReportDefinition("fuzz", text);
    ReportDefinitionProblem(definition);
    ReportFontSize(definition.charactersPerLine);
    Evaluate(definition.title, {});
    Evaluate(definition.groupBy, {});
    for (int column = 0; column < definition.columnCount(); ++column)
        Evaluate(definition.fields[column], definition.numberFormat(column));
    ParseArrayLiterals(text);
}

void RunReportExpressionInput(const std::uint8_t* data, std::size_t size) {
    const QString text = kesp::store::DecodeText(reinterpret_cast<const char*>(data), size);
    const qsizetype lineBreak = text.indexOf('\n');
    const QString expression = lineBreak < 0 ? text : text.left(lineBreak);
    const QString picture = lineBreak < 0 ? QString() : text.mid(lineBreak + 1);
    Evaluate(expression, picture);
    for (const double number : {0.0, -1234.5, 99999999.99, 1e300})
        FormatNumberPicture(number, picture);
}
