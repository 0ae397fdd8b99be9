// The commands of the word list (command_line.h):
//
//   kesp --lookup [WORDS...]         prints the pairs for the words, or for the
//                                    desktop's selection when none are given;
//                                    exit code 1 when nothing matches.
//   kesp --lookup-window [WORDS...]  shows the lookup window for them (or the
//                                    selection) through the running copy, or
//                                    itself when none runs; needs a desktop.
//   kesp --export-learn FILE         writes the pairs marked to learn as a
//                                    tab-separated file.
//
// The two lookups only read: they run while the program has the data folder
// open, and never write to it (an index of headwords out of date is built in
// memory for the lookup alone). The export refuses, as the other commands do,
// while a copy of the program has the data folder.
#pragma once

#include <QStringList>

// Whether the arguments ask for a command that takes the desktop's selection
// or shows a window, and a desktop is there to ask: the command then runs in
// a graphical application.
bool WordCommandNeedsDesktop(int argc, char** argv);

int LookupCommand(const QStringList& words);
int LookupWindowCommand(const QStringList& words);
int ExportLearnCommand(const QStringList& arguments);
