#include "apps/common/index_files.h"

#include "store/xbase.h"
#include "toolkit/fault_handler.h"

QString KeyText(const IndexFile& index) {
    switch (index.form) {
        case KeyForm::Field:
            return index.field;
        case KeyForm::Upper:
            return "UPPER(" + index.field + ")";
        case KeyForm::DateText:
            return "DTOC(" + index.field + ")";
        case KeyForm::DateValue:
            return "DTOS(" + index.field + ")";
        case KeyForm::Descending:
            return "DESCEND(" + index.field + ")";
        case KeyForm::Expression:
            return index.expression;
    }
    return index.field;
}

void CreateEachIndexFile(const QList<IndexFile>& indexes) {
    for (const IndexFile& index : indexes) {
        DBCREATEINDEX(index.file, KeyText(index));
        ORDLISTREBUILD();
        DBGOTOP();
    }
}

void CreateIndexFiles(const QList<IndexFile>& indexes, const QString& normalOrder) {
    CreateEachIndexFile(indexes);
    // The index created last is already the only open one.
    if (indexes.isEmpty() || indexes.last().file.compare(normalOrder, Qt::CaseInsensitive) != 0)
        MakeOnlyOrder(normalOrder);
}

void MakeOnlyOrder(const QString& file) {
    ORDLISTCLEAR();
    ORDLISTADD(file);
}

const IndexFile& IndexNamed(const QList<IndexFile>& indexes, const QString& file) {
    for (const IndexFile& index : indexes)
        if (index.file.compare(file, Qt::CaseInsensitive) == 0) return index;
    kesp::RaiseFormsFault("No index file " + file + " in the window's description");
}
