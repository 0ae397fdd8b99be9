// The export of a record window: the records the window shows, in its order
// and under its quick-search filter, written as a semicolon file of a fixed
// name into the export folder.
//
// The steps: the header line is formed (user captions read in work area
// "b"); the table is walked from the top, one line per record; the record
// that was current before is shown again; the file is written through the
// one writer of export files (export_file.h), and only then is the result
// reported. A failed export leaves an earlier file whole and is reported
// with the window's "cannot write" message, never as success.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_window.h"

#include <QByteArray>
#include <QStringList>

// The columns of the window's export: its own, or one per field row.
QList<ExportColumn> ExportColumns(const RecordWindow& record);

// The header line's values in the language in force.
QStringList ExportHeaders(const RecordWindow& record);

// The header line of `columns` in the language in force, the user's
// caption n for a column that names it.
QStringList ExportHeadersOf(const QList<ExportColumn>& columns, const QStringList& userCaptions);

// The values of the current record of `alias`, rendered by the columns' kinds.
QStringList ExportValues(const QString& alias, const QList<ExportColumn>& columns);

// The records the current work area presents (its table open under `alias`),
// from the top in its order, as the bytes of a semicolon file under
// `headers`; the record pointer is left where it was.
QByteArray SemicolonFileOfView(const QString& alias, const QStringList& headers,
                               const QList<ExportColumn>& columns);

void ExportVisibleRecords(const RecordWindow& record);
