// The cursor walk of a work area: the keys of its records, the sequence its
// controlling order (or the record numbers) gives, the part of it a filter's
// key-range promise narrows navigation to, and the steps of the record
// pointer over the records that are visible (not hidden as deleted, accepted
// by the filter). Internal to the store.
//
// It promises: the pointer only ever stands on a visible record or at the
// end; GoTop, GoBottom, Skip and StepForward walk the sequence in order
// within Range(); when a filter promised that its key range decides, the
// records inside the range are taken without asking the condition, and the
// condition decides everywhere else.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/work_area.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace kesp::store::areas {

// The key of the area's current record in `order`.
QByteArray CurrentKey(const Area& area, const Order& order);

// Whether a build now would give exactly this order.
bool Fits(const Area& area, const Order& order);

// The widest field whose bytes an order of keys computed from it keeps as
// their source (KeyOrder::SetSource).
inline constexpr int kLongestKeptSource = 32;

// Builds the order's keys from every record of the area's table; `likely`
// as in KeyOrder::Build (true: taken without a sort).
bool BuildOrder(Area& area, Order& order, const LikelyOrder* likely = nullptr);

Order* Controlling(Area& area);  // the first order, or nullptr
std::size_t SequenceSize(Area& area);
std::uint32_t RecordAt(Area& area, std::size_t position);
std::size_t PositionOfCurrent(Area& area);
// Whether the pointer's remembered place in the sequence is `record`'s.
bool PlaceKnownFor(Area& area, std::uint32_t record);

// The part of the sequence navigation walks: all of it, or the range of the
// filter's key span in the controlling order. Sets whether the range alone
// decides the filter.
std::pair<std::size_t, std::size_t> Range(Area& area);

void SetEof(Area& area);
// Where a walk over every visible record ends, `visited` of them: past the
// last, or at the end of an empty sequence.
void SetEofAfterWalk(Area& area, int visited);
// The visible records of the whole sequence, judged in record order; the
// pointer ends as after a walk over them.
int CountVisibleInRecordOrder(Area& area);
void Place(Area& area, std::size_t position, std::uint32_t record);

// Whether the record at `position` is visible; the pointer is left on it
// when the filter had to read it.
bool Visible(Area& area, std::size_t position);

// Next visible position from `from` in direction `step` within [lo, hi); hi when none.
std::size_t FindVisible(Area& area, std::ptrdiff_t from, int step, std::size_t lo, std::size_t hi);

void GoTop(Area& area);
void GoBottom(Area& area);

// From the record at `position`, which the pointer is on, to the next
// visible one in `range`, or to end-of-file.
void StepForward(Area& area, std::size_t position, std::pair<std::size_t, std::size_t> range);

// `count` visible records on (negative: back); before the first visible one
// the pointer stays on it with BOF set.
void Skip(Area& area, int count);

// What a walk over the records needs unchanged to take its next step from
// where it stands: the pointer, the order and its keys, the records, the
// filter and the comparison that decides it.
struct WalkStep {
    std::uint32_t record = 0;
    std::size_t position = 0;
    const KeyOrder* order = nullptr;
    std::uint64_t keysVersion = 0;
    std::uint64_t generation = 0;
    std::uint64_t filterSerial = 0;
    bool exact = false;
    bool eof = false;
    bool operator==(const WalkStep&) const = default;
};

WalkStep WalkStepOf(Area& area);

}  // namespace kesp::store::areas
