#include "apps/agenda/calendar_exchange.h"

#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/event_appointments.h"
#include "kernel/public_variables.h"
#include "store/codec.h"
#include "store/xbase.h"

#include <QHash>
#include <QSet>

namespace {

using namespace agenda_texts;

constexpr int kTextLength = 99;
constexpr int kMinuteStep = 5;
constexpr int kHalf = 500;
constexpr int kNamedAtMost = 5;

// What makes two appointments the same: day, hour, minute and text.
QString SameAppointmentKey(const Appointment& appointment) {
    return appointment.date.toString(Qt::ISODate) + u'|' + appointment.hour.trimmed() + u'|' +
           appointment.minute.trimmed() + u'|' + appointment.text.trimmed();
}

// The appointments of the table open in the current work area not marked
// deleted, and the UIDs its events have; the record pointer stays.
struct Present {
    QSet<QString> appointments;
    QSet<QString> uids;
};

Present PresentInAgenda(const QString& dataPath) {
    Present present;
    const QString alias = ALIAS();
    const int here = RECNO();
    QHash<QString, int> seen;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        if (DELETED()) continue;
        const Appointment appointment = ReadAppointment(alias);
        const QString key = SameAppointmentKey(appointment);
        present.appointments.insert(key);
        const std::optional<AppointmentLink> link = LinkOf(dataPath, number, appointment);
        present.uids.insert(link ? link->uid : ContentUid(appointment, seen[key]++));
    }
    DBGOTO(here);
    return present;
}

// The name of a kept line's property ("ATTENDEE;CN=…:…" → "ATTENDEE").
QString PropertyName(const QString& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != u';' && line[end] != u':')
        ++end;
    return line.left(end).trimmed().toUpper();
}

void CountKept(const CalendarItem& item, CalendarImport& import) {
    if (item.keptLines.isEmpty()) return;
    ++import.eventsWithKept;
    for (const QString& line : item.keptLines.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(u' ') || line.startsWith(u'\t')) continue;
        const QString name = PropertyName(line);
        const QString shown = name == QLatin1String("BEGIN") ? line.mid(6).trimmed() : name;
        if (name != QLatin1String("END") && !import.keptProperties.contains(shown))
            import.keptProperties.append(shown);
    }
}

// The event an appointment that has no row in the event table shows.
CalendarItem ItemOfAppointment(const Appointment& appointment, const QString& uid) {
    CalendarItem item;
    item.uid = uid;
    item.summary = appointment.text;
    bool hourRead = false;
    bool minuteRead = false;
    const int hour = appointment.hour.trimmed().toInt(&hourRead);
    const int minute = appointment.minute.trimmed().toInt(&minuteRead);
    if (hourRead && minuteRead && hour < 24 && minute < 60) {
        item.zone = ComputerZone();
        item.start = ZoneTimeOf(QDateTime(appointment.date, QTime(hour, minute)), item.zone);
    } else {
        // A time another program stored unreadably, or none: the whole day.
        item.allDay = true;
        item.start = QDateTime(appointment.date, QTime(0, 0));
    }
    return item;
}

}  // namespace

