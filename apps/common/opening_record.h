// The record an application window is to open on, when something other than
// its launch button opens it (a search result, a reminder, a restored record):
// the opener names the record, then opens the window as its launch button
// does; the window's initialisation takes the request once, while its table is
// open and not yet packed, and stands on that record once the pack is done.
//
// Record numbers are those of the table as it is on disk when the request is
// made. The pack at opening removes the records marked deleted before it, so
// the number the window goes to is counted anew from the deletion marks.
//
// Single-threaded: all calls come from the event loop.
#pragma once

// Asks the next opening of an application window to stand on `record`.
void AskToOpenOn(int record);

// Called by an opening with its table open in the current work area, before
// it packs: the asked record's number once the records marked deleted are
// gone, or 0 when nothing was asked, the record does not exist or is itself
// marked deleted. The request is used up either way.
int TakeRecordToOpenOn();
