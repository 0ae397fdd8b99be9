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

StoreRecords::StoreRecords() {
    // The store hands character and memo fields over alike, as text. They
    // differ in their blank value, read at the end of the table: a character
    // field is as many blanks as it is wide, a memo is empty. The record
    // pointer comes back to where the caller left it.
    if (DBEOF()) {
        findMemoFields();
        return;
    }
    const int here = RECNO();
    DBGOTO(RECCOUNT() + 1);
    findMemoFields();
    DBGOTO(here);
}

void StoreRecords::findMemoFields() {
    for (int i = 1; i <= FCOUNT(); ++i) {
        const QVariant blank = FIELD(FIELDNAME(i));
        if (blank.typeId() == QMetaType::QString && blank.toString().isEmpty()) {
            memoFields_.insert(FIELDNAME(i).toUpper());
        }
    }
}

bool StoreRecords::atEnd() {
    return DBEOF();
}

void StoreRecords::skip() {
    DBSKIP(1);
}

ReportValue StoreRecords::field(const QString& aliasField) {
    // The same few names come for every record: decide once whether each is a memo.
    auto known = memoByName_.constFind(aliasField);
    if (known == memoByName_.cend()) {
        known = memoByName_.insert(
            aliasField, OfCurrentArea(aliasField) && memoFields_.contains(BareName(aliasField)));
    }
    return {FIELD(aliasField), known.value()};
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
