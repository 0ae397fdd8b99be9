// Reading an iCalendar file into CalendarItems; the writing is in
// calendar_file_writing.cpp.
#include "apps/agenda/calendar_file.h"

#include "apps/agenda/calendar_lines.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/calendar_values.h"
#include "apps/agenda/calendar_zones.h"

#include <QHash>
#include <QSet>

#include <optional>

namespace {

constexpr qsizetype kProgressStep = 64;  // lines between two calls of `goOn`

bool Is(const QString& text, QLatin1StringView word) {
    return text.compare(word, Qt::CaseInsensitive) == 0;
}

// "BEGIN:…" / "END:…" with the component's name in upper case; empty for
// other lines.
QString ComponentOf(const QString& line, QLatin1StringView keyword) {
    if (line.size() <= keyword.size() || !line.startsWith(keyword, Qt::CaseInsensitive) ||
        line[keyword.size()] != u':')
        return {};
    return line.mid(keyword.size() + 1).trimmed().toUpper();
}

struct EventLines {
    int line = 0;
    QString broken;                                     // why it cannot be read; empty when it can
    QList<std::pair<ContentLine, QString>> properties;  // parsed, with the line as written
    QList<QStringList> components;                      // inner components, each its lines
};

// The VTIMEZONE definitions of the whole file, by TZID.
QHash<QString, QString> ZoneDefinitions(const QList<NumberedLine>& lines) {
    QHash<QString, QString> definitions;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (ComponentOf(lines[i].text, QLatin1StringView("BEGIN")) != QLatin1String("VTIMEZONE"))
            continue;
        QString text, tzid;
        for (; i < lines.size(); ++i) {
            text += lines[i].text + QLatin1String("\r\n");
            if (tzid.isEmpty() &&
                lines[i].text.startsWith(QLatin1String("TZID"), Qt::CaseInsensitive))
                if (const auto line = ParseContentLine(lines[i].text); line && line->name == "TZID")
                    tzid = line->value.trimmed();
            if (ComponentOf(lines[i].text, QLatin1StringView("END")) == QLatin1String("VTIMEZONE"))
                break;
        }
        if (!tzid.isEmpty() && !definitions.contains(tzid)) definitions.insert(tzid, text);
    }
    return definitions;
}

class EventReader {
  public:
    explicit EventReader(CalendarZones& zones) : zones_(zones) {}

    // The item, or why the event cannot be read.
    std::optional<CalendarItem> read(const EventLines& event, QString& why);

  private:
    struct Zoned {
        QDate date;
        QTime time;
        bool dateOnly = false;
        QString zone;
    };
    std::optional<Zoned> moment(const ContentLine& line, const QString& text);
    QDateTime inItemZone(const Zoned& value, const CalendarItem& item) const;
    bool readDates(const ContentLine& line, const CalendarItem& item, QList<QDateTime>& into);
    bool readAlarm(const QStringList& lines, CalendarItem& item);

    CalendarZones& zones_;
};

std::optional<EventReader::Zoned> EventReader::moment(const ContentLine& line,
                                                      const QString& text) {
    const std::optional<CalendarMoment> parsed = ParseCalendarMoment(text);
    if (!parsed) return std::nullopt;
    Zoned value{parsed->date, parsed->time, parsed->dateOnly, QString()};
    if (parsed->utc) {
        value.zone = QStringLiteral("UTC");
    } else if (!parsed->dateOnly && line.params.contains(QStringLiteral("TZID"))) {
        const CalendarZones::ZonedTime zoned =
            zones_.resolve(line.params.value(QStringLiteral("TZID")), value.date, value.time);
        value.zone = zoned.zone;
        value.date = zoned.date;
        value.time = zoned.time;
    }
    return value;
}

