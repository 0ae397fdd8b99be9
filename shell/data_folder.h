// The data folder as one thing: the lock a copy of the program holds on it
// for its whole run, and its replacement by a whole new folder in one step
// (a restore from a backup).
//
// Promises:
// - A new folder is made beside the data folder (on the same file system)
//   under a name of its own and takes the data folder's name by one rename
//   that swaps the two names where the system can; elsewhere by two
//   renames, of which a start finishes or undoes one cut off
//   (FinishDataFolderSwap).
// - The new folder is locked before it takes the name, so no other copy of
//   the program can claim it in between; the lock of the run passes to it.
// - Whatever a kill leaves beside the data folder (a new folder never put
//   in place, the old one after the swap) is removed at the next claim;
//   entries of the old folder the program does not know are moved into the
//   new one first, never deleted.
#pragma once

#include "store/file_handle.h"

#include <QString>

// The lock on the data folder held for the whole run.
kesp::store::FileHandle& DataFolderLock();

// Where a new data folder is made: beside the data folder, empty.
QString NewDataFolder();

// Puts the folder NewDataFolder() in place of the data folder and moves the
// run's lock to it; then removes the old folder. A refused rename is a
// WriteFailure with the data folder as it was.
void SwapInNewDataFolder();

// At the start, before the data folder is claimed: a swap cut off between its
// two renames is finished (the new folder was complete) or undone.
void FinishDataFolderSwap();

// Once the data folder is claimed: removes what a cut off swap or restore
// left beside it.
void RemoveDataFolderLeftovers();
