#include "apps/agenda/calendar_lines.h"

#include "apps/common/control_characters.h"

#include <QStringDecoder>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

QList<NumberedLine> UnfoldedLines(const QByteArray& bytes) {
    // The logical lines joined by "\n" on the octets, decoded at once.
    QByteArray joined;
    joined.reserve(bytes.size());
    QList<int> numbers;
    qsizetype at = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int number = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        ++number;
        if (end > at) {
            if (IsBlank(bytes[at]) && !numbers.isEmpty()) {
                joined.append(bytes.constData() + at + 1, end - at - 1);
            } else {
                if (!numbers.isEmpty()) joined += '\n';
                joined.append(bytes.constData() + at, end - at);
                numbers.append(number);
            }
        }
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        at = end + 1;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(joined);
    if (utf8.hasError()) {
        QStringDecoder windows1252("windows-1252");
        text = windows1252.isValid() ? QString(windows1252(joined)) : QString::fromLatin1(joined);
    }
    QList<NumberedLine> lines;
    lines.reserve(numbers.size());
    qsizetype from = 0;
    for (const int lineNumber : numbers) {
        qsizetype to = text.indexOf(u'\n', from);
        if (to < 0) to = text.size();
        lines.append({text.mid(from, to - from), lineNumber});
        from = to + 1;
    }
    return lines;
}

std::optional<ContentLine> ParseContentLine(const QString& line) {
    ContentLine parsed;
    qsizetype at = 0;
    const auto nameEnd = [&line](qsizetype from) {
        while (from < line.size() && line[from] != u';' && line[from] != u':' &&
               line[from] != u'=' && line[from] != u',')
            ++from;
        return from;
    };
    qsizetype end = nameEnd(at);
    parsed.name = line.mid(at, end - at).trimmed().toUpper();
    if (parsed.name.isEmpty()) return std::nullopt;
    at = end;
    parsed.paramsFrom = at;
    while (at < line.size() && line[at] == u';') {
        end = nameEnd(at + 1);
        if (end >= line.size() || line[end] != u'=') return std::nullopt;
        const QString param = line.mid(at + 1, end - at - 1).trimmed().toUpper();
        QString values;
        at = end;
        do {
            if (line[at] == u',') values += u',';
            ++at;  // past "=" or ","
            if (at < line.size() && line[at] == u'"') {
                const qsizetype close = line.indexOf(u'"', at + 1);
                if (close < 0) return std::nullopt;
                values += QStringView(line).mid(at + 1, close - at - 1);
                at = close + 1;
            } else {
                const qsizetype from = at;
                while (at < line.size() && line[at] != u';' && line[at] != u':' && line[at] != u',')
                    ++at;
                values += QStringView(line).mid(from, at - from);
            }
        } while (at < line.size() && line[at] == u',');
        parsed.params.insert(param, values);
    }
    if (at >= line.size() || line[at] != u':') return std::nullopt;
    parsed.valueFrom = at + 1;
    parsed.value = line.mid(at + 1);
    return parsed;
}

QString EscapedText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            out += QStringLiteral("\\n");
        } else if (IsControlCharacter(c)) {
            out += u' ';  // iCalendar text holds no control characters
        } else {
            out += c;
        }
    }
    return out;
}

QString UnescapedText(const QString& text) {
    if (!text.contains(u'\\')) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const QChar next = text[++i];
        out += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
    }
    return out;
}