QDateTime EventReader::inItemZone(const Zoned& value, const CalendarItem& item) const {
    if (item.allDay || value.dateOnly) {
        // A date on a timed series stands for the series' time on that day.
        const QTime time = item.allDay ? QTime(0, 0) : item.start.time();
        return QDateTime(value.date, time);
    }
    // A floating series takes the wall clock of its other times as written:
    // a file that mixes them ("DTSTART:…T010000" with "EXDATE:…T010000Z")
    // means the same hour.
    if (value.zone == item.zone || item.zone.isEmpty()) return QDateTime(value.date, value.time);
    return WallClockIn(InstantOf(value.date, value.time, value.zone), item.zone);
}

bool EventReader::readDates(const ContentLine& line, const CalendarItem& item,
                            QList<QDateTime>& into) {
    for (const QString& part : line.value.split(u',', Qt::SkipEmptyParts)) {
        // A period ("start/end" or "start/duration") counts by its start.
        const std::optional<Zoned> value = moment(line, part.section(u'/', 0, 0));
        if (!value) return false;
        into.append(inItemZone(*value, item));
    }
    return true;
}

// The first VALARM becomes the reminder when its trigger is a time before
// the start (or at it) in whole minutes; otherwise it is kept as it came.
bool EventReader::readAlarm(const QStringList& lines, CalendarItem& item) {
    std::optional<qint64> before;
    QString rest;
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const std::optional<ContentLine> line = ParseContentLine(lines[i]);
        if (!line || line->name == QLatin1String("BEGIN")) return false;
        if (line->name == QLatin1String("TRIGGER") && !before) {
            if (line->params.contains(QStringLiteral("VALUE")) ||
                Is(line->params.value(QStringLiteral("RELATED")), QLatin1StringView("END")))
                return false;
            before = ParseCalendarDuration(line->value);
            if (!before || *before > 0 || *before % 60 != 0) return false;
        } else {
            rest += lines[i] + QLatin1String("\r\n");
        }
    }
    if (!before) return false;
    item.alarmMinutes = int(-*before / 60);
    item.alarmLines = rest;
    return true;
}

std::optional<CalendarItem> EventReader::read(const EventLines& event, QString& why) {
    CalendarItem item;
    item.line = event.line;
    const auto unreadable = [&why](const ContentLine& line) {
        why = QStringLiteral("unreadable %1 %2").arg(line.name, line.value.trimmed());
        return std::nullopt;
    };
    // The start first: every other time is read into its zone.
    const ContentLine* start = nullptr;
    for (const auto& [line, text] : event.properties)
        if (line.name == QLatin1String("DTSTART")) {
            start = &line;
            break;
        }
    if (!start) {
        why = QStringLiteral("no start (DTSTART)");
        return std::nullopt;
    }
    const std::optional<Zoned> first = moment(*start, start->value);
    if (!first) return unreadable(*start);
    item.allDay = first->dateOnly ||
                  Is(start->params.value(QStringLiteral("VALUE")), QLatin1StringView("DATE"));
    item.zone = item.allDay ? QString() : first->zone;
    item.start = QDateTime(first->date, item.allDay ? QTime(0, 0) : first->time);

    QSet<QString> seen;
    std::optional<qint64> duration;
    for (const auto& [line, text] : event.properties) {
        const QString& name = line.name;
        const bool again = seen.contains(name);
        seen.insert(name);
        const auto keep = [&item, &text] { item.keptLines += text + QLatin1String("\r\n"); };
        if (name == QLatin1String("DTSTAMP") && !again) continue;  // written anew
        if (again && name != QLatin1String("RDATE") && name != QLatin1String("EXDATE")) {
            keep();
            continue;
        }
        if (name == QLatin1String("UID")) {
            item.uid = line.value.trimmed();
        } else if (name == QLatin1String("DTSTART")) {
        } else if (name == QLatin1String("DTEND")) {
            const std::optional<Zoned> end = moment(line, line.value);
            if (!end) return unreadable(line);
            item.end = inItemZone(*end, item);
        } else if (name == QLatin1String("DURATION")) {
            duration = ParseCalendarDuration(line.value);
            if (!duration) return unreadable(line);
        } else if (name == QLatin1String("RECURRENCE-ID")) {
            const std::optional<Zoned> original = moment(line, line.value);
            if (!original) return unreadable(line);
            const QDateTime at = inItemZone(*original, item);
            item.recurrenceId = item.allDay || original->dateOnly
                                    ? CalendarDateText(at.date())
                                    : CalendarDateTimeText(at.date(), at.time());
        } else if (name == QLatin1String("SUMMARY") || name == QLatin1String("LOCATION") ||
                   name == QLatin1String("DESCRIPTION")) {
            const QString value = UnescapedText(line.value);
            (name == QLatin1String("SUMMARY")    ? item.summary
             : name == QLatin1String("LOCATION") ? item.location
                                                 : item.description) = value;
            if (line.valueFrom - 1 > line.paramsFrom)
                item.textParameters.insert(
                    name, text.mid(line.paramsFrom, line.valueFrom - 1 - line.paramsFrom));
        } else if (name == QLatin1String("RRULE")) {
            item.rule = line.value.trimmed();
        } else if (name == QLatin1String("RDATE")) {
            if (!readDates(line, item, item.extraDates)) return unreadable(line);
        } else if (name == QLatin1String("EXDATE")) {
            if (!readDates(line, item, item.leftOutDates)) return unreadable(line);
        } else {
            keep();
        }
    }
    if (!item.end.isValid() && duration) {
        item.end = item.allDay
                       ? QDateTime(item.start.date().addDays(*duration / 86400), QTime(0, 0))
                       : item.start.addSecs(*duration);
        if (!item.allDay) item.end = QDateTime(item.end.date(), item.end.time());
    }
    bool alarmRead = false;
    for (const QStringList& component : event.components) {
        const bool alarm =
            ComponentOf(component.first(), QLatin1StringView("BEGIN")) == QLatin1String("VALARM");
        if (alarm && !alarmRead) {
            alarmRead = true;
            if (readAlarm(component, item)) continue;
        }
        for (const QString& line : component)
            item.keptLines += line + QLatin1String("\r\n");
    }
    return item;
}

