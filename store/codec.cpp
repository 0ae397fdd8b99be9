#include "store/codec.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kesp::store {
namespace {

// Bytes 0x80-0x9F; the undefined ones map to the control character of the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Decode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

constexpr char kNotEncodable = 0;

char EncodeOrZero(char16_t unit) {
    if (unit == 0) return kNotEncodable;
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == unit) return static_cast<char>(0x80 + i);
    }
    return kNotEncodable;
}

char Encode(char16_t unit) {
    if (unit == 0) return 0;
    const char byte = EncodeOrZero(unit);
    return byte == kNotEncodable ? '?' : byte;
}

struct UpperTable {
    std::array<unsigned char, 256> bytes{};
    UpperTable() {
        for (int b = 0; b < 256; ++b) {
            const QChar upper = QChar(Decode(static_cast<unsigned char>(b))).toUpper();
            bytes[b] = static_cast<unsigned char>(Encode(upper.unicode()));
        }
    }
};

}  // namespace

QString DecodeText(const char* bytes, std::size_t length) {
    QString text(static_cast<qsizetype>(length), Qt::Uninitialized);
    QChar* out = text.data();
    for (std::size_t i = 0; i < length; ++i) {
        out[i] = QChar(Decode(static_cast<unsigned char>(bytes[i])));
    }
    return text;
}

QByteArray EncodeText(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(qsizetype(EncodeTextInto(text, bytes.data(), std::size_t(bytes.size()))));
    return bytes;
}

std::size_t EncodeTextInto(const QString& text, char* out, std::size_t capacity) {
    std::size_t written = 0;
    for (qsizetype i = 0; i < text.size() && written < capacity; ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character outside the code page: one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        out[written++] = Encode(c.unicode());
    }
    return written;
}

QString StorablePart(const QString& text, QString* refused) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (refused) *refused += text.mid(i, 2);
            ++i;
        } else if (c.unicode() == 0 || EncodeOrZero(c.unicode()) != kNotEncodable) {
            kept += c;
        } else if (refused) {
            *refused += c;
        }
    }
    return kept;
}

namespace {

// Letters that do not decompose into a letter the code page has.
QString NearLetterOf(char32_t code) {
    static const std::array<std::pair<char32_t, const char*>, 24> kNear{{
        {U'Ł', "L"}, {U'ł', "l"},  {U'Đ', "D"},  {U'đ', "d"},  {U'Ħ', "H"},  {U'ħ', "h"},
        {U'ı', "i"}, {U'Ŀ', "L"},  {U'ŀ', "l"},  {U'Ŋ', "N"},  {U'ŋ', "n"},  {U'Ŧ', "T"},
        {U'ŧ', "t"}, {U'ĸ', "k"},  {U'ſ', "s"},  {U'Ə', "E"},  {U'ə', "e"},  {U'Ɛ', "E"},
        {U'ɛ', "e"}, {U'Ĳ', "IJ"}, {U'ĳ', "ij"}, {U'ŉ', "'n"}, {U'Ǆ', "DZ"}, {U'ǆ', "dz"},
    }};
    for (const auto& [letter, near] : kNear)
        if (letter == code) return QString::fromLatin1(near);
    return {};
}

}  // namespace

QString NearestStorable(const QString& text, bool* replaced) {
    // Most texts the code page holds whole: they are returned as they are.
    const bool whole = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() == 0 || EncodeOrZero(c.unicode()) != kNotEncodable;
    });
    if (whole) {
        if (replaced) *replaced = false;
        return text;
    }
    QString out;
    out.reserve(text.size());
    bool changed = false;
    for (const char32_t code : text.toUcs4()) {
        const QString character = QString::fromUcs4(&code, 1);
        if (code < 0x10000 &&
            (code == 0 || EncodeOrZero(static_cast<char16_t>(code)) != kNotEncodable)) {
            out += character;
            continue;
        }
        changed = true;
        QString near = NearLetterOf(code);
        if (near.isEmpty()) {
            // The base letter of a decomposition, without its combining marks.
            for (const QChar c : character.normalized(QString::NormalizationForm_KD))
                if (!c.isMark() && EncodeOrZero(c.unicode()) != kNotEncodable) near += c;
        }
        out += near;
    }
    if (replaced) *replaced = changed;
    return out;
}

unsigned char UpperByte(unsigned char byte) {
    static const UpperTable table;
    return table.bytes[byte];
}

}  // namespace kesp::store
