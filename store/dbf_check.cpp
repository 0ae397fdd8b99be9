// Looking for damage without raising a fault: what the maintenance utility reports.
#include "store/dbf_format.h"
#include "store/dbf_table.h"
#include "store/file_names.h"

namespace kesp::store {

bool IsBadDate(const char* bytes, int length) {
    const QByteArray text(bytes, std::min(length, 8));
    if (text.trimmed().isEmpty() || text == "00000000") return false;
    bool ok = false;
    const int ymd = text.toInt(&ok);
    return !ok || !QDate(ymd / 10000, ymd / 100 % 100, ymd % 100).isValid();
}

namespace {

// The field types the program and the usual readers of its tables know.
bool IsKnownType(char type, std::uint8_t version) {
    if (QByteArrayView("CNFDLM").contains(type)) return true;
    const bool visualFoxPro = version == 0x30 || version == 0x31 || version == 0x32;
    return visualFoxPro && QByteArrayView("IBTYGVWQ0").contains(type);
}

}  // namespace

std::vector<QString> DbfTable::Check() const {
    return Problems(true);
}

std::vector<QString> DbfTable::CheckStructure() const {
    return Problems(false);
}

std::vector<QString> DbfTable::Problems(bool values) const {
    std::vector<QString> problems;
    for (const Field& f : fields_) {
        if (values && !IsKnownType(f.type, version_)) {
            problems.push_back(
                QStringLiteral("%1: field %2 has the unknown type %3, other programs cannot "
                               "read the table")
                    .arg(path(), f.name, QString(QLatin1Char(f.type))));
        }
    }
    const std::uint64_t size = file_.Size();
    const std::uint64_t whole = (size - headerLength_) / recordLength_;
    if (headerCount_ > whole) {
        problems.push_back(QStringLiteral("%1: the header counts %2 records, the file holds %3")
                               .arg(path())
                               .arg(headerCount_)
                               .arg(whole));
    }
    const std::uint64_t end = headerLength_ + std::uint64_t{count_} * recordLength_;
    if (size > end) {
        char mark = 0;
        file_.ReadAt(end, &mark, 1);
        const std::uint64_t extra = size - end - (mark == kEndOfFile ? 1 : 0);
        if (extra > 0) {
            problems.push_back(
                QStringLiteral("%1: %2 bytes after the last counted record (an unfinished append)")
                    .arg(path())
                    .arg(extra));
        }
    }
    if (FileExists(PackedName(path()))) {
        problems.push_back(
            QStringLiteral("%1: a pack was cut off; opening the table finishes it").arg(path()));
    }
    for (std::uint32_t r = 1; r <= count_; ++r) {
        const char* record = RecordBytes(r);
        if (r == firstUnmarked_) {
            problems.push_back(QStringLiteral("%1: record %2 begins an append stopped before its "
                                              "last byte; opening the table finishes it")
                                   .arg(path())
                                   .arg(r));
        } else if (record[0] != ' ' && record[0] != '*') {
            problems.push_back(
                QStringLiteral("%1: record %2 has a bad deletion mark").arg(path()).arg(r));
        }
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            const Field& f = fields_[i];
            const char* p = record + f.offset;
            if (f.type == 'D') {
                if (values && IsBadDate(p, f.length)) {
                    problems.push_back(QStringLiteral("%1: record %2, field %3: bad date")
                                           .arg(path())
                                           .arg(r)
                                           .arg(f.name));
                }
            } else if (f.type == 'N' && values) {
                QByteArray text = QByteArray(p, f.length).trimmed();
                bool ok = text.isEmpty() || text.startsWith('*');
                if (!ok) text.replace(',', '.').toDouble(&ok);
                if (!ok) {
                    problems.push_back(QStringLiteral("%1: record %2, field %3: bad number")
                                           .arg(path())
                                           .arg(r)
                                           .arg(f.name));
                }
            } else if (f.type == 'M') {
                const std::optional<std::uint32_t> block = ReadMemoBlock(r, static_cast<int>(i));
                const QString damage =
                    block ? memo_->Check(*block) : QStringLiteral("memo pointer is not a number");
                if (!damage.isEmpty()) {
                    problems.push_back(QStringLiteral("%1: record %2, field %3: %4")
                                           .arg(memo_->path())
                                           .arg(r)
                                           .arg(f.name, damage));
                }
            }
        }
    }
    CheckNotCut();  // what was read from pages lost under the records are zeros
    return problems;
}

}  // namespace kesp::store
