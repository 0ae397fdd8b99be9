#include "store/key_order.h"

#include "store/codec.h"
#include "store/dbf_format.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"

#include <QDate>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <utility>

namespace kesp::store {
namespace {

// memcmp that accepts empty keys (whose data pointer may be null).
int CompareN(const char* a, const char* b, std::size_t n) {
    return n == 0 ? 0 : std::memcmp(a, b, n);
}

int CompareBytes(const char* a, std::size_t aLength, const char* b, std::size_t bLength) {
    const int c = CompareN(a, b, std::min(aLength, bLength));
    if (c != 0) return c;
    return aLength < bLength ? -1 : aLength > bLength ? 1 : 0;
}

std::uint64_t Prefix8(const char* data, std::size_t length, const unsigned char* byteMap) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const unsigned char byte = static_cast<unsigned char>(i < length ? data[i] : 0);
        value = (value << 8) | (i < length ? (byteMap ? byteMap[byte] : byte) : 0u);
    }
    return value;
}

// memcmp of the mapped bytes of a against b (mapped too when bMapped is false).
int CompareMapped(const char* a, const char* b, std::size_t n, const unsigned char* byteMap,
                  bool bMapped) {
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    if (bMapped) {
        for (std::size_t i = 0; i < n; ++i) {
            const unsigned char p = byteMap[x[i]];
            if (p != y[i]) return p < y[i] ? -1 : 1;
        }
        return 0;
    }
    // Equal bytes map alike: only where the bytes differ is the map asked
    // (many keys of a dictionary are the same word).
    std::size_t i = 0;
    while (i < n) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t p = 0;
            std::uint64_t q = 0;
            std::memcpy(&p, x + i, 8);
            std::memcpy(&q, y + i, 8);
            if (p != q) break;
        }
        while (i < n && x[i] == y[i])
            ++i;
        if (i == n) break;
        const unsigned char p = byteMap[x[i]];
        const unsigned char q = byteMap[y[i]];
        if (p != q) return p < q ? -1 : 1;
        ++i;
    }
    return 0;
}

// Versions are unique across all orders, so an order built where an old one
// lived never passes for it.
std::uint64_t NextVersion() {
    static std::uint64_t last = 0;
    return ++last;
}

}  // namespace

QByteArray KeyBytes(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return EncodeText(value.toString());
        case QMetaType::QDate:
            return DateBytes(value.toDate());
        case QMetaType::Bool:
            return value.toBool() ? "T" : "F";
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            double number = value.toDouble();
            if (number == 0) number = 0;  // -0 sorts with 0
            std::uint64_t bits = std::bit_cast<std::uint64_t>(number);
            bits = (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
            QByteArray bytes(8, Qt::Uninitialized);
            for (int i = 0; i < 8; ++i)
                bytes[i] = static_cast<char>(bits >> (56 - 8 * i));
            return bytes;
        }
        default:
            return EncodeText(value.toString());
    }
}

// ---- Building ----------------------------------------------------------------

std::uint32_t KeyOrder::KeyCount() const {
    if (table_) return table_->RecordCount();
    if (fixedWidth_ > 0) return static_cast<std::uint32_t>(arena_.size() / fixedWidth_);
    if (fixedWidth_ == 0) return static_cast<std::uint32_t>(order_.size());
    return static_cast<std::uint32_t>(refs_.size());
}

void KeyOrder::LeaveFixedWidth() {
    if (fixedWidth_ < 0) return;
    const std::uint32_t count = KeyCount();
    refs_.resize(count);
    for (std::uint32_t r = 1; r <= count; ++r) {
        refs_[r - 1] = {(r - 1) * static_cast<std::uint32_t>(fixedWidth_),
                        static_cast<std::uint32_t>(fixedWidth_)};
    }
    fixedWidth_ = -1;
}

