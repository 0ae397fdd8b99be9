// The agenda's iCalendar files on the command line: --export-ics FILE writes
// every appointment as an iCalendar file, each event once; --import-ics FILE
// stores the events of a file in the agenda and prints the import's summary.
// Both refuse to touch a data folder the program has open.
#pragma once

#include <QStringList>

int ExportCalendarCommand(const QStringList& arguments);
int ImportCalendarCommand(const QStringList& arguments);
