// The export of a record window: the records the window shows, in its order
// and under its quick-search filter, written as a semicolon file of a fixed
// name into the export folder.
//
// The steps: the export folder becomes current; the file is created (a
// failure is reported and nothing else changes); the headers are read; the
// table in work area "a" is walked from the top, one line per record; the
// file is closed; the record that was current before is shown again; the
// result is reported; the data folder becomes current again.
//
// The file is written through a temporary file that replaces the old one
// only when every byte has reached the disk, so a failed export never leaves
// a half-written file behind, and any failure (create, write, flush, close)
// is reported as "cannot write", never as success.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QStringList>

#include <functional>

// The warning when the export file cannot be written.
extern const Texts kCannotWriteExport;

struct CsvExport {
    Texts fileName;                                    // "Adressen_Privat.csv", ...
    Texts createdMessage;                              // followed by CR and the export folder
    std::function<QStringList()> readHeaders;          // runs once the file is created
    std::function<QStringList()> currentRecordValues;  // the current record of work area "a"
    Action fillWindow;                                 // shows the record that was current
    Texts cannotWrite = kCannotWriteExport;
};

void ExportVisibleRecords(const CsvExport& plan);