void KeyOrder::StoreKey(std::uint32_t record, const char* data, std::size_t length) {
    if (table_) return;  // the record holds it
    if (fixedWidth_ >= 0) {
        if (length == static_cast<std::size_t>(fixedWidth_) && record <= KeyCount()) {
            if (length > 0)
                std::memcpy(arena_.data() + std::size_t{record - 1} * length, data, length);
            return;
        }
        if (length == static_cast<std::size_t>(fixedWidth_) && record == KeyCount() + 1 &&
            fixedWidth_ > 0) {
            arena_.Append(data, length);
            return;
        }
        LeaveFixedWidth();
    }
    if (refs_.size() < record) refs_.resize(record);
    refs_[record - 1] = {static_cast<std::uint32_t>(arena_.size()),
                         static_cast<std::uint32_t>(length)};
    arena_.Append(data, length);
}

bool KeyOrder::Build(std::uint32_t count,
                     const std::function<std::string_view(std::uint32_t)>& keyOf,
                     const LikelyOrder* likely) {
    table_ = nullptr;
    arena_.Clear();
    refs_.clear();
    ForgetSource();
    refs_.shrink_to_fit();
    // Keys of the first key's width are stored one after another, without a
    // table of places, until one of another width gives each its place.
    fixedWidth_ = -1;
    for (std::uint32_t r = 1; r <= count; ++r) {
        const std::string_view key = keyOf(r);
        if (r == 1 && !key.empty()) fixedWidth_ = static_cast<int>(key.size());
        StoreKey(r, key.data(), key.size());
    }
    return TakeOrSort(count, likely);
}

bool KeyOrder::BuildOnField(const DbfTable& table, int offset, int width,
                            const unsigned char* byteMap, const LikelyOrder* likely) {
    arena_.Clear();
    refs_.clear();
    refs_.shrink_to_fit();
    ForgetSource();
    table_ = &table;
    fieldOffset_ = offset;
    fixedWidth_ = width;
    byteMap_ = byteMap;
    return TakeOrSort(table.RecordCount(), likely);
}

bool KeyOrder::TakeOrSort(std::uint32_t count, const LikelyOrder* likely) {
    if (likely && TakeSequence(*likely, count)) return true;
    SortAll(count);
    return false;
}

bool KeyOrder::TakeSequence(const LikelyOrder& likelyOrder, std::uint32_t count) {
    const std::vector<std::uint32_t>& likely = likelyOrder.records;
    std::vector<bool> seen(std::size_t{count} + 1);
    if (likelyOrder.current) {
        if (likely.size() != count) return false;
        for (const std::uint32_t record : likely) {
            if (record == 0 || record > count || seen[record]) return false;
            seen[record] = true;
        }
        order_ = likely;
        version_ = NextVersion();
        return true;
    }
    std::vector<std::uint32_t> sequence;
    sequence.reserve(likely.size());
    // The keys are read in key order, from all over the table: each is asked
    // for a few entries ahead, so that the memory fetches overlap.
    constexpr std::size_t kAhead = 16;
    for (std::size_t i = 0; i < likely.size(); ++i) {
        if (i + kAhead < likely.size()) {
            const std::uint32_t ahead = likely[i + kAhead];
            if (ahead >= 1 && ahead <= count) __builtin_prefetch(KeyData(ahead));
        }
        const std::uint32_t record = likely[i];
        if (record == 0 || record > count || seen[record]) return false;
        if (!sequence.empty() && Compare(sequence.back(), record) > 0) return false;
        seen[record] = true;
        sequence.push_back(record);
    }
    std::vector<std::uint32_t> missing;
    for (std::uint32_t r = 1; r <= count; ++r) {
        if (!seen[r]) missing.push_back(r);
    }
    // Records appended since are put in their places; many of them cost a sort anyway.
    if (missing.size() > count / 8 + 1) return false;
    const auto before = [this](std::uint32_t a, std::uint32_t b) { return Compare(a, b) < 0; };
    std::sort(missing.begin(), missing.end(), before);
    order_.assign(count, 0);
    std::merge(sequence.begin(), sequence.end(), missing.begin(), missing.end(), order_.begin(),
               before);
    version_ = NextVersion();
    CheckTableNotCut();
    return true;
}

