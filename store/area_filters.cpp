// Filters and the walks over them (store/xbase.h): the condition a work
// area's records must meet, the span of keys it promises to stay within,
// and the walks that visit or count the records it accepts.
#include "store/cursor_walk.h"
#include "store/settings.h"
#include "store/work_area.h"
#include "store/xbase.h"

#include <utility>

using namespace kesp::store::areas;

void DBSETFILTER(const Condition& condition, const QString& text,
                 const std::function<QString()>& keyPrefix, KeyRange range) {
    std::function<KeySpan()> span;
    if (keyPrefix) {
        span = [keyPrefix] {
            const QString prefix = keyPrefix();
            return KeySpan{prefix, prefix};
        };
    }
    DBSETFILTER(condition, text, span);
    Area& area = CurrentArea();
    const Order* order = Controlling(area);
    area.filterDecidesFor =
        keyPrefix && order && range == KeyRange::Decides ? order->keys->keyText() : QString();
}

void DBSETFILTER(const Condition& condition, const QString& text,
                 const std::function<KeySpan()>& keySpan) {
    Area& area = UsedArea("DBSETFILTER");
    const Order* order = Controlling(area);
    area.filter = condition;
    ++area.filterSerial;
    area.filterText = text;
    area.filterSpan = order ? keySpan : std::function<KeySpan()>();
    area.filterSpanFor = order ? order->keys->keyText() : QString();
    area.filterDecidesFor = QString();
    area.rangeOrder = nullptr;
}

void DBCLEARFILTER() {
    Area& area = UsedArea("DBCLEARFILTER");
    area.filter = {};
    ++area.filterSerial;
    area.filterText.clear();
    area.filterSpan = {};
    area.filterSpanFor = QString();
    area.filterDecidesFor = QString();
    area.rangeOrder = nullptr;
}

QString DBFILTER() {
    return CurrentArea().table ? CurrentArea().filterText : QString();
}

void DBEVAL(const std::function<void()>& action, const Condition& condition) {
    UsedArea("DBEVAL");
    const int number = Areas().current;
    Area* area = &CurrentArea();
    GoTop(*area);
    // The walk's range, read once: counting the records of a quick search
    // walks tens of thousands of them, and reading the filter's key prefix
    // again at every step cost more than the walk.
    std::pair<std::size_t, std::size_t> range = Range(*area);
    while (!area->eof) {
        const WalkStep step = WalkStepOf(*area);
        if (!condition || condition()) action();
        Areas().current = number;
        area = &Areas().areas[number - 1];
        if (!area->table) break;
        if (WalkStepOf(*area) == step) {
            StepForward(*area, step.position, range);
        } else {
            // The action moved the pointer or changed the table, its order or
            // its filter: go on from where it stands now.
            Skip(*area, 1);
            range = Range(*area);
        }
    }
}

int DBCOUNT() {
    Area& area = UsedArea("DBCOUNT");
    const auto [lo, hi] = Range(area);
    if (area.filter && !area.rangeDecidesFilter) {
        // A count does not depend on the order of the walk: the whole
        // sequence is judged in record order, which reads the table front to
        // back instead of all over it.
        if (lo == 0 && hi == area.table->RecordCount()) return CountVisibleInRecordOrder(area);
        int count = 0;
        DBEVAL([&count] { ++count; });
        return count;
    }
    auto count = static_cast<int>(hi - lo);
    if (area.table->DeletedCount() > 0 && kesp::store::CurrentSettings().hideDeleted) {
        for (std::size_t p = lo; p < hi; ++p)
            count -= area.table->IsDeleted(RecordAt(area, p)) ? 1 : 0;
    }
    SetEofAfterWalk(area, count);
    return count;
}
