#include "apps/common/record_versions.h"

#include "store/xbase.h"

#include <QList>
#include <QVariant>

namespace {

QList<QVariant> FieldsOfCurrent() {
    QList<QVariant> values;
    for (int i = 1; i <= FCOUNT(); ++i)
        values.append(FIELD(FIELDNAME(i)));
    return values;
}

void ReplaceFieldsOfCurrent(const QList<QVariant>& values) {
    for (int i = 1; i <= FCOUNT(); ++i)
        REPLACE(FIELDNAME(i), values[i - 1]);
}

}  // namespace

int KeepEarlierVersion(int number) {
    DBGOTO(number);
    const QList<QVariant> values = FieldsOfCurrent();
    DBAPPEND();
    ReplaceFieldsOfCurrent(values);
    DBDELETE();
    return RECNO();
}

bool PutEarlierVersionBack(int earlier, int number) {
    DBGOTO(earlier);
    if (DBEOF() || !DELETED()) return false;
    const QList<QVariant> values = FieldsOfCurrent();
    DBGOTO(number);
    if (DBEOF()) return false;
    ReplaceFieldsOfCurrent(values);
    return true;
}
