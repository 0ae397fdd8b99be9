// One index of a table held in memory: the records ordered by key, then by
// record number, with a record's key found again in O(log n).
//
// Keys are byte strings compared byte by byte (Windows-1252 order for text).
// Numbers become 8 bytes that sort as the numbers do, dates "YYYYMMDD" (the
// empty date eight blanks, first), logicals "T"/"F" (see KeyBytes).
//
// Index file (".ntx", our own format):
//   "KESPNTX2", u32 key-text length, key text (Windows-1252), what the order
//   was built from (IndexFit): u8 0 when not known, or u8 1, u64 device,
//   u64 inode, u64 size, i64 modified ns, i64 changed ns of the table file,
//   u32 record count, u32 date-format length, date format; then u32 entry
//   count, the entries' u32 records in key order, and their keys in the same
//   order, each a u16 length and the key; then u32 source width and, when
//   not 0, the bytes each record's key was computed from (one field's, that
//   width each, records 1..count); last "KESPEND2".
// All integers little-endian. Files of the first format ("KESPNTX1", no fit)
// are read for their key text; of the second ("KESPNTX2") without a source.
//
// An opening takes its order from the file instead of sorting when that is
// sure to give what a build gives: keys on a field are checked against the
// records (in order, every record once; records appended since are put in
// their places); other keys are taken when the file's fit is the table's now
// and the file was written after the table's last change.
#pragma once

#include "store/byte_buffer.h"
#include "store/dbf_table.h"
#include "store/file_handle.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace kesp::store {

// The sortable bytes of a key value (also used for seek values).
QByteArray KeyBytes(const QVariant& value);

// What an index file's order was built from: the table file as committed,
// its record count and the date format DTOC keys followed.
struct IndexFit {
    FileStamp table;
    std::uint32_t records = 0;
    QString dateFormat;
    friend bool operator==(const IndexFit&, const IndexFit&) = default;
};

// A sequence an order probably has: an index file's records. When the file
// is current (written from the table as it is), its records are taken once
// they are every record once, without comparing keys.
struct LikelyOrder {
    const std::vector<std::uint32_t>& records;
    bool current = false;
};

// Where a key lies among keys of different widths.
struct KeyRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// An index file's keys laid out as an order holds them, with the order
// itself: what taking the file's order makes of its content
// (KeyOrder::TakeKeys). The reading ahead (index_read_ahead.h) lays them out
// beside the event loop.
struct TakenKeys {
    ByteBuffer arena;
    int fixedWidth = -1;         // all keys of one width; -1: `places` tells
    std::vector<KeyRef> places;  // by record number - 1, when the widths differ
    std::vector<std::uint32_t> order;
};

// An index file read back.
struct IndexFileContent {
    QString keyText;
    std::optional<IndexFit> fit;         // nothing: not known when it was written
    FileStamp stamp;                     // of the file as it was read
    std::vector<std::uint32_t> records;  // of the entries, in the file's order
    // Read only when asked for: the entries' keys, one after another.
    bool keysRead = false;
    std::vector<char> keys;
    std::vector<std::uint16_t> keyLengths;
    // Read with the keys: what they were computed from (KeyOrder::source).
    std::vector<char> source;
    int sourceWidth = 0;
    // The keys laid out already, when they were read ahead.
    std::optional<TakenKeys> taken;
};

class KeyOrder {
  public:
    KeyOrder(QString filePath, QString keyText)
        : path_(std::move(filePath)), keyText_(std::move(keyText)) {}

    const QString& path() const { return path_; }
    const QString& keyText() const { return keyText_; }

    // Builds the order of records 1..count. keyOf gives record r's key, which
    // need only stay valid until the next call.
    // `likely` is taken without a sort when it holds the records in order,
    // only some appended ones missing; true then.
    bool Build(std::uint32_t count, const std::function<std::string_view(std::uint32_t)>& keyOf,
               const LikelyOrder* likely = nullptr);
    // Same, for keys that are a field's bytes, mapped byte by byte (byteMap may
    // be null): the keys are read from the table's records whenever needed and
    // never copied, so the order costs four bytes a record. The table must
    // outlive the order, and every change of a record's field must reach the
    // order through Insert or Update.
    bool BuildOnField(const DbfTable& table, int offset, int width, const unsigned char* byteMap,
                      const LikelyOrder* likely = nullptr);
    // Takes the records and keys of an index file read whole: true when they
    // are records 1..count, each once, in the order of their keys; false,
    // the order left empty, otherwise. Keys laid out ahead (`file.taken`)
    // are moved in.
    bool TakeFromFile(IndexFileContent& file, std::uint32_t count);
    // The file's keys laid out, when its records are 1..n each once in the
    // order of their keys (n the file's entries); nothing otherwise.
    static std::optional<TakenKeys> TakeKeys(const IndexFileContent& file);

    // Keys read from the table's records (BuildOnField).
    bool onField() const { return table_ != nullptr; }
    // Keys on a field read from `table` from now on: the same file opened again.
    void RebindTable(const DbfTable& table) { table_ = &table; }
    // The memory the order holds.
    std::size_t bytesHeld() const;

    // What keys computed from one field were computed from: that field's
    // bytes for records 1..size(), `width` each. Written to the index file,
    // so that an opening after the table changed computes again only the
    // keys of records whose bytes differ. Any build and any change of the
    // order forget it.
    void SetSource(std::vector<char> bytes, int width);
    const std::vector<char>& source() const { return source_; }
    int sourceWidth() const { return sourceWidth_; }

