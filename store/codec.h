// Windows-1252 text: the one place where stored bytes become QString and back.
//
// Every byte round-trips: the five bytes Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) decode to the control characters of the same number,
// so memo soft breaks (0x8D 0x0A) come back byte for byte. A character the code
// page cannot hold is encoded as "?".
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

namespace kesp::store {

QString DecodeText(const char* bytes, std::size_t length);
inline QString DecodeText(const QByteArray& bytes) {
    return DecodeText(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
QByteArray EncodeText(const QString& text);
// The bytes of EncodeText, at most `capacity` of them, written to `out`
// without a copy in between; returns how many.
std::size_t EncodeTextInto(const QString& text, char* out, std::size_t capacity);

// The characters of `text` the code page can hold; the others go to `refused`
// (a character beyond the basic plane, such as an emoji, whole).
QString StorablePart(const QString& text, QString* refused = nullptr);

// `text` with each character the code page cannot hold replaced by the
// nearest it can: the letter without its accent where the character
// decomposes into one ("ź" → "z", "Ć" → "C"), a small table for letters
// that do not ("Ł" → "L", "đ" → "d", "ı" → "i"); what has no near letter
// (an emoji, a Chinese character) is left out. `replaced` tells whether any
// character was replaced or left out.
QString NearestStorable(const QString& text, bool* replaced = nullptr);

// The byte UPPER gives for a stored byte: decode, upper-case the character,
// encode again. Lets keys on UPPER(field) be computed straight from the record.
unsigned char UpperByte(unsigned char byte);

}  // namespace kesp::store
