#include "apps/words/word_index.h"

#include "apps/common/export_file.h"
#include "apps/words/headwords.h"
#include "store/codec.h"
#include "store/dbf_table.h"

#include <QDateTime>
#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

using kesp::store::DbfTable;

// The side file's first bytes: what it was made from, and where each part
// begins (bytes from the start of the file).
struct WordIndex::Header {
    char magic[8];
    std::int64_t tableSize;
    std::int64_t tableModified;  // milliseconds since 1970
    std::uint32_t records;
    std::uint32_t keys;
    std::uint32_t hits;
    std::uint32_t trigrams;
    std::uint64_t keyStart;      // u32 per key and one more: where its bytes begin in keyBytes
    std::uint64_t hitStart;      // u32 per key and one more: where its pairs begin in hits
    std::uint64_t hitList;       // u32 per hit: record * 2 + side (0 German, 1 English)
    std::uint64_t textStart;     // u32 per record and one more: where its text begins in texts
    std::uint64_t trigramCodes;  // u32 per trigram, ascending
    std::uint64_t trigramStart;  // u32 per trigram and one more: where its keys begin in postings
    std::uint64_t keySides;      // u8 per key: bit 0 a German headword, bit 1 an English one
    std::uint64_t keyBytes;
    std::uint64_t texts;     // "German\tEnglish" per record, UTF-8
    std::uint64_t postings;  // gaps between key numbers, 7 bits per byte, high bit: more follows
    std::uint64_t end;
};

