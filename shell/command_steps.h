// What every command of the command line shares: its two output streams,
// a message's lines as a terminal shows them, and the set-up before a
// command touches the data folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextStream>

QTextStream& Out();
QTextStream& Err();

// A message's lines as a terminal shows them (message boxes break at \r).
QString Lines(QString text);

namespace kesp {
struct Fault;
}

// Faults end a command with their text on standard error, not with a window;
// a table another program cut short meanwhile is told in the user's language.
void EndCommandOnFault(const kesp::Fault& fault);

// The set-up of a command that only reads: the settings, the folders, the
// stored language, and faults ending the command with their text on standard
// error; nothing of the data folder is claimed.
void PrepareReadingCommand();

// The set-up every command that touches the data folder shares: the
// settings, the folders, the stored language, the data folder claimed, what a
// killed pack left finished, and faults ending the command with their text
// on standard error. False (the message written) when another copy has the
// data folder.
bool PrepareCommand();

// Writes `bytes` whole to `path` (apps/common/export_file.h); when the system
// refuses, `notWritten` and the path with the system's reason go to standard
// error and false is returned.
bool WriteCommandFile(const QString& path, const QByteArray& bytes, const QString& notWritten);
