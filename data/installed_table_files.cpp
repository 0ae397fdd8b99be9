#include "data/installed_table_files.h"

#include "store/xbase.h"

namespace kesp {

std::vector<FieldSpec> FieldSpecs(const TableDescription& table) {
    std::vector<FieldSpec> fields;
    for (const FieldDescription& field : table.fields)
        fields.push_back({field.name, field.type, field.width, field.decimals});
    return fields;
}

void WriteInstalledTable(const QString& path, const TableDescription& table) {
    CreateTable(path, FieldSpecs(table), MemoKind::Fpt);
    if (table.firstRecords.isEmpty()) return;
    const int previous = SELECT();
    DBUSEAREA(true, path, "installing");
    for (const FirstRecord& record : table.firstRecords) {
        DBAPPEND();
        for (const auto& [field, value] : record)
            REPLACE(field, value);
    }
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

}  // namespace kesp
