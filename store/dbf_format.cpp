#include "store/dbf_format.h"

#include <QDate>
#include <QFileInfo>

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

}  // namespace kesp::store
