#include "store/dbf_format.h"

#include "store/codec.h"

#include <QDate>
#include <QFileInfo>

#include <cmath>
#include <cstring>

namespace kesp::store {

QStringList MemoCandidates(const QString& tablePath) {
    const QFileInfo info(tablePath);
    const QString base =
        info.path() + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('.');
    const bool upper = info.suffix() == info.suffix().toUpper() && !info.suffix().isEmpty();
    QStringList names;
    for (const char* ext : {"dbt", "fpt"}) {
        const QString e = QString::fromLatin1(ext);
        names << base + (upper ? e.toUpper() : e) << base + (upper ? e : e.toUpper());
    }
    return names;
}

QByteArray TableHeader(std::uint8_t version, const std::vector<Field>& fields, std::uint32_t count,
                       int recordLength) {
    const int headerLength =
        kDescriptorSize + kDescriptorSize * static_cast<int>(fields.size()) + 1;
    QByteArray header(headerLength, '\0');
    char* h = header.data();
    const QDate today = QDate::currentDate();
    h[0] = static_cast<char>(version);
    h[1] = static_cast<char>(today.year() - 1900);
    h[2] = static_cast<char>(today.month());
    h[3] = static_cast<char>(today.day());
    PutLe32(h + 4, count);
    PutLe16(h + 8, static_cast<std::uint16_t>(headerLength));
    PutLe16(h + 10, static_cast<std::uint16_t>(recordLength));
    h[29] = kCodePage1252;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        char* d = h + kDescriptorSize * (i + 1);
        const QByteArray name = fields[i].name.toLatin1().left(11);
        std::memcpy(d, name.constData(), static_cast<std::size_t>(name.size()));
        d[11] = fields[i].type;
        PutLe32(d + 12, static_cast<std::uint32_t>(fields[i].offset));
        d[16] = static_cast<char>(fields[i].length & 0xFF);
        d[17] =
            static_cast<char>(fields[i].type == 'C' ? fields[i].length >> 8 : fields[i].decimals);
    }
    h[headerLength - 1] = kTerminator;
    return header;
}

void PutFieldValue(const Field& field, const QVariant& value, char* record) {
    char* p = record + field.offset;
    QByteArray bytes;
    switch (field.type) {
        case 'N':
        case 'F': {
            double number = value.toDouble();
            if (!std::isfinite(number)) number = 0;
            // A whole number without decimals (a record number, a count) the
            // quick way; the same digits.
            constexpr double kWholeBelow = 1e15;
            if (field.decimals == 0 && number == std::trunc(number) &&
                std::abs(number) < kWholeBelow)
                bytes = QByteArray::number(static_cast<qint64>(number));
            else
                bytes = QByteArray::number(number, 'f', field.decimals);
            if (bytes == "-0" ||
                (bytes.startsWith("-0.") && bytes.count('0') == bytes.size() - 2)) {
                bytes.remove(0, 1);
            }
            bytes = bytes.size() > field.length ? QByteArray(field.length, '*')
                                                : bytes.rightJustified(field.length, ' ');
            break;
        }
        case 'D':
            if (field.length == 8) {
                std::memset(p, ' ', 8);
                PutDateDigits(value.toDate(), p);
                return;
            }
            bytes = DateBytes(value.toDate());
            break;
        case 'L':
            bytes = value.toBool() ? "T" : "F";
            break;
        default: {  // text, the common case: straight into the record, without copies
            const std::size_t length = static_cast<std::size_t>(field.length);
            const std::size_t used = EncodeTextInto(value.toString(), p, length);
            std::memset(p + used, ' ', length - used);
            return;
        }
    }
    // Odd widths in other writers' descriptors (a D of 6, an L of 8): cut or pad.
    bytes = bytes.leftJustified(field.length, ' ', true);
    std::memcpy(p, bytes.constData(), static_cast<std::size_t>(field.length));
}

}  // namespace kesp::store
