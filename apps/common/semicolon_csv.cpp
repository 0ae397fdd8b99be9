#include "apps/common/semicolon_csv.h"

#include "apps/common/control_characters.h"
#include "apps/common/window_texts.h"
#include "kernel/texts.h"
#include "store/codec.h"
#include "store/xbase.h"

namespace {

const Texts kYes{"Ja", "Yes", "Sim"};
const Texts kNo{"Nein", "No", "Não"};

// A value that would otherwise break its line, or its line into more
// columns; control characters, line breaks among them, as blanks.
QString OnOneLineInOneColumn(QString value) {
    for (QChar& c : value) {
        if (IsControlCharacter(c)) c = u' ';
    }
    if (!value.contains(u';') && !value.contains(u'"')) return value;
    value.replace(u'"', QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

}  // namespace

void SemicolonCsv::addLine(const QStringList& values) {
    QString line;
    for (const QString& value : values)
        line += OnOneLineInOneColumn(value) + u';';
    line += u'\r';
    bytes_ += kesp::store::EncodeText(line);
}

QString CsvText(const QString& stored) {
    return TrimBlanks(stored);
}

QString CsvDate(const QDate& date) {
    return DTOC(date);
}

QString CsvYesNo(bool value) {
    return TEXT(value ? kYes : kNo);
}

QString CsvLongText(const QString& stored) {
    QString oneLine = TrimBlanks(stored);
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    oneLine.replace(QString(QChar(0x8D)) + u'\n', QStringLiteral(" "));
    return oneLine;
}
