// One open dBase table: header, field list, the records held in memory, and
// the memo file. Changes stay in memory until Commit.
//
// Table file: a 32-byte header (version, last update y-1900/m/d, record count
// u32, header length u16, record length u16, code page 0x03 at byte 29), one
// 32-byte descriptor per field (name, type, length, decimals), 0x0D, then the
// records (deletion byte 0x20 or 0x2A, fields packed), then 0x1A.
//
// Promises:
// - The table file stays locked (exclusively) from Open until the table goes
//   away, without a gap, also across Pack and Repair: the new file is locked
//   before it takes the old one's name.
// - Commit writes memos first, then records, then the header count, syncing
//   between, so a crash loses at most the uncommitted change; afterwards the
//   header count and the file length agree. A commit the system refuses
//   (WriteFailure) leaves the table as it was at its last commit: in memory,
//   and on disk as far as the system still lets it write.
// - A deletion mark set or taken away on a committed record is written to the
//   file at once.
// - Opened for changes, a table loses the bytes an interrupted append left
//   after its counted records.
// - Pack writes the packed table and memo file beside the old ones
//   (name.pack), syncs them and swaps them in by rename; an interrupted swap is
//   finished the next time the table opens. Nothing to remove: files untouched.
//   A pack the system refuses leaves the table as it was at its last commit.
// - A damaged header, descriptor or memo raises the corruption fault (1012)
//   naming the table, with the detail and the repair to run; a header count
//   larger than the file holds opens the whole records there.
// - A table whose file another program cuts short while it is open raises
//   that fault with cutWhileOpen set, never a signal, at the first read of a
//   record it lost (store/mapping_guard.h), and at every read, commit, pack
//   and repair after: nothing read from the lost part is ever returned or
//   written back.
// One table is used by one thread at a time. A table opened to look at it
// (Purpose::Inspect) may be read on a thread of its own when no other part of
// the program writes it (a backup's copy): such tables share nothing.
#pragma once

#include "store/byte_buffer.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/memo_file.h"
#include "store/table_schema.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kesp::store {

struct Field {
    QString name;  // upper case
    char type = 'C';
    int length = 0;
    int decimals = 0;
    int offset = 0;  // within the record, after the deletion byte
};

// A date field's bytes that are neither empty nor a date ("20061340", "abc").
bool IsBadDate(const char* bytes, int length);

// What a repair kept and what it had to give up.
struct RepairReport {
    std::uint32_t records = 0;          // records in the new table, deleted ones included
    std::vector<QString> emptied;       // "record 7, field NOTIZ: memo block 99 beyond the file"
    std::vector<QString> datesEmptied;  // "record 3, field GEBURT: 20061340"
    QString tableBackup;                // the original files, kept beside the new ones
    QString memoBackup;                 // empty when the table has no memo file
};

// Rebuilds a table whose header cannot be read (cut short, an empty file, a
// header or record length that does not fit its fields) from the fields it is
// known to have: the file is copied to a backup beside it, and the new table
// holds every whole record found after the header those fields make (a bad
// deletion mark read as none). Its memo file stays as it is. Raises the
// table's damage, changing nothing, when the field descriptors the file still
// holds are not those fields; nullopt when another program holds the table.
std::optional<RepairReport> RebuildTable(const QString& path, const std::vector<FieldSpec>& fields,
                                         MemoKind kind);

class DbfTable {
  public:
    enum class Purpose {
        Change,   // the program's use: read and write
        Inspect,  // looking only: nothing is ever written, not even a repair
        Repair,   // read and write; an unreadable memo file reads as no memos, and
                  // every whole record the file holds counts, whatever the header says
    };
    // nullptr when another holder has the table locked. Faults otherwise.
    static std::unique_ptr<DbfTable> Open(const QString& path, Purpose purpose = Purpose::Change);
    // A large table leaves its deletion marks to the next opening for
    // changes in this process (store/known_marks.h).
    ~DbfTable();

    const QString& path() const { return file_.path(); }
    const std::vector<Field>& fields() const { return fields_; }
    int FieldIndex(const QString& name) const;  // -1 when there is none
    bool hasMemo() const { return memo_.has_value(); }
    std::optional<MemoKind> memoKind() const;
    int recordLength() const { return recordLength_; }
    int headerLength() const { return headerLength_; }
    std::uint8_t version() const { return version_; }
    QDate lastUpdate() const { return lastUpdate_; }

    // Changes with every change of the records (append, field write, delete
    // mark, pack) and never repeats in this process, so no two opened tables
    // share one: what was derived from the records at one generation still
    // fits them while it stays.
    std::uint64_t generation() const { return generation_; }

