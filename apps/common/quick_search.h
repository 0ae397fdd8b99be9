// The quick search of a record window: one step that forms, from one search
// description and the key of its index, the seek key, the filter, the
// filter's text and its key-range promise together, so that the four cannot
// disagree. The filter passes exactly the records whose key in the search's
// index begins with the seek key; the store may therefore walk that range of
// the index alone.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_window.h"
#include "store/xbase.h"

#include <QString>

// Installs, in the current work area whose table is open under `alias`, the
// filter that passes exactly the records whose key in `index` begins with
// CPESQ. With `indexControls` (the index is the controlling order) and a key
// that begins with the typed text, it promises the store that the key range of
// CPESQ holds them all, so that the store walks that range alone; this is the
// only place that makes the promise.
void InstallSearchFilter(const QString& alias, const IndexFile& index, bool indexControls);

// The search of that box (compared without regard to case); a box the
// description does not hold is a programming fault.
const Search& SearchOf(const RecordWindow& record, const QString& box);

struct SearchResult {
    bool found = false;  // some record's key begins with the seek key
    int matches = 0;     // the records the filter passes (0 when none was found)
};

// Makes the search's index the only order, forms the seek key from `typed`
// (trimmed, in capitals for an upper-case key) into CPESQ, seeks it softly
// and, when found, installs the filter and goes to its first record. When
// nothing is found the filter is removed and the record pointer stays where
// the soft seek left it. Over a date in calendar order nothing is sought:
// the search finds when the filter keeps some record, and a miss leaves the
// pointer on the first record of the order.
SearchResult NarrowToSearch(const RecordWindow& record, const Search& search, const QString& typed);

// The search box's step: narrows to the text of its box, writes the result
// line, colours the box (green found, red missed, white empty), refreshes the
// list and selects the current record. When the seek ran off the end, the
// fields are emptied and the list still lists every record.
void QuickSearchRecords(const RecordWindow& record, const Search& search);
void QuickSearchRecords(const RecordWindow& record, const QString& box);

// After a step that shows every record again (a save, an import): the
// search boxes that hold a text are emptied, and the result line shows its
// hint as at the opening, so that no box claims a search the list no longer
// shows.
void ClearQuickSearch(const RecordWindow& record);

// A fixed choice beside the searches ("only the finished ones"): the list, in
// the normal order, narrows to the records `condition` accepts; the result
// line counts them; the search boxes keep their text and colour.
void ShowOnlyRecords(const RecordWindow& record, const Condition& condition, const QString& text);
