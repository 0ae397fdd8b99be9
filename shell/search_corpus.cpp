#include "shell/search_corpus.h"

#include "kernel/public_variables.h"
#include "store/dbf_table.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QFileInfo>
#include <QHash>

#include <emmintrin.h>

#include <algorithm>
#include <cstring>
#include <string_view>

using kesp::store::DbfTable;

namespace {

// Between the plain and the spelled-out fold of one record: typed words never
// hold it, since control characters fold to blanks.
constexpr char kFormSeparator = '\x1e';

std::unique_ptr<DbfTable> OpenToRead(const QString& file) {
    return DbfTable::Open(THE_DATA_PATH + file, DbfTable::Purpose::Inspect);
}

// Where `wanted` occurs in `text` from `from` on, or npos. Sixteen places are
// looked at together for the word's first and last byte, and only where
// both fit are the bytes between compared: several times faster than the C
// library's memmem over long buffers, with the same result.
std::size_t FindBytes(std::string_view text, const QByteArray& wanted, std::size_t from = 0) {
    const auto length = static_cast<std::size_t>(wanted.size());
    if (from > text.size() || text.size() - from < length) return std::string_view::npos;
    const char* const begin = text.data();
    const char* at = begin + from;
    if (length >= 2) {
        const char* const lastStart = begin + text.size() - length;
        const __m128i first = _mm_set1_epi8(wanted[0]);
        const __m128i last = _mm_set1_epi8(wanted[length - 1]);
        for (; at + 15 <= lastStart; at += 16) {
            const __m128i starts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
            const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + length - 1));
            auto fits = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
            for (; fits != 0; fits &= fits - 1) {
                const char* candidate = at + __builtin_ctz(fits);
                if (std::memcmp(candidate + 1, wanted.constData() + 1, length - 2) == 0)
                    return static_cast<std::size_t>(candidate - begin);
            }
        }
    }
    const void* found = ::memmem(at, static_cast<std::size_t>(begin + text.size() - at),
                                 wanted.constData(), length);
    return found ? static_cast<const char*>(found) - begin : std::string_view::npos;
}

bool Holds(std::string_view text, const FoldedWord& word) {
    if (FindBytes(text, word.plain) != std::string_view::npos) return true;
    return word.spelled != word.plain && FindBytes(text, word.spelled) != std::string_view::npos;
}

// Records a part of the copy covers: small enough to read one within a
// step, large enough that the parts cost little beside their text.
constexpr std::uint32_t kPartRecords = 1024;

// A seed lets qHashBits use the processor's hash instructions where there are
// some; any fixed one will do.
constexpr std::size_t kHashSeed = 0x5eed5eed;

// A field's value as a result shows it; nothing for a memo that cannot be read.
std::optional<QString> FieldValue(const DbfTable& table, std::uint32_t record, int column) {
    const std::optional<QVariant> read = table.ReadIfReadable(record, column);
    if (!read) return std::nullopt;
    return ShownFieldValue(*read);
}

// The records' bytes as the table holds them (their deletion marks and memo
// pointers included).
std::uint64_t RecordHash(const DbfTable& table, std::uint32_t first, std::uint32_t count) {
    const std::size_t hash =
        qHashBits(table.RecordBytes(first), std::size_t{count} * table.recordLength(), kHashSeed);
    table.CheckNotCut();
    return hash;
}

}  // namespace

KindCorpus::KindCorpus(const RecordKind& kind) : kind_(&kind) {
    // The fields of the name, then those searched, then the dates, each once;
    // dates are searched as typed, the fields of the name only when searched.
    QStringList fields = NameFields(kind);
    for (const QString& field : kind.searchFields)
        if (!fields.contains(field, Qt::CaseInsensitive)) fields.append(field);
    for (const KindDate& date : kind.dates)
        if (!fields.contains(date.field, Qt::CaseInsensitive)) fields.append(date.field);
    for (const QString& field : fields) {
        const bool isDate =
            std::any_of(kind.dates.begin(), kind.dates.end(),
                        [&field](const KindDate& date) { return date.field == field; });
        shown_.push_back(
            {field, {}, isDate || kind.searchFields.contains(field, Qt::CaseInsensitive)});
    }
}

