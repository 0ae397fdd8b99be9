// The start of the program: MAIN fixes the global settings every application
// relies on, gives the public variables their start values, derives the four
// folders from the folder that holds the program, installs the program-wide
// fault handler and the texts of expected problems, claims the data folder
// for this copy of the program, then defines, centres and activates the main
// window "haupt". Closing the main window ends the program. The command line
// is main's (command_line.h).
#pragma once

#include <QString>

// The settings and start values every run needs, the folders beneath the
// program folder and the texts of expected problems: the part of START_UP
// that shows nothing and touches no file, shared with the commands of the
// command line.
void PREPARE_RUN(const QString& programFolder);

// Takes the lock on the data folder that every copy of the program holds for
// its whole run (finishing a restore's swap of the folder a kill cut off, and
// removing what it left), and gives a folder from before the reminders their
// settings table; false when another copy holds it.
bool CLAIM_DATA_FOLDER();
// The lock alone, reading no table: for going back to a backup when a table
// is damaged.
bool TAKE_DATA_FOLDER_LOCK();

// How to go back to a backup from a terminal, in the stored language: shown in the stop
// box of a fault before the main window shows.
QString BACK_TO_A_BACKUP_TEXT();

// What a copy says when another one has the data folder, in THE_LANG.
QString DATA_IN_USE_TEXT();

// Everything MAIN does before the main window is defined, for the program
// folder given (tests start here with a folder of their own). False when
// another copy of the program uses the data folder: the user has been told,
// and nothing in the folder was packed or written.
bool START_UP(const QString& programFolder);

// The folder that holds the running program, found from the system's record
// of the executable (its bytes taken as they are, whatever their encoding);
// never the root folder by mistake.
QString PROGRAM_FOLDER();

// The end of a run once the main window is closed: the word list offered to
// other programs no more, every table closed and synchronised, the index
// files the day's writes left behind built again, and the backup of the
// close.
void END_RUN();

// START_UP for the folder of the running program, then the main window; returns
// when the main window is closed, or at once when another copy has the data.
void MAIN();
