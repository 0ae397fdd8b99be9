// The window "doppelt": the groups of likely duplicates over both address
// books (duplicate_groups.h) in a list, and the group chosen ready to merge.
// Every member of the group is shown in full, each with a tick: only the
// ticked ones are merged, the others stay as they are. The user picks the
// record to keep and, for every field where the ticked members differ, the
// value it keeps; elsewhere the value given wins, the notes are joined, and
// the other ticked members are marked deleted as Delete marks them. Records
// of the other book keep their extra fields, which mean other things there,
// as "caption: value" lines in the notes.
//
// A merge is one step for Ctrl+Z in the calling window: it brings back the
// kept record as it was and every record the merge deleted, in both books.
//
// The window may be enlarged; the lists grow with it. It works by keyboard:
// Tab in reading order, Space ticks, Enter presses the focused button,
// Escape closes.
//
// Opened from an address book's window (its table open in its work area);
// the other book is opened beside it while the window is open. On closing,
// the address book's window shows its table again.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/addresses/vcard_contacts.h"
#include "apps/common/record_window.h"

inline const Texts kFindDuplicatesText{"Doppelte suchen", "Find duplicates", "Procurar duplicados"};

void ShowDuplicatesWindow(const RecordWindow& caller, AddressBookKind callerKind);
