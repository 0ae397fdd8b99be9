// A file of the export folder written in one go: the bytes reach the disk
// through a temporary file that replaces an earlier file of the name only
// when every byte is written, so a failed export never leaves a
// half-written file behind and never passes for a success.
#pragma once

#include <QByteArray>
#include <QString>

// True when the whole file was written and took the place of the old one.
bool WriteExportFile(const QString& path, const QByteArray& bytes);