// The component of lines `from` to `to`, as it came.
KeptComponent KeptWhole(const QList<NumberedLine>& lines, qsizetype from, qsizetype to) {
    KeptComponent kept{ComponentOf(lines[from].text, QLatin1StringView("BEGIN")), {}, {}};
    int depth = 0;
    for (qsizetype index = from; index <= to; ++index) {
        const QString& text = lines[index].text;
        kept.lines += text + QStringLiteral("\r\n");
        if (!ComponentOf(text, QLatin1StringView("BEGIN")).isEmpty()) ++depth;
        if (!ComponentOf(text, QLatin1StringView("END")).isEmpty()) --depth;
        if (depth != 1 || !kept.uid.isEmpty()) continue;
        if (const std::optional<ContentLine> line = ParseContentLine(text);
            line && line->name == QLatin1String("UID"))
            kept.uid = line->value.trimmed();
    }
    return kept;
}

}  // namespace

CalendarFileReading ReadCalendarFile(
    const QByteArray& bytes, const std::function<bool(qsizetype read, qsizetype lines)>& goOn) {
    CalendarFileReading reading;
    const QList<NumberedLine> lines = UnfoldedLines(bytes);
    CalendarZones zones(ZoneDefinitions(lines));
    EventReader reader(zones);

    QStringList open;  // the components entered and not yet ended, outermost first
    std::optional<EventLines> event;
    QStringList inner;  // the lines of the event's inner component being read
    int innerDepth = 0;
    qsizetype keptFrom = -1;  // the line a component kept whole begins on
    const auto skip = [&reading, &event](const QString& why) {
        reading.skipped.append({event->line, why});
        event.reset();
    };
    const auto finish = [&] {
        if (!event->broken.isEmpty()) return skip(event->broken);
        QString why;
        if (std::optional<CalendarItem> item = reader.read(*event, why))
            reading.items.append(std::move(*item));
        else
            reading.skipped.append({event->line, why});
        event.reset();
    };
    for (qsizetype index = 0; index < lines.size(); ++index) {
        if (goOn && index % kProgressStep == 0 && !goOn(index, lines.size())) {
            reading.items.clear();
            reading.cancelled = true;
            return reading;
        }
        const QString& text = lines[index].text;
        const int number = lines[index].number;
        if (innerDepth > 0) {
            // Inside a component of the event (a VALARM): its lines as they are,
            // unless the line ends the event or begins another.
            const QString closes = ComponentOf(text, QLatin1StringView("END"));
            const QString opens = ComponentOf(text, QLatin1StringView("BEGIN"));
            const qsizetype closing = closes.isEmpty() ? -1 : open.lastIndexOf(closes);
            if ((closing >= 0 && closing < open.size() - 1) || opens == QLatin1String("VEVENT") ||
                opens == QLatin1String("VCALENDAR")) {
                event->broken =
                    QStringLiteral("line %1: BEGIN:%2 not ended").arg(number).arg(open.last());
                innerDepth = 0;
                open.removeLast();
            }
        }
        if (innerDepth > 0) {
            inner.append(text);
            if (!ComponentOf(text, QLatin1StringView("BEGIN")).isEmpty()) ++innerDepth;
            if (!ComponentOf(text, QLatin1StringView("END")).isEmpty() && --innerDepth == 0) {
                event->components.append(inner);
                open.removeLast();
            }
            continue;
        }
        const QString begins = ComponentOf(text, QLatin1StringView("BEGIN"));
        const QString ends =
            begins.isEmpty() ? ComponentOf(text, QLatin1StringView("END")) : QString();
        if (!begins.isEmpty()) {
            if (begins == QLatin1String("VCALENDAR")) {
                if (event) skip(QStringLiteral("not ended"));
                open = {begins};
                keptFrom = -1;
                ++reading.calendars;
            } else if (event) {
                if (begins == QLatin1String("VEVENT")) {
                    skip(QStringLiteral("not ended"));
                    open.removeLast();
                } else {
                    inner = {text};
                    innerDepth = 1;
                    open.append(begins);
                    continue;
                }
            }
            if (begins == QLatin1String("VEVENT") && open.size() == 1) {
                event = EventLines{number, {}, {}, {}};
                open.append(begins);
            } else if (begins != QLatin1String("VCALENDAR") && !open.isEmpty()) {
                if (open.size() == 1 && begins != QLatin1String("VTIMEZONE") &&
                    begins != QLatin1String("VEVENT")) {
                    keptFrom = index;
                    if (!reading.keptComponents.contains(begins))
                        reading.keptComponents.append(begins);
                }
                open.append(begins);
            }
        } else if (!ends.isEmpty()) {
            const qsizetype at = open.lastIndexOf(ends);
            if (at < 0) {
                if (event)
                    event->broken =
                        QStringLiteral("line %1: END:%2 closes nothing open").arg(number).arg(ends);
                continue;
            }
            if (keptFrom >= 0 && at == 1) {
                reading.components.append(KeptWhole(lines, keptFrom, index));
                keptFrom = -1;
            }
            if (event && (ends == QLatin1String("VEVENT") && at == open.size() - 1))
                finish();
            else if (event && at < 2)
                skip(QStringLiteral("not ended"));
            open.resize(at);
        } else if (event) {
            const std::optional<ContentLine> line = ParseContentLine(text);
            if (!line) {
                if (event->broken.isEmpty())
                    event->broken = QStringLiteral("line %1: not a content line").arg(number);
            } else {
                event->properties.append({*line, text});
            }
        }
    }
    if (event) skip(QStringLiteral("not ended"));
    if (goOn && !goOn(lines.size(), lines.size())) {
        reading.items.clear();
        reading.cancelled = true;
        return reading;
    }
    if (reading.calendars == 0) {
        reading.problem = QStringLiteral("no calendar (BEGIN:VCALENDAR)");
        reading.items.clear();
        reading.skipped.clear();
    }
    return reading;
}
