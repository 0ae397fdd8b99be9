// The byte layout of table files shared by opening, creating, packing and
// checking: little-endian integers, version bytes, the names of a pack's
// files and the header a table is written with.
#pragma once

#include "store/dbf_table.h"
#include "store/table_schema.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <vector>

namespace kesp::store {

constexpr int kDescriptorSize = 32;
constexpr char kTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kCodePage1252 = 0x03;

inline std::uint32_t Le32(const unsigned char* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline void PutLe32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>(v >> (8 * i));
}
inline void PutLe16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v);
    p[1] = static_cast<char>(v >> 8);
}

inline std::optional<MemoKind> KindOfVersion(std::uint8_t version) {
    if (version == 0x83 || version == 0x8B) return MemoKind::Dbt;
    if (version == 0xF5 || version == 0x30 || version == 0x31 || version == 0x32) {
        return MemoKind::Fpt;
    }
    return std::nullopt;
}

inline QString PackingName(const QString& path) {
    return path + QStringLiteral(".packing");
}
inline QString PackedName(const QString& path) {
    return path + QStringLiteral(".pack");
}

// The memo files a table may have: .dbt and .fpt, in the table's letter case first.
QStringList MemoCandidates(const QString& tablePath);

// The fields of a field list as a table holds them (offsets, fixed widths),
// and the version byte of the table (`*version`); a bad list raises the fault
// of an invalid field definition naming `path`.
std::vector<Field> DescribedFields(const QString& path, const std::vector<FieldSpec>& described,
                                   MemoKind kind, std::uint8_t* version);
inline int RecordLengthOf(const std::vector<Field>& fields) {
    return fields.empty() ? 1 : fields.back().offset + fields.back().length;
}

// A date of the years 1 to 9999 as "YYYYMMDD", written to `out` (8 bytes)
// digit by digit, as the locale's formatting costs a calendar computation
// for every date of a table; false, nothing written, for another date.
inline bool PutDateDigits(const QDate& date, char* out) {
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid() || year < 1 || year > 9999) return false;
    const int pairs[] = {year / 100, year % 100, month, day};
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = static_cast<char>('0' + pairs[i] / 10);
        out[2 * i + 1] = static_cast<char>('0' + pairs[i] % 10);
    }
    return true;
}

// A date as a table and its keys hold it: "20270105", blanks for no date (or
// one outside years 1 to 9999).
inline QByteArray DateBytes(const QDate& date) {
    QByteArray bytes(8, ' ');
    PutDateDigits(date, bytes.data());
    return bytes;
}

// Writes `value` into the bytes of field `field` of `record` (a whole record,
// its deletion mark first), as the table stores it: a number right-justified
// with the field's decimals ("*" when it does not fit), a date as DateBytes
// gives it, a logical "T" or "F", a text in Windows-1252 cut or padded with
// blanks to the field's width. Not for a memo field, whose text is no part
// of the record.
void PutFieldValue(const Field& field, const QVariant& value, char* record);

// A dBase III style header for the fields (offsets, lengths, decimals as given),
// dated today, code page Windows-1252, ended by 0x0D.
QByteArray TableHeader(std::uint8_t version, const std::vector<Field>& fields, std::uint32_t count,
                       int recordLength);

}  // namespace kesp::store
