#include "apps/addresses/vcard_format.h"

#include "apps/common/content_lines.h"
#include "store/codec.h"

#include <QStringDecoder>

#include <optional>

namespace {

// ---- Writing ------------------------------------------------------------------

QString EscapedComponent(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < value.size() && value[i + 1] == u'\n') ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

// RFC 6868 for the characters a parameter value cannot hold, quoted when
// it holds a separator.
QString ParameterValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'^') {
            out += QStringLiteral("^^");
        } else if (c == u'"') {
            out += QStringLiteral("^'");
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < value.size() && value[i + 1] == u'\n') ++i;
            out += QStringLiteral("^n");
        } else {
            out += c;
        }
    }
    if (out.contains(u';') || out.contains(u':') || out.contains(u',')) return u'"' + out + u'"';
    return out;
}

QString LineOf(const VCardProperty& property) {
    QString line = property.group.isEmpty() ? property.name : property.group + u'.' + property.name;
    for (const VCardParameter& parameter : property.parameters) {
        QStringList values;
        for (const QString& value : parameter.values)
            values.append(ParameterValue(value));
        line += u';' + parameter.name + u'=' + values.join(u',');
    }
    QStringList components;
    for (const QString& component : property.components)
        components.append(EscapedComponent(component));
    return line + u':' + components.join(u';');
}

// ---- Reading ------------------------------------------------------------------

struct RawLine {
    QByteArray bytes;
    int number = 0;  // of its first physical line
};

bool IsQuotedPrintable(const QByteArray& head) {
    return head.toUpper().contains("QUOTED-PRINTABLE");
}

// The logical lines: folded lines joined, and a quoted-printable value's
// soft line breaks ("=" at the end of a line) joined with the next line.
QList<RawLine> LogicalLines(const QByteArray& bytes) {
    QList<QByteArray> physical = bytes.split('\n');
    QList<RawLine> lines;
    for (int i = 0; i < physical.size(); ++i) {
        QByteArray line = physical[i];
        if (line.endsWith('\r')) line.chop(1);
        if (!lines.isEmpty() && !line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            lines.last().bytes += line.mid(1);
            continue;
        }
        if (!lines.isEmpty()) {
            const QByteArray& previous = lines.last().bytes;
            const qsizetype colon = previous.indexOf(':');
            if (colon > 0 && IsQuotedPrintable(previous.left(colon)) && previous.endsWith('=')) {
                lines.last().bytes.chop(1);
                lines.last().bytes += line;
                continue;
            }
        }
        lines.append({line, i + 1});
    }
    return lines;
}

