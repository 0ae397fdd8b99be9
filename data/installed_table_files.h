// Writing a table of the installed description as a file: the one way the
// build's data generator and the tests create table files, so that both have
// exactly the described fields and first records.
#pragma once

#include "data/installed_tables.h"
#include "store/table_schema.h"

#include <QString>

#include <vector>

namespace kesp {

std::vector<FieldSpec> FieldSpecs(const TableDescription& table);

// Creates the table file at `path` (and its FoxPro memo file), replacing one
// of the same name, and appends the described first records.
void WriteInstalledTable(const QString& path, const TableDescription& table);

}  // namespace kesp
