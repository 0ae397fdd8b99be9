// Creating a new, empty table from a field list: what the build's data
// generator uses to produce the installed tables. Records are then added
// through the table operations (DBUSEAREA, DBAPPEND, REPLACE, DBCOMMIT).
#pragma once

#include <QString>

#include <vector>

namespace kesp {

// The memo file kind a table with memo fields gets: ".dbt" (dBase III blocks,
// version byte 0x83) or ".fpt" (FoxPro blocks, version byte 0xF5).
enum class MemoKind { Dbt, Fpt };

struct FieldSpec {
    QString name;      // at most 10 characters, stored in upper case
    char type = 'C';   // 'C', 'N', 'D', 'L' or 'M'
    int length = 10;   // ignored for D (8), L (1) and M (10)
    int decimals = 0;  // N only
};

// Writes the table (and, when a field is a memo, its empty memo file),
// replacing files of the same name. A bad field list raises a fault.
void CreateTable(const QString& path, const std::vector<FieldSpec>& fields,
                 MemoKind kind = MemoKind::Dbt);

// CreateTable for a table that a running program makes beside the others:
// the table is written under its name with the suffix ".neu" (its memo file
// under its own name) and then renamed, so that a table cut off while being
// made (a full disk, the end of the process) never stands under its name.
void CreateTableWhole(const QString& path, const std::vector<FieldSpec>& fields,
                      MemoKind kind = MemoKind::Dbt);

}  // namespace kesp
