// A file written whole, in one go: the bytes reach the disk through a
// temporary file that replaces an earlier file of the name only when every
// byte is written, so a failed write never leaves a half-written file behind
// and never passes for a success. This is the one place that writes a file
// whole; every export of the program and every other file it writes whole (the
// login entry of the reminders) go through it.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"

#include <QByteArray>
#include <QString>

// True when the whole file was written and took the place of the old one;
// otherwise `reason`, when given, receives the system's reason in the
// interface language. A symbolic link of the name is replaced by the file,
// never followed: nothing is written outside the folder of `path`.
bool WriteFileWhole(const QString& path, const QByteArray& bytes, QString* reason = nullptr);

// What an export says once its file is written, or could not be.
struct ExportReport {
    Texts written;      // followed by a carriage return and the export folder
    Texts cannotWrite;  // followed by a carriage return, the file's path and the reason
    QString title;      // of the message box
};

// Writes `bytes` as `file` in the export folder, then tells the user how it
// went; true when the file was written.
bool WriteExportFileAndReport(const QString& file, const QByteArray& bytes,
                              const ExportReport& report);
