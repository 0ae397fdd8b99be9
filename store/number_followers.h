// Tables that keep another table's record numbers (the UIDs of an address
// book's cards, say) and so must change them when that table is packed. A
// follower is named once by the file names of the two tables; from then on
// every pack through a work area (__DBPACK) renumbers the follower beside
// the packed table as the pack renumbered the records.
//
// Promises:
// - A follower's number of a record the pack kept becomes the record's new
//   number; the number of a record it removed becomes 0. Numbers that name
//   no record of the table as it was before the pack, and rows marked
//   deleted, stay as they are.
// - The follower is written in one commit after the pack's new files are in
//   place. A follower that is missing, held by another program or refused by
//   the system keeps its numbers as they were: its owner must not trust a
//   number blindly (the record there may be another one by then).
// - Packs outside the program (another dBase program) renumber no follower.
// Single-threaded.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace kesp::store {

struct NumberFollower {
    QString table;        // "adressen_p.dbf": the packed table's file name
    QString follower;     // "vcard_p.dbf": in the same folder
    QString numberField;  // "SATZ": a numeric field holding record numbers of `table`
};

// Names a follower (file names compared without regard to case); naming the
// same one again changes nothing.
void FollowRecordNumbers(const NumberFollower& follower);

// Whether a pack of the table at `tablePath` has followers to renumber.
bool HasNumberFollowers(const QString& tablePath);

// Renumbers the followers of the table at `tablePath` just packed; `numbers`
// holds each record's number after the pack (0: removed), indexed by its
// number before it less one, as DbfTable::NumbersAfterPack gave them.
void RenumberFollowers(const QString& tablePath, const std::vector<std::uint32_t>& numbers);

}  // namespace kesp::store
