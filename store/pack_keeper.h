// Who keeps the records a pack removes. A program that wants nothing to
// vanish with a pack (a trash) installs a keeper; every DbfTable::Pack hands
// it the deleted records before the table's new files are written.
//
// Promises:
// - Keep runs after the table's changes are committed and before anything of
//   the pack is written, so the file's record count is RecordCount() until the
//   new files replace it; a keeper that throws stops the pack.
// - After Keep, exactly one of Packed (the new files are in place) and
//   Abandoned (the pack failed; the table holds the records still) follows,
//   unless the process dies first: then the keeper must find out at its next
//   start which of the two happened.
// - No keeper installed: packs keep nothing.
// Single-threaded.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace kesp::store {

class DbfTable;

class PackKeeper {
  public:
    virtual ~PackKeeper() = default;
    // `removed`: record numbers of `table` as it is before the pack, ascending.
    virtual void Keep(const DbfTable& table, const std::vector<std::uint32_t>& removed) = 0;
    // Told by the table's path: a fault raised during the pack may have
    // closed the table by then.
    virtual void Packed(const QString& tablePath) = 0;
    virtual void Abandoned(const QString& tablePath) = 0;
};

// Installs `keeper` (not owned; nullptr: none) and returns the one before.
PackKeeper* SetPackKeeper(PackKeeper* keeper);
PackKeeper* CurrentPackKeeper();

}  // namespace kesp::store