std::vector<KindCorpus::FileState> KindCorpus::CurrentFiles() const {
    QStringList files{kind_->table};
    if (!kind_->memoFile.isEmpty()) files.append(kind_->memoFile);
    if (kind_->userCaptions) files.append(kind_->userCaptions->table);
    std::vector<FileState> states;
    for (const QString& file : files) {
        const QFileInfo info(THE_DATA_PATH + file);
        states.push_back({info.filePath(), info.exists() ? info.size() : -1,
                          info.exists() ? info.lastModified() : QDateTime()});
    }
    return states;
}

std::vector<int> KindCorpus::Columns(const DbfTable& table) const {
    std::vector<int> columns;
    for (const ShownField& field : shown_)
        columns.push_back(table.FieldIndex(field.name));
    return columns;
}

bool KindCorpus::Settled(const std::vector<FileState>& files) const {
    // A file changed shortly before it was read may have changed again
    // within the same tick of the file system's clock, which its time of
    // change cannot tell: such a file is compared again until it is older
    // than a tick. A time of change on a whole second may come from a clock
    // that ticks in seconds (two of them on FAT); one between seconds comes
    // from a finer clock (ten milliseconds on exFAT, far less elsewhere).
    return std::all_of(files.begin(), files.end(), [this](const FileState& file) {
        const bool wholeSecond = file.modified.time().msec() == 0;
        return file.modified < readSince_.addMSecs(wholeSecond ? -2000 : -100);
    });
}

bool KindCorpus::UpToDate() const {
    return complete_ && dateFormat_ == DATEFORMAT() && files_ == CurrentFiles() && Settled(files_);
}

void KindCorpus::StartPass() {
    const std::vector<FileState> now = CurrentFiles();
    const auto unchanged = [this, &now](std::size_t file) {
        return file < files_.size() && files_[file] == now[file] && Settled({files_[file]});
    };
    if (!kind_->memoFile.isEmpty() && !unchanged(1)) memosMayDiffer_ = true;
    const bool newCaptions = kind_->userCaptions && !unchanged(now.size() - 1);
    files_ = now;
    readSince_ = QDateTime::currentDateTime();
    passing_ = true;
    complete_ = false;
    nextPart_ = 0;
    if (!newCaptions && dateFormat_ == DATEFORMAT()) return;
    // The names of the fields and the dates are part of every record's text.
    parts_.clear();
    dateFormat_ = DATEFORMAT();
    ReadCaptions();
}

void KindCorpus::ReadCaptions() {
    userCaptions_ = {};
    for (ShownField& field : shown_)
        field.caption.clear();
    if (!kind_->userCaptions) return;
    const UserCaptions& named = *kind_->userCaptions;
    const std::unique_ptr<DbfTable> captions = OpenToRead(named.table);
    if (!captions || captions->RecordCount() == 0) return;
    for (const QString& caption : named.captionFields)
        userCaptions_.append(captions->Read(1, captions->FieldIndex(caption)).toString().trimmed());
    for (ShownField& field : shown_) {
        const qsizetype n = named.fields.indexOf(field.name);
        if (n >= 0) field.caption = userCaptions_.value(n);
    }
}

