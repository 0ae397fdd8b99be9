#include "tests/apps/installed_table.h"

#include "data/installed_tables.h"
#include "store/table_schema.h"

#include <gtest/gtest.h>

#include <vector>

void CreateInstalledTable(const QString& dataPath, const QString& file) {
    const kesp::TableDescription* table = kesp::InstalledTable(file);
    ASSERT_NE(table, nullptr) << file.toStdString();
    std::vector<kesp::FieldSpec> fields;
    for (const kesp::FieldDescription& field : table->fields)
        fields.push_back({field.name, field.type, field.width, field.decimals});
    kesp::CreateTable(dataPath + file, fields, kesp::MemoKind::Fpt);
}
