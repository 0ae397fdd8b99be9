// The orders of a work area beyond their walk: new orders from a key text,
// rebuilding, writing their index files, and the orders closed while their
// table stays open, kept for a later ORDLISTADD or DBCREATEINDEX of the same
// file and key text as long as a build would give them again. Internal to
// the store.
//
// It promises: a kept order is handed back only while it fits the table (the
// same generation of the table and the same date format); a change of the
// table carries the fit of the orders that took in the new keys, and drops
// it from every other.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/work_area.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace kesp::store::areas {

// Index files are named relative to the current folder; a name without an
// extension gets ".ntx".
QString IndexPath(const QString& file);
// The same relative to `folder`.
QString IndexPathIn(const QString& folder, const QString& file);

// What the order was built from, for its index file: known when the order
// is what a build gives on the table as committed.
std::optional<IndexFit> FitOf(const Area& area, const Order& order);

// Writes every index file that does not hold its order, or holds it without
// the fit known now (the table was committed since); at the table's close
// also those of the orders in use or closed that hold it under another stamp
// of the table's file (deletion marks changed it since), so that the next run
// takes them as they are. A file the system refuses stops none of the others, and
// the first refusal is thrown at the end.
enum class IndexWriting { Changed, AtClose };
void WriteIndexFiles(Area& area, IndexWriting writing = IndexWriting::Changed);

// Keeps the orders whose index files hold them for an opening later in the
// run (known_orders.h); called as the area's table closes, its files written.
void KeepOrdersPastClose(Area& area);

// Builds a new order (NewOrder) with what its index file holds: the order
// kept at the table's last closing in this run when nothing changed since;
// else taken as it
// is when the file was written after the table's last change from the table
// as it is (keys not on a field), or as the likely sequence of a build.
void BuildOrderWithItsFile(Area& area, Order& order);

// Closes every order of the area (their files written), keeping those a build
// would give again. An index file the system refuses keeps none open: the
// orders are closed, then it is thrown.
void CloseOrders(Area& area);

// The closed order of that file and key text, when it still fits the table.
std::optional<Order> TakeClosedOrder(Area& area, const QString& path, const QString& keyText);

// What a change of the table did to the keys.
enum class KeysAfterChange {
    TakenIn,    // every open order has taken in the new keys; closed orders are out of date
    Unchanged,  // a delete mark: no key changed (the index covers deleted records)
};

// After a change of the table: the orders that fitted before and are known
// to hold the new keys fit the new generation; the others fit no more.
void CarryFit(Area& area, std::uint64_t generationBefore, KeysAfterChange keys);

// After a record was appended to the area's table (which was at
// `generationBefore`): it is the current record and every open order holds
// its key.
void TakeInAppendedRecord(Area& area, std::uint64_t generationBefore);

// An order of the key text, not built yet; nothing when the text is no key expression.
std::optional<Order> NewOrder(const Area& area, const QString& path, const QString& keyText);

// Builds the order again from the records; an order that comes out the same
// stays as it was, unmodified.
void RebuildOrder(Area& area, Order& order);

// After a commit the system refused, the table is back at its last commit:
// the orders follow it, and a pointer on a record that is gone goes to the end.
void FollowRollBack(Area& area);

}  // namespace kesp::store::areas
