#include "reports/store_records.h"

#include "store/xbase.h"

namespace {

QString BareName(const QString& aliasField) {
    const int arrow = int(aliasField.indexOf("->"));
    return (arrow < 0 ? aliasField : aliasField.mid(arrow + 2)).trimmed().toUpper();
}

bool OfCurrentArea(const QString& aliasField) {
    const int arrow = int(aliasField.indexOf("->"));
    return arrow < 0 || aliasField.left(arrow).trimmed().compare(ALIAS(), Qt::CaseInsensitive) == 0;
}

}  // namespace

StoreRecords::StoreRecords() = default;

bool StoreRecords::atEnd() {
    return DBEOF();
}

void StoreRecords::skip() {
    DBSKIP(1);
}

ReportValue StoreRecords::field(const QString& aliasField) {
    // The same few names come for every record: look up each field's kind once.
    auto known = kindByName_.constFind(aliasField);
    if (known == kindByName_.cend()) {
        const QChar type = FIELDTYPE(aliasField);
        const bool numeric = type == QLatin1Char('N') || type == QLatin1Char('F');
        known = kindByName_.insert(
            aliasField, Kind{type == QLatin1Char('M'), numeric ? FIELDDEC(aliasField) : -1});
    }
    return {FIELD(aliasField), known->memo, known->decimals};
}

QStringList StoreRecords::MissingFields(const QStringList& aliasFields) {
    QSet<QString> known;
    for (int i = 1; i <= FCOUNT(); ++i)
        known.insert(FIELDNAME(i).toUpper());
    QStringList missing;
    for (const QString& name : aliasFields) {
        if (OfCurrentArea(name) && !known.contains(BareName(name))) missing.append(name);
    }
    return missing;
}
