// The agenda and a calendar on a CalDAV server brought to the same events,
// in the three steps of the contacts' sync: the agenda read in the event
// loop (ReadAgendaForSync), the exchange in a thread of its own
// (ExchangeItems of dav_item_sync.h with EventKind of event_merge.h), the
// agenda written in the event loop (ApplyAgendaSync).
//
// An event is one member on the server: a single appointment, the days of
// an all-day event, or a series with its changed occurrences, as the
// agenda's export writes it. One that came from the server or changed there
// is stored anew as the import stores an event (its old appointments leave
// without a copy in the trash); one deleted there goes to the trash here
// whole, in one pack, as the window's deletion of a series does. The links
// ("caldav_a.dbf", dav_links.h) are found by UID; their SATZ stays 0.
//
// Single-threaded (steps 1 and 3). Both open the agenda exclusively in a
// work area of their own: while a window has it, nothing is read or written
// and the sync says it waits.
#pragma once

#include "apps/common/dav_sync_summary.h"

inline const QString kAgendaSyncLinksTable = QStringLiteral("caldav_a.dbf");

DavSnapshot ReadAgendaForSync();

// A refused write raises kesp::WriteFailure; what was committed before stays
// and the next sync finds it again.
DavSyncApplied ApplyAgendaSync(const DavSnapshot& read, DavSyncResult& result);
