#include "store/cursor_walk.h"

#include "store/codec.h"
#include "store/settings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace kesp::store::areas {

// The key of the area's current record.
QByteArray CurrentKey(const Area& area, const Order& order) {
    if (order.native.field >= 0) {
        const auto& f = area.table->fields()[order.native.field];
        QByteArray key(area.table->RecordBytes(area.record) + f.offset, f.length);
        area.table->CheckNotCut();
        if (order.native.upper) {
            for (char& c : key)
                c = static_cast<char>(kesp::store::UpperByte(static_cast<unsigned char>(c)));
        }
        return key;
    }
    return kesp::store::KeyBytes(order.evaluator());
}

namespace {

// The keys of one field's values, each computed once. A date's value is
// found by its digits in a table of its own, the others by their bytes. The
// keys lie one after another, so that looking one up touches little memory.
class KeysByValue {
  public:
    explicit KeysByValue(const Field& field) : field_(field) {
        if (field.type == 'D' && field.length == 8) slotOfDate_.assign(kYears * 12 * 31, 0);
    }

    template <typename Compute>
    std::string_view KeyOf(const char* record, const Compute& compute) {
        const char* bytes = record + field_.offset;
        if (const std::optional<std::size_t> date = DateSlot(bytes)) {
            std::uint32_t& slot = slotOfDate_[*date];
            if (slot == 0) slot = Keep(compute());
            return Key(slot);
        }
        const std::string_view value(bytes, static_cast<std::size_t>(field_.length));
        auto known = others_.find(value);
        if (known == others_.end()) known = others_.emplace(value, Keep(compute())).first;
        return Key(known->second);
    }

  private:
    static constexpr int kFirstYear = 1800;
    static constexpr int kYears = 400;

    // The place of a date written as digits in the years the table covers.
    std::optional<std::size_t> DateSlot(const char* bytes) const {
        if (slotOfDate_.empty()) return std::nullopt;
        int digits[8];
        for (int i = 0; i < 8; ++i) {
            if (bytes[i] < '0' || bytes[i] > '9') return std::nullopt;
            digits[i] = bytes[i] - '0';
        }
        const int year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
        const int month = digits[4] * 10 + digits[5];
        const int day = digits[6] * 10 + digits[7];
        if (year < kFirstYear || year >= kFirstYear + kYears || month < 1 || month > 12 ||
            day < 1 || day > 31) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(((year - kFirstYear) * 12 + month - 1) * 31 + day - 1);
    }

    // A key kept; its number, counted from 1.
    std::uint32_t Keep(const QByteArray& key) {
        spans_.push_back(
            {static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(key.size())});
        bytes_.append(key.constData(), static_cast<std::size_t>(key.size()));
        return static_cast<std::uint32_t>(spans_.size());
    }

    std::string_view Key(std::uint32_t number) const {
        const auto [at, length] = spans_[number - 1];
        return {bytes_.data() + at, length};
    }

    const Field& field_;
    std::vector<std::uint32_t> slotOfDate_;  // 0: not computed yet, else the key's number
    std::string bytes_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans_;  // place and length in bytes_
    std::unordered_map<std::string_view, std::uint32_t> others_;
};

}  // namespace

// Whether a build now would give exactly this order.
bool Fits(const Area& area, const Order& order) {
    return order.fitsGeneration == area.table->generation() && order.dateFormat == DATEFORMAT();
}

