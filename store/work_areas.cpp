// The table operations of store/xbase.h over the work areas: each is a thin
// step on the area it names (work_area.h), walking with the cursor walk
// (cursor_walk.h) and keeping orders with area_orders.h.
#include "store/area_orders.h"
#include "store/codec.h"
#include "store/cursor_walk.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/key_order.h"
#include "store/number_followers.h"
#include "store/settings.h"
#include "store/work_area.h"
#include "store/xbase.h"

#include <QFileInfo>

#include <array>
#include <exception>
#include <memory>
#include <vector>

using kesp::store::DbfTable;
using kesp::store::KeyOrder;
using namespace kesp::store::areas;

namespace {

struct FieldRef {
    Area* area;
    int areaNumber;
    int field;
};

FieldRef ResolveField(const QString& aliasField, const char* operation) {
    // Filters, keys, lists and edit areas name the same few fields for every
    // record: the last answers are remembered.
    struct Remembered {
        QString text;
        int current = 0;
        std::uint64_t generation = ~std::uint64_t{0};
        int area = 0;
        int field = 0;
    };
    static std::array<Remembered, 8> remembered;
    static std::size_t next = 0;
    Registry& registry = Areas();
    for (const Remembered& known : remembered) {
        if (known.generation == registry.generation && known.current == registry.current &&
            known.text == aliasField) {
            return {&registry.areas[known.area - 1], known.area, known.field};
        }
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
    remembered[next] = {aliasField, registry.current, registry.generation, number, field};
    next = (next + 1) % remembered.size();
    return {&area, number, field};
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

QStringList DBCLOSECUTAREAS() {
    QStringList aliases;
    for (Area& area : Areas().areas) {
        if (!area.table || !area.table->cutWhileOpen()) continue;
        aliases << area.alias;
        CloseArea(area);
    }
    return aliases;
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
        BuildOrderWithItsFile(area, *order);
    }
    area.orders.push_back(std::move(*order));
    GoTop(area);
    // Written last: a file the system refuses leaves the order in use. A
    // file that holds the order already is left as it is.
    try {
        Order& created = area.orders.back();
        const auto fit = FitOf(area, created);
        if (!created.keys->heldByItsFile() || (fit && created.keys->writtenWithoutFit()) ||
            !QFileInfo::exists(path)) {
            created.keys->WriteFile(fit);
        }
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
        BuildOrderWithItsFile(area, *order);
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
    const auto record = static_cast<std::uint32_t>(recordNumber);
    // A list going back to the record it stands on keeps its place in the
    // order; any other record's place is unknown until needed.
    const bool samePlace = PlaceKnownFor(area, record);
    area.record = record;
    area.eof = false;
    if (!samePlace) area.position = SequenceSize(area);
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
    // Where the pointer's place in the order is known, a key range that
    // decides the filter answers without it.
    if (PlaceKnownFor(area, record)) {
        const auto [lo, hi] = Range(area);
        if (area.rangeDecidesFilter) return area.position >= lo && area.position < hi;
    }
    return area.filter();
}

// ---- Changes ---------------------------------------------------------------------------

void DBAPPEND() {
    Area& area = UsedArea("DBAPPEND");
    const std::uint64_t before = area.table->generation();
    area.table->AppendBlank();
    TakeInAppendedRecord(area, before);
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
    // The orders that fit the records keep their sequence through the pack;
    // the others are built again.
    std::vector<bool> fitted;
    for (const Order& order : area.orders)
        fitted.push_back(Fits(area, order));
    const bool anyFitted = std::find(fitted.begin(), fitted.end(), true) != fitted.end();
    const QString path = area.table->path();
    const bool followed = kesp::store::HasNumberFollowers(path);
    const std::vector<std::uint32_t> newNumbers =
        anyFitted || followed ? area.table->NumbersAfterPack() : std::vector<std::uint32_t>{};
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
        for (std::size_t i = 0; i < area.orders.size(); ++i) {
            Order& order = area.orders[i];
            if (fitted[i]) {
                order.keys->Renumber(newNumbers);
                order.fitsGeneration = area.table->generation();
            } else {
                BuildOrder(area, order);
            }
        }
    }
    if (packed && followed) kesp::store::RenumberFollowers(path, newNumbers);
    GoTop(area);
    if (packed) WriteIndexFiles(area);
}

void DBCOMMIT() {
    CommitArea(UsedArea("DBCOMMIT"));
}

void DBROLLBACK() {
    Area& area = UsedArea("DBROLLBACK");
    area.table->Discard();
    FollowRollBack(area);
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
