// The command line of the program: a thin face over the same steps the
// windows use, for scripts and terminals. It needs no graphical session.
//
//   kesp --find WORDS...   prints what the search over everything finds,
//                          grouped by application as in the main window, in
//                          the stored language; changes no table.
//   kesp --coming [DAYS]   prints the days ahead (today and DAYS more, else
//                          as many as the coming-up window keeps) under their
//                          day headings.
//   kesp --export-vcard private|business FILE [--vcard-version 3.0|4.0]
//                          writes every record of the book as a vCard file
//                          (4.0 unless 3.0 is asked for).
//   kesp --import-vcard private|business FILE
//                          stores the cards of the file in the book and
//                          prints the import's summary.
//   kesp --export-ics FILE writes every appointment of the agenda as an
//                          iCalendar file, each event once.
//   kesp --import-ics FILE stores the events of the file in the agenda and
//                          prints the import's summary.
//   kesp --list-backups    prints the backups, newest first: the name, when it
//                          was made and its records, or "damaged" and why.
//   kesp --restore-backup NAME
//                          restores the backup of that name as the backup
//                          window does, reading no table before: the way
//                          back when the program no longer starts.
//   kesp --lookup [WORDS], --lookup-window [WORDS], --export-learn FILE
//                          the word list's commands (word_commands.h).
//   kesp --help            prints the usage, in the stored language.
//   kesp --version         prints the program's name and version.
//   kesp --remind          posts the reminders that are due as desktop
//                          notifications, each once, then ends (for a login
//                          script or a timer); while the program runs it
//                          leaves that to the program and ends with 0.
//
// --help and --version only look at the stored language and always answer.
// The lookups only read and run while the program is open too. The other
// commands work on the data folder beside the program and refuse to
// touch it while a copy of the program has it open; they first finish what a
// pack killed earlier left, as the start of the windows does (the message goes to standard
// error, the exit code is 1). Without a command the program starts its
// windows.
#pragma once

#include <QStringList>

// Whether the program's arguments ask for a command ("--find ..."), rather
// than for the windows.
bool AsksForCommand(int argc, char** argv);

// Runs the command the arguments (without the program's name) ask for and
// returns its exit code: 0 done, 1 refused or failed, 2 not understood.
int RunCommand(const QStringList& arguments);