KindCorpus::Reading KindCorpus::ReadOn(const QDeadlineTimer& deadline) {
    if (UpToDate()) return Reading::Done;
    if (!passing_ || files_ != CurrentFiles() || dateFormat_ != DATEFORMAT()) StartPass();
    const std::unique_ptr<DbfTable> table = OpenToRead(kind_->table);
    if (!table) return Reading::TableInUse;
    const std::uint32_t count = table->RecordCount();
    const std::size_t partCount = (std::size_t{count} + kPartRecords - 1) / kPartRecords;
    // At least one part a step, however short the time left.
    for (bool begun = false; nextPart_ < partCount; ++nextPart_, begun = true) {
        if (begun && deadline.hasExpired()) return Reading::MoreToRead;
        if (nextPart_ == parts_.size()) parts_.emplace_back();
        Part& part = parts_[nextPart_];
        const auto first = static_cast<std::uint32_t>(nextPart_ * kPartRecords + 1);
        const std::uint32_t covered = std::min(kPartRecords, count - first + 1);
        const std::uint64_t recordHash = RecordHash(*table, first, covered);
        if (part.first == first && part.count == covered && part.recordHash == recordHash &&
            (!memosMayDiffer_ || part.memoHash == MemoHash(*table, part)))
            continue;
        part.first = first;
        part.count = covered;
        part.recordHash = recordHash;
        ReadPart(*table, part);
    }
    parts_.resize(partCount);
    passing_ = false;
    complete_ = true;
    memosMayDiffer_ = false;
    return Reading::Done;
}

void KindCorpus::ReadPart(const DbfTable& table, Part& part) const {
    const std::vector<int> columns = Columns(table);
    part.records.clear();
    part.starts.clear();
    part.folded.clear();
    part.unreadableMemos = 0;
    QString searched;
    const std::uint32_t end = part.first + part.count;
    for (std::uint32_t record = kesp::store::NextLiveRecord(table, part.first - 1);
         record != 0 && record < end; record = kesp::store::NextLiveRecord(table, record)) {
        searched.clear();
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            if (!shown_[i].searched) continue;
            const std::optional<QString> value = FieldValue(table, record, columns[i]);
            if (!value) ++part.unreadableMemos;
            if (!value || value->isEmpty()) continue;
            if (!shown_[i].caption.isEmpty()) searched += shown_[i].caption + QStringLiteral(": ");
            searched += *value + QLatin1Char(' ');
        }
        part.records.push_back(record);
        part.starts.push_back(static_cast<std::uint32_t>(part.folded.size()));
        if (AppendFoldedPlain(part.folded, searched)) {
            part.folded += kFormSeparator;
            AppendFoldedSpelled(part.folded, searched);
        }
        part.folded += '\n';
    }
    part.memoHash = MemoHash(table, part);
    part.records.shrink_to_fit();
    part.starts.shrink_to_fit();
    part.folded.shrink_to_fit();
}

std::uint64_t KindCorpus::MemoHash(const DbfTable& table, const Part& part) const {
    if (!table.hasMemo()) return 0;
    std::vector<int> memos;
    for (const int column : Columns(table))
        if (table.HasField(column) && table.fields()[column].type == 'M') memos.push_back(column);
    std::size_t hash = kHashSeed;
    const std::uint32_t end = part.first + part.count;
    for (std::uint32_t record = part.first; record < end; ++record) {
        for (const int column : memos) {
            const std::optional<QString> value = FieldValue(table, record, column);
            hash = qHashMulti(hash, record, value.has_value(), value.value_or(QString()));
        }
    }
    return hash;
}

