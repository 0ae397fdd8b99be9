#include "apps/agenda/icalendar.h"

#include "apps/agenda/calendar_lines.h"
#include "apps/common/content_lines.h"

#include <QCryptographicHash>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTimeZone>

#include <optional>

namespace {

// ---- Writing -------------------------------------------------------------------

constexpr int kEventMinutes = 30;

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
        line(QStringLiteral("SUMMARY:") + EscapedText(event.summary));
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
    const QList<NumberedLine> lines = UnfoldedLines(bytes);
    const int lastLine = lines.isEmpty() ? 1 : lines.last().number;

    QStringList open;  // the components entered and not yet ended, outermost first
    bool calendarSeen = false;
    std::optional<ContentLine> start;
    QString summary;
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (goOn && !goOn(index, lines.size())) {
            reading.events.clear();
            reading.cancelled = true;
            return reading;
        }
        const QString& text = lines[index].text;
        const int number = lines[index].number;
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
            if (line->name == QLatin1String("SUMMARY")) summary = UnescapedText(line->value);
        }
    }
    if (!open.isEmpty()) return refuse(lastLine, open.last() + QStringLiteral(" not ended"));
    if (!calendarSeen) return refuse(lastLine, QStringLiteral("no calendar"));
    return reading;
}
