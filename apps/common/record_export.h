// The export of a record window: the records the window shows, in its order
// and under its quick-search filter, written as a semicolon file of a fixed
// name into the export folder.
//
// The steps: the export folder becomes current; the file is created (a
// failure is reported and nothing else changes); the header line is formed
// (user captions read in work area "b"); the table is walked from the top,
// one line per record; the file is closed; the record that was current
// before is shown again; the result is reported; the data folder becomes
// current again.
//
// The file is written through a temporary file that replaces the old one
// only when every byte has reached the disk, so a failed export never leaves
// a half-written file behind, and any failure (create, write, flush, close)
// is reported with the window's "cannot write" message, never as success.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_window.h"

#include <QStringList>

// The columns of the window's export: its own, or one per field row.
QList<ExportColumn> ExportColumns(const RecordWindow& record);

// The header line's values in the language in force.
QStringList ExportHeaders(const RecordWindow& record);

// The values of the current record, rendered by the columns' kinds.
QStringList ExportValues(const RecordWindow& record, const QList<ExportColumn>& columns);

void ExportVisibleRecords(const RecordWindow& record);