namespace {

constexpr char kMagic[8] = {'K', 'E', 'S', 'P', 'W', 'I', 'X', '2'};
// Longer keys (phrases, mostly) have no trigrams: nothing is suggested for
// them, and the suggestions' part of the file stays small.
constexpr std::size_t kLongestSuggested = 24;
constexpr char kBoundary = '\x01';

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

std::uint32_t Trigram(const char* at) {
    return (std::uint32_t(std::uint8_t(at[0])) << 16) | (std::uint32_t(std::uint8_t(at[1])) << 8) |
           std::uint8_t(at[2]);
}

// The distinct trigrams of a key between its boundary marks, ascending.
std::vector<std::uint32_t> TrigramsOf(std::string_view key) {
    std::string padded;
    padded.reserve(key.size() + 2);
    padded += kBoundary;
    padded += key;
    padded += kBoundary;
    std::vector<std::uint32_t> codes;
    for (std::size_t i = 0; i + 2 < padded.size(); ++i)
        codes.push_back(Trigram(padded.data() + i));
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

// The edit distance with swaps of neighbours, or `bound + 1` as soon as it
// is sure to exceed `bound`.
int DistanceWithin(std::string_view a, std::string_view b, int bound) {
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    if (std::abs(n - m) > bound) return bound + 1;
    std::vector<int> before(m + 1), previous(m + 1), row(m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = j;
    for (int i = 1; i <= n; ++i) {
        row[0] = i;
        int smallest = row[0];
        for (int j = 1; j <= m; ++j) {
            const int change = a[i - 1] == b[j - 1] ? 0 : 1;
            int d = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d = std::min(d, before[j - 2] + 1);
            row[j] = d;
            smallest = std::min(smallest, d);
        }
        if (smallest > bound) return bound + 1;
        std::swap(before, previous);
        std::swap(previous, row);
    }
    return previous[m];
}

template <class T>
void Append(QByteArray& to, const std::vector<T>& values) {
    to.append(reinterpret_cast<const char*>(values.data()),
              static_cast<qsizetype>(values.size() * sizeof(T)));
}

void AppendGap(QByteArray& to, std::uint32_t gap) {
    while (gap >= 0x80) {
        to.append(static_cast<char>((gap & 0x7f) | 0x80));
        gap >>= 7;
    }
    to.append(static_cast<char>(gap));
}

}  // namespace

QString WordIndex::SideFilePath(const QString& tablePath) {
    QString path = tablePath;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot > path.lastIndexOf(QLatin1Char('/'))) path.truncate(dot);
    return path + QStringLiteral(".wix");
}

const WordIndex::Header& WordIndex::header() const {
    return *reinterpret_cast<const Header*>(header_.constData());
}

QByteArray WordIndex::Bytes(std::uint64_t offset, std::uint64_t length) const {
    // A damaged file's offsets lead nowhere: they read nothing.
    if (offset > size_ || length > size_ - offset) return {};
    if (!built_.isEmpty())
        return QByteArray::fromRawData(built_.constData() + offset, static_cast<qsizetype>(length));
    QByteArray bytes(static_cast<qsizetype>(length), Qt::Uninitialized);
    const ssize_t read = ::pread(file_->handle(), bytes.data(), length, static_cast<off_t>(offset));
    if (read != static_cast<ssize_t>(length)) bytes.fill('\0');  // cut short meanwhile: nothing
    return bytes;
}

std::uint32_t WordIndex::U32(std::uint64_t part, std::uint32_t i) const {
    std::uint32_t value = 0;
    const auto loaded = parts_.find(part);
    if (loaded != parts_.end()) {
        if (4ull * i + 4 <= std::uint64_t(loaded->second.size()))
            std::memcpy(&value, loaded->second.constData() + 4ull * i, 4);
        return value;
    }
    const QByteArray bytes = Bytes(part + 4ull * i, 4);
    if (bytes.size() == 4) std::memcpy(&value, bytes.constData(), 4);
    return value;
}

const char* WordIndex::Whole(std::uint64_t part, std::uint64_t end) const {
    if (!built_.isEmpty()) return built_.constData() + part;
    QByteArray& loaded = parts_[part];
    if (loaded.isNull()) loaded = Bytes(part, end - part);
    return loaded.constData();
}

bool WordIndex::Current() const {
    const QFileInfo table(tablePath_);
    return table.exists() && table.size() == header().tableSize &&
           table.lastModified().toMSecsSinceEpoch() == header().tableModified;
}

std::unique_ptr<WordIndex> WordIndex::Open(const QString& tablePath, bool evenIfChanged) {
    auto index = std::unique_ptr<WordIndex>(new WordIndex);
    index->tablePath_ = tablePath;
    index->file_ = std::make_unique<QFile>(SideFilePath(tablePath));
    if (!index->file_->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return nullptr;
    const qint64 size = index->file_->size();
    if (size < qint64(sizeof(Header))) return nullptr;
    index->size_ = static_cast<std::size_t>(size);
    index->header_ = index->Bytes(0, sizeof(Header));
    const Header& h = index->header();
    // Every part in order inside the file: a file cut short or of another
    // making is not read.
    const std::uint64_t parts[] = {sizeof(Header), h.keyStart,     h.hitStart,     h.hitList,
                                   h.textStart,    h.trigramCodes, h.trigramStart, h.keyBytes,
                                   h.texts,        h.postings,     h.end};
    if (std::memcmp(h.magic, kMagic, sizeof kMagic) != 0 || h.end != std::uint64_t(size) ||
        !std::is_sorted(std::begin(parts), std::end(parts)) ||
        h.hitStart - h.keyStart != 4ull * (h.keys + 1) ||
        h.hitList - h.hitStart != 4ull * (h.keys + 1) || h.textStart - h.hitList != 4ull * h.hits ||
        h.trigramCodes - h.textStart != 4ull * (h.records + 1) ||
        h.trigramStart - h.trigramCodes != 4ull * h.trigrams ||
        h.keySides - h.trigramStart != 4ull * (h.trigrams + 1) || h.keyBytes - h.keySides != h.keys)
        return nullptr;
    if (index->U32(h.keyStart, h.keys) != h.texts - h.keyBytes ||
        index->U32(h.hitStart, h.keys) != h.hits ||
        index->U32(h.textStart, h.records) != h.postings - h.texts ||
        index->U32(h.trigramStart, h.trigrams) != h.end - h.postings)
        return nullptr;
    if (!evenIfChanged && !index->Current()) return nullptr;
    return index;
}

WordIndex::Records WordIndex::TakeRecords(const DbfTable& table) {
    const QFileInfo file(table.path());
    Records records;
    records.tablePath = table.path();
    records.tableSize = file.size();
    records.tableModified = file.lastModified().toMSecsSinceEpoch();
    records.count = table.RecordCount();
    records.recordLength = table.recordLength();
    const auto place = [&table](const char* name, int* offset, int* length) {
        const int field = table.FieldIndex(QString::fromLatin1(name));
        if (field < 0) return;
        *offset = table.fields()[field].offset;
        *length = table.fields()[field].length;
    };
    place("DE", &records.germanOffset, &records.germanLength);
    place("EN", &records.englishOffset, &records.englishLength);
    records.bytes.resize(qsizetype(records.count) * records.recordLength);
    records.deleted.resize(records.count);
    char* to = records.bytes.data();
    for (std::uint32_t record = 1; record <= records.count; ++record) {
        std::memcpy(to, table.RecordBytes(record), records.recordLength);
        to += records.recordLength;
        records.deleted[record - 1] = table.IsDeleted(record);
    }
    table.CheckNotCut();
    return records;
}

std::unique_ptr<WordIndex> WordIndex::Build(const QString& tablePath) {
    const std::unique_ptr<DbfTable> table = DbfTable::Open(tablePath, DbfTable::Purpose::Inspect);
    if (!table) return nullptr;
    return Build(TakeRecords(*table));
}

std::unique_ptr<WordIndex> WordIndex::Build(const Records& from) {
    const std::uint32_t records = from.count;
    // A character field's text as the table reads it.
    const auto side = [&from](std::uint32_t record, int offset, int length) {
        if (offset < 0) return QString();
        const char* bytes = from.bytes.constData() + qsizetype(record - 1) * from.recordLength;
        return kesp::store::DecodeText(bytes + offset, static_cast<std::size_t>(length)).trimmed();
    };

    // Every key with each pair side that has it.
    std::vector<std::pair<QByteArray, std::uint32_t>> entries;
    entries.reserve(records * 3);
    QByteArray texts;
    std::vector<std::uint32_t> textStart;
    textStart.reserve(records + 1);
    for (std::uint32_t record = 1; record <= records; ++record) {
        textStart.push_back(static_cast<std::uint32_t>(texts.size()));
        if (from.deleted[record - 1]) continue;
        const QString sides[] = {side(record, from.germanOffset, from.germanLength),
                                 side(record, from.englishOffset, from.englishLength)};
        texts += sides[0].toUtf8() + '\t' + sides[1].toUtf8();
        for (std::uint32_t side = 0; side < 2; ++side)
            for (const QString& word : Headwords(sides[side]))
                for (const QByteArray& key : HeadwordKeys(word))
                    entries.emplace_back(key, record * 2 + side);
    }
    textStart.push_back(static_cast<std::uint32_t>(texts.size()));
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        const int order = View(a.first).compare(View(b.first));
        return order != 0 ? order < 0 : a.second < b.second;
    });
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());

    std::vector<std::uint32_t> keyStart, hitStart, hits;
    std::vector<std::uint8_t> keySides;
    QByteArray keyBytes;
    // Each trigram of each key, as the trigram's code above the key's number:
    // sorted, the keys of a trigram follow each other in ascending order.
    std::vector<std::uint64_t> trigramKeys;
    trigramKeys.reserve(entries.size() * 8);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i == 0 || entries[i].first != entries[i - 1].first) {
            const auto id = static_cast<std::uint32_t>(keyStart.size());
            keyStart.push_back(static_cast<std::uint32_t>(keyBytes.size()));
            hitStart.push_back(static_cast<std::uint32_t>(hits.size()));
            keyBytes += entries[i].first;
            keySides.push_back(0);
            if (std::size_t(entries[i].first.size()) <= kLongestSuggested)
                for (const std::uint32_t code : TrigramsOf(View(entries[i].first)))
                    trigramKeys.push_back((std::uint64_t(code) << 32) | id);
        }
        hits.push_back(entries[i].second);
        keySides.back() |= std::uint8_t(1u << (entries[i].second & 1));
    }
    const auto keys = static_cast<std::uint32_t>(keyStart.size());
    keyStart.push_back(static_cast<std::uint32_t>(keyBytes.size()));
    hitStart.push_back(static_cast<std::uint32_t>(hits.size()));
    entries = {};

    std::sort(trigramKeys.begin(), trigramKeys.end());
    std::vector<std::uint32_t> codes, trigramStart;
    QByteArray postings;
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < trigramKeys.size(); ++i) {
        const auto code = static_cast<std::uint32_t>(trigramKeys[i] >> 32);
        const auto id = static_cast<std::uint32_t>(trigramKeys[i]);
        if (codes.empty() || codes.back() != code) {
            codes.push_back(code);
            trigramStart.push_back(static_cast<std::uint32_t>(postings.size()));
            previous = 0;
        }
        AppendGap(postings, id - previous);
        previous = id;
    }
    trigramStart.push_back(static_cast<std::uint32_t>(postings.size()));

    Header h{};
    std::memcpy(h.magic, kMagic, sizeof kMagic);
    h.tableSize = from.tableSize;
    h.tableModified = from.tableModified;
    h.records = records;
    h.keys = keys;
    h.hits = static_cast<std::uint32_t>(hits.size());
    h.trigrams = static_cast<std::uint32_t>(codes.size());
    h.keyStart = sizeof(Header);
    h.hitStart = h.keyStart + 4ull * keyStart.size();
    h.hitList = h.hitStart + 4ull * hitStart.size();
    h.textStart = h.hitList + 4ull * hits.size();
    h.trigramCodes = h.textStart + 4ull * textStart.size();
    h.trigramStart = h.trigramCodes + 4ull * codes.size();
    h.keySides = h.trigramStart + 4ull * trigramStart.size();
    h.keyBytes = h.keySides + keySides.size();
    h.texts = h.keyBytes + keyBytes.size();
    h.postings = h.texts + texts.size();
    h.end = h.postings + postings.size();

    auto index = std::unique_ptr<WordIndex>(new WordIndex);
    index->tablePath_ = from.tablePath;
    QByteArray& all = index->built_;
    all.reserve(static_cast<qsizetype>(h.end));
    all.append(reinterpret_cast<const char*>(&h), sizeof h);
    Append(all, keyStart);
    Append(all, hitStart);
    Append(all, hits);
    Append(all, textStart);
    Append(all, codes);
    Append(all, trigramStart);
    Append(all, keySides);
    all += keyBytes;
    all += texts;
    all += postings;
    index->header_ = all.left(sizeof(Header));
    index->size_ = static_cast<std::size_t>(all.size());
    return index;
}

