// Writing CalendarItems as an iCalendar file; the reading is in
// calendar_file.cpp.
#include "apps/agenda/calendar_file.h"

#include "apps/agenda/calendar_lines.h"
#include "apps/agenda/calendar_values.h"
#include "apps/agenda/calendar_zones.h"
#include "apps/common/content_lines.h"

#include <QHash>
#include <QMap>

namespace {

QByteArray FoldedLines(const QString& text) {
    QByteArray folded;
    for (const QString& one : text.split(QLatin1String("\r\n"), Qt::SkipEmptyParts))
        folded += FoldedContentLine(one);
    return folded;
}

class Writer {
  public:
    void line(const QString& text) { out_ += FoldedContentLine(text); }

    // Lines ended in CR LF, as kept.
    void lines(const QString& text) { out_ += FoldedLines(text); }

    // The VTIMEZONE of a zone: folded once per zone and year, as every event
    // row of the agenda writes its zone's.
    void zone(const QString& zone, int fromYear) {
        static QHash<QPair<QString, int>, QByteArray> folded;
        auto known = folded.constFind({zone, fromYear});
        if (known == folded.cend())
            known = folded.insert({zone, fromYear}, FoldedLines(VTimezoneText(zone, fromYear)));
        out_ += *known;
    }

    // "DTSTART;TZID=Europe/Berlin:20270105T090000" and its kin.
    void moment(const QString& name, const QDateTime& at, const CalendarItem& item) {
        if (item.allDay) {
            line(name + QStringLiteral(";VALUE=DATE:") + CalendarDateText(at.date()));
            return;
        }
        const QString text = CalendarDateTimeText(at.date(), at.time());
        if (item.zone.isEmpty())
            line(name + u':' + text);
        else if (item.zone == QLatin1String("UTC"))
            line(name + u':' + text + u'Z');
        else
            line(name + QStringLiteral(";TZID=") + item.zone + u':' + text);
    }

    void moments(const QString& name, const QList<QDateTime>& at, const CalendarItem& item) {
        if (at.isEmpty()) return;
        QStringList texts;
        for (const QDateTime& one : at)
            texts.append(item.allDay ? CalendarDateText(one.date())
                                     : CalendarDateTimeText(one.date(), one.time()) +
                                           (item.zone == QLatin1String("UTC") ? QStringLiteral("Z")
                                                                              : QString()));
        QString head = name;
        if (item.allDay)
            head += QStringLiteral(";VALUE=DATE");
        else if (!item.zone.isEmpty() && item.zone != QLatin1String("UTC"))
            head += QStringLiteral(";TZID=") + item.zone;
        line(head + u':' + texts.join(u','));
    }

    void text(const QString& name, const QString& value, const CalendarItem& item) {
        if (value.isEmpty()) return;
        line(name + item.textParameters.value(name) + u':' + EscapedText(value));
    }

    QByteArray take() { return std::move(out_); }

  private:
    QByteArray out_;
};

}  // namespace

QByteArray WriteCalendarFile(const QList<CalendarItem>& items, const QDateTime& stamp,
                             const QList<KeptComponent>& components) {
    Writer out;
    out.line(QStringLiteral("BEGIN:VCALENDAR"));
    out.line(QStringLiteral("VERSION:2.0"));
    out.line(QStringLiteral("PRODID:-//Varnel Kesp//Agenda 2.0//EN"));
    out.line(QStringLiteral("CALSCALE:GREGORIAN"));
    QMap<QString, int> zoneYears;  // each zone the items use, from the year of its first use
    for (const CalendarItem& item : items) {
        if (item.allDay || item.zone.isEmpty() || item.zone == QLatin1String("UTC")) continue;
        const int year = item.start.date().year();
        if (!zoneYears.contains(item.zone) || zoneYears[item.zone] > year)
            zoneYears[item.zone] = year;
    }
    for (auto zone = zoneYears.cbegin(); zone != zoneYears.cend(); ++zone)
        out.zone(zone.key(), zone.value());

    const QString stampText =
        CalendarDateTimeText(stamp.toUTC().date(), stamp.toUTC().time()) + u'Z';
    for (const CalendarItem& item : items) {
        out.line(QStringLiteral("BEGIN:VEVENT"));
        if (!item.uid.isEmpty()) out.line(QStringLiteral("UID:") + item.uid);
        out.line(QStringLiteral("DTSTAMP:") + stampText);
        if (!item.recurrenceId.isEmpty()) {
            const std::optional<CalendarMoment> original = ParseCalendarMoment(item.recurrenceId);
            if (original && original->dateOnly)
                out.line(QStringLiteral("RECURRENCE-ID;VALUE=DATE:") + item.recurrenceId);
            else if (original)
                out.moment(QStringLiteral("RECURRENCE-ID"),
                           QDateTime(original->date, original->time), item);
        }
        out.moment(QStringLiteral("DTSTART"), item.start, item);
        if (item.end.isValid()) out.moment(QStringLiteral("DTEND"), item.end, item);
        if (!item.rule.isEmpty()) out.line(QStringLiteral("RRULE:") + item.rule);
        out.moments(QStringLiteral("RDATE"), item.extraDates, item);
        out.moments(QStringLiteral("EXDATE"), item.leftOutDates, item);
        out.text(QStringLiteral("SUMMARY"), item.summary, item);
        out.text(QStringLiteral("LOCATION"), item.location, item);
        out.text(QStringLiteral("DESCRIPTION"), item.description, item);
        if (item.alarmMinutes >= 0) {
            out.line(QStringLiteral("BEGIN:VALARM"));
            out.line(QStringLiteral("TRIGGER:") +
                     (item.alarmMinutes == 0 ? QStringLiteral("PT0S")
                                             : QStringLiteral("-PT%1M").arg(item.alarmMinutes)));
            if (item.alarmLines.isEmpty()) {
                out.line(QStringLiteral("ACTION:DISPLAY"));
                out.line(QStringLiteral("DESCRIPTION:") + EscapedText(item.summary));
            } else {
                out.lines(item.alarmLines);
            }
            out.line(QStringLiteral("END:VALARM"));
        }
        out.lines(item.keptLines);
        out.line(QStringLiteral("END:VEVENT"));
    }
    for (const KeptComponent& component : components)
        out.lines(component.lines);
    out.line(QStringLiteral("END:VCALENDAR"));
    return out.take();
}
