#include "store/stale_index_files.h"

#include "store/fault.h"
#include "store/known_orders.h"
#include "store/xbase.h"

namespace kesp::store {

bool RefreshOneStaleIndexFile() {
    const std::optional<StaleIndexFile> stale = TakeStaleKnownOrder();
    if (!stale) return false;
    // Keys of another date format than the one in force are left to the
    // next opening, which builds them in its own.
    if (stale->dateFormat != DATEFORMAT()) return true;
    const int current = SELECT();
    // The file only saves time: a fault here must not end the program, whose
    // work is done; the file is then built at its next opening.
    const FaultHandler programs = SetFaultHandler({});
    int opened = 0;
    try {
        DBUSEAREA(true, stale->table.path, stale->table.alias);
        if (USED()) {
            opened = SELECT();
            DBCREATEINDEX(stale->indexPath, stale->keyText);
            opened = 0;
            DBCLOSEAREA();
        }
    } catch (const FaultException&) {
        if (opened > 0) {
            try {
                DBSELECTAREA(opened);
                DBCLOSEAREA();
            } catch (const FaultException&) {
            }
        }
    }
    SetFaultHandler(programs);
    DBSELECTAREA(current);
    return true;
}

}  // namespace kesp::store
