// The work areas behind the table operations of store/xbase.h: what one
// area holds (its table, alias, record pointer, order list, filter and the
// navigation range it caches) and the registry of all areas with the current
// one. Internal to the store: only the store's own files include it.
//
// The registry promises: area numbers run from 1 to kMaxAreas; an area
// without a table is empty; `generation` changes whenever a table opens or
// closes anywhere, so that what was resolved against the areas (a field
// name, an alias) can be remembered until then.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/dbf_table.h"
#include "store/key_expression.h"
#include "store/key_order.h"
#include "store/key_texts.h"
#include "store/xbase.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kesp::store::areas {

inline constexpr int kMaxAreas = 255;

struct Order {
    std::unique_ptr<KeyOrder> keys;
    KeyEvaluator evaluator;
    NativeKey native;
    // A key naming another alias depends on more than its own table.
    bool readsOnlyItsTable = false;
    // A key reading a memo depends on the memo file too, which the index
    // file's fit does not cover.
    bool readsMemo = false;
    // The one field of its table a computed key reads (not a memo), or -1:
    // records alike in that field's bytes have alike keys.
    int onlyField = -1;
    // What the keys were computed under (DTOC keys follow the date format).
    QString dateFormat;
    // The generation of the table for which this order is what a build would
    // give; 0 when that is not known.
    std::uint64_t fitsGeneration = 0;
};

struct Area {
    std::unique_ptr<DbfTable> table;
    QString alias;
    std::uint32_t record = 1;
    bool eof = true;
    bool bof = true;
    bool found = false;
    std::size_t position = 0;   // last known position in the controlling order
    std::vector<Order> orders;  // the first is the controlling one
    // Orders closed while the table stays open, each still what a build would give.
    std::vector<Order> closedOrders;
    Condition filter;
    std::uint64_t filterSerial = 0;  // changes whenever a filter is set or cleared
    QString filterText;
    // The span of keys outside which the filter promised to be false (a
    // prefix is the span from it to itself).
    std::function<KeySpan()> filterSpan;
    // The key text of the order the span was promised for: under another
    // order it says nothing.
    QString filterSpanFor;
    // The key text of the order whose prefix range the filter promised to
    // decide (KeyRange::Decides); null when it promised no such thing.
    QString filterDecidesFor;
    // The navigation range, kept while the span and the order stay the same.
    KeySpan rangeSpan;
    std::uint64_t rangeVersion = ~std::uint64_t{0};
    const KeyOrder* rangeOrder = nullptr;
    std::pair<std::size_t, std::size_t> range;
    bool rangeKeyDecides = false;
    bool rangeDecidesFilter = false;
};

struct Registry {
    std::vector<Area> areas = std::vector<Area>(kMaxAreas);
    int current = 1;
    bool netError = false;
    std::uint64_t generation = 0;  // changes when a table opens or closes
};

Registry& Areas();
Area& CurrentArea();
int NumberOf(const Area& area);

[[noreturn]] void RaiseStoreFault(int subCode, const QString& description, const QString& operation,
                                  const QString& fileName = {});

// The current area, which must have a table open; otherwise the fault
// "Workarea not in use" names the operation.
Area& UsedArea(const char* operation);

// "a".."j" (unless a table carries that alias), a number, or an alias; -1
// when nothing answers and `raise` is false.
int AreaNumberOf(const QString& areaOrAlias, bool raise);
int LowestFreeArea();

// Commits the area's table; a write the system refuses leaves the area at
// its last commit (orders included) and goes on to the caller.
void CommitArea(Area& area);

// Closes the area even when its last changes cannot be written (they are
// dropped then, and the WriteFailure goes on to the caller). A table another
// program cut short while it was open closes without writing anything: its
// damage was raised when the store came across the cut.
void CloseArea(Area& area);

}  // namespace kesp::store::areas
