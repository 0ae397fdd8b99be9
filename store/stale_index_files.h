// Index files this run built that its own later writes left behind: the
// birthday list builds its orders on the addresses, the address book then
// writes a record, and the list's files no longer fit the table. Built again
// at a quiet moment (the program's close), the next run finds them current
// instead of bringing them up to date while a window opens.
//
// It promises: only index files whose orders this run kept (known_orders.h)
// and whose file nobody wrote since are touched, each built as its window
// would build it (DBCREATEINDEX), in an area of its own that is closed
// again, the current area as it was. A table that cannot be opened or an
// index file the system refuses leaves the file as it is: it is built at
// its next opening, as it would have been. Faults raised meanwhile are not
// handed to the program's fault handler.
//
// Main thread only, with the tables of the windows closed.
#pragma once

namespace kesp::store {

// One stale index file built again; false when none is left.
bool RefreshOneStaleIndexFile();

}  // namespace kesp::store
