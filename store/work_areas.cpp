// The work areas behind the table operations: which table is open where, the
// record pointer of each, its order list and filter, and navigation.
#include "store/codec.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/key_expression.h"
#include "store/key_order.h"
#include "store/key_texts.h"
#include "store/settings.h"
#include "store/xbase.h"

#include <QDir>
#include <QFileInfo>

#include <exception>
#include <map>
#include <memory>
#include <vector>

using kesp::store::CompileKeyText;
using kesp::store::DbfTable;
using kesp::store::KeyOrder;
using kesp::store::KeyTextAliases;
using kesp::store::NativeKey;
using kesp::store::RecogniseKey;

namespace {

constexpr int kMaxAreas = 255;

struct Order {
    std::unique_ptr<KeyOrder> keys;
    KeyEvaluator evaluator;
    NativeKey native;
    // A key naming another alias depends on more than its own table.
    bool readsOnlyItsTable = false;
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
    std::function<QString()> filterPrefix;
    // The key text of the order the prefix was promised for: under another
    // order its range says nothing.
    QString filterPrefixFor;
    // The key text of the order whose prefix range the filter promised to
    // decide (KeyRange::Decides); null when it promised no such thing.
    QString filterDecidesFor;
    // The navigation range, kept while the prefix and the order stay the same.
    QString rangePrefix;
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

Registry& Areas() {
    static Registry registry;
    return registry;
}

Area& CurrentArea() {
    return Areas().areas[Areas().current - 1];
}

[[noreturn]] void RaiseStoreFault(int subCode, const QString& description, const QString& operation,
                                  const QString& fileName = {}) {
    kesp::store::RaiseTableFault(subCode, description, fileName, operation);
}

Area& UsedArea(const char* operation) {
    Area& area = CurrentArea();
    if (!area.table)
        RaiseStoreFault(2001, QStringLiteral("Workarea not in use"),
                        QString::fromLatin1(operation));
    return area;
}

int AreaNumberOf(const QString& areaOrAlias, bool raise) {
    const QString name = areaOrAlias.trimmed();
    if (name.size() == 1 && name.at(0).isLetter()) {
        const int letter = name.at(0).toLower().unicode() - u'a' + 1;
        // "a".."j" are the areas 1..10 unless a table carries that alias.
        for (int i = 0; i < kMaxAreas; ++i) {
            if (Areas().areas[i].table &&
                Areas().areas[i].alias.compare(name, Qt::CaseInsensitive) == 0) {
                return i + 1;
            }
        }
        if (letter >= 1 && letter <= 10) return letter;
    }
    bool isNumber = false;
    const int number = name.toInt(&isNumber);
    if (isNumber && number >= 0 && number <= kMaxAreas) return number;
    for (int i = 0; i < kMaxAreas; ++i) {
        if (Areas().areas[i].table &&
            Areas().areas[i].alias.compare(name, Qt::CaseInsensitive) == 0) {
            return i + 1;
        }
    }
    if (raise) RaiseStoreFault(1002, QStringLiteral("Alias does not exist"), name);
    return -1;
}

int LowestFreeArea() {
    for (int i = 0; i < kMaxAreas; ++i) {
        if (!Areas().areas[i].table) return i + 1;
    }
    RaiseStoreFault(1005, QStringLiteral("No free workarea"), QStringLiteral("DBUSEAREA"));
}

// ---- Keys -----------------------------------------------------------------------

// The key of the area's current record.
QByteArray CurrentKey(const Area& area, const Order& order) {
    if (order.native.field >= 0) {
        const auto& f = area.table->fields()[order.native.field];
        QByteArray key(area.table->RecordBytes(area.record) + f.offset, f.length);
        if (order.native.upper) {
            for (char& c : key)
                c = static_cast<char>(kesp::store::UpperByte(static_cast<unsigned char>(c)));
        }
        return key;
    }
    return kesp::store::KeyBytes(order.evaluator());
}

// Whether a build now would give exactly this order.
bool Fits(const Area& area, const Order& order) {
    return order.fitsGeneration == area.table->generation() && order.dateFormat == DATEFORMAT();
}

void BuildOrder(Area& area, Order& order) {
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
        order.keys->BuildOnField(table, f.offset, f.length,
                                 order.native.upper ? upperMap.data() : nullptr);
        return;
    }
    order.keys->Build(table.RecordCount(), [&area, &order](std::uint32_t r, QByteArray& out) {
        area.record = r;
        area.eof = false;
        out = CurrentKey(area, order);
    });
}

// ---- Navigation --------------------------------------------------------------------

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

std::size_t PositionOfCurrent(Area& area) {
    Order* order = Controlling(area);
    if (!order) return area.record - 1;
    if (area.position < order->keys->size() &&
        order->keys->RecordAt(area.position) == area.record) {
        return area.position;
    }
    return order->keys->PositionOf(area.record);
}

// The part of the sequence navigation walks: all of it, or the range of the
// filter's key prefix in the controlling order.
//
// When the filter promised to decide the range of the order in control, the
// range holds exactly the records the condition accepts (prefix comparison on
// the same bytes), so the condition is not called inside it. Exact comparison
// and text the code page cannot hold ("?") leave the condition to decide.
std::pair<std::size_t, std::size_t> Range(Area& area) {
    Order* order = Controlling(area);
    area.rangeDecidesFilter = false;
    if (!order || !area.filterPrefix) return {0, SequenceSize(area)};
    const QString prefix = area.filterPrefix();
    const bool cached = area.rangeOrder == order->keys.get() &&
                        area.rangeVersion == order->keys->version() &&
                        area.rangePrefix.isNull() == prefix.isNull() && area.rangePrefix == prefix;
    if (!cached) {
        const QByteArray bytes = kesp::store::EncodeText(prefix);
        std::size_t lo = 0;
        std::size_t hi = SequenceSize(area);
        // Under an order of another key text than the promised one the prefix marks no range.
        if (!bytes.isEmpty() && order->keys->keyText() == area.filterPrefixFor) {
            lo = order->keys->LowerBound(bytes);
            hi = std::max(lo, order->keys->UpperBoundOfPrefix(bytes));
        }
        area.range = {lo, hi};
        area.rangePrefix = prefix;
        area.rangeOrder = order->keys.get();
        area.rangeVersion = order->keys->version();
        area.rangeKeyDecides = !area.filterDecidesFor.isNull() &&
                               order->keys->keyText() == area.filterDecidesFor &&
                               !bytes.contains('?');
    }
    area.rangeDecidesFilter = area.rangeKeyDecides && !kesp::store::CurrentSettings().exact;
    return area.range;
}

void SetEof(Area& area) {
    area.record = area.table->RecordCount() + 1;
    area.eof = true;
    area.position = SequenceSize(area);
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

// ---- Field names ---------------------------------------------------------------------

struct FieldRef {
    Area* area;
    int areaNumber;
    int field;
};

FieldRef ResolveField(const QString& aliasField, const char* operation) {
    // Filters and keys name the same field for every record: remember the last answer.
    struct Remembered {
        QString text;
        int current = 0;
        std::uint64_t generation = ~std::uint64_t{0};
        int area = 0;
        int field = 0;
    };
    static Remembered last;
    Registry& registry = Areas();
    if (last.generation == registry.generation && last.current == registry.current &&
        last.text == aliasField) {
        return {&registry.areas[last.area - 1], last.area, last.field};
    }
    const qsizetype arrow = aliasField.indexOf(QStringLiteral("->"));
    int number = Areas().current;
    QString name = aliasField;
    if (arrow >= 0) {
        number = AreaNumberOf(aliasField.left(arrow), true);
        name = aliasField.mid(arrow + 2);
    }
    Area& area = Areas().areas[number - 1];
    if (!area.table) {
        RaiseStoreFault(2001, QStringLiteral("Workarea not in use"),
                        QString::fromLatin1(operation));
    }
    const int field = area.table->FieldIndex(name);
    if (field < 0) RaiseStoreFault(1003, QStringLiteral("Variable does not exist"), name.trimmed());
    last = {aliasField, registry.current, registry.generation, number, field};
    return {&area, number, field};
}

// Writes every index file that does not hold its order; a file the system
// refuses stops none of the others, and the first refusal is thrown at the end.
void WriteIndexFiles(Area& area) {
    std::exception_ptr refused;
    for (Order& order : area.orders) {
        try {
            if (order.keys->modified()) order.keys->WriteFile();
        } catch (const kesp::WriteFailure&) {
            if (!refused) refused = std::current_exception();
        }
    }
    if (refused) std::rethrow_exception(refused);
}

// ---- Orders kept while their table stays unchanged -----------------------------------

void ForgetUnfitClosedOrders(Area& area) {
    std::erase_if(area.closedOrders, [&area](const Order& order) { return !Fits(area, order); });
}

// Closes every order of the area (their files written), keeping those a build
// would give again for a later ORDLISTADD or DBCREATEINDEX. An index file the
// system refuses keeps none open: the orders are closed, then it is thrown.
void CloseOrders(Area& area) {
    std::exception_ptr refused;
    try {
        WriteIndexFiles(area);
    } catch (const kesp::WriteFailure&) {
        refused = std::current_exception();
    }
    ForgetUnfitClosedOrders(area);
    for (Order& order : area.orders) {
        if (!Fits(area, order)) continue;
        std::erase_if(area.closedOrders, [&order](const Order& kept) {
            return kept.keys->path() == order.keys->path();
        });
        area.closedOrders.push_back(std::move(order));
    }
    area.orders.clear();
    if (refused) std::rethrow_exception(refused);
}

// The closed order of that file and key text, when it still fits the table.
std::optional<Order> TakeClosedOrder(Area& area, const QString& path, const QString& keyText) {
    ForgetUnfitClosedOrders(area);
    for (auto it = area.closedOrders.begin(); it != area.closedOrders.end(); ++it) {
        if (it->keys->path() == path && it->keys->keyText() == keyText) {
            Order order = std::move(*it);
            area.closedOrders.erase(it);
            return order;
        }
    }
    return std::nullopt;
}

// What a change of the table did to the keys.
enum class KeysAfterChange {
    TakenIn,    // every open order has taken in the new keys; closed orders are out of date
    Unchanged,  // a delete mark: no key changed (the index covers deleted records)
};

// After a change of the table: the orders that fitted before and are known
// to hold the new keys fit the new generation; the others fit no more.
void CarryFit(Area& area, std::uint64_t generationBefore, KeysAfterChange keys) {
    if (area.table->generation() == generationBefore) return;  // nothing changed
    if (keys == KeysAfterChange::TakenIn) area.closedOrders.clear();
    const QString dateFormat = DATEFORMAT();
    auto carry = [&](Order& order) {
        const bool fitted = order.fitsGeneration == generationBefore && order.readsOnlyItsTable &&
                            order.dateFormat == dateFormat;
        order.fitsGeneration = fitted ? area.table->generation() : 0;
    };
    for (Order& order : area.orders)
        carry(order);
    for (Order& order : area.closedOrders)
        carry(order);
}

// An order of the key text, not built yet; nothing when the text is no key expression.
std::optional<Order> NewOrder(const Area& area, const QString& path, const QString& keyText) {
    const std::optional<KeyEvaluator> key = CompileKeyText(keyText);
    if (!key) return std::nullopt;
    Order order;
    order.keys = std::make_unique<KeyOrder>(path, keyText);
    order.evaluator = *key;
    order.native = RecogniseKey(*area.table, area.alias, keyText);
    const QStringList aliases = KeyTextAliases(keyText).value_or(QStringList{});
    order.readsOnlyItsTable =
        std::all_of(aliases.begin(), aliases.end(), [&area](const QString& alias) {
            return alias.compare(area.alias, Qt::CaseInsensitive) == 0;
        });
    return order;
}

// Builds the order again from the records; an order that comes out the same
// stays as it was, unmodified.
void RebuildOrder(Area& area, Order& order) {
    Order fresh;
    fresh.keys = std::make_unique<KeyOrder>(order.keys->path(), order.keys->keyText());
    fresh.evaluator = order.evaluator;
    fresh.native = order.native;
    fresh.readsOnlyItsTable = order.readsOnlyItsTable;
    BuildOrder(area, fresh);
    if (fresh.keys->SameEntries(*order.keys)) fresh.keys = std::move(order.keys);
    order = std::move(fresh);
}

int NumberOf(const Area& area) {
    return static_cast<int>(&area - Areas().areas.data()) + 1;
}

// After a commit the system refused, the table is back at its last commit:
// the orders follow it, and a pointer on a record that is gone goes to the end.
void FollowRollBack(Area& area) {
    const std::uint32_t record = area.record;
    const bool eof = area.eof;
    const int previous = Areas().current;
    Areas().current = NumberOf(area);
    for (Order& order : area.orders)
        BuildOrder(area, order);
    Areas().current = previous;
    if (eof || record > area.table->RecordCount()) {
        SetEof(area);
    } else {
        area.record = record;
        area.eof = false;
        area.position = SequenceSize(area);
    }
}

void CommitArea(Area& area) {
    try {
        area.table->Commit();
    } catch (const kesp::WriteFailure&) {
        FollowRollBack(area);
        throw;
    }
}

// Closes the area even when its last changes cannot be written (they are
// dropped then, and the WriteFailure goes on to the caller).
void CloseArea(Area& area) {
    if (!area.table) return;
    ++Areas().generation;
    try {
        area.table->Commit();
        WriteIndexFiles(area);
    } catch (const kesp::WriteFailure&) {
        area = Area{};
        throw;
    }
    area = Area{};
}

// Index files are named relative to the current folder; a name without an
// extension gets ".ntx". (Resolved at every reopening, so kept cheap.)
QString IndexPath(const QString& file) {
    QString name = file.trimmed();
    if (name.indexOf(u'.', name.lastIndexOf(u'/') + 1) < 0) name += QStringLiteral(".ntx");
    if (QDir::isAbsolutePath(name)) return QDir::cleanPath(name);
    return QDir::cleanPath(kesp::store::CurrentFolder() + QLatin1Char('/') + name);
}

}  // namespace

// ---- Work areas ------------------------------------------------------------------

void DBUSEAREA(bool newArea, const QString& path, const QString& alias) {
    Registry& registry = Areas();
    if (newArea) {
        registry.current = LowestFreeArea();
    } else {
        CloseArea(CurrentArea());
    }
    registry.netError = false;
    const QString name =
        alias.trimmed().isEmpty() ? QFileInfo(path).completeBaseName().toUpper() : alias.trimmed();
    for (int i = 0; i < kMaxAreas; ++i) {
        if (i + 1 != registry.current && registry.areas[i].table &&
            registry.areas[i].alias.compare(name, Qt::CaseInsensitive) == 0) {
            RaiseStoreFault(1004, QStringLiteral("Alias already in use"), name);
        }
    }
    std::unique_ptr<DbfTable> table = DbfTable::Open(path);
    if (!table) {
        registry.netError = true;
        return;
    }
    Area& area = CurrentArea();
    area = Area{};
    ++registry.generation;
    area.table = std::move(table);
    area.alias = name;
    GoTop(area);
}

bool NETERR() {
    return Areas().netError;
}

void DBCLOSEALL() {
    std::exception_ptr failure;
    for (Area& area : Areas().areas) {
        try {
            CloseArea(area);
        } catch (const kesp::WriteFailure&) {
            if (!failure) failure = std::current_exception();
        }
    }
    Areas().current = 1;
    if (failure) std::rethrow_exception(failure);
}

void DBCLOSEALLUNSAVED() {
    for (Area& area : Areas().areas) {
        if (area.table) ++Areas().generation;
        area = Area{};
    }
    Areas().current = 1;
}

void DBCLOSEAREA() {
    CloseArea(CurrentArea());
}

void DBSELECTAREA(const QString& areaOrAlias) {
    DBSELECTAREA(AreaNumberOf(areaOrAlias, true));
}

void DBSELECTAREA(int area) {
    if (area == 0) area = LowestFreeArea();
    if (area < 1 || area > kMaxAreas)
        RaiseStoreFault(1002, QStringLiteral("Alias does not exist"), QString::number(area));
    Areas().current = area;
}

int SELECT() {
    return Areas().current;
}
bool USED() {
    return static_cast<bool>(CurrentArea().table);
}
QString ALIAS() {
    return CurrentArea().table ? CurrentArea().alias : QString();
}

// ---- Fields ----------------------------------------------------------------------

QVariant FIELD(const QString& aliasField) {
    const FieldRef ref = ResolveField(aliasField, "FIELD");
    const Area& area = *ref.area;
    if (area.eof || area.record > area.table->RecordCount()) return area.table->Blank(ref.field);
    return area.table->Read(area.record, ref.field);
}

void REPLACE(const QString& aliasField, const QVariant& value) {
    const FieldRef ref = ResolveField(aliasField, "REPLACE");
    Area& area = *ref.area;
    if (area.eof || area.record > area.table->RecordCount()) return;
    const std::uint64_t before = area.table->generation();
    // Orders on a field read their keys from the record itself: what the key
    // was must be taken before the write.
    std::vector<QByteArray> keysBefore;
    for (const Order& order : area.orders)
        keysBefore.push_back(order.keys->onField() ? CurrentKey(area, order) : QByteArray());
    area.table->Write(area.record, ref.field, value);
    if (area.orders.empty()) return CarryFit(area, before, KeysAfterChange::TakenIn);
    // Keys are evaluated in the area they belong to.
    const int previous = Areas().current;
    Areas().current = ref.areaNumber;
    try {
        for (std::size_t i = 0; i < area.orders.size(); ++i) {
            Order& order = area.orders[i];
            QByteArray key = CurrentKey(area, order);
            if (order.keys->onField() && key == keysBefore[i]) continue;
            order.keys->Update(area.record, key);
        }
    } catch (...) {
        Areas().current = previous;
        throw;
    }
    Areas().current = previous;
    CarryFit(area, before, KeysAfterChange::TakenIn);
}

int FCOUNT() {
    const Area& area = CurrentArea();
    return area.table ? static_cast<int>(area.table->fields().size()) : 0;
}

QString FIELDNAME(int position) {
    const Area& area = CurrentArea();
    if (!area.table || position < 1 || position > static_cast<int>(area.table->fields().size()))
        return {};
    return area.table->fields()[position - 1].name;
}

QChar FIELDTYPE(const QString& aliasField) {
    const FieldRef ref = ResolveField(aliasField, "FIELDTYPE");
    return QChar::fromLatin1(ref.area->table->fields()[ref.field].type);
}

int FIELDDEC(const QString& aliasField) {
    const FieldRef ref = ResolveField(aliasField, "FIELDDEC");
    return ref.area->table->fields()[ref.field].decimals;
}

// ---- Indexes and order ---------------------------------------------------------------

void DBCREATEINDEX(const QString& file, const QString& keyText) {
    Area& area = UsedArea("DBCREATEINDEX");
    // A refused index file of the orders closed here is thrown once the new
    // order is in use.
    std::exception_ptr refused;
    try {
        CloseOrders(area);
    } catch (const kesp::WriteFailure&) {
        refused = std::current_exception();
    }
    const QString path = IndexPath(file);
    std::optional<Order> order = TakeClosedOrder(area, path, keyText);
    if (!order) {
        std::erase_if(area.closedOrders,
                      [&path](const Order& kept) { return kept.keys->path() == path; });
        order = NewOrder(area, path, keyText);
        if (!order) RaiseStoreFault(1003, QStringLiteral("Variable does not exist"), keyText);
        BuildOrder(area, *order);
    }
    area.orders.push_back(std::move(*order));
    GoTop(area);
    // Written last: a file the system refuses leaves the order in use.
    try {
        area.orders.back().keys->WriteFile();
    } catch (const kesp::WriteFailure&) {
        if (!refused) refused = std::current_exception();
    }
    if (refused) std::rethrow_exception(refused);
}

void ORDLISTREBUILD() {
    Area& area = UsedArea("ORDLISTREBUILD");
    for (Order& order : area.orders) {
        if (!Fits(area, order)) RebuildOrder(area, order);
    }
    GoTop(area);
    WriteIndexFiles(area);
}

void ORDLISTCLEAR() {
    CloseOrders(UsedArea("ORDLISTCLEAR"));
}

void ORDLISTADD(const QString& file) {
    Area& area = UsedArea("ORDLISTADD");
    const QString path = IndexPath(file);
    const QString keyText = KeyOrder::ReadKeyText(path);
    std::optional<Order> order = TakeClosedOrder(area, path, keyText);
    if (!order) {
        order = NewOrder(area, path, keyText);
        if (!order) kesp::store::RaiseCorruption(path, QStringLiteral("key expression"));
        const std::uint32_t record = area.record;
        const bool eof = area.eof;
        BuildOrder(area, *order);
        area.record = record;
        area.eof = eof;
    }
    area.orders.push_back(std::move(*order));
    if (area.orders.size() == 1) GoTop(area);
}

QString INDEXKEY() {
    const Area& area = CurrentArea();
    return area.table && !area.orders.empty() ? area.orders.front().keys->keyText() : QString();
}

void DBSEEK(const QVariant& key, bool softSeek) {
    Area& area = UsedArea("DBSEEK");
    Order* order = Controlling(area);
    if (!order)
        RaiseStoreFault(1201, QStringLiteral("Workarea not indexed"), QStringLiteral("DBSEEK"));
    const QByteArray wanted = kesp::store::KeyBytes(key);
    area.bof = false;  // a seek never leaves the pointer before the first record
    const auto [lo, hi] = Range(area);
    const std::size_t start = std::max(order->keys->LowerBound(wanted), lo);
    const std::size_t p = FindVisible(area, static_cast<std::ptrdiff_t>(start), 1, lo, hi);
    if (p == hi) {
        SetEof(area);
        area.found = false;
        return;
    }
    const bool found = order->keys->KeyBeginsWith(p, wanted);
    if (!found && !softSeek) {
        SetEof(area);
    } else {
        Place(area, p, RecordAt(area, p));
    }
    area.found = found;
}

bool FOUND() {
    return CurrentArea().table && CurrentArea().found;
}

void DBSETFILTER(const Condition& condition, const QString& text,
                 const std::function<QString()>& keyPrefix, KeyRange range) {
    Area& area = UsedArea("DBSETFILTER");
    const Order* order = Controlling(area);
    area.filter = condition;
    ++area.filterSerial;
    area.filterText = text;
    area.filterPrefix = order ? keyPrefix : std::function<QString()>();
    area.filterPrefixFor = order ? order->keys->keyText() : QString();
    area.filterDecidesFor =
        keyPrefix && order && range == KeyRange::Decides ? order->keys->keyText() : QString();
    area.rangeOrder = nullptr;
}

void DBCLEARFILTER() {
    Area& area = UsedArea("DBCLEARFILTER");
    area.filter = {};
    ++area.filterSerial;
    area.filterText.clear();
    area.filterPrefix = {};
    area.filterPrefixFor = QString();
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

// ---- Record pointer -------------------------------------------------------------------

void DBGOTOP() {
    Area& area = UsedArea("DBGOTOP");
    area.found = false;
    GoTop(area);
}

void DBGOBOTTOM() {
    Area& area = UsedArea("DBGOBOTTOM");
    area.found = false;
    GoBottom(area);
}

void DBGOTO(int recordNumber) {
    Area& area = UsedArea("DBGOTO");
    area.found = false;
    area.bof = false;
    if (recordNumber < 1 || static_cast<std::uint32_t>(recordNumber) > area.table->RecordCount()) {
        SetEof(area);
        return;
    }
    area.record = static_cast<std::uint32_t>(recordNumber);
    area.eof = false;
    area.position = SequenceSize(area);  // unknown until needed
}

void DBSKIP(int count) {
    Skip(UsedArea("DBSKIP"), count);
}

bool DBEOF() {
    return CurrentArea().table ? CurrentArea().eof : true;
}
bool BOF() {
    return CurrentArea().table ? CurrentArea().bof : true;
}

int RECNO() {
    const Area& area = CurrentArea();
    if (!area.table) return 0;
    return area.eof ? static_cast<int>(area.table->RecordCount()) + 1
                    : static_cast<int>(area.record);
}

int RECCOUNT() {
    const Area& area = CurrentArea();
    return area.table ? static_cast<int>(area.table->RecordCount()) : 0;
}

bool DELETED() {
    const Area& area = CurrentArea();
    return area.table && !area.eof && area.table->IsDeleted(area.record);
}

// ---- Position in the order, for lists that read only what they show -------------

int ORDKEYCOUNT() {
    Area& area = UsedArea("ORDKEYCOUNT");
    const auto [lo, hi] = Range(area);
    return static_cast<int>(hi - lo);
}

int ORDKEYNO() {
    Area& area = UsedArea("ORDKEYNO");
    if (area.eof) return 0;
    const auto [lo, hi] = Range(area);
    const std::size_t p = PositionOfCurrent(area);
    if (p < lo || p >= hi) return 0;
    area.position = p;
    return static_cast<int>(p - lo + 1);
}

void ORDKEYGOTO(int position) {
    Area& area = UsedArea("ORDKEYGOTO");
    area.found = false;
    const auto [lo, hi] = Range(area);
    if (position < 1 || lo + static_cast<std::size_t>(position) > hi) {
        SetEof(area);
        return;
    }
    const std::size_t p = lo + static_cast<std::size_t>(position) - 1;
    Place(area, p, RecordAt(area, p));
}

bool DBRECORDVISIBLE() {
    Area& area = UsedArea("DBRECORDVISIBLE");
    if (area.eof) return false;
    const std::uint32_t record = area.record;
    if (kesp::store::CurrentSettings().hideDeleted && area.table->IsDeleted(record)) return false;
    if (!area.filter) return true;
    return area.filter();
}

// ---- Changes ---------------------------------------------------------------------------

void DBAPPEND() {
    Area& area = UsedArea("DBAPPEND");
    const std::uint64_t before = area.table->generation();
    area.table->AppendBlank();
    area.record = area.table->RecordCount();
    area.eof = false;
    area.bof = false;
    area.found = false;
    for (Order& order : area.orders)
        order.keys->Insert(area.record, CurrentKey(area, order));
    CarryFit(area, before, KeysAfterChange::TakenIn);
    area.position = SequenceSize(area);
}

void DBDELETE() {
    Area& area = UsedArea("DBDELETE");
    const std::uint64_t before = area.table->generation();
    if (!area.eof) area.table->SetDeleted(area.record, true);
    CarryFit(area, before, KeysAfterChange::Unchanged);
}

void DBRECALL() {
    Area& area = UsedArea("DBRECALL");
    const std::uint64_t before = area.table->generation();
    if (!area.eof) area.table->SetDeleted(area.record, false);
    CarryFit(area, before, KeysAfterChange::Unchanged);
}

void __DBPACK() {
    Area& area = UsedArea("__DBPACK");
    bool packed = false;
    try {
        packed = area.table->Pack();
    } catch (const kesp::WriteFailure&) {
        FollowRollBack(area);
        GoTop(area);
        throw;
    }
    if (packed) {
        area.closedOrders.clear();
        for (Order& order : area.orders)
            BuildOrder(area, order);
    }
    GoTop(area);
    if (packed) WriteIndexFiles(area);
}

void DBCOMMIT() {
    CommitArea(UsedArea("DBCOMMIT"));
}

void DBCOMMITALL() {
    std::exception_ptr failure;
    for (Area& area : Areas().areas) {
        try {
            if (area.table) CommitArea(area);
        } catch (const kesp::WriteFailure&) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}