bool BuildOrder(Area& area, Order& order, const LikelyOrder* likely) {
    DbfTable& table = *area.table;
    order.dateFormat = DATEFORMAT();
    order.fitsGeneration = order.readsOnlyItsTable ? table.generation() : 0;
    if (order.native.field >= 0) {
        static const auto upperMap = [] {
            std::array<unsigned char, 256> map{};
            for (int b = 0; b < 256; ++b)
                map[b] = kesp::store::UpperByte(static_cast<unsigned char>(b));
            return map;
        }();
        const auto& f = table.fields()[order.native.field];
        return order.keys->BuildOnField(table, f.offset, f.length,
                                        order.native.upper ? upperMap.data() : nullptr, likely);
    }
    if (order.onlyField < 0) {
        QByteArray key;
        return order.keys->Build(
            table.RecordCount(),
            [&area, &order, &key](std::uint32_t r) {
                area.record = r;
                area.eof = false;
                key = CurrentKey(area, order);
                return std::string_view(key.constData(), static_cast<std::size_t>(key.size()));
            },
            likely);
    }
    // A key of one field is computed once for each value the field holds
    // (a hundred thousand birthdays fall on a few thousand dates).
    const Field& field = table.fields()[order.onlyField];
    KeysByValue computed(field);
    // The field's bytes are kept beside the keys when they are short (a date, a number).
    const bool keepSource = field.length <= kLongestKeptSource;
    std::vector<char> source;
    if (keepSource) source.reserve(std::size_t{table.RecordCount()} * field.length);
    const bool taken = order.keys->Build(
        table.RecordCount(),
        [&](std::uint32_t r) {
            const char* record = table.RecordBytes(r);
            if (keepSource)
                source.insert(source.end(), record + field.offset,
                              record + field.offset + field.length);
            return computed.KeyOf(record, [&] {
                area.record = r;
                area.eof = false;
                return CurrentKey(area, order);
            });
        },
        likely);
    table.CheckNotCut();
    if (keepSource) order.keys->SetSource(std::move(source), field.length);
    return taken;
}

Order* Controlling(Area& area) {
    return area.orders.empty() ? nullptr : &area.orders.front();
}

std::size_t SequenceSize(Area& area) {
    Order* order = Controlling(area);
    return order ? order->keys->size() : area.table->RecordCount();
}

std::uint32_t RecordAt(Area& area, std::size_t position) {
    Order* order = Controlling(area);
    return order ? order->keys->RecordAt(position) : static_cast<std::uint32_t>(position + 1);
}

bool PlaceKnownFor(Area& area, std::uint32_t record) {
    return area.position < SequenceSize(area) && RecordAt(area, area.position) == record;
}

std::size_t PositionOfCurrent(Area& area) {
    Order* order = Controlling(area);
    if (!order) return area.record - 1;
    if (PlaceKnownFor(area, area.record)) return area.position;
    return order->keys->PositionOf(area.record);
}

// The part of the sequence navigation walks: all of it, or the range of the
// filter's key span in the controlling order.
//
// When the filter promised to decide the range of the order in control, the
// range holds exactly the records the condition accepts (prefix comparison on
// the same bytes), so the condition is not called inside it. Exact comparison
// and text the code page cannot hold ("?") leave the condition to decide.
std::pair<std::size_t, std::size_t> Range(Area& area) {
    Order* order = Controlling(area);
    area.rangeDecidesFilter = false;
    if (!order || !area.filterSpan) return {0, SequenceSize(area)};
    const KeySpan span = area.filterSpan();
    const bool cached = area.rangeOrder == order->keys.get() &&
                        area.rangeVersion == order->keys->version() &&
                        area.rangeSpan.first.isNull() == span.first.isNull() &&
                        area.rangeSpan.first == span.first && area.rangeSpan.last == span.last;
    if (!cached) {
        const QByteArray first = kesp::store::EncodeText(span.first);
        const QByteArray last = kesp::store::EncodeText(span.last);
        std::size_t lo = 0;
        std::size_t hi = SequenceSize(area);
        // Under an order of another key text than the promised one the span marks no range.
        if (order->keys->keyText() == area.filterSpanFor) {
            if (!first.isEmpty()) lo = order->keys->LowerBound(first);
            if (!last.isEmpty()) hi = std::max(lo, order->keys->UpperBoundOfPrefix(last));
        }
        area.range = {lo, hi};
        area.rangeSpan = span;
        area.rangeOrder = order->keys.get();
        area.rangeVersion = order->keys->version();
        area.rangeKeyDecides = !area.filterDecidesFor.isNull() &&
                               order->keys->keyText() == area.filterDecidesFor &&
                               !first.contains('?');
    }
    area.rangeDecidesFilter = area.rangeKeyDecides && !kesp::store::CurrentSettings().exact;
    return area.range;
}

void SetEof(Area& area) {
    area.record = area.table->RecordCount() + 1;
    area.eof = true;
    area.position = SequenceSize(area);
}

void SetEofAfterWalk(Area& area, int visited) {
    SetEof(area);
    area.bof = visited == 0;
    if (visited > 0) area.found = false;
}

