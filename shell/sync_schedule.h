// When the address books sync while the program runs: at the start, every
// so many minutes of the account (none: 0), on "Sync now" and at close; one
// sync at a time, its exchange in a thread of its own (address_sync.h). The
// main window's footer holds "Server…", "Sync now" and a status line that
// says when the last sync ended and what failed; a problem is told in a
// message once, not at every sync, and told again only when it changes.
//
// The password comes from the keyring, else from what the user typed in this
// run, else the user is asked (and it is kept for the run only).
#pragma once

#include <QString>

// The footer's controls of the main window, and their texts.
void DefineSyncControls();
void SetSyncTexts();

// Starts the schedule (and a first sync) when an account is set.
void START_SYNC_SCHEDULE();
void SYNC_NOW();
// Syncs once more before the program ends, waiting for it a few seconds at most.
void SYNC_AT_CLOSE();

// The password typed for this run (the server window's, or asked for).
void KeepPasswordForThisRun(const QString& password);