std::optional<TakenKeys> KeyOrder::TakeKeys(const IndexFileContent& file) {
    const auto count = static_cast<std::uint32_t>(file.records.size());
    if (file.keyLengths.size() != count) return std::nullopt;
    const bool sameWidth =
        count > 0 && file.keyLengths.front() > 0 &&
        std::all_of(file.keyLengths.begin(), file.keyLengths.end(),
                    [&file](std::uint16_t length) { return length == file.keyLengths.front(); });
    TakenKeys taken;
    std::vector<bool> seen(std::size_t{count} + 1);
    taken.order.reserve(count);
    if (sameWidth) {
        taken.fixedWidth = file.keyLengths.front();
        taken.arena.Resize(std::size_t{count} * static_cast<std::size_t>(taken.fixedWidth));
    } else {
        taken.places.assign(count, {});
        taken.arena.Append(file.keys.data(), file.keys.size());
    }
    // The entries are checked in the file's order against the one before,
    // where the file holds their keys one after another.
    std::uint32_t at = 0;
    const char* before = nullptr;
    std::size_t beforeLength = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t record = file.records[i];
        const std::uint16_t length = file.keyLengths[i];
        if (record == 0 || record > count || seen[record]) break;
        seen[record] = true;
        const char* key = file.keys.data() + at;
        if (sameWidth) {
            std::memcpy(taken.arena.data() + std::size_t{record - 1} * length, key, length);
        } else {
            taken.places[record - 1] = {at, length};
        }
        at += length;
        if (i > 0) {
            const int c = CompareBytes(before, beforeLength, key, length);
            if (c > 0 || (c == 0 && file.records[i - 1] > record)) break;
        }
        before = key;
        beforeLength = length;
        taken.order.push_back(record);
    }
    if (taken.order.size() != count) return std::nullopt;
    return taken;
}

bool KeyOrder::TakeFromFile(IndexFileContent& file, std::uint32_t count) {
    table_ = nullptr;
    arena_.Clear();
    refs_.clear();
    order_.clear();
    ForgetSource();
    fixedWidth_ = -1;
    if (file.records.size() != count) return false;
    std::optional<TakenKeys> taken = std::exchange(file.taken, std::nullopt);
    if (!taken) taken = TakeKeys(file);
    if (!taken) return false;
    arena_ = std::move(taken->arena);
    fixedWidth_ = taken->fixedWidth;
    refs_ = std::move(taken->places);
    order_ = std::move(taken->order);
    SetSource(file.source, file.sourceWidth);
    version_ = NextVersion();
    return true;
}

std::size_t KeyOrder::bytesHeld() const {
    return arena_.size() + order_.capacity() * sizeof(std::uint32_t) +
           refs_.capacity() * sizeof(KeyRef) + source_.capacity();
}

void KeyOrder::SetSource(std::vector<char> bytes, int width) {
    ForgetSource();
    if (width <= 0 || bytes.size() != order_.size() * static_cast<std::size_t>(width)) return;
    source_ = std::move(bytes);
    sourceWidth_ = width;
}

void KeyOrder::ForgetSource() {
    source_.clear();
    source_.shrink_to_fit();
    sourceWidth_ = 0;
}

void KeyOrder::SortAll(std::uint32_t count) {
    // Sorting (first 16 key bytes, record) entries keeps most comparisons in
    // cache: only keys alike that far are compared whole.
    struct Entry {
        std::uint64_t prefix;
        std::uint64_t more;
        std::uint32_t record;
    };
    order_.clear();
    order_.shrink_to_fit();
    std::vector<Entry> entries(count);
    const unsigned char* byteMap = table_ ? byteMap_ : nullptr;
    for (std::uint32_t r = 1; r <= count; ++r) {
        const char* key = KeyData(r);
        const std::uint32_t length = KeyLength(r);
        entries[r - 1] = {Prefix8(key, length, byteMap),
                          length > 8 ? Prefix8(key + 8, length - 8, byteMap) : 0, r};
    }
    std::sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        if (a.more != b.more) return a.more < b.more;
        return Compare(a.record, b.record) < 0;
    });
    order_.resize(count);
    order_.shrink_to_fit();
    for (std::uint32_t i = 0; i < count; ++i)
        order_[i] = entries[i].record;
    version_ = NextVersion();
    CheckTableNotCut();
}

