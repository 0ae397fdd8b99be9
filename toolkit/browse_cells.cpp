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

QString NumberText(double number) {
    if (number == static_cast<double>(static_cast<long long>(number)))
        return QString::number(static_cast<long long>(number));
    return QString::number(number, 'f', 2);
}

}  // namespace

QString CellText(const QString& field) {
    const QVariant value = FIELD(field);
    switch (value.metaType().id()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral(".T.") : QStringLiteral(".F.");
        case QMetaType::QDate:
            return WithoutTrailingBlanks(DTOC(value.toDate()));
        case QMetaType::Double:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return NumberText(value.toDouble());
        default:
            return WithoutTrailingBlanks(value.toString());
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
