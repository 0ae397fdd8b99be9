#include "store/area_orders.h"

#include "store/cursor_walk.h"
#include "store/fault.h"
#include "store/file_names.h"
#include "store/index_read_ahead.h"
#include "store/key_expression.h"
#include "store/key_order.h"
#include "store/known_marks.h"
#include "store/known_orders.h"
#include "store/settings.h"

#include <QDir>

#include <algorithm>
#include <cstring>
#include <exception>

namespace kesp::store::areas {

namespace {

void ForgetUnfitClosedOrders(Area& area) {
    std::erase_if(area.closedOrders, [&area](const Order& order) { return !Fits(area, order); });
}

}  // namespace

// Resolved at every reopening, so kept cheap.
QString IndexPathIn(const QString& folder, const QString& file) {
    QString name = file.trimmed();
    if (name.indexOf(u'.', name.lastIndexOf(u'/') + 1) < 0) name += QStringLiteral(".ntx");
    if (QDir::isAbsolutePath(name)) return QDir::cleanPath(name);
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

QString IndexPath(const QString& file) {
    return IndexPathIn(kesp::store::CurrentFolder(), file);
}

std::optional<IndexFit> FitOf(const Area& area, const Order& order) {
    if (!order.readsOnlyItsTable || order.readsMemo || !Fits(area, order)) return std::nullopt;
    const std::optional<FileStamp> stamp = area.table->CommittedStamp();
    if (!stamp) return std::nullopt;
    return IndexFit{*stamp, area.table->RecordCount(), order.dateFormat};
}

void WriteIndexFiles(Area& area, IndexWriting writing) {
    std::exception_ptr refused;
    const auto write = [&area, &refused, writing](Order& order) {
        try {
            const std::optional<IndexFit> fit = FitOf(area, order);
            const bool stale =
                fit &&
                (order.keys->writtenWithoutFit() ||
                 (writing == IndexWriting::AtClose && order.keys->heldUnderAnotherStamp(*fit)));
            if (order.keys->modified() || stale) order.keys->WriteFile(fit);
        } catch (const kesp::WriteFailure&) {
            if (!refused) refused = std::current_exception();
        }
    };
    for (Order& order : area.orders)
        write(order);
    // Closed orders were written when they closed; deletion marks since
    // changed the table's stamp, not their keys.
    if (writing == IndexWriting::AtClose) {
        for (Order& order : area.closedOrders)
            write(order);
    }
    if (refused) std::rethrow_exception(refused);
}

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

void TakeInAppendedRecord(Area& area, std::uint64_t generationBefore) {
    area.record = area.table->RecordCount();
    area.eof = false;
    area.bof = false;
    area.found = false;
    for (Order& order : area.orders)
        order.keys->Insert(area.record, CurrentKey(area, order));
    CarryFit(area, generationBefore, KeysAfterChange::TakenIn);
    area.position = SequenceSize(area);
}

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
    QStringList fields;
    for (const QString& field : KeyTextFields(keyText).value_or(QStringList{}))
        fields << field.toUpper();
    fields.removeDuplicates();
    order.readsMemo = std::any_of(fields.begin(), fields.end(), [&area](const QString& name) {
        const int field = area.table->FieldIndex(name);
        return field >= 0 && area.table->fields()[field].type == 'M';
    });
    if (order.readsOnlyItsTable && fields.size() == 1) {
        const int field = area.table->FieldIndex(fields.front().toUpper());
        if (field >= 0 && area.table->fields()[field].type != 'M') order.onlyField = field;
    }
    return order;
}

namespace {

// The records whose field differs from a source, as last found: the next
// order of the same opening whose file holds the same source takes them
// without reading the table again (the birthday list's orders by month and
// by day both read the birth date).
struct ChangedRecords {
    std::uint64_t generation = 0;  // of the table they were found in
    int field = -1;
    std::vector<char> source;
    std::vector<bool> changed;  // by record number
};

ChangedRecords& LastChangedRecords() {
    static ChangedRecords last;
    return last;
}

// The records of the table whose field bytes differ from `source` (records
// 1..source.size() / width), and those appended since; nothing when they are
// more than an eighth of the table, as a sort would then cost no more.
const ChangedRecords* FindChangedRecords(const DbfTable& table, int field,
                                         const std::vector<char>& source) {
    ChangedRecords& last = LastChangedRecords();
    if (last.generation == table.generation() && last.field == field && last.source == source)
        return &last;
    last.generation = 0;
    const Field& f = table.fields()[field];
    const auto width = static_cast<std::size_t>(f.length);
    const std::uint32_t count = table.RecordCount();
    const auto kept = static_cast<std::uint32_t>(source.size() / width);
    std::vector<bool> changed(std::size_t{count} + 1, false);
    std::size_t changes = count - kept;
    constexpr std::uint32_t kAhead = 8;  // records asked for ahead, so that the fetches overlap
    for (std::uint32_t r = 1; r <= count; ++r) {
        if (r + kAhead <= kept) __builtin_prefetch(table.RecordBytes(r + kAhead) + f.offset);
        changed[r] = r > kept || std::memcmp(table.RecordBytes(r) + f.offset,
                                             source.data() + (r - 1) * width, width) != 0;
        if (r <= kept && changed[r]) ++changes;
        if (changes > count / 8 + 1) return nullptr;
    }
    table.CheckNotCut();
    last = {table.generation(), field, source, std::move(changed)};
    return &last;
}

// Keys computed from one field, from a file written before the table's last
// change: only the keys of records whose field bytes differ from what the
// file's keys were computed from, and of records appended since, are
// computed again; the others keep the file's keys and places. False when
// that cannot be told (no source, another date format, records gone, many
// changed, a file at odds with itself); the order is then to be built.
bool TakeChangedFromSource(Area& area, Order& order, const IndexFileContent& file) {
    DbfTable& table = *area.table;
    if (order.onlyField < 0 || !file.fit || file.fit->dateFormat != DATEFORMAT()) return false;
    const Field& field = table.fields()[order.onlyField];
    const auto width = static_cast<std::size_t>(field.length);
    const std::uint32_t count = table.RecordCount();
    const std::size_t kept = file.records.size();
    if (file.sourceWidth != field.length || kept > count || file.source.size() != kept * width ||
        file.keyLengths.size() != kept) {
        return false;
    }
    // Where each record's key lies among the file's keys.
    std::vector<std::uint32_t> keyAt(kept + 1);
    std::vector<std::uint16_t> keyLength(kept + 1);
    std::vector<bool> seen(kept + 1, false);
    std::uint32_t at = 0;
    for (std::size_t i = 0; i < kept; ++i) {
        const std::uint32_t record = file.records[i];
        if (record == 0 || record > kept || seen[record]) return false;
        seen[record] = true;
        keyAt[record] = at;
        keyLength[record] = file.keyLengths[i];
        at += file.keyLengths[i];
    }
    const ChangedRecords* found = FindChangedRecords(table, order.onlyField, file.source);
    if (!found) return false;
    const std::vector<bool>& changed = found->changed;
    std::vector<std::uint32_t> unchanged;
    unchanged.reserve(kept);
    for (const std::uint32_t record : file.records)
        if (!changed[record]) unchanged.push_back(record);
    const LikelyOrder likely{unchanged, false};
    QByteArray computed;
    const bool taken = order.keys->Build(
        count,
        [&](std::uint32_t r) {
            if (!changed[r]) return std::string_view(file.keys.data() + keyAt[r], keyLength[r]);
            area.record = r;
            area.eof = false;
            computed = CurrentKey(area, order);
            return std::string_view(computed.constData(),
                                    static_cast<std::size_t>(computed.size()));
        },
        &likely);
    if (!taken) return false;
    std::vector<char> source;
    source.reserve(std::size_t{count} * width);
    source.assign(file.source.begin(), file.source.end());
    source.resize(std::size_t{count} * width);
    for (std::uint32_t r = 1; r <= count; ++r)
        if (changed[r])
            std::memcpy(source.data() + (r - 1) * width, table.RecordBytes(r) + field.offset,
                        width);
    table.CheckNotCut();
    order.keys->SetSource(std::move(source), field.length);
    return true;
}

}  // namespace

void KeepOrdersPastClose(Area& area) {
    const std::int64_t now = MarksClockNs();
    const auto keep = [&area, now](Order& order) {
        const std::optional<IndexFit> fit = FitOf(area, order);
        if (!fit || !order.keys) return;
        // Kept only while the file is as this process wrote or read it.
        const std::optional<FileStamp> file = FileHandle::StampOf(order.keys->path());
        if (!file || order.keys->heldFileStamp() != file) return;
        const QString path = order.keys->path();
        const KnownOrderFit kept{*fit, *file, order.keys->keyText()};
        KeepKnownOrder(path, kept, now, std::move(order.keys), {area.table->path(), area.alias});
    };
    for (Order& order : area.orders)
        keep(order);
    for (Order& order : area.closedOrders)
        keep(order);
}

namespace {

// The order as this process left it at its table's last closing, when the
// table and the index file are as they were then.
bool TakeKnown(Area& area, Order& order) {
    order.dateFormat = DATEFORMAT();
    order.fitsGeneration = area.table->generation();
    const std::optional<IndexFit> now = FitOf(area, order);
    if (!now) return false;
    const std::optional<FileStamp> file = FileHandle::StampOf(order.keys->path());
    if (!file) return false;
    std::unique_ptr<KeyOrder> known =
        TakeKnownOrder(order.keys->path(), {*now, *file, order.keys->keyText()});
    if (!known) return false;
    if (known->onField()) known->RebindTable(*area.table);
    order.keys = std::move(known);
    return true;
}

}  // namespace

void BuildOrderWithItsFile(Area& area, Order& order) {
    if (TakeKnown(area, order)) return;
    const bool computedKeys = order.native.field < 0;
    std::optional<IndexFileContent> file;
    if (order.readsOnlyItsTable) {
        file = TakeReadAhead(order.keys->path(), computedKeys);
        if (!file) file = KeyOrder::ReadContent(order.keys->path(), computedKeys);
    }
    if (!file || file->keyText != order.keys->keyText()) {
        BuildOrder(area, order);
        return;
    }
    // The file is current when it was written from the table as it is, and
    // after the table's last change: a change within the same tick of the
    // clock as the writing would not show in the stamp.
    order.dateFormat = DATEFORMAT();
    order.fitsGeneration = area.table->generation();
    const std::optional<IndexFit> now = FitOf(area, order);
    const bool current =
        now && file->fit == now && now->table.ChangedBefore(file->stamp.modifiedNs);
    const std::uint32_t count = area.table->RecordCount();
    if (computedKeys && current && order.keys->TakeFromFile(*file, count)) {
        order.keys->MarkHeldByItsFile(file->fit, file->stamp);
        return;
    }
    if (computedKeys && TakeChangedFromSource(area, order, *file)) return;
    // Otherwise its records are the likely order, checked against the keys
    // (computed keys the file holds wrongly make it no longer current).
    const LikelyOrder likely{file->records, current && !computedKeys};
    const bool taken = BuildOrder(area, order, &likely);
    if (taken && likely.current) order.keys->MarkHeldByItsFile(file->fit, file->stamp);
}

void RebuildOrder(Area& area, Order& order) {
    Order fresh;
    fresh.keys = std::make_unique<KeyOrder>(order.keys->path(), order.keys->keyText());
    fresh.evaluator = order.evaluator;
    fresh.native = order.native;
    fresh.readsOnlyItsTable = order.readsOnlyItsTable;
    fresh.onlyField = order.onlyField;
    fresh.readsMemo = order.readsMemo;
    BuildOrder(area, fresh);
    if (fresh.keys->SameEntries(*order.keys)) fresh.keys = std::move(order.keys);
    order = std::move(fresh);
}

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

}  // namespace kesp::store::areas