std::unique_ptr<WordIndex> WordIndex::OpenOrBuild(const QString& tablePath) {
    if (auto index = Open(tablePath)) return index;
    return Build(tablePath);
}

bool WordIndex::Save(QString* reason) const {
    if (built_.isEmpty()) return true;  // read from the side file itself
    return WriteFileWhole(SideFilePath(tablePath_), built_, reason);
}

QByteArray WordIndex::Key(std::uint32_t id) const {
    const std::uint32_t start = U32(header().keyStart, id);
    const std::uint32_t end = U32(header().keyStart, id + 1);
    return end >= start ? Bytes(header().keyBytes + start, end - start) : QByteArray();
}

int WordIndex::FindKey(const QByteArray& key) const {
    std::uint32_t low = 0, high = header().keys;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (View(Key(middle)) < View(key))
            low = middle + 1;
        else
            high = middle;
    }
    return low < header().keys && Key(low) == key ? static_cast<int>(low) : -1;
}

std::vector<int> WordIndex::PairsWithKey(const QByteArray& key, unsigned sides) const {
    std::vector<int> records;
    const int id = FindKey(key);
    if (id < 0) return records;
    const std::uint32_t first = U32(header().hitStart, id);
    const std::uint32_t end = U32(header().hitStart, id + 1);
    const QByteArray bytes =
        end >= first ? Bytes(header().hitList + 4ull * first, 4ull * (end - first)) : QByteArray();
    const auto* hits = reinterpret_cast<const std::uint32_t*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size() / 4; ++i)
        if (sides & (1u << (hits[i] & 1))) records.push_back(static_cast<int>(hits[i] >> 1));
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    return records;
}

