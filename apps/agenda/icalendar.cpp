#include "apps/agenda/icalendar.h"

#include "apps/common/content_lines.h"
#include "apps/common/control_characters.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <QTimeZone>

#include <optional>

namespace {

// ---- Writing -------------------------------------------------------------------

constexpr int kEventMinutes = 30;

QString Escaped(const QString& text) {
    QString out;
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

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString DateTimeText(const QDateTime& moment) {
    return moment.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}

// Stable across exports of the same appointment, so that a calendar that
// imports the file again updates the event instead of doubling it.
QString UidBase(const QString& start, const QString& summary) {
    const QByteArray digest = QCryptographicHash::hash(summary.toUtf8(), QCryptographicHash::Sha1);
    return start + u'-' + QString::fromLatin1(digest.toHex().left(12));
}

// ---- Reading -------------------------------------------------------------------

struct ContentLine {
    QString name;                   // upper case
    QMap<QString, QString> params;  // names upper case; values unquoted
    QString value;
};

// Removes every line break that is followed by a blank or a tab, with that
// blank: the folding of the writer, undone on the octets so that a
// character split over two lines joins again.
QByteArray Unfolded(const QByteArray& bytes) {
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto continues = [&bytes](qsizetype at) {
            return at < bytes.size() && (bytes[at] == ' ' || bytes[at] == '\t');
        };
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' && continues(i + 2)) {
            i += 2;
            continue;
        }
        if (bytes[i] == '\n' && continues(i + 1)) {
            i += 1;
            continue;
        }
        out += bytes[i];
    }
    return out;
}

// UTF-8 as the format asks; a file in the Windows code page is read as such.
QString Decoded(QByteArray bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder windows1252("windows-1252");
    return windows1252.isValid() ? QString(windows1252(bytes)) : QString::fromLatin1(bytes);
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
    while (at < line.size() && line[at] == u';') {
        end = nameEnd(at + 1);
        if (end >= line.size() || line[end] != u'=') return std::nullopt;
        const QString param = line.mid(at + 1, end - at - 1).trimmed().toUpper();
        QStringList values;
        at = end;
        do {
            ++at;  // past "=" or ","
            if (at < line.size() && line[at] == u'"') {
                const qsizetype close = line.indexOf(u'"', at + 1);
                if (close < 0) return std::nullopt;
                values.append(line.mid(at + 1, close - at - 1));
                at = close + 1;
            } else {
                const qsizetype from = at;
                while (at < line.size() && line[at] != u';' && line[at] != u':' && line[at] != u',')
                    ++at;
                values.append(line.mid(from, at - from));
            }
        } while (at < line.size() && line[at] == u',');
        parsed.params.insert(param, values.join(u','));
    }
    if (at >= line.size() || line[at] != u':') return std::nullopt;
    parsed.value = line.mid(at + 1);
    return parsed;
}

