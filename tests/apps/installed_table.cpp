#include "tests/apps/installed_table.h"

#include "data/installed_table_files.h"

#include <gtest/gtest.h>

void CreateInstalledTable(const QString& dataPath, const QString& file) {
    const kesp::TableDescription* table = kesp::InstalledTable(file);
    ASSERT_NE(table, nullptr) << file.toStdString();
    kesp::CreateTable(dataPath + file, kesp::FieldSpecs(*table), kesp::MemoKind::Fpt);
}
