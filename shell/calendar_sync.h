// The agenda and the projects in the sync with the account's server
// (address_sync.h), beside the address books: the agenda with the calendar
// and the projects with the task list the account maps them to
// (server_account.h), each in the three steps of apps/agenda/agenda_sync.h
// and apps/projects/project_sync.h.
#pragma once

#include "apps/common/dav_item_sync.h"
#include "shell/address_sync.h"
#include "shell/server_account.h"

struct CalendarSync {
    bool agenda = true;  // else the projects
    QUrl collection;
    QByteArray token;
    DavSnapshot snapshot;
    DavSyncResult result;
};

QList<CalendarSync> MappedCalendars(const ServerAccount& account);

// In the event loop.
void ReadCalendars(QList<CalendarSync>& calendars);

// Any thread: touches no table. Stops at the first collection that finds
// the server away.
void ExchangeCalendars(QList<CalendarSync>& calendars, DavConnection& server);

// In the event loop: the tables written, a summary line each and the first
// problem added to `run`, the tokens kept in `account` (not written).
void ApplyCalendars(QList<CalendarSync>& calendars, SyncRun& run, ServerAccount& account);
