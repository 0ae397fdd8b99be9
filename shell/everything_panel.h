// The search over everything in the main window: the box "s_alles" in the
// header band and, while it holds text, the list of results laid over the
// application frames.
//
// Every keystroke starts a new search and drops the one before; the search
// goes on in short steps between the events of the window, so typing never
// waits, and each application's group of results shows as soon as it is
// searched. Groups come in the main window's order, each headed by the
// application and its count; a result shows the record's name and the text
// that holds the words, the words marked.
//
// Keyboard: Ctrl+F anywhere in the main window goes to the box; Down goes
// from the box into the list; Enter (or a double-click) opens the result in
// its application's window, standing on the record, and closing that window
// comes back to the results as they were; Up on the first result goes back
// to the box; Escape clears the box, and a second Escape leaves it.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "shell/everything_search.h"

#include <QString>
#include <QStringList>

#include <chrono>

// Defines the box and the list; called while the main window is defined.
void DefineEverythingSearch();

// The box's hint, the list's name and the group headings in THE_LANG.
void SetEverythingSearchTexts();

// Starts reading the searchable copies ahead in the same short steps, so that
// the first search of the run shows its results as fast as any later one:
// what the start does once the main window shows its figures. Nothing when
// they are being read already or a search runs.
void ReadAheadForEverythingSearch();

// True while the search of the last keystroke is still going on.
bool EverythingSearchRunning();

// Test seam: the time a step takes at most (0: as the program has it), so
// that a search on a few records still takes many steps.
void SetEverythingSearchStepForTests(std::chrono::microseconds step);

// The results as lines of text: a heading per application ("Notes (2)"),
// then one line per result, "  name — matching text", and for a group that
// lists only some of its matches the words saying how many there are.
QStringList EverythingResultLines(const std::vector<SearchGroup>& groups,
                                  const std::vector<FoldedWord>& words);