CalendarImport ImportCalendarBytes(const QString& dataPath, const QByteArray& bytes,
                                   const std::function<bool(int thousandths)>& goOn) {
    CalendarImport import;
    const CalendarFileReading reading =
        ReadCalendarFile(bytes, [&goOn](qsizetype read, qsizetype lines) {
            return !goOn || goOn(int(kHalf * read / std::max<qsizetype>(1, lines)));
        });
    if (reading.cancelled) {
        import.cancelled = true;
        return import;
    }
    if (!reading.problem.isEmpty()) {
        import.problem = TEXT(kNotICalendar);
        return import;
    }
    import.read = true;
    import.skipped = reading.skipped;
    import.keptComponents = reading.keptComponents;

    // Each event with its changed occurrences; a changed occurrence whose
    // series the file does not hold stands on its own.
    QList<EventToStore> events;
    QHash<QString, qsizetype> byUid;
    for (const CalendarItem& item : reading.items) {
        if (item.recurrenceId.isEmpty()) {
            byUid.insert(item.uid, events.size());
            events.append({item, {}});
        }
    }
    for (const CalendarItem& item : reading.items) {
        if (item.recurrenceId.isEmpty()) continue;
        if (const auto at = byUid.find(item.uid); at != byUid.end() && events[*at].item.repeats()) {
            events[*at].changed.append(item);
        } else {
            CalendarItem alone = item;
            alone.recurrenceId.clear();
            if (at != byUid.end()) alone.uid = NewEventUid();
            events.append({alone, {}});
        }
    }

    const Present present = PresentInAgenda(dataPath);
    QSet<QString> known = present.appointments;
    QList<EventToStore> stored;
    for (EventToStore& event : events) {
        CalendarItem& item = event.item;
        if (item.uid.isEmpty()) item.uid = NewEventUid();
        const QString key = SameAppointmentKey(AppointmentAt(item, item.start));
        // The same file read twice, or an event the agenda has already.
        if (present.uids.contains(item.uid) || (!item.repeats() && known.contains(key))) {
            ++import.alreadyPresent;
            continue;
        }
        known.insert(key);
        ++import.events;
        if (item.repeats()) ++import.series;
        if (item.summary.trimmed().isEmpty()) ++import.untitled;
        bool replaced = false;
        kesp::store::NearestStorable(item.summary, &replaced);
        if (replaced) ++import.textsReplaced;
        if (item.summary.trimmed().size() > kTextLength) ++import.longTexts;
        if (!item.allDay &&
            (item.start.time().minute() % kMinuteStep != 0 || item.start.time().second() != 0))
            ++import.exactTimes;
        CountKept(item, import);
        for (const CalendarItem& changed : event.changed)
            CountKept(changed, import);
        stored.append(event);
    }
    const StoringOutcome outcome =
        StoreEvents(dataPath, stored, StoreHorizon(DATE()), [&goOn](int done, int total) {
            return !goOn || goOn(kHalf + int(qint64{kHalf} * done / std::max(1, total)));
        });
    if (outcome.cancelled) {
        import.cancelled = true;
        return import;
    }
    import.appointments = outcome.appointments;
    return import;
}

QString CalendarImportSummary(const CalendarImport& import) {
    QStringList lines;
    lines.append(QString::number(import.appointments) + TEXT(kImported) +
                 (import.untitled > 0 ? TEXT(kWithoutTitle).arg(import.untitled) : QString()));
    if (import.series > 0) lines.append(TEXT(kFromEvents).arg(import.events).arg(import.series));
    if (import.alreadyPresent > 0) lines.append(TEXT(kAlreadyPresent).arg(import.alreadyPresent));
    if (import.longTexts > 0) lines.append(TEXT(kLongTexts).arg(import.longTexts));
    if (import.exactTimes > 0) lines.append(TEXT(kExactTimes).arg(import.exactTimes));
    if (import.eventsWithKept > 0)
        lines.append(
            TEXT(kKeptOnly)
                .arg(import.eventsWithKept)
                .arg(import.keptProperties.mid(0, kNamedAtMost).join(QStringLiteral(", "))));
    if (!import.keptComponents.isEmpty())
        lines.append(TEXT(kKeptComponents).arg(import.keptComponents.join(QStringLiteral(", "))));
    if (import.textsReplaced > 0) lines.append(TEXT(kTextsReplaced).arg(import.textsReplaced));
    if (!import.skipped.isEmpty()) {
        QStringList where;
        for (const SkippedEvent& skipped : import.skipped.mid(0, kNamedAtMost))
            where.append(QString::number(skipped.line));
        lines.append(
            TEXT(kSkipped).arg(import.skipped.size()).arg(where.join(QStringLiteral(", "))));
    }
    return lines.join(u'\r');
}

QByteArray CalendarFileOf(const QString& dataPath, const QList<NumberedAppointment>& shown,
                          int* events) {
    QList<CalendarItem> items;
    QSet<QString> written;
    QHash<QString, int> seen;
    for (const NumberedAppointment& one : shown) {
        const std::optional<AppointmentLink> link = LinkOf(dataPath, one.record, one.appointment);
        const QString key = SameAppointmentKey(one.appointment);
        const QString uid = link ? link->uid : ContentUid(one.appointment, seen[key]++);
        if (written.contains(uid)) continue;
        written.insert(uid);
        const std::optional<StoredEvent> event = link ? StoredEventOf(dataPath, uid) : std::nullopt;
        if (!event) {
            items.append(ItemOfAppointment(one.appointment, uid));
            continue;
        }
        CalendarItem item = event->item;
        item.uid = uid.size() >= item.uid.size() ? uid : item.uid;
        items.append(item);
        if (!item.repeats()) continue;
        for (const StoredEvent& changed : ChangedOccurrencesOf(dataPath, uid))
            items.append(changed.item);
    }
    if (events) *events = int(written.size());
    return WriteCalendarFile(items, QDateTime::currentDateTimeUtc());
}