    std::uint32_t RecordCount() const { return count_; }
    // Records are numbered from 1. Requires: 1 <= record <= RecordCount().
    // Whoever reads through the pointer asks CheckNotCut after reading.
    const char* RecordBytes(std::uint32_t record) const {
        return data_.data() + std::size_t{record - 1} * recordLength_;
    }
    // Whether another program cut the table's file short while it was open,
    // as far as the store has come across it: a page of the records mapped
    // from the file lost, or a deletion mark that could not be written.
    bool cutWhileOpen() const { return data_.FilePagesLost() || file_.cutWhileOpen(); }
    // Raises the table's damage (RaiseCutWhileOpen) when the records mapped
    // from its file lost pages: what was read from them are zeros. One atomic
    // load.
    void CheckNotCut() const {
        if (data_.FilePagesLost()) [[unlikely]]
            RaiseCutWhileOpen(path());
    }
    // Kept beside the records so that walking an index touches no record bytes.
    bool IsDeleted(std::uint32_t record) const { return deleted_[record - 1]; }
    std::uint32_t DeletedCount() const { return deletedCount_; }
    // Written to the file at once for a committed record (a WriteFailure
    // leaves the mark as it was); kept for the commit on an appended one.
    void SetDeleted(std::uint32_t record, bool deleted);

    // The readers take a field's index as FieldIndex gives it: a field the
    // table does not have (-1) reads as nothing (an invalid QVariant, the
    // empty date, false, no bytes).
    bool HasField(int field) const { return field >= 0 && std::size_t(field) < fields_.size(); }
    QVariant Read(std::uint32_t record, int field) const;
    // The value as Read gives it, or nothing where a memo cannot be read (a
    // bad memo pointer, a block beyond the memo file, no memo file): for
    // readers that go on past a damaged memo instead of raising its fault.
    std::optional<QVariant> ReadIfReadable(std::uint32_t record, int field) const;
    // The value of a date or logical field, as Read gives it, without a
    // QVariant: for walks over many records.
    QDate ReadDate(std::uint32_t record, int field) const;
    bool ReadLogical(std::uint32_t record, int field) const;
    QVariant Blank(int field) const;
    // A field's stored bytes, unconverted: a memo field's text as the memo
    // holds it, any other field's bytes in the record. For copying records
    // between tables of the same fields without a change of a byte.
    QByteArray ReadBytes(std::uint32_t record, int field) const;
    // Puts such bytes back (cut or padded with blanks to the field's width).
    void WriteBytes(std::uint32_t record, int field, const QByteArray& bytes);
    void Write(std::uint32_t record, int field, const QVariant& value);
    void AppendBlank();
    // Appends a record holding the bytes of `bytes` (a whole record, as
    // RecordLength says), except its deletion mark and memo pointers, which
    // are those of a blank record.
    void AppendRecord(const char* bytes);

    // Writes the changes; a WriteFailure leaves the table at its last commit.
    void Commit();
    // The table file's stamp while the records in memory are the ones the
    // file holds (no change since the last commit, nothing cut off under
    // them); nothing otherwise.
    std::optional<FileStamp> CommittedStamp() const;
    // Forgets every change since the last commit.
    void Discard();
    // Removes deleted records; false (files untouched) when there were none.
    bool Pack();
    // Each record's number once the table is packed as it stands (0: removed).
    std::vector<std::uint32_t> NumbersAfterPack() const;
    // Writes the table anew with every record it holds (an unreadable memo
    // becomes empty), the original table and memo file kept beside it as
    // backups. Changes since the last commit are not part of it.
    RepairReport Repair();

    // What a check finds wrong, one line each; empty when the table is sound.
    std::vector<QString> Check() const;
    // The same without the values of dates and numbers: what keeps the
    // table's records and memos from being read as they were written (the
    // header against the file's size, deletion marks, memo pointers, a cut
    // off append or pack). A copy that passes it holds every record whole.
    std::vector<QString> CheckStructure() const;
    std::uint32_t headerCount() const { return headerCount_; }

  private:
    // Records of this many bytes and more are mapped from the file rather
    // than read, when opened for changes: reading a few megabytes costs more
    // than mapping them (every page zeroed, then copied into).
    static constexpr std::size_t kMapRecordsFrom = std::size_t{1} << 20;