int CountVisibleInRecordOrder(Area& area) {
    const DbfTable& table = *area.table;
    const bool hideDeleted = table.DeletedCount() > 0 && kesp::store::CurrentSettings().hideDeleted;
    int count = 0;
    for (std::uint32_t r = 1; r <= table.RecordCount(); ++r) {
        if (hideDeleted && table.IsDeleted(r)) continue;
        area.record = r;  // the condition reads the record it judges
        area.eof = false;
        if (area.filter()) ++count;
    }
    SetEofAfterWalk(area, count);
    return count;
}

void Place(Area& area, std::size_t position, std::uint32_t record) {
    area.record = record;
    area.eof = false;
    area.bof = false;
    area.position = position;
}

bool Visible(Area& area, std::size_t position) {
    const std::uint32_t record = RecordAt(area, position);
    if (area.table->DeletedCount() > 0 && kesp::store::CurrentSettings().hideDeleted &&
        area.table->IsDeleted(record)) {
        return false;
    }
    if (!area.filter || area.rangeDecidesFilter) return true;
    area.record = record;  // the condition reads the record it judges
    area.eof = false;
    area.position = position;
    return area.filter();
}

// Next visible position from `from` in direction `step` within [lo, hi); hi when none.
std::size_t FindVisible(Area& area, std::ptrdiff_t from, int step, std::size_t lo, std::size_t hi) {
    for (std::ptrdiff_t p = from;
         p >= static_cast<std::ptrdiff_t>(lo) && p < static_cast<std::ptrdiff_t>(hi); p += step) {
        if (Visible(area, static_cast<std::size_t>(p))) return static_cast<std::size_t>(p);
    }
    return hi;
}

void GoTop(Area& area) {
    const auto [lo, hi] = Range(area);
    const std::size_t p = FindVisible(area, static_cast<std::ptrdiff_t>(lo), 1, lo, hi);
    if (p == hi) {
        SetEof(area);
        area.bof = true;
        return;
    }
    Place(area, p, RecordAt(area, p));
}

void GoBottom(Area& area) {
    const auto [lo, hi] = Range(area);
    const std::size_t p = FindVisible(area, static_cast<std::ptrdiff_t>(hi) - 1, -1, lo, hi);
    if (p == hi) {
        SetEof(area);
        area.bof = true;
        return;
    }
    Place(area, p, RecordAt(area, p));
}

// From the record at `position`, which the pointer is on, to the next
// visible one in `range`, or to end-of-file.
void StepForward(Area& area, std::size_t position, std::pair<std::size_t, std::size_t> range) {
    area.found = false;
    const auto [lo, hi] = range;
    const std::size_t from = std::max(position + 1, lo);
    const std::size_t p = FindVisible(area, static_cast<std::ptrdiff_t>(from), 1, lo, hi);
    if (p == hi) {
        SetEof(area);
        area.bof = false;
    } else {
        Place(area, p, RecordAt(area, p));
    }
}

void Skip(Area& area, int count) {
    area.found = false;
    if (count == 0) return;
    const auto [lo, hi] = Range(area);
    if (count > 0) {
        for (int i = 0; i < count && !area.eof; ++i)
            StepForward(area, PositionOfCurrent(area), {lo, hi});
        return;
    }
    for (int i = 0; i < -count; ++i) {
        const std::ptrdiff_t from =
            area.eof
                ? static_cast<std::ptrdiff_t>(hi) - 1
                : std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(PositionOfCurrent(area)) - 1,
                                           static_cast<std::ptrdiff_t>(hi) - 1);
        const std::size_t p = FindVisible(area, from, -1, lo, hi);
        if (p == hi) {
            // Before the first visible record: stay on it.
            GoTop(area);
            area.bof = true;
            return;
        }
        Place(area, p, RecordAt(area, p));
    }
}

WalkStep WalkStepOf(Area& area) {
    const Order* order = Controlling(area);
    return {area.record,
            area.position,
            order ? order->keys.get() : nullptr,
            order ? order->keys->version() : 0,
            area.table->generation(),
            area.filterSerial,
            kesp::store::CurrentSettings().exact,
            area.eof};
}

}  // namespace kesp::store::areas