QString Unescaped(const QString& text) {
    QString out;
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

// The start of an event in local time; nothing when it cannot be read.
std::optional<CalendarEvent> EventStarting(const ContentLine& start) {
    static const QRegularExpression dateOnly(QStringLiteral("^(\\d{8})$"));
    static const QRegularExpression dateTime(
        QStringLiteral("^(\\d{8})T(\\d\\d)(\\d\\d)(\\d\\d)(Z?)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString value = start.value.trimmed();
    CalendarEvent event;
    if (const auto day = dateOnly.match(value); day.hasMatch()) {
        event.date = QDate::fromString(day.captured(1), QStringLiteral("yyyyMMdd"));
        if (!event.date.isValid()) return std::nullopt;
        return event;
    }
    const auto moment = dateTime.match(value);
    if (!moment.hasMatch()) return std::nullopt;
    const QDate date = QDate::fromString(moment.captured(1), QStringLiteral("yyyyMMdd"));
    const int hour = moment.captured(2).toInt();
    const int minute = moment.captured(3).toInt();
    const int second = moment.captured(4).toInt();
    if (!date.isValid() || hour > 23 || minute > 59 || second > 60) return std::nullopt;
    QDateTime local(date, QTime(hour, minute, qMin(second, 59)));
    if (!moment.captured(5).isEmpty()) {
        local = QDateTime(date, local.time(), QTimeZone::utc()).toLocalTime();
    } else if (start.params.contains(QStringLiteral("TZID"))) {
        QString zoneId = start.params.value(QStringLiteral("TZID")).trimmed();
        if (zoneId.startsWith(u'/')) zoneId.remove(0, 1);
        // A zone the system does not know (one defined inside the file only)
        // is taken as local time.
        const QTimeZone zone(zoneId.toUtf8());
        if (zone.isValid()) local = QDateTime(date, local.time(), zone).toLocalTime();
    }
    event.date = local.date();
    event.time = local.time();
    return event;
}

}  // namespace

QByteArray WriteICalendar(const QList<CalendarEvent>& events, const QDateTime& stamp) {
    QByteArray out;
    const auto line = [&out](const QString& text) { out += FoldedContentLine(text); };
    line(QStringLiteral("BEGIN:VCALENDAR"));
    line(QStringLiteral("VERSION:2.0"));
    line(QStringLiteral("PRODID:-//Varnel Kesp//Agenda 2.0//EN"));
    line(QStringLiteral("CALSCALE:GREGORIAN"));
    const QString stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QHash<QString, int> uses;
    for (const CalendarEvent& event : events) {
        QString start, end;
        if (event.time.isValid()) {
            const QDateTime begins(event.date, event.time);
            start = DateTimeText(begins);
            end = DateTimeText(begins.addSecs(kEventMinutes * 60));
        } else {
            start = DateText(event.date);
            end = DateText(event.date.addDays(1));
        }
        const QString base = UidBase(start, event.summary);
        const int use = ++uses[base];
        const QString uid = base + (use > 1 ? QStringLiteral("-%1").arg(use) : QString());
        const QString kind = event.time.isValid() ? QString() : QStringLiteral(";VALUE=DATE");
        line(QStringLiteral("BEGIN:VEVENT"));
        line(QStringLiteral("UID:") + uid + QStringLiteral("@varnel-kesp"));
        line(QStringLiteral("DTSTAMP:") + stampText);
        line(QStringLiteral("DTSTART") + kind + u':' + start);
        line(QStringLiteral("DTEND") + kind + u':' + end);
        line(QStringLiteral("SUMMARY:") + Escaped(event.summary));
        line(QStringLiteral("END:VEVENT"));
    }
    line(QStringLiteral("END:VCALENDAR"));
    return out;
}

CalendarReading ReadICalendar(const QByteArray& bytes,
                              const std::function<bool(qsizetype read, qsizetype lines)>& goOn) {
    CalendarReading reading;
    const auto refuse = [&reading](int lineNumber, const QString& why) {
        reading.events.clear();
        reading.problem = QStringLiteral("line %1: %2").arg(lineNumber).arg(why);
        return reading;
    };
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = Decoded(Unfolded(bytes)).split(lineBreak);

    QStringList open;  // the components entered and not yet ended, outermost first
    bool calendarSeen = false;
    std::optional<ContentLine> start;
    QString summary;
    for (int number = 1; number <= lines.size(); ++number) {
        if (goOn && !goOn(number - 1, lines.size())) {
            reading.events.clear();
            reading.cancelled = true;
            return reading;
        }
        const QString& text = lines[number - 1];
        if (text.trimmed().isEmpty()) continue;
        const std::optional<ContentLine> line = ParseContentLine(text);
        if (!line) return refuse(number, QStringLiteral("not a content line"));
        if (line->name == QLatin1String("BEGIN")) {
            const QString component = line->value.trimmed().toUpper();
            const bool calendar = component == QLatin1String("VCALENDAR");
            if (open.isEmpty() != calendar)
                return refuse(number, QStringLiteral("BEGIN:%1 out of place").arg(component));
            if (component == QLatin1String("VEVENT")) {
                if (open.size() != 1)
                    return refuse(number, QStringLiteral("an event inside %1").arg(open.last()));
                start.reset();
                summary.clear();
            }
            open.append(component);
        } else if (line->name == QLatin1String("END")) {
            const QString component = line->value.trimmed().toUpper();
            if (open.isEmpty() || open.last() != component)
                return refuse(number, QStringLiteral("END:%1 closes nothing open").arg(component));
            if (component == QLatin1String("VEVENT")) {
                if (!start) return refuse(number, QStringLiteral("an event without a start"));
                std::optional<CalendarEvent> event = EventStarting(*start);
                if (!event)
                    return refuse(number, QStringLiteral("unreadable start %1").arg(start->value));
                event->summary = summary;
                reading.events.append(*event);
            }
            if (component == QLatin1String("VCALENDAR")) calendarSeen = true;
            open.removeLast();
        } else if (open.isEmpty()) {
            return refuse(number, QStringLiteral("%1 outside a calendar").arg(line->name));
        } else if (open.last() == QLatin1String("VEVENT")) {
            if (line->name == QLatin1String("DTSTART")) start = line;
            if (line->name == QLatin1String("SUMMARY")) summary = Unescaped(line->value);
        }
    }
    if (!open.isEmpty())
        return refuse(int(lines.size()), open.last() + QStringLiteral(" not ended"));
    if (!calendarSeen) return refuse(int(lines.size()), QStringLiteral("no calendar"));
    return reading;
}
