// The records not marked deleted ("live"): the one walk over them and the one
// count of them, for a table opened by itself (DbfTable) and for the current
// work area (xbase.h). Whatever else visits records and leaves out the
// deleted ones goes through these.
//
// A walk visits the records in record order, whatever order, filter or
// deleted switch a work area has. A visit may mark its record deleted or
// take the mark away; records appended meanwhile are visited too.
//
// Single-threaded.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace kesp::store {

class DbfTable;

// The first live record after `record` (0: from the first); 0 when none is left.
std::uint32_t NextLiveRecord(const DbfTable& table, std::uint32_t record);

// Calls `visit` with each live record of `table`.
void ForEachLiveRecord(const DbfTable& table, const std::function<void(std::uint32_t)>& visit);

// The table's live records counted (from the marks kept in memory, without
// reading a record).
std::uint32_t LiveRecordCount(const DbfTable& table);

}  // namespace kesp::store

// Makes each live record of the current work area current in turn and calls
// `visit`; afterwards the record pointer is where it was.
void DBEVALLIVE(const std::function<void()>& visit);

// The live records of the current work area; RECCOUNT() counts the deleted
// ones too.
int LIVECOUNT();

// A count of the live records of the current work area whose logical field
// `field` is true, to run later: it reads the table alone, never the area's
// record pointer, so it may run on another thread while the area moves, as
// long as nothing writes the table meanwhile. Raises the fault FIELD raises
// when the table has no such field.
std::function<int()> LIVECOUNTWHERE(const QString& field);
