#include "shell/search_corpus.h"

#include "kernel/public_variables.h"
#include "store/dbf_table.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string_view>

using kesp::store::DbfTable;

namespace {

constexpr char kValueSeparator = '\x1f';
// Between the plain and the spelled-out fold of one record: typed words never
// hold it, since control characters fold to blanks.
constexpr char kFormSeparator = '\x1e';

std::unique_ptr<DbfTable> OpenToRead(const QString& file) {
    return DbfTable::Open(THE_DATA_PATH + file, DbfTable::Purpose::Inspect);
}

// Where `wanted` occurs in `text` from `from` on, or npos: the C library's
// search, several times faster than a character loop over long buffers.
std::size_t FindBytes(std::string_view text, const QByteArray& wanted, std::size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    const void* at = ::memmem(text.data() + from, text.size() - from, wanted.constData(),
                              static_cast<std::size_t>(wanted.size()));
    return at ? static_cast<const char*>(at) - text.data() : std::string_view::npos;
}

bool Holds(std::string_view text, const FoldedWord& word) {
    if (FindBytes(text, word.plain) != std::string_view::npos) return true;
    return word.spelled != word.plain && FindBytes(text, word.spelled) != std::string_view::npos;
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

bool KindCorpus::UpToDate() const {
    if (!complete_ || dateFormat_ != DATEFORMAT() || files_ != CurrentFiles()) return false;
    // A file changed shortly before it was read may have changed again
    // within the same tick of the file system's clock, which its time of
    // change cannot tell: such a copy is read again until the file is older.
    const QDateTime settled = readSince_.addSecs(-2);
    return std::all_of(files_.begin(), files_.end(),
                       [&settled](const FileState& file) { return file.modified < settled; });
}

void KindCorpus::StartReading() {
    readSince_ = QDateTime::currentDateTime();
    files_ = CurrentFiles();
    dateFormat_ = DATEFORMAT();
    reading_ = true;
    complete_ = false;
    next_ = 1;
    unreadableMemos_ = 0;
    records_.clear();
    shownText_.clear();
    shownStart_.clear();
    folded_.clear();
    foldedStart_.clear();
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
    if (!reading_ || complete_ || files_ != CurrentFiles() || dateFormat_ != DATEFORMAT())
        StartReading();
    const std::unique_ptr<DbfTable> table = OpenToRead(kind_->table);
    if (!table) return Reading::TableInUse;
    std::vector<int> columns;
    for (const ShownField& field : shown_)
        columns.push_back(table->FieldIndex(field.name));
    next_ = kesp::store::NextLiveRecord(*table, next_ - 1);
    for (int counted = 0; next_ != 0;
         next_ = kesp::store::NextLiveRecord(*table, next_), ++counted) {
        if (counted % 64 == 63 && deadline.hasExpired()) break;
        QStringList values;
        QString searched;
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            const std::optional<QVariant> read = table->ReadIfReadable(next_, columns[i]);
            if (!read) ++unreadableMemos_;
            const QString value = read ? ShownFieldValue(*read) : QString();
            values.append(value);
            if (!shown_[i].searched || value.isEmpty()) continue;
            if (!shown_[i].caption.isEmpty()) searched += shown_[i].caption + ": ";
            searched += value + QLatin1Char(' ');
        }
        records_.push_back(static_cast<int>(next_));
        shownStart_.push_back(static_cast<std::uint32_t>(shownText_.size()));
        shownText_ += values.join(QLatin1Char(kValueSeparator)).toStdString();
        foldedStart_.push_back(static_cast<std::uint32_t>(folded_.size()));
        const QByteArray plain = FoldPlain(searched);
        const QByteArray spelled = FoldSpelled(searched);
        folded_.append(plain.constData(), plain.size());
        if (spelled != plain) {
            folded_ += kFormSeparator;
            folded_.append(spelled.constData(), spelled.size());
        }
        folded_ += '\n';
    }
    complete_ = next_ == 0;
    reading_ = !complete_;
    return complete_ ? Reading::Done : Reading::MoreToRead;
}

KindCorpus::Matches KindCorpus::Find(const std::vector<FoldedWord>& words, int keep) const {
    Matches matches;
    if (words.empty() || records_.empty()) return matches;
    // The longest word finds the candidates with one search through the whole
    // buffer; the others are looked for in each candidate alone.
    const auto anchor = std::max_element(
        words.begin(), words.end(),
        [](const FoldedWord& a, const FoldedWord& b) { return a.plain.size() < b.plain.size(); });
    const std::string_view all(folded_);
    std::vector<int> candidates;
    QList<QByteArray> forms{anchor->plain};
    if (anchor->spelled != anchor->plain) forms.append(anchor->spelled);
    for (const QByteArray& form : forms) {
        for (std::size_t at = FindBytes(all, form); at != std::string_view::npos;) {
            const auto next =
                std::upper_bound(foldedStart_.begin(), foldedStart_.end(), std::uint32_t(at));
            candidates.push_back(static_cast<int>(next - foldedStart_.begin()) - 1);
            // On from the next entry: one hit per entry is enough.
            at = next == foldedStart_.end() ? std::string_view::npos : FindBytes(all, form, *next);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    for (const int entry : candidates) {
        const std::size_t start = foldedStart_[entry];
        const std::size_t end =
            std::size_t(entry) + 1 < foldedStart_.size() ? foldedStart_[entry + 1] : folded_.size();
        const std::string_view text = all.substr(start, end - start);
        if (!std::all_of(words.begin(), words.end(),
                         [text](const FoldedWord& word) { return Holds(text, word); }))
            continue;
        ++matches.total;
        if (keep < 0 || static_cast<int>(matches.entries.size()) < keep)
            matches.entries.push_back(entry);
    }
    return matches;
}

QStringList KindCorpus::Values(int entry) const {
    const std::size_t start = shownStart_[entry];
    const std::size_t end =
        std::size_t(entry) + 1 < shownStart_.size() ? shownStart_[entry + 1] : shownText_.size();
    return QString::fromStdString(shownText_.substr(start, end - start))
        .split(QLatin1Char(kValueSeparator));
}

QString KindCorpus::Name(int entry) const {
    const QStringList values = Values(entry);
    return ComposeRecordName(
        *kind_,
        [this, &values](const QString& field) {
            for (std::size_t i = 0; i < shown_.size(); ++i)
                if (shown_[i].name == field) return values.value(static_cast<int>(i));
            return QString();
        },
        userCaptions_);
}

QString KindCorpus::MatchingText(int entry, const std::vector<FoldedWord>& words) const {
    const QStringList values = Values(entry);
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

std::size_t KindCorpus::bytesKept() const {
    return shownText_.size() + folded_.size() +
           (records_.size() + shownStart_.size() + foldedStart_.size()) * sizeof(std::uint32_t);
}