int KeyOrder::Compare(std::uint32_t a, std::uint32_t b) const {
    const int c = table_ && byteMap_
                      ? CompareMapped(KeyData(a), KeyData(b), static_cast<std::size_t>(fixedWidth_),
                                      byteMap_, false)
                      : CompareBytes(KeyData(a), KeyLength(a), KeyData(b), KeyLength(b));
    if (c != 0) return c;
    return a < b ? -1 : a > b ? 1 : 0;
}

int KeyOrder::CompareKeyTo(std::uint32_t record, const char* key, std::size_t n) const {
    if (table_ && byteMap_) return CompareMapped(KeyData(record), key, n, byteMap_, true);
    return CompareN(KeyData(record), key, n);
}

void KeyOrder::CopyKey(std::uint32_t record, std::vector<char>& out) const {
    const char* key = KeyData(record);
    const std::uint32_t length = KeyLength(record);
    if (table_ && byteMap_) {
        const std::size_t at = out.size();
        out.resize(at + length);
        char* to = out.data() + at;
        // A text field's key is mostly its padding: trailing blanks, which
        // map to themselves, are found eight at a time and not mapped.
        std::uint32_t mapped = length;
        if (byteMap_[static_cast<unsigned char>(' ')] == ' ') {
            constexpr std::uint64_t kEightBlanks = 0x2020202020202020u;
            for (std::uint64_t eight = 0; mapped >= 8; mapped -= 8) {
                std::memcpy(&eight, key + mapped - 8, 8);
                if (eight != kEightBlanks) break;
            }
        }
        for (std::uint32_t i = 0; i < mapped; ++i)
            to[i] = static_cast<char>(byteMap_[static_cast<unsigned char>(key[i])]);
        std::memset(to + mapped, ' ', length - mapped);
    } else {
        out.insert(out.end(), key, key + length);
    }
}

// ---- Searching -------------------------------------------------------------------

std::size_t KeyOrder::PositionOf(std::uint32_t record) const {
    const auto it = std::lower_bound(
        order_.begin(), order_.end(), record,
        [this](std::uint32_t entry, std::uint32_t wanted) { return Compare(entry, wanted) < 0; });
    CheckTableNotCut();
    return static_cast<std::size_t>(it - order_.begin());
}

std::size_t KeyOrder::LowerBound(const QByteArray& key) const {
    const auto length = static_cast<std::size_t>(key.size());
    const auto it = std::lower_bound(order_.begin(), order_.end(), key,
                                     [this, length](std::uint32_t entry, const QByteArray& k) {
                                         const std::size_t n =
                                             std::min<std::size_t>(KeyLength(entry), length);
                                         const int c = CompareKeyTo(entry, k.constData(), n);
                                         return c < 0 || (c == 0 && n < length);
                                     });
    CheckTableNotCut();
    return static_cast<std::size_t>(it - order_.begin());
}

std::size_t KeyOrder::UpperBoundOfPrefix(const QByteArray& prefix) const {
    const auto length = static_cast<std::size_t>(prefix.size());
    // Past the prefix: an entry the prefix sorts before, compared over the
    // entry's bytes.
    const auto it = std::upper_bound(order_.begin(), order_.end(), prefix,
                                     [this, length](const QByteArray& k, std::uint32_t entry) {
                                         const std::size_t n =
                                             std::min<std::size_t>(KeyLength(entry), length);
                                         return CompareKeyTo(entry, k.constData(), n) > 0;
                                     });
    CheckTableNotCut();
    return static_cast<std::size_t>(it - order_.begin());
}

