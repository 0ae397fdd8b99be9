// What one sync of a collection came to here (dav_item_sync.h), and its
// summary line in the interface language.
#pragma once

#include "apps/common/dav_item_sync.h"

struct DavSyncApplied {
    int changed = 0;
    int added = 0;
    int trashed = 0;
    int leftForLater = 0;  // changed here meanwhile: they follow at the next sync
    bool inUse = false;    // a window has the table: nothing written
};

// "<name>: 2 sent, 1 received, 0 moved to the trash here, 0 deleted on the server."
QString DavSyncCountsLine(const QString& name, int sent, int received, int trashedHere,
                          int deletedThere);

// "<name>: 2 sent, 1 received, …", lines separated by "\r".
QString DavSyncSummary(const QString& name, const DavSyncResult& result,
                       const DavSyncApplied& applied);
