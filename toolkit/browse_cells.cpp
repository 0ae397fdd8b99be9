#include "toolkit/browse_cells.h"

#include "store/xbase.h"

#include <QDate>
#include <QVariant>

namespace kesp {
namespace {

constexpr int kLastWorkArea = 255;

QString WithoutTrailingBlanks(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.left(end);
}

QString NumberText(double number, int decimals) {
    return QString::number(number, 'f', decimals);
}

}  // namespace

QString CellText(const QString& field) {
    switch (FIELDTYPE(field).toLatin1()) {
        case 'M':
            return QStringLiteral("<Memo>");
        case 'L':
            return FIELD(field).toBool() ? QStringLiteral(".T.") : QStringLiteral(".F.");
        case 'D':
            return WithoutTrailingBlanks(DTOC(FIELD(field).toDate()));
        case 'N':
            return NumberText(FIELD(field).toDouble(), FIELDDEC(field));
        default:
            return WithoutTrailingBlanks(FIELD(field).toString());
    }
}

bool IsAliasInUse(const QString& alias) {
    if (USED() && ALIAS().compare(alias, Qt::CaseInsensitive) == 0) return true;
    const int previous = SELECT();
    bool found = false;
    for (int area = 1; area <= kLastWorkArea && !found; ++area) {
        DBSELECTAREA(area);
        found = USED() && ALIAS().compare(alias, Qt::CaseInsensitive) == 0;
    }
    DBSELECTAREA(previous);
    return found;
}

}  // namespace kesp
