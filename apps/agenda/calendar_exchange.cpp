#include "apps/agenda/calendar_exchange.h"

#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/event_appointments.h"
#include "kernel/public_variables.h"
#include "store/codec.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QHash>
#include <QSet>

namespace {

using namespace agenda_texts;

constexpr int kTextLength = 99;
constexpr int kMinuteStep = 5;
constexpr int kHalf = 1000;
constexpr int kNamedAtMost = 5;
constexpr qsizetype kAskAboveEvents = 100'000;
constexpr int kMinutesOfAnAppointment = 30;

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
    QList<LinkedRecord> live;
    DBEVALLIVE([&] { live.append({RECNO(), ReadAppointment(alias), {}}); });
    FillLinks(dataPath, live);
    QHash<QString, int> seen;
    for (const LinkedRecord& one : live) {
        const QString key = SameAppointmentKey(one.appointment);
        present.appointments.insert(key);
        present.uids.insert(one.link.uid.isEmpty() ? ContentUid(one.appointment, seen[key]++)
                                                   : one.link.uid);
    }
    return present;
}

// The name of a kept line's property ("ATTENDEE;CN=…:…" → "ATTENDEE").
QString PropertyName(const QString& line) {
    qsizetype end = 0;
    while (end < line.size() && line[end] != u';' && line[end] != u':')
        ++end;
    return line.left(end).trimmed().toUpper();
}

void CountKept(const CalendarItem& item, CalendarImport& imported) {
    if (item.keptLines.isEmpty()) return;
    ++imported.eventsWithKept;
    for (const QString& line : item.keptLines.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        if (line.startsWith(u' ') || line.startsWith(u'\t')) continue;
        const QString name = PropertyName(line);
        const QString shown = name == QLatin1String("BEGIN") ? line.mid(6).trimmed() : name;
        if (name != QLatin1String("END") && !imported.keptProperties.contains(shown))
            imported.keptProperties.append(shown);
    }
}

}  // namespace

