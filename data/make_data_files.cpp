// Writes the installed tables into a data folder:
//
//   kesp_make_data_files <data folder>
//
// Every table of the installed description is created anew (an existing file
// of the same name is replaced) and receives its first records. The build
// runs this into the data folder of the portable application folder.
#include "data/installed_tables.h"
#include "store/fault.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QDir>

#include <cstdio>
#include <vector>

namespace {

std::vector<kesp::FieldSpec> FieldSpecs(const kesp::TableDescription& table) {
    std::vector<kesp::FieldSpec> fields;
    for (const kesp::FieldDescription& field : table.fields)
        fields.push_back({field.name, field.type, field.width, field.decimals});
    return fields;
}

void WriteTable(const QString& folder, const kesp::TableDescription& table) {
    const QString path = QDir(folder).filePath(table.file);
    kesp::CreateTable(path, FieldSpecs(table), kesp::MemoKind::Fpt);
    if (table.firstRecords.isEmpty()) return;
    DBUSEAREA(false, path);
    for (const kesp::FirstRecord& record : table.firstRecords) {
        DBAPPEND();
        for (const auto& [field, value] : record)
            REPLACE(field, value);
    }
    DBCOMMIT();
    DBCLOSEALL();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    try {
        SET_DELETED(true);
        for (const kesp::TableDescription& table : kesp::InstalledTables())
            WriteTable(folder, table);
    } catch (const kesp::FaultException& fault) {
        std::fprintf(stderr, "%s\n", qPrintable(fault.fault().text()));
        return 1;
    }
    return 0;
}
