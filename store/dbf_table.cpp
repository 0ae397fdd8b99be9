#include "store/dbf_table.h"

#include "store/codec.h"
#include "store/dbf_format.h"
#include "store/fault.h"
#include "store/file_names.h"
#include "store/known_marks.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>

namespace kesp::store {

// ---- Opening -----------------------------------------------------------------

std::unique_ptr<DbfTable> DbfTable::Open(const QString& path, Purpose purpose) {
    std::unique_ptr<DbfTable> table(new DbfTable);
    // A pack elsewhere may put a new file in place between our open and our
    // lock; the lock then sits on a file that has lost its name. Open again.
    constexpr int kAttempts = 100;
    for (int attempt = 1;; ++attempt) {
        table->file_ =
            purpose == Purpose::Inspect ? FileHandle::OpenForReading(path) : FileHandle::Open(path);
        if (!table->file_.TryLockExclusive()) return nullptr;
        if (table->file_.StillNamedByPath()) break;
        if (attempt == kAttempts) return nullptr;
    }
    if (purpose != Purpose::Inspect) {
        table->file_ = RecoverInterruptedPack(path, std::move(table->file_));
    }
    table->Load(purpose);
    if (purpose == Purpose::Change) table->CutUnfinishedAppend();
    return table;
}

void DbfTable::CutUnfinishedAppend() {
    // An append stopped after its count: the first new record still begins
    // with the end-of-file mark it replaces last. Its records are committed.
    if (firstUnmarked_ > 0) {
        const std::size_t at = std::size_t{firstUnmarked_ - 1} * recordLength_;
        const char notDeleted = ' ';
        file_.WriteAt(headerLength_ + at, &notDeleted, 1);
        file_.Sync();
        data_.data()[at] = notDeleted;
        firstUnmarked_ = 0;
    }
    const std::uint64_t end = headerLength_ + std::uint64_t{count_} * recordLength_;
    const std::uint64_t size = file_.Size();
    if (size <= end) return;
    char last = 0;
    if (size == end + 1 && file_.ReadAt(end, &last, 1) == 1 && last == kEndOfFile) return;
    // Bytes of a record whose count never reached the header: readers that
    // read to the end of the file would take them for a record.
    file_.Truncate(end);
    file_.WriteAt(end, &kEndOfFile, 1);
    file_.Sync();
}

void DbfTable::Load(Purpose purpose) {
    NewGeneration();
    const QString& path = file_.path();
    const std::uint64_t size = file_.Size();
    std::array<unsigned char, kDescriptorSize> head{};
    if (file_.ReadAt(0, reinterpret_cast<char*>(head.data()), head.size()) < head.size()) {
        RaiseTableDamage(path, QStringLiteral("header cut short"));
    }
    version_ = head[0];
    // Writers disagree on the year byte: years-since-1900 or the last two digits.
    lastUpdate_ = QDate(head[1] < 80 ? 2000 + head[1] : 1900 + head[1], head[2], head[3]);
    headerCount_ = Le32(head.data() + 4);
    headerLength_ = Le16(head.data() + 8);
    recordLength_ = Le16(head.data() + 10);
    if (headerLength_ < kDescriptorSize * 2 || recordLength_ < 2 ||
        static_cast<std::uint64_t>(headerLength_) > size) {
        RaiseTableDamage(path, QStringLiteral("header length %1, record length %2, file size %3")
                                   .arg(headerLength_)
                                   .arg(recordLength_)
                                   .arg(size));
    }
    QByteArray header(headerLength_, Qt::Uninitialized);
    file_.ReadAt(0, header.data(), static_cast<std::size_t>(headerLength_));
    const auto* h = reinterpret_cast<const unsigned char*>(header.constData());
    int offset = 1;
    for (int at = kDescriptorSize; at + kDescriptorSize <= headerLength_; at += kDescriptorSize) {
        if (h[at] == kTerminator || h[at] == 0) break;
        const unsigned char* d = h + at;
        Field f;
        int nameLength = 0;
        while (nameLength < 11 && d[nameLength] != 0)
            ++nameLength;
        f.name =
            QString::fromLatin1(reinterpret_cast<const char*>(d), nameLength).trimmed().toUpper();
        f.type = static_cast<char>(std::toupper(d[11]));
        f.length = d[16];
        f.decimals = d[17];
        if (f.type == 'C' && f.decimals != 0 &&
            offset + f.length + f.decimals * 256 <= recordLength_) {
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        const bool nameOk =
            !f.name.isEmpty() && std::all_of(f.name.begin(), f.name.end(), [](QChar c) {
                return c.unicode() > 0x20 && c.unicode() < 0x7F;
            });
        if (!nameOk || !(std::isalpha(static_cast<unsigned char>(f.type)) || f.type == '0') ||
            f.length == 0 || offset + f.length > recordLength_) {
            RaiseTableDamage(path, QStringLiteral("field descriptor %1").arg(fields_.size() + 1));
        }
        if (f.type == 'M' && f.length != 10 && f.length != 4) {
            RaiseTableDamage(path, QStringLiteral("memo field %1").arg(f.name));
        }
        f.offset = offset;
        offset += f.length;
        fields_.push_back(f);
    }
    if (fields_.empty()) RaiseTableDamage(path, QStringLiteral("no fields"));
    CheckHeaderLength(size);

    const bool anyMemo =
        std::any_of(fields_.begin(), fields_.end(), [](const Field& f) { return f.type == 'M'; });
    if (anyMemo) {
        std::optional<MemoKind> kind = KindOfVersion(version_);
        const QStringList candidates = MemoCandidates(path);
        QString memoPath;
        for (const QString& candidate : candidates) {
            const bool isFpt = candidate.endsWith(QStringLiteral("fpt"), Qt::CaseInsensitive);
            if (kind && (*kind == MemoKind::Fpt) != isFpt) continue;
            if (FileExists(candidate)) {
                memoPath = candidate;
                kind = isFpt ? MemoKind::Fpt : MemoKind::Dbt;
                break;
            }
        }
        memoKindWanted_ = kind.value_or(MemoKind::Dbt);
        if (purpose == Purpose::Repair) {
            try {
                if (memoPath.isEmpty()) RaiseOpenError(candidates[0], ENOENT);
                memo_ = MemoFile::Open(memoPath, *kind, path);
            } catch (const FaultException&) {
                // No memo file to read: every memo of the table is lost.
            }
        } else {
            if (memoPath.isEmpty()) {
                RaiseOpenError(kind == MemoKind::Fpt ? candidates[2] : candidates[0], ENOENT);
            }
            memo_ = MemoFile::Open(memoPath, *kind, path);
        }
    }

    const std::uint64_t whole = (size - headerLength_) / recordLength_;
    // A repair takes every whole record the file holds, also those after a
    // header count that says too few; else the count says where the records end.
    const std::uint64_t counted = purpose == Purpose::Repair ? whole : headerCount_;
    count_ = static_cast<std::uint32_t>(
        std::min<std::uint64_t>({counted, whole, std::numeric_limits<std::uint32_t>::max()}));
    committedCount_ = count_;
    const std::size_t recordBytes = std::size_t{count_} * recordLength_;
    // Large tables are mapped rather than copied; the lock keeps the file from
    // shrinking under the mapping, and another program that cuts it all the
    // same costs the table, not the process (mapping_guard.h). Small ones
    // opened for changes are read.
    // A table only looked at is mapped at any size: its pages are shared with
    // the file cache, neither copied nor zero-filled, and its marks are read
    // where they lie, as looking at a table reads its records.
    dirty_.assign(count_, false);
    const bool inspect = purpose == Purpose::Inspect;
    if ((inspect || recordBytes >= kMapRecordsFrom) &&
        data_.MapFile(file_.descriptor(), static_cast<std::uint64_t>(headerLength_), recordBytes)) {
        marksKeptAtClose_ = recordBytes >= kMapRecordsFrom && purpose != Purpose::Repair;
        const std::optional<FileStamp> stamp = file_.Stamp();
        if (inspect) {
            inspectedNs_ = MarksClockNs();
            inspectedStamp_ = stamp;
            ReadDeletionMarks();
            CheckNotCut();
            return;
        }
        std::optional<KnownMarks> known =
            stamp && marksKeptAtClose_ ? TakeKnownMarks(path, *stamp, count_) : std::nullopt;
        if (!known) {
            ReadDeletionMarksFromFile();
            return;
        }
        deleted_ = std::move(known->deleted);
        deletedCount_ = known->deletedCount;
        firstUnmarked_ = known->firstUnmarked;
        return;
    }
    data_.Resize(recordBytes);
    // The size was read a moment ago: fewer bytes now, and another program cut it.
    if (file_.ReadAt(headerLength_, data_.data(), recordBytes) < recordBytes) {
        RaiseCutWhileOpen(path);
    }
    ReadDeletionMarks();
}

// ---- The header length against the field descriptors -----------------------------

namespace {

// Visual FoxPro keeps 263 bytes for a database container after the descriptors.
int BacklinkLength(std::uint8_t version) {
    return version == 0x30 || version == 0x31 || version == 0x32 ? 263 : 0;
}

}  // namespace

bool DbfTable::RecordsAlignAt(std::uint64_t headerLength, std::uint64_t size) const {
    constexpr std::uint32_t kMarksLooked = 64;
    const std::uint32_t looked = std::min(headerCount_, kMarksLooked);
    for (std::uint32_t r = 0; r < looked; ++r) {
        const std::uint64_t at = headerLength + std::uint64_t{r} * recordLength_;
        if (at >= size) break;
        char mark = 0;
        file_.ReadAt(at, &mark, 1);
        if (mark != ' ' && mark != '*') return false;
    }
    return true;
}

void DbfTable::CheckHeaderLength(std::uint64_t size) const {
    // Where the descriptors end, looked for whatever the header length says.
    const std::uint64_t longest = std::min<std::uint64_t>(size, kDescriptorSize * 257 + 1);
    QByteArray head(static_cast<qsizetype>(longest), '\0');
    file_.ReadAt(0, head.data(), static_cast<std::size_t>(longest));
    std::uint64_t described = 0;
    for (qsizetype at = kDescriptorSize; at < head.size(); at += kDescriptorSize) {
        if (head[at] == kTerminator) {
            described = static_cast<std::uint64_t>(at) + 1 + BacklinkLength(version_);
            break;
        }
    }
    // A longer header is allowed (some writers reserve room after the
    // descriptors) as long as the records follow it; a header length that
    // shifts every record is damage, told before any record is read wrong.
    // The records follow a header when the counted records end the file
    // there, or (with an append cut short after them) when the first
    // records' deletion marks are marks.
    const auto header = static_cast<std::uint64_t>(headerLength_);
    if (described == 0 || described == header) return;
    const auto endsTheFile = [this, size](std::uint64_t at) {
        const std::uint64_t records = std::uint64_t{headerCount_} * recordLength_;
        return size >= at && (size - at == records || size - at == records + 1);
    };
    if ((endsTheFile(described) && !endsTheFile(header)) ||
        (!RecordsAlignAt(header, size) && RecordsAlignAt(described, size))) {
        RaiseTableDamage(file_.path(),
                         QStringLiteral("header length %1, but the field descriptors end at %2")
                             .arg(headerLength_)
                             .arg(described));
    }
}

std::optional<MemoKind> DbfTable::memoKind() const {
    if (memo_) return memo_->kind();
    return std::nullopt;
}

int DbfTable::FieldIndex(const QString& name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- Reading and writing -------------------------------------------------------

void DbfTable::NewGeneration() {
    static std::atomic<std::uint64_t> last = 0;
    generation_ = ++last;
}

char* DbfTable::MutableRecord(std::uint32_t record) {
    NewGeneration();
    char* bytes = data_.data() + std::size_t{record - 1} * recordLength_;
    if (record <= committedCount_ && !dirty_[record - 1]) {
        committedBytes_.emplace(record, QByteArray(bytes, recordLength_));
    }
    dirty_[record - 1] = true;
    anyDirty_ = true;
    return bytes;
}

void DbfTable::SetDeleted(std::uint32_t record, bool deleted) {
    if (record < 1 || record > count_ || deleted_[record - 1] == deleted) return;
    const char mark = deleted ? '*' : ' ';
    char* bytes = data_.data() + std::size_t{record - 1} * recordLength_;
    if (record <= committedCount_) {
        // Written at once: a crash right after must not bring the record back.
        file_.WriteByteInPlace(headerLength_ + std::uint64_t{record - 1} * recordLength_, mark);
        const auto committed = committedBytes_.find(record);
        if (committed != committedBytes_.end()) committed->second[0] = mark;
    } else {
        MutableRecord(record);
    }
    NewGeneration();
    // Records mapped from the file and not changed since show the file's new
    // byte already; storing it again would copy their page.
    if (bytes[0] != mark) bytes[0] = mark;
    CheckNotCut();
    deleted_[record - 1] = deleted;
    deletedCount_ += deleted ? 1 : -1;
}

std::optional<std::uint32_t> DbfTable::ReadMemoBlock(std::uint32_t record, int field) const {
    const Field& f = fields_[field];
    const char* p = RecordBytes(record) + f.offset;
    if (f.length == 4) return Le32(reinterpret_cast<const unsigned char*>(p));
    std::uint64_t block = 0;
    for (int i = 0; i < f.length; ++i) {
        const char c = p[i];
        if (c == ' ' || c == 0) continue;
        if (c < '0' || c > '9' || block * 10 + static_cast<std::uint64_t>(c - '0') > 0xFFFFFFFFu)
            return std::nullopt;
        block = block * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return static_cast<std::uint32_t>(block);
}

std::uint32_t DbfTable::MemoBlock(std::uint32_t record, int field) const {
    const std::optional<std::uint32_t> block = ReadMemoBlock(record, field);
    if (!block) {
        RaiseTableDamage(path(), QStringLiteral("memo pointer of record %1, field %2")
                                     .arg(record)
                                     .arg(fields_[field].name));
    }
    return *block;
}

void DbfTable::SetMemoBlock(char* record, int field, std::uint32_t block) const {
    const Field& f = fields_[field];
    char* p = record + f.offset;
    if (f.length == 4) {
        PutLe32(p, block);
        return;
    }
    std::memset(p, ' ', static_cast<std::size_t>(f.length));
    if (block == 0) return;
    const QByteArray digits = QByteArray::number(block).rightJustified(f.length, ' ');
    std::memcpy(p, digits.constData(), static_cast<std::size_t>(f.length));
}

QVariant DbfTable::Blank(int field) const {
    const Field& f = fields_[field];
    switch (f.type) {
        case 'N':
        case 'F':
            return 0.0;
        case 'D':
            return QDate();
        case 'L':
            return false;
        case 'M':
            return QString();
        default:
            return QString(f.length, QLatin1Char(' '));
    }
}

QDate DbfTable::ReadDate(std::uint32_t record, int field) const {
    if (!HasField(field)) return QDate();
    const QDate date = ReadDateUnchecked(record, field);
    CheckNotCut();
    return date;
}

QDate DbfTable::ReadDateUnchecked(std::uint32_t record, int field) const {
    const Field& f = fields_[field];
    const char* p = RecordBytes(record) + f.offset;
    // Eight digits, YYYYMMDD; blanks or anything else: the empty date.
    int ymd = 0;
    for (int i = 0; i < std::min(f.length, 8); ++i) {
        if (p[i] < '0' || p[i] > '9') return QDate();
        ymd = ymd * 10 + (p[i] - '0');
    }
    if (ymd == 0) return QDate();
    // Checked and counted here rather than through the calendar QDate(y, m, d)
    // asks: walks over many records read a date from each.
    const int year = ymd / 10000;
    const int month = ymd / 100 % 100;
    const int day = ymd % 100;
    static constexpr int kDaysIn[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) return QDate();
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kDaysIn[month - 1] + (month == 2 && leap ? 1 : 0)) return QDate();
    // The day number of the Gregorian calendar, as QDate counts them.
    const int a = (14 - month) / 12;
    const qint64 y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    return QDate::fromJulianDay(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 -
                                32045);
}

bool DbfTable::ReadLogical(std::uint32_t record, int field) const {
    if (!HasField(field)) return false;
    const char p = *(RecordBytes(record) + fields_[field].offset);
    CheckNotCut();
    return p == 'T' || p == 't' || p == 'Y' || p == 'y';
}

QVariant DbfTable::Read(std::uint32_t record, int field) const {
    if (!HasField(field)) return {};
    QVariant value = ReadUnchecked(record, field);
    CheckNotCut();
    return value;
}

QVariant DbfTable::ReadUnchecked(std::uint32_t record, int field) const {
    const Field& f = fields_[field];
    const char* p = RecordBytes(record) + f.offset;
    switch (f.type) {
        case 'N':
        case 'F': {
            QByteArray text = QByteArray(p, f.length).trimmed();
            text.replace(',', '.');
            bool ok = false;
            const double value = text.toDouble(&ok);
            return ok ? value : 0.0;
        }
        case 'D':
            return ReadDateUnchecked(record, field);
        case 'L': {
            const char c = *p;
            return c == 'T' || c == 't' || c == 'Y' || c == 'y';
        }
        case 'M': {
            const auto pending = pendingMemos_.find({record, field});
            if (pending != pendingMemos_.end()) return DecodeText(pending->second);
            // Zeros read from a lost page are a pointer too: asked before it is followed.
            const std::uint32_t block = MemoBlock(record, field);
            CheckNotCut();
            if (!memo_) {
                if (block == 0) return QString();
                RaiseTableDamage(path(), QStringLiteral("memo file cannot be read"));
            }
            return DecodeText(memo_->Read(block));
        }
        default:
            return DecodeText(p, static_cast<std::size_t>(f.length));
    }
}

QString DbfTable::TryReadMemo(std::uint32_t record, int field, QByteArray* text) const {
    text->clear();
    const std::optional<std::uint32_t> block = ReadMemoBlock(record, field);
    if (!block) return QStringLiteral("memo pointer is not a number");
    if (*block == 0) return {};
    if (!memo_) return QStringLiteral("memo file cannot be read");
    return memo_->TryRead(*block, text);
}

std::optional<QVariant> DbfTable::ReadIfReadable(std::uint32_t record, int field) const {
    if (!HasField(field)) return QVariant();
    if (fields_[field].type != 'M' || pendingMemos_.count({record, field}) > 0)
        return Read(record, field);
    QByteArray text;
    const bool readable = TryReadMemo(record, field, &text).isEmpty();
    CheckNotCut();
    if (!readable) return std::nullopt;
    return DecodeText(text);
}

void DbfTable::Write(std::uint32_t record, int field, const QVariant& value) {
    if (record < 1 || record > count_) return;
    const Field& f = fields_[field];
    if (f.type == 'M') {
        pendingMemos_[{record, field}] = EncodeText(value.toString());
        MutableRecord(record);
        CheckNotCut();
        return;
    }
    PutFieldValue(f, value, MutableRecord(record));
    CheckNotCut();  // the record's committed bytes were read for a roll-back
}

QByteArray DbfTable::ReadBytes(std::uint32_t record, int field) const {
    if (!HasField(field)) return {};
    const Field& f = fields_[field];
    if (f.type != 'M') {
        QByteArray bytes(RecordBytes(record) + f.offset, f.length);
        CheckNotCut();
        return bytes;
    }
    const auto pending = pendingMemos_.find({record, field});
    if (pending != pendingMemos_.end()) return pending->second;
    // Zeros read from a lost page are a pointer too: asked before it is followed.
    const std::uint32_t block = MemoBlock(record, field);
    CheckNotCut();
    if (block == 0) return {};
    if (!memo_) RaiseTableDamage(path(), QStringLiteral("memo file cannot be read"));
    return memo_->Read(block);
}

void DbfTable::WriteBytes(std::uint32_t record, int field, const QByteArray& bytes) {
    if (record < 1 || record > count_) return;
    const Field& f = fields_[field];
    if (f.type == 'M') {
        pendingMemos_[{record, field}] = bytes;
        MutableRecord(record);
        CheckNotCut();
        return;
    }
    const QByteArray fitted = bytes.leftJustified(f.length, ' ', true);
    std::memcpy(MutableRecord(record) + f.offset, fitted.constData(),
                static_cast<std::size_t>(f.length));
    CheckNotCut();
}

void DbfTable::AppendBlank() {
    // The first append to mapped records moves them out of the file.
    data_.Resize(data_.size() + static_cast<std::size_t>(recordLength_));
    CheckNotCut();
    std::memset(data_.data() + data_.size() - recordLength_, ' ',
                static_cast<std::size_t>(recordLength_));
    ++count_;
    NewGeneration();
    dirty_.push_back(true);
    deleted_.push_back(false);
    anyDirty_ = true;
    char* record = data_.data() + std::size_t{count_ - 1} * recordLength_;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i].type == 'M' && fields_[i].length == 4)
            SetMemoBlock(record, static_cast<int>(i), 0);
    }
}

void DbfTable::AppendRecord(const char* bytes) {
    AppendBlank();
    char* record = data_.data() + std::size_t{count_ - 1} * recordLength_;
    // The deletion mark and the memo pointers stay those of a blank record:
    // an image never carries a memo of its own.
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const Field& f = fields_[i];
        if (f.type != 'M') std::memcpy(record + f.offset, bytes + f.offset, std::size_t(f.length));
    }
}

}  // namespace kesp::store
