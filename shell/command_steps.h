// What every command of the command line shares (command_line.h): where it
// writes, how a fault ends it, and the set-up of a command that works on the
// data folder.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>
#include <QTextStream>

QTextStream& CommandOut();  // standard output
QTextStream& CommandErr();  // standard error

// A message's lines as a terminal shows them (message boxes break at \r).
QString CommandLines(QString text);

// The settings, the folders, the stored language, and faults ending the
// command with their text on standard error and exit code 1; nothing of the
// data folder is claimed. For the commands that only read.
void PrepareReadingCommand();

// PrepareReadingCommand, the data folder claimed and what a killed pack left
// finished. False (the message written) when another copy has the data folder.
bool PrepareCommand();
