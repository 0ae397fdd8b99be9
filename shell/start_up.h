// The start of the program: MAIN fixes the global settings every application
// relies on, gives the public variables their start values, derives the four
// folders from the folder that holds the program, installs the program-wide
// fault handler, then defines, centres and activates the main window "haupt".
// Closing the main window ends the program. Nothing is taken from the command
// line.
#pragma once

#include <QString>

// Everything MAIN does before the main window is defined, for the program
// folder given (tests start here with a folder of their own).
void START_UP(const QString& programFolder);

// START_UP for the folder of the running program, then the main window; returns
// when the main window is closed.
void MAIN();