WordIndex::Pair WordIndex::PairOf(int record) const {
    if (record < 1 || std::uint32_t(record) > header().records) return {};
    const std::uint32_t start = U32(header().textStart, static_cast<std::uint32_t>(record - 1));
    const std::uint32_t end = U32(header().textStart, static_cast<std::uint32_t>(record));
    if (end < start) return {};
    const QString text = QString::fromUtf8(Bytes(header().texts + start, end - start));
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0) return {};
    return {record, text.left(tab), text.mid(tab + 1)};
}

QString WordIndex::Shown(std::uint32_t id) const {
    const QByteArray key = Key(id);
    const std::uint32_t hit = U32(header().hitList, U32(header().hitStart, id));
    const Pair pair = PairOf(static_cast<int>(hit >> 1));
    for (const QString& word : Headwords((hit & 1) ? pair.english : pair.german))
        if (HeadwordKeys(word).contains(key)) return word;
    return QString::fromUtf8(key);
}

QStringList WordIndex::Closest(const QString& typed, unsigned sides, int most) const {
    const Header& h = header();
    // The parts a suggestion reads, read whole once (the pairs' texts never).
    const auto* keyStart = reinterpret_cast<const std::uint32_t*>(Whole(h.keyStart, h.hitStart));
    const auto* keySides = reinterpret_cast<const std::uint8_t*>(Whole(h.keySides, h.keyBytes));
    const auto* codes =
        reinterpret_cast<const std::uint32_t*>(Whole(h.trigramCodes, h.trigramStart));
    const auto* postingStart =
        reinterpret_cast<const std::uint32_t*>(Whole(h.trigramStart, h.keySides));
    const auto* postings = reinterpret_cast<const std::uint8_t*>(Whole(h.postings, h.end));
    const char* keyBytes = Whole(h.keyBytes, h.texts);
    const std::uint64_t keyLength = h.texts - h.keyBytes;
    const std::uint64_t postingLength = h.end - h.postings;
    const auto key = [&](std::uint32_t id) {
        const std::uint32_t start = keyStart[id], end = keyStart[id + 1];
        if (end < start || end > keyLength) return std::string_view();  // a damaged file
        return std::string_view(keyBytes + start, end - start);
    };

    struct Near {
        int distance;
        std::uint32_t pairs;
        std::uint32_t id;
    };
    std::vector<Near> near;
    std::vector<std::uint32_t> seen;
    for (const QByteArray& form : HeadwordKeys(typed).mid(0, 2)) {
        const std::string_view wanted = View(form);
        const int reach = wanted.size() <= 4 ? 1 : 2;
        const std::vector<std::uint32_t> trigrams = TrigramsOf(wanted);
        // An edit changes at most three trigrams, a swap of neighbours four.
        const int enough = std::max(1, static_cast<int>(trigrams.size()) - 4 * reach);
        std::vector<std::uint8_t> shared(h.keys);
        std::vector<std::uint32_t> candidates;
        for (const std::uint32_t code : trigrams) {
            const auto* at = std::lower_bound(codes, codes + h.trigrams, code);
            if (at == codes + h.trigrams || *at != code) continue;
            const std::uint32_t t = static_cast<std::uint32_t>(at - codes);
            std::uint32_t id = 0;
            const std::uint64_t last = std::min<std::uint64_t>(postingStart[t + 1], postingLength);
            for (std::uint64_t p = postingStart[t]; p < last;) {
                std::uint32_t gap = 0;
                for (int shift = 0;; shift += 7) {
                    const std::uint8_t byte = p < last ? postings[p++] : 0;
                    gap |= std::uint32_t(byte & 0x7f) << (shift % 32);
                    if (!(byte & 0x80)) break;
                }
                id += gap;
                if (id >= h.keys) break;  // a damaged file
                const int length = static_cast<int>(keyStart[id + 1] - keyStart[id]);
                if (std::abs(length - static_cast<int>(wanted.size())) > reach) continue;
                if (++shared[id] == enough) candidates.push_back(id);
            }
        }
        for (const std::uint32_t id : candidates) {
            if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
            if (!(keySides[id] & sides)) continue;
            const int distance = DistanceWithin(key(id), wanted, reach);
            if (distance > reach) continue;
            seen.push_back(id);
            near.push_back({distance, U32(h.hitStart, id + 1) - U32(h.hitStart, id), id});
        }
    }
    std::sort(near.begin(), near.end(), [](const Near& a, const Near& b) {
        if (a.distance != b.distance) return a.distance < b.distance;
        if (a.pairs != b.pairs) return a.pairs > b.pairs;
        return a.id < b.id;
    });
    QStringList shown;
    for (const Near& n : near) {
        if (shown.size() >= most) break;
        const QString word = Shown(n.id);
        if (!shown.contains(word, Qt::CaseInsensitive)) shown.append(word);
    }
    return shown;
}

