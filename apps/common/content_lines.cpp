#include "apps/common/content_lines.h"

namespace {
constexpr int kLineOctets = 75;
}

QByteArray FoldedContentLine(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    int octetsOnLine = 0;
    for (qsizetype at = 0; at < utf8.size();) {
        qsizetype length = 1;
        while (at + length < utf8.size() && (static_cast<uchar>(utf8[at + length]) & 0xC0) == 0x80)
            ++length;
        if (octetsOnLine + length > kLineOctets) {
            out += "\r\n ";
            octetsOnLine = 1;
        }
        out += utf8.mid(at, length);
        octetsOnLine += int(length);
        at += length;
    }
    return out + "\r\n";
}
