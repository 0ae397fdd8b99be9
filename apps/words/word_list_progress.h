// What the word list tells the user while it works: the status line Label_12
// and the progress bar ProgressBar_1, which is shown only while the
// dictionary is reorganised or looked up. Every step is on screen as soon as
// it is set, inside the action that is still running.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

void ShowWordListStatus(const QString& text);
void ShowWordListProgress(int value);  // 1-100; below 1 the bar shows empty
void BeginWordListWork();              // the progress bar appears
void EndWordListWork();                // and disappears again

// "Ready. Total records: n" (in the language in force); THE_ANZAHL := n.
void ShowReadyWithCount(int pairs);
// "Found n words"; THE_ANZAHL := n.
void ShowFoundWords(int pairs);