namespace {

std::unique_ptr<WordIndex>& Kept() {
    static std::unique_ptr<WordIndex> kept;
    return kept;
}

}  // namespace

const WordIndex* CurrentDictionaryIndex(const QString& tablePath) {
    std::unique_ptr<WordIndex>& kept = Kept();
    if (kept && kept->tablePath_ == tablePath && kept->Current()) return kept.get();
    if (auto index = WordIndex::Open(tablePath)) {
        kept = std::move(index);
        return kept.get();
    }
    return nullptr;
}

void KeepDictionaryIndex(std::unique_ptr<WordIndex> index) {
    std::unique_ptr<WordIndex>& kept = Kept();
    // One kept and current may be in use (a lookup window holds it).
    if (!index || (kept && kept->tablePath_ == index->tablePath_ && kept->Current())) return;
    kept = std::move(index);
}

const WordIndex* DictionaryIndex(const QString& tablePath, bool save) {
    if (const WordIndex* current = CurrentDictionaryIndex(tablePath)) return current;
    std::unique_ptr<WordIndex>& kept = Kept();
    if (auto built = WordIndex::Build(tablePath)) {
        kept = std::move(built);
        // Saved, the side file is read in place of the bytes built: the
        // system keeps only what is read.
        if (save && kept->Save()) {
            if (auto saved = WordIndex::Open(tablePath)) kept = std::move(saved);
        }
        return kept.get();
    }
    // The table is held elsewhere: the answers of its last state.
    if (kept && kept->tablePath_ == tablePath) return kept.get();
    kept = WordIndex::Open(tablePath, true);
    return kept.get();
}

int WordIndex::keyCount() const {
    return static_cast<int>(header().keys);
}

QString WordIndex::Written(const QByteArray& key) const {
    const int id = FindKey(key);
    return id < 0 ? QString::fromUtf8(key) : Shown(static_cast<std::uint32_t>(id));
}