    std::size_t size() const { return order_.size(); }
    std::uint32_t RecordAt(std::size_t position) const { return order_[position]; }
    // Position of the record in the order. Requires: the record is indexed.
    std::size_t PositionOf(std::uint32_t record) const;
    // First position whose key, compared over the length of `key`, is not less than it.
    std::size_t LowerBound(const QByteArray& key) const;
    // First position whose key does not begin with `prefix` and is greater.
    std::size_t UpperBoundOfPrefix(const QByteArray& prefix) const;
    bool KeyBeginsWith(std::size_t position, const QByteArray& prefix) const;

    // Keeps the order current: a new record, or a record whose key may have changed.
    // (On a field: the record already holds the new key, which `key` repeats.)
    void Insert(std::uint32_t record, const QByteArray& key);
    void Update(std::uint32_t record, const QByteArray& key);

    // Follows a renumbering of the records that keeps their sequence (a
    // pack): record r becomes newNumbers[r - 1], or leaves the order when
    // that is 0. The keys stay what they were, so no sort is needed. (On a
    // field: the table already holds the renumbered records.)
    void Renumber(const std::vector<std::uint32_t>& newNumbers);

    // Changes whenever the order does, never repeating across orders; lets
    // callers keep derived positions.
    std::uint64_t version() const { return version_; }
    // The same records in the same order with the same keys.
    bool SameEntries(const KeyOrder& other) const;

    // True unless this process last wrote the index file from this very
    // version of the order, or was refused writing this version. (The file is
    // derived data: what another program does to it is not watched.)
    bool modified() const;
    // The index file holds this version with `fit` (read back from it as
    // `file` says).
    void MarkHeldByItsFile(const std::optional<IndexFit>& fit, const FileStamp& file);
    // Whether this process last wrote the index file from this very version
    // (or read it back from it).
    bool heldByItsFile() const;
    // The index file's stamp when it was so written or read; nothing when it
    // does not hold this version.
    std::optional<FileStamp> heldFileStamp() const;
    // Whether the index file was last written from this version without a
    // fit (as it is while the table holds changes).
    bool writtenWithoutFit() const;
    // Whether the index file holds this version with `fit` but for the
    // table file's stamp: written before deletion marks changed the table's
    // file, which moves no key.
    bool heldUnderAnotherStamp(const IndexFit& fit) const;
    // Writes the file through a file beside it, with the fit the order was
    // built under when known. A write the system refuses is thrown once and
    // leaves the old file whole; its fit no longer matches the table once the
    // table changed, and closing does not try the same version again.
    void WriteFile(const std::optional<IndexFit>& fit);
    // The key text stored in an index file; raises the open fault when the
    // file is missing and the corruption fault when it is not ours.
    static QString ReadKeyText(const QString& filePath);
    // The file, its keys only when asked for; nothing when it is missing,
    // not ours, of the first format or damaged (the order is then built).
    // OfExpressions reads the keys unless the key text has the form of a
    // character field's (HasNativeKeyForm), whose keys are its bytes in the table.
    enum class KeysToRead { None, All, OfExpressions };
    static std::optional<IndexFileContent> ReadContent(const QString& filePath, KeysToRead keys);
    static std::optional<IndexFileContent> ReadContent(const QString& filePath, bool withKeys) {
        return ReadContent(filePath, withKeys ? KeysToRead::All : KeysToRead::None);
    }

  private:
    // Keys of one width (the usual case) need no table of where each one is.
    const char* KeyData(std::uint32_t record) const {
        if (table_) return table_->RecordBytes(record) + fieldOffset_;
        return fixedWidth_ >= 0 ? arena_.data() + std::size_t{record - 1} * fixedWidth_
                                : arena_.data() + refs_[record - 1].offset;
    }
    // Keys read from the table's records: raises the table's damage when its
    // file was cut short under them (DbfTable::CheckNotCut).
    void CheckTableNotCut() const {
        if (table_) table_->CheckNotCut();
    }
    // The first n bytes of the record's key against `key`, as memcmp does.
    int CompareKeyTo(std::uint32_t record, const char* key, std::size_t n) const;
    // The key as stored in the index file.
    void CopyKey(std::uint32_t record, std::vector<char>& out) const;
    // The index file's bytes, written into `file` (beside the index file).
    void WriteContent(FileHandle& file, const std::optional<IndexFit>& fit) const;
    std::uint32_t KeyLength(std::uint32_t record) const {
        return fixedWidth_ >= 0 ? static_cast<std::uint32_t>(fixedWidth_)
                                : refs_[record - 1].length;
    }
    std::uint32_t KeyCount() const;
    void LeaveFixedWidth();
    int Compare(std::uint32_t a, std::uint32_t b) const;  // full key, then record
    void StoreKey(std::uint32_t record, const char* data, std::size_t length);
    void SortAll(std::uint32_t count);
    // `likely` as the order, when it is one (Build); false, nothing changed, otherwise.
    bool TakeSequence(const LikelyOrder& likely, std::uint32_t count);
    bool TakeOrSort(std::uint32_t count, const LikelyOrder* likely);
    void ForgetSource();

    QString path_;
    QString keyText_;
    ByteBuffer arena_;
    int fixedWidth_ = -1;
    std::vector<KeyRef> refs_;  // by record number - 1, when the widths differ
    std::vector<std::uint32_t> order_;
    std::uint64_t version_ = 0;
    // Keys on a field of the table (BuildOnField): no arena.
    const DbfTable* table_ = nullptr;
    int fieldOffset_ = 0;
    const unsigned char* byteMap_ = nullptr;
    std::vector<char> source_;
    int sourceWidth_ = 0;
};

}  // namespace kesp::store
