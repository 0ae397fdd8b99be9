// The projects and a task list on a CalDAV server brought to the same
// tasks, in the three steps of the contacts' sync: the projects read in the
// event loop (ReadProjectsForSync), the exchange in a thread of its own
// (ExchangeItems of dav_item_sync.h with TaskKind of task_object.h), the
// projects written in the event loop (ApplyProjectsSync).
//
// The links ("caldav_t.dbf", dav_links.h) hold each project's UID: a
// project without one gets it, written before anything is sent, so that a
// sync cut off sends it under the same UID again. The table has no field for
// the day a project was done: that day stays in the link's copy of the task
// (BASIS) and goes up with it; a project done here takes the day of the sync
// that sends it.
//
// Single-threaded (steps 1 and 3). Both open the projects exclusively in a
// work area of their own: while a window has them, nothing is read or
// written and the sync says it waits.
#pragma once

#include "apps/common/dav_sync_summary.h"

inline const QString kProjectsSyncLinksTable = QStringLiteral("caldav_t.dbf");

DavSnapshot ReadProjectsForSync();

// A refused write raises kesp::WriteFailure; what was committed before stays
// and the next sync finds it again.
DavSyncApplied ApplyProjectsSync(const DavSnapshot& read, DavSyncResult& result);