QList<EventToStore> EventsToStore(const QList<CalendarItem>& items) {
    // Each event with its changed occurrences; a changed occurrence whose
    // series the items do not hold stands on its own.
    QList<EventToStore> events;
    QHash<QString, qsizetype> byUid;
    for (const CalendarItem& item : items) {
        if (item.recurrenceId.isEmpty()) {
            byUid.insert(item.uid, events.size());
            events.append({item, {}});
        }
    }
    for (const CalendarItem& item : items) {
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
    return events;
}

CalendarImport ImportCalendarBytes(const QString& dataPath, const QByteArray& bytes,
                                   const std::function<bool(int thousandths)>& goOn,
                                   const std::function<bool(qsizetype events)>& mayStoreMany) {
    CalendarImport imported;
    const CalendarFileReading reading =
        ReadCalendarFile(bytes, [&goOn](qsizetype read, qsizetype lines) {
            return !goOn || goOn(int(kHalf * read / std::max<qsizetype>(1, lines)));
        });
    if (reading.cancelled) {
        imported.cancelled = true;
        return imported;
    }
    if (!reading.problem.isEmpty()) {
        imported.problem = TEXT(kNotICalendar);
        return imported;
    }
    imported.read = true;
    if (reading.items.size() > kAskAboveEvents && mayStoreMany &&
        !mayStoreMany(reading.items.size())) {
        imported.declined = true;
        return imported;
    }
    imported.skipped = reading.skipped;
    imported.keptComponents = reading.keptComponents;

    QList<EventToStore> events = EventsToStore(reading.items);

    const Present present = PresentInAgenda(dataPath);
    QSet<QString> known = present.appointments;
    QList<EventToStore> stored;
    for (EventToStore& event : events) {
        CalendarItem& item = event.item;
        if (item.uid.isEmpty()) item.uid = NewEventUid();
        const QString key = SameAppointmentKey(AppointmentAt(item, item.start));
        // The same file read twice, or an event the agenda has already.
        if (present.uids.contains(item.uid) || (!item.repeats() && known.contains(key))) {
            ++imported.alreadyPresent;
            continue;
        }
        known.insert(key);
        ++imported.events;
        if (item.repeats()) ++imported.series;
        if (item.summary.trimmed().isEmpty()) ++imported.untitled;
        imported.lost.kept(item.summary, item.summary.trimmed());
        if (item.summary.trimmed().size() > kTextLength) ++imported.longTexts;
        if (!item.allDay &&
            (item.start.time().minute() % kMinuteStep != 0 || item.start.time().second() != 0))
            ++imported.exactTimes;
        CountKept(item, imported);
        for (const CalendarItem& changed : event.changed)
            CountKept(changed, imported);
        stored.append(event);
    }
    // The components that are no event first, taken back with the events
    // when those are not stored.
    const QList<int> keptRows = KeepComponents(dataPath, reading.components);
    StoringOutcome outcome;
    try {
        outcome = StoreEvents(dataPath, stored, StoreHorizon(DATE()), [&goOn](int done, int total) {
            return !goOn || goOn(kHalf + int(qint64{kHalf} * done / std::max(1, total)));
        });
    } catch (...) {
        ForgetKeptComponents(dataPath, keptRows);
        throw;
    }
    if (outcome.cancelled) {
        ForgetKeptComponents(dataPath, keptRows);
        imported.cancelled = true;
        return imported;
    }
    imported.appointments = outcome.appointments;
    return imported;
}

CalendarItem ItemOfAppointment(const Appointment& appointment, const QString& uid) {
    CalendarItem item;
    item.uid = uid;
    item.summary = appointment.text;
    bool hourRead = false;
    bool minuteRead = false;
    const int hour = appointment.hour.trimmed().toInt(&hourRead);
    const int minute = appointment.minute.trimmed().toInt(&minuteRead);
    // An appointment says nothing of its end: it lasts half an hour, or its day.
    if (hourRead && minuteRead && hour < 24 && minute < 60) {
        item.zone = ComputerZone();
        const QDateTime start(appointment.date, QTime(hour, minute));
        item.start = ZoneTimeOf(start, item.zone);
        item.end = ZoneTimeOf(start.addSecs(kMinutesOfAnAppointment * 60), item.zone);
    } else {
        // A time another program stored unreadably, or none: the whole day.
        item.allDay = true;
        item.start = QDateTime(appointment.date, QTime(0, 0));
        item.end = item.start.addDays(1);
    }
    return item;
}

QString CalendarImportSummary(const CalendarImport& imported) {
    QStringList lines;
    lines.append(QString::number(imported.appointments) + TEXT(kImported) +
                 (imported.untitled > 0 ? TEXT(kWithoutTitle).arg(imported.untitled) : QString()));
    if (imported.series > 0)
        lines.append(TEXT(kFromEvents).arg(imported.events).arg(imported.series));
    if (imported.alreadyPresent > 0)
        lines.append(TEXT(kAlreadyPresent).arg(imported.alreadyPresent));
    if (imported.longTexts > 0) lines.append(TEXT(kLongTexts).arg(imported.longTexts));
    if (imported.exactTimes > 0) lines.append(TEXT(kExactTimes).arg(imported.exactTimes));
    if (imported.eventsWithKept > 0)
        lines.append(
            TEXT(kKeptOnly)
                .arg(imported.eventsWithKept)
                .arg(imported.keptProperties.mid(0, kNamedAtMost).join(QStringLiteral(", "))));
    if (!imported.keptComponents.isEmpty())
        lines.append(TEXT(kKeptComponents).arg(imported.keptComponents.join(QStringLiteral(", "))));
    if (imported.lost.count() > 0) lines.append(imported.lost.summaryLine());
    if (!imported.skipped.isEmpty()) {
        QStringList where;
        for (const SkippedEvent& skipped : imported.skipped.mid(0, kNamedAtMost))
            where.append(QString::number(skipped.line));
        lines.append(
            TEXT(kSkipped).arg(imported.skipped.size()).arg(where.join(QStringLiteral(", "))));
    }
    return lines.join(u'\r');
}

QList<AgendaEvent> EventsOfAppointments(const QString& dataPath,
                                        const QList<NumberedAppointment>& shown) {
    QList<LinkedRecord> linked;
    linked.reserve(shown.size());
    for (const NumberedAppointment& one : shown)
        linked.append({one.record, one.appointment, {}});
    FillLinks(dataPath, linked);
    const QMultiHash<QString, StoredEvent> rows = EventRowsByUid(dataPath);
    QList<AgendaEvent> events;
    QHash<QString, qsizetype> eventOfUid;
    QHash<QString, int> seen;
    for (const LinkedRecord& one : linked) {
        const QString key = SameAppointmentKey(one.appointment);
        const QString uid =
            one.link.uid.isEmpty() ? ContentUid(one.appointment, seen[key]++) : one.link.uid;
        if (const auto at = eventOfUid.constFind(uid); at != eventOfUid.cend()) {
            events[*at].records.append(one.record);
            continue;
        }
        eventOfUid.insert(uid, events.size());
        AgendaEvent event{uid, {}, {one.record}};
        // The event's own row first, then its changed occurrences.
        QList<CalendarItem> changed;
        std::optional<CalendarItem> own;
        if (!one.link.uid.isEmpty()) {
            for (const StoredEvent& row : rows.values(uid)) {
                if (row.item.recurrenceId.isEmpty())
                    own = row.item;
                else
                    changed.append(row.item);
            }
        }
        if (!own) {
            event.items.append(ItemOfAppointment(one.appointment, uid));
        } else {
            event.items.append(*own);
            if (own->repeats()) event.items.append(changed);
        }
        events.append(event);
    }
    return events;
}

QByteArray CalendarFileOf(const QString& dataPath, const QList<NumberedAppointment>& shown,
                          int* events) {
    QList<CalendarItem> items;
    const QList<AgendaEvent> found = EventsOfAppointments(dataPath, shown);
    for (const AgendaEvent& event : found)
        items.append(event.items);
    if (events) *events = int(found.size());
    return WriteCalendarFile(items, QDateTime::currentDateTimeUtc(), KeptComponents(dataPath));
}