    DbfTable() = default;
    void Load(Purpose purpose);
    std::vector<QString> Problems(bool values) const;
    // Raises the table's damage when the header length shifts the records
    // away from where the field descriptors say they begin.
    void CheckHeaderLength(std::uint64_t size) const;
    // The deletion marks of the first records are marks when the records
    // begin at `headerLength`.
    bool RecordsAlignAt(std::uint64_t headerLength, std::uint64_t size) const;
    void CutUnfinishedAppend();
    void WriteChanges();
    // Puts the table back to its last commit; the memo file back to `memoMark`.
    void RollBack(const std::optional<MemoFile::Mark>& memoMark);
    // Writes `records` (with memos read by `memoText`) to files beside the
    // table, swaps them in and makes them the table's files.
    using MemoReader = std::function<QByteArray(std::uint32_t record, int field)>;
    using RecordMender = std::function<void(std::uint32_t record, char* copy)>;
    std::vector<std::uint32_t> WriteReplacement(const std::vector<std::uint32_t>& records,
                                                const MemoReader& memoText, FileHandle& replacement,
                                                const RecordMender& mend);
    void SwapIn(FileHandle replacement);
    // The failure of writing the files beside the table, told as the table's.
    WriteFailure TableWriteFailure(const WriteFailure& failure, const QString& operation) const;
    void KeepOnly(const std::vector<std::uint32_t>& records,
                  const std::vector<std::uint32_t>& blocks, const RecordMender& mend);
    // The records kept, moved to the front of the records in memory, as the
    // new file holds them.
    void MoveKeptRecords(const std::vector<std::uint32_t>& records,
                         const std::vector<std::uint32_t>& blocks, const RecordMender& mend);
    // The files of the table hold `records` alone from now on, in memory too
    // (a pack, a repair). A write the system refuses removes the files
    // beside the table, leaves the table at its last commit and is thrown
    // as the table's failure in `operation`.
    // `mend`, when given, may change each record's copy before it is written.
    void ReplaceFilesWith(const std::vector<std::uint32_t>& records, const MemoReader& memoText,
                          const QString& operation, const RecordMender& mend = {});
    QByteArray HeaderBytes(std::uint32_t count) const;
    QVariant ReadUnchecked(std::uint32_t record, int field) const;
    QDate ReadDateUnchecked(std::uint32_t record, int field) const;
    // Before anything is written: a table cut short under the program
    // raises its damage rather than write what it read from the lost part.
    void CheckNotCutBeforeWriting() const {
        if (cutWhileOpen()) RaiseCutWhileOpen(path());
    }
    std::uint32_t MemoBlock(std::uint32_t record, int field) const;
    // The memo pointer's block; nothing when its bytes are no block number.
    std::optional<std::uint32_t> ReadMemoBlock(std::uint32_t record, int field) const;
    // A committed memo's bytes (none for block 0) without raising a fault:
    // what keeps it from being read, else an empty text.
    QString TryReadMemo(std::uint32_t record, int field, QByteArray* text) const;
    void SetMemoBlock(char* record, int field, std::uint32_t block) const;
    QString MemoPath(const QString& extension) const;
    char* MutableRecord(std::uint32_t record);
    void NewGeneration();
    void ReadDeletionMarks();
    void ReadDeletionMarksFromFile();  // of a table just mapped

    FileHandle file_;
    std::optional<MemoFile> memo_;
    std::vector<Field> fields_;
    std::uint8_t version_ = 0x03;
    QDate lastUpdate_;
    int headerLength_ = 0;
    int recordLength_ = 0;
    std::uint32_t headerCount_ = 0;  // what the header said at open
    std::uint32_t count_ = 0;
    std::uint32_t committedCount_ = 0;
    ByteBuffer data_;
    std::vector<bool> dirty_;
    std::vector<bool> deleted_;
    std::uint32_t deletedCount_ = 0;
    // The first record whose deletion mark is an end-of-file mark (0: none).
    std::uint32_t firstUnmarked_ = 0;
    std::uint64_t generation_ = 0;
    bool anyDirty_ = false;
    // A large table: its marks are kept when it goes away. One only looked
    // at keeps those it read at its opening, when its file is as it was then.
    bool marksKeptAtClose_ = false;
    std::optional<FileStamp> inspectedStamp_;
    std::int64_t inspectedNs_ = 0;
    std::map<std::pair<std::uint32_t, int>, QByteArray> pendingMemos_;
    std::map<std::uint32_t, QByteArray> committedBytes_;  // of records changed since
    MemoKind memoKindWanted_ = MemoKind::Dbt;
};

// Finishes or discards a pack that was interrupted (see DbfTable), given the
// locked table file; returns the locked file to use from then on.
FileHandle RecoverInterruptedPack(const QString& tablePath, FileHandle locked);

}  // namespace kesp::store
