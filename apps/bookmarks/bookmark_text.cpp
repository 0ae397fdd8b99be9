#include "apps/bookmarks/bookmark_text.h"

#include "store/codec.h"

#include <QRegularExpression>

namespace {

// The length of the UTF-8 sequence at `at` (overlong forms and surrogates
// excluded); 0 when the byte begins none.
qsizetype Utf8SequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    const qsizetype length = lead < 0x80                    ? 1
                             : lead >= 0xC2 && lead <= 0xDF ? 2
                             : lead >= 0xE0 && lead <= 0xEF ? 3
                             : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                            : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    for (qsizetype k = 1; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    const unsigned char second = length > 1 ? byte(at + 1) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

QString Utf8OrWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    qsizetype run = 0;  // where the current run of valid UTF-8 began
    qsizetype at = 0;
    while (at < bytes.size()) {
        const qsizetype length = Utf8SequenceAt(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + run, at - run);
        text += kesp::store::DecodeText(bytes.constData() + at, 1);
        run = ++at;
    }
    text += QString::fromUtf8(bytes.constData() + run, at - run);
    return text;
}

bool DeclaresSingleByteCharset(const QByteArray& bytes) {
    static const QRegularExpression declared(
        QStringLiteral("charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:-]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = declared.match(QString::fromLatin1(bytes.left(4096)));
    if (!match.hasMatch()) return false;
    static const QStringList singleByte = {"iso-8859-1",  "iso8859-1",    "latin1", "latin-1", "l1",
                                           "iso-8859-15", "windows-1252", "cp1252", "us-ascii"};
    return singleByte.contains(match.captured(1).toLower());
}

}  // namespace

std::optional<QString> BookmarkFileText(const QByteArray& bytes) {
    if (bytes.contains('\0')) return std::nullopt;
    const QString text = DeclaresSingleByteCharset(bytes) ? kesp::store::DecodeText(bytes)
                                                          : Utf8OrWindows1252(bytes);
    if (!text.contains(QStringLiteral("<DL"), Qt::CaseInsensitive)) return std::nullopt;
    return text;
}
