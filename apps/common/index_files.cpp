#include "apps/common/index_files.h"

#include "kernel/public_variables.h"
#include "store/index_read_ahead.h"
#include "store/xbase.h"
#include "toolkit/fault_handler.h"

#include <exception>

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

void ReadAheadIndexFiles(const QList<IndexFile>& indexes) {
    QStringList files;
    for (const IndexFile& index : indexes)
        files.append(index.file);
    kesp::store::ReadIndexFilesAhead(THE_DATA_PATH, files);
}

void CreateEachIndexFile(const QList<IndexFile>& indexes) {
    std::exception_ptr refused;
    for (const IndexFile& index : indexes) {
        try {
            DBCREATEINDEX(index.file, KeyText(index));
            ORDLISTREBUILD();
        } catch (const kesp::WriteFailure&) {
            if (!refused) refused = std::current_exception();
        }
        DBGOTOP();
    }
    if (refused) std::rethrow_exception(refused);
}

void CreateIndexFiles(const QList<IndexFile>& indexes, const QString& normalOrder) {
    std::exception_ptr refused;
    try {
        CreateEachIndexFile(indexes);
    } catch (const kesp::WriteFailure&) {
        refused = std::current_exception();
    }
    // The index created last is already the only open one.
    if (indexes.isEmpty() || indexes.last().file.compare(normalOrder, Qt::CaseInsensitive) != 0) {
        if (!refused) {
            MakeOnlyOrder(normalOrder);
        } else {
            // Its file may never have been written: the order kept in memory
            // is taken back instead of reading the file.
            try {
                const IndexFile& normal = IndexNamed(indexes, normalOrder);
                DBCREATEINDEX(normal.file, KeyText(normal));
            } catch (const kesp::WriteFailure&) {
            }
        }
    }
    if (refused) std::rethrow_exception(refused);
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