bool KeyOrder::KeyBeginsWith(std::size_t position, const QByteArray& prefix) const {
    const std::uint32_t record = order_[position];
    const bool begins =
        KeyLength(record) >= static_cast<std::size_t>(prefix.size()) &&
        CompareKeyTo(record, prefix.constData(), static_cast<std::size_t>(prefix.size())) == 0;
    CheckTableNotCut();
    return begins;
}

// ---- Keeping current ---------------------------------------------------------------

void KeyOrder::Insert(std::uint32_t record, const QByteArray& key) {
    ForgetSource();
    StoreKey(record, key.constData(), static_cast<std::size_t>(key.size()));
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(PositionOf(record)), record);
    version_ = NextVersion();
}

void KeyOrder::Update(std::uint32_t record, const QByteArray& key) {
    ForgetSource();  // the record's bytes may have changed under the same key
    if (table_) {
        // The record holds its new key already, so its old place is looked
        // for by record; it stays where its neighbours still frame it.
        const auto at = std::find(order_.begin(), order_.end(), record);
        if (at == order_.end()) return;
        const bool placed = (at == order_.begin() || Compare(*(at - 1), record) < 0) &&
                            (at + 1 == order_.end() || Compare(record, *(at + 1)) < 0);
        CheckTableNotCut();
        if (!placed) {
            order_.erase(at);
            order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(PositionOf(record)), record);
        }
        version_ = NextVersion();  // the key is not the one it was
        return;
    }
    if (KeyLength(record) == static_cast<std::size_t>(key.size()) &&
        CompareN(KeyData(record), key.constData(), static_cast<std::size_t>(key.size())) == 0) {
        return;
    }
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(PositionOf(record)));
    StoreKey(record, key.constData(), static_cast<std::size_t>(key.size()));
    order_.insert(order_.begin() + static_cast<std::ptrdiff_t>(PositionOf(record)), record);
    version_ = NextVersion();
}

void KeyOrder::Renumber(const std::vector<std::uint32_t>& newNumbers) {
    ForgetSource();
    // New numbers never exceed old ones, so every key moves towards the front.
    if (!table_ && fixedWidth_ > 0) {
        const auto width = static_cast<std::size_t>(fixedWidth_);
        std::uint32_t kept = 0;
        for (std::uint32_t r = 1; r <= newNumbers.size(); ++r) {
            const std::uint32_t to = newNumbers[r - 1];
            if (to == 0) continue;
            if (to != r) std::memcpy(arena_.data() + (to - 1) * width, KeyData(r), width);
            kept = to;
        }
        arena_.Resize(std::size_t{kept} * width);
    } else if (!table_ && fixedWidth_ < 0) {
        std::uint32_t kept = 0;
        for (std::uint32_t r = 1; r <= newNumbers.size(); ++r) {
            const std::uint32_t to = newNumbers[r - 1];
            if (to == 0) continue;
            refs_[to - 1] = refs_[r - 1];
            kept = to;
        }
        refs_.resize(kept);
    }
    std::size_t at = 0;
    for (const std::uint32_t record : order_) {
        if (const std::uint32_t to = newNumbers[record - 1]) order_[at++] = to;
    }
    order_.resize(at);
    version_ = NextVersion();
}

bool KeyOrder::SameEntries(const KeyOrder& other) const {
    if (order_ != other.order_) return false;
    // Keys on the same field of the same table are the same bytes.
    if (table_ && table_ == other.table_ && fieldOffset_ == other.fieldOffset_ &&
        byteMap_ == other.byteMap_) {
        return true;
    }
    std::vector<char> mine;
    std::vector<char> theirs;
    for (const std::uint32_t record : order_) {
        mine.clear();
        theirs.clear();
        CopyKey(record, mine);
        other.CopyKey(record, theirs);
        if (mine != theirs) break;
    }
    CheckTableNotCut();
    other.CheckTableNotCut();
    return mine == theirs;
}

}  // namespace kesp::store
