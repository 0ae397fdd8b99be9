#include "apps/common/semicolon_csv.h"

#include "apps/common/window_texts.h"
#include "kernel/texts.h"
#include "store/codec.h"
#include "store/xbase.h"

namespace {

const Texts kYes{"Ja", "Yes", "Sim"};
const Texts kNo{"Nein", "No", "Não"};

// A value that would otherwise break its line into more columns.
QString Quoted(const QString& value) {
    if (!value.contains(u';') && !value.contains(u'"')) return value;
    QString doubled = value;
    doubled.replace(u'"', QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

}  // namespace

void SemicolonCsv::addLine(const QStringList& values) {
    QString line;
    for (const QString& value : values)
        line += Quoted(value) + u';';
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

QStringList CsvValues(const QString& alias, const RecordBinding& binding) {
    QStringList values;
    for (const FieldBinding& bound : binding) {
        const QVariant stored = FIELD(alias + "->" + bound.field);
        switch (bound.kind) {
            case FieldKind::Text:
                values.append(CsvText(stored.toString()));
                break;
            case FieldKind::Memo:
                values.append(CsvLongText(stored.toString()));
                break;
            case FieldKind::Logical:
                values.append(CsvYesNo(stored.toBool()));
                break;
            case FieldKind::Date:
                values.append(CsvDate(stored.toDate()));
                break;
        }
    }
    return values;
}