bool KindCorpus::FindOn(const std::vector<FoldedWord>& words, int keep, Finding& finding,
                        const QDeadlineTimer& deadline) const {
    if (words.empty()) return true;
    // The longest word finds the candidates with one search through each
    // part; the others are looked for in each candidate alone.
    const auto anchor = std::max_element(
        words.begin(), words.end(),
        [](const FoldedWord& a, const FoldedWord& b) { return a.plain.size() < b.plain.size(); });
    QList<QByteArray> forms{anchor->plain};
    if (anchor->spelled != anchor->plain) forms.append(anchor->spelled);
    Matches& matches = finding.matches;
    std::vector<std::size_t> candidates;
    while (finding.nextPart < parts_.size()) {
        const Part& part = parts_[finding.nextPart++];
        const std::string_view all(part.folded);
        candidates.clear();
        for (const QByteArray& form : forms) {
            for (std::size_t at = FindBytes(all, form); at != std::string_view::npos;) {
                const auto next =
                    std::upper_bound(part.starts.begin(), part.starts.end(), std::uint32_t(at));
                candidates.push_back(static_cast<std::size_t>(next - part.starts.begin()) - 1);
                // On from the next record: one hit per record is enough.
                at = next == part.starts.end() ? std::string_view::npos
                                               : FindBytes(all, form, *next);
            }
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        for (const std::size_t entry : candidates) {
            const std::size_t start = part.starts[entry];
            const std::size_t end =
                entry + 1 < part.starts.size() ? part.starts[entry + 1] : part.folded.size();
            const std::string_view text = all.substr(start, end - start);
            if (!std::all_of(words.begin(), words.end(),
                             [text](const FoldedWord& word) { return Holds(text, word); }))
                continue;
            ++matches.total;
            if (keep < 0 || static_cast<int>(matches.records.size()) < keep)
                matches.records.push_back(part.records[entry]);
        }
        if (deadline.hasExpired()) break;
    }
    return finding.nextPart >= parts_.size();
}

KindCorpus::Matches KindCorpus::Find(const std::vector<FoldedWord>& words, int keep) const {
    Finding finding;
    FindOn(words, keep, finding, QDeadlineTimer(QDeadlineTimer::Forever));
    return finding.matches;
}

std::vector<std::optional<KindCorpus::Shown>> KindCorpus::Show(
    const std::vector<std::uint32_t>& records, const std::vector<FoldedWord>& words) const {
    std::vector<std::optional<Shown>> shown(records.size());
    const std::unique_ptr<DbfTable> table = OpenToRead(kind_->table);
    if (!table) return shown;
    const std::vector<int> columns = Columns(*table);
    for (std::size_t n = 0; n < records.size(); ++n) {
        if (records[n] < 1 || records[n] > table->RecordCount()) continue;
        QStringList values;
        for (const int column : columns)
            values.append(FieldValue(*table, records[n], column).value_or(QString()));
        shown[n] = Shown{Name(values), MatchingText(values, words)};
    }
    return shown;
}

QString KindCorpus::Name(const QStringList& values) const {
    return ComposeRecordName(
        *kind_,
        [this, &values](const QString& field) {
            for (std::size_t i = 0; i < shown_.size(); ++i)
                if (shown_[i].name == field) return values.value(static_cast<int>(i));
            return QString();
        },
        userCaptions_);
}

QString KindCorpus::MatchingText(const QStringList& values,
                                 const std::vector<FoldedWord>& words) const {
    QStringList shown;
    QString best;
    int bestWords = 0;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        const QString& value = values.value(static_cast<int>(i));
        if (!shown_[i].searched || value.isEmpty()) continue;
        const QString text = shown_[i].caption.isEmpty() ? value : shown_[i].caption + ": " + value;
        const QByteArray plain = FoldPlain(text);
        const QByteArray spelled = FoldSpelled(text);
        const std::string_view forms[] = {std::string_view(plain.constData(), plain.size()),
                                          std::string_view(spelled.constData(), spelled.size())};
        const int held = static_cast<int>(
            std::count_if(words.begin(), words.end(), [&forms](const FoldedWord& word) {
                return Holds(forms[0], word) || Holds(forms[1], word);
            }));
        // The field holding the most of the words; of equals, the first.
        if (held > bestWords) {
            bestWords = held;
            best = text;
        }
        shown.append(text);
    }
    if (bestWords > 0) return best.simplified();
    return shown.join(QStringLiteral(" · ")).simplified();
}

std::size_t KindCorpus::size() const {
    std::size_t records = 0;
    for (const Part& part : parts_)
        records += part.records.size();
    return records;
}

int KindCorpus::unreadableMemos() const {
    int unreadable = 0;
    for (const Part& part : parts_)
        unreadable += part.unreadableMemos;
    return unreadable;
}

std::size_t KindCorpus::bytesKept() const {
    std::size_t bytes = sizeof(Part) * parts_.capacity();
    for (const Part& part : parts_)
        bytes += part.folded.capacity() +
                 (part.records.capacity() + part.starts.capacity()) * sizeof(std::uint32_t);
    return bytes;
}