QByteArray QuotedPrintableDecoded(const QByteArray& value) {
    QByteArray out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size()) {
            bool ok = false;
            const int byte = value.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += char(byte);
                i += 2;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// The length of the UTF-8 sequence at `at`; 0 when the bytes there are none.
int Utf8SequenceAt(const QByteArray& bytes, qsizetype at) {
    const auto byte = [&bytes](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    const int length = lead < 0x80                    ? 1
                       : lead >= 0xC2 && lead <= 0xDF ? 2
                       : lead >= 0xE0 && lead <= 0xEF ? 3
                       : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                      : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    for (int i = 1; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    const unsigned char second = length > 1 ? byte(at + 1) : 0;
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90))
        return 0;
    return length;
}

// A value of mostly UTF-8 with a stray byte of another code page (a mail
// program's quoted-printable): each byte that begins no UTF-8 sequence is
// read as Windows-1252, the rest as UTF-8.
QString Utf8OrWindows1252(const QByteArray& bytes) {
    QString text;
    qsizetype at = 0;
    while (at < bytes.size()) {
        const int length = Utf8SequenceAt(bytes, at);
        if (length > 0) {
            text += QString::fromUtf8(bytes.mid(at, length));
            at += length;
        } else {
            text += kesp::store::DecodeText(bytes.mid(at, 1));
            ++at;
        }
    }
    return text;
}

QString TextOf(const QByteArray& bytes, const QString& charset) {
    if (!charset.isEmpty()) {
        QStringDecoder decoder(charset.toLatin1().constData());
        if (decoder.isValid()) {
            const QString text = decoder.decode(bytes);
            if (!decoder.hasError()) return text;
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return Utf8OrWindows1252(bytes);
}

// The parts of `text` between unquoted `separator`s.
QStringList SplitOutsideQuotes(const QString& text, QChar separator) {
    QStringList parts;
    QString part;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"') quoted = !quoted;
        if (c == separator && !quoted) {
            parts.append(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.append(part);
    return parts;
}

QString ParameterValueRead(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'^' && i + 1 < value.size()) {
            const QChar next = value[i + 1];
            if (next == u'^' || next == u'n' || next == u'\'') {
                out += next == u'^' ? QChar(u'^') : next == u'n' ? QChar(u'\n') : QChar(u'"');
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

QStringList ComponentsOf(const QString& value) {
    QStringList components;
    QString component;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            component += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
        } else if (c == u';') {
            components.append(component);
            component.clear();
        } else {
            component += c;
        }
    }
    components.append(component);
    return components;
}

// One content line; false when it is no property.
bool ParseProperty(const QByteArray& line, VCardProperty& property) {
    // The head (name and parameters) ends at the first colon outside quotes.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon <= 0) return false;
    const QString head = QString::fromUtf8(line.left(colon));
    QStringList parts = SplitOutsideQuotes(head, u';');
    QString name = parts.takeFirst().trimmed();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
        property.group = name.left(dot);
        name = name.mid(dot + 1);
    }
    if (name.isEmpty()) return false;
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() || c == u'-')) return false;
    property.name = name.toUpper();
    QString charset;
    bool quotedPrintable = false;
    for (const QString& part : parts) {
        const qsizetype equals = part.indexOf(u'=');
        VCardParameter parameter;
        if (equals < 0) {
            parameter.name = QStringLiteral("TYPE");
            parameter.values = {part.trimmed()};
        } else {
            parameter.name = part.left(equals).trimmed().toUpper();
            for (const QString& value : SplitOutsideQuotes(part.mid(equals + 1), u','))
                parameter.values.append(ParameterValueRead(value));
        }
        if (parameter.name == QStringLiteral("CHARSET")) charset = parameter.values.value(0);
        if ((parameter.name == QStringLiteral("ENCODING") ||
             parameter.name == QStringLiteral("TYPE")) &&
            parameter.values.value(0).compare(QStringLiteral("QUOTED-PRINTABLE"),
                                              Qt::CaseInsensitive) == 0)
            quotedPrintable = true;
        property.parameters.append(parameter);
    }
    QByteArray value = line.mid(colon + 1);
    if (quotedPrintable) value = QuotedPrintableDecoded(value);
    QString text = TextOf(value, charset);
    if (quotedPrintable) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    property.components = ComponentsOf(text);
    return true;
}

bool LooksBinary(const QByteArray& bytes) {
    const qsizetype probe = std::min<qsizetype>(bytes.size(), 64 * 1024);
    for (qsizetype i = 0; i < probe; ++i)
        if (bytes[i] == '\0') return true;
    return false;
}

}  // namespace

QStringList VCardProperty::parameter(const QString& wanted) const {
    QStringList values;
    for (const VCardParameter& p : parameters)
        if (p.name.compare(wanted, Qt::CaseInsensitive) == 0) values += p.values;
    return values;
}

bool VCardProperty::hasType(const QString& type) const {
    // 4.0 writers also quote a list: TYPE="voice,home".
    for (const QString& value : parameter(QStringLiteral("TYPE")))
        for (const QString& one : value.split(u','))
            if (one.trimmed().compare(type, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QByteArray WriteVCards(const QList<VCard>& cards, VCardVersion version) {
    QByteArray out;
    const QString versionText = version == VCardVersion::V30   ? QStringLiteral("3.0")
                                : version == VCardVersion::V21 ? QStringLiteral("2.1")
                                                               : QStringLiteral("4.0");
    for (const VCard& card : cards) {
        out += FoldedContentLine(QStringLiteral("BEGIN:VCARD"));
        out += FoldedContentLine(QStringLiteral("VERSION:") + versionText);
        for (const VCardProperty& property : card)
            out += FoldedContentLine(LineOf(property));
        out += FoldedContentLine(QStringLiteral("END:VCARD"));
    }
    return out;
}

VCardReading ReadVCards(const QByteArray& input) {
    VCardReading reading;
    if (LooksBinary(input)) {
        reading.problem = VCardProblem::Binary;
        return reading;
    }
    QByteArray bytes = input;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    int depth = 0;  // cards nested in a card (2.1's AGENT) are passed over
    VCard card;
    int openedAt = 0;
    std::optional<VCardDamage> damage;  // of the card being read
    bool agentFollows = false;          // an AGENT without a value: its card comes next
    const auto begin = [&](int line) {
        card.clear();
        openedAt = line;
        damage.reset();
        depth = 1;
    };
    for (const RawLine& raw : LogicalLines(bytes)) {
        if (raw.bytes.trimmed().isEmpty()) continue;
        VCardProperty property;
        if (!ParseProperty(raw.bytes, property)) {
            if (depth == 0) {
                reading.skipped.append({raw.number, VCardProblem::NoProperty});
            } else if (!damage) {
                damage = VCardDamage{raw.number, VCardProblem::NoProperty};
            }
            continue;
        }
        const QString value = property.text().trimmed();
        const bool agent = agentFollows;
        agentFollows = depth == 1 && property.name == QStringLiteral("AGENT") && value.isEmpty();
        if (property.name == QStringLiteral("BEGIN") &&
            value.compare(QStringLiteral("VCARD"), Qt::CaseInsensitive) == 0) {
            if (depth == 0) {
                begin(raw.number);
            } else if (depth > 1 || agent) {
                ++depth;
            } else {
                // A card begins where the one before has not ended.
                reading.skipped.append({openedAt, VCardProblem::CardNotEnded});
                begin(raw.number);
            }
            continue;
        }
        if (property.name == QStringLiteral("END") &&
            value.compare(QStringLiteral("VCARD"), Qt::CaseInsensitive) == 0) {
            if (depth == 0) {
                reading.skipped.append({raw.number, VCardProblem::EndWithoutBegin});
            } else if (--depth == 0) {
                if (damage) {
                    reading.skipped.append(*damage);
                } else {
                    reading.cards.append(card);
                }
            }
            continue;
        }
        if (depth == 0) {
            reading.skipped.append({raw.number, VCardProblem::OutsideACard});
            continue;
        }
        if (depth == 1 && property.name != QStringLiteral("VERSION")) card.append(property);
    }
    if (depth > 0) reading.skipped.append({openedAt, VCardProblem::CardNotEnded});
    if (reading.cards.isEmpty()) {
        if (reading.skipped.isEmpty()) {
            reading.problem = VCardProblem::NoCard;
        } else {
            reading.problem = reading.skipped.first().why;
            reading.problemLine = reading.skipped.first().line;
        }
    }
    return reading;
}
