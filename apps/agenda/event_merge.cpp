#include "apps/agenda/event_merge.h"

#include "apps/agenda/calendar_file.h"

#include <QCryptographicHash>
#include <QMap>

#include <algorithm>
#include <optional>

namespace {

// The event first, then its changed occurrences by their RECID: the order
// the server's copy and this side's may differ in.
QList<CalendarItem> InOrder(QList<CalendarItem> items) {
    std::stable_sort(items.begin(), items.end(), [](const CalendarItem& a, const CalendarItem& b) {
        return a.recurrenceId < b.recurrenceId;
    });
    for (CalendarItem& item : items)
        item.line = 0;
    return items;
}

QMap<QString, CalendarItem> ByRecurrence(const QByteArray& body) {
    QMap<QString, CalendarItem> items;
    for (const CalendarItem& item : ReadCalendarFile(body).items)
        items.insert(item.recurrenceId, item);
    return items;
}

// Merges one value: the side that changed it since `base`; both: the local one.
template <typename Value>
void Take(const Value& base, const Value& local, Value& into, bool* conflict) {
    if (local == base) return;  // `into` holds the server's
    if (into != base && into != local) *conflict = true;
    into = local;
}

struct Timing {
    bool allDay;
    QDateTime start;
    QDateTime end;
    QString zone;
    bool operator==(const Timing&) const = default;
};

Timing TimingOf(const CalendarItem& item) {
    return {item.allDay, item.start, item.end, item.zone};
}

CalendarItem MergedItem(const CalendarItem& base, const CalendarItem& local, CalendarItem server,
                        bool* conflict) {
    Timing timing = TimingOf(server);
    Take(TimingOf(base), TimingOf(local), timing, conflict);
    server.allDay = timing.allDay;
    server.start = timing.start;
    server.end = timing.end;
    server.zone = timing.zone;
    Take(base.summary, local.summary, server.summary, conflict);
    Take(base.location, local.location, server.location, conflict);
    Take(base.description, local.description, server.description, conflict);
    Take(base.rule, local.rule, server.rule, conflict);
    Take(base.extraDates, local.extraDates, server.extraDates, conflict);
    Take(base.leftOutDates, local.leftOutDates, server.leftOutDates, conflict);
    Take(base.alarmMinutes, local.alarmMinutes, server.alarmMinutes, conflict);
    return server;
}

}  // namespace

QByteArray EventObject(const QList<CalendarItem>& items) {
    return WriteCalendarFile(items, QDateTime::currentDateTimeUtc());
}

QByteArray EventKind::contentType() const {
    return QByteArrayLiteral("text/calendar; charset=utf-8");
}

QString EventKind::suffix() const {
    return QStringLiteral(".ics");
}

QString EventKind::uidOf(const QByteArray& body) const {
    const CalendarFileReading reading = ReadCalendarFile(body);
    return reading.items.isEmpty() ? QString() : reading.items.first().uid;
}

QByteArray EventKind::fingerprint(const QByteArray& body) const {
    // Written again with a fixed stamp: what the agenda keeps, in one form.
    static const QDateTime kStamp(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    const QByteArray normal = WriteCalendarFile(InOrder(ReadCalendarFile(body).items), kStamp);
    return QCryptographicHash::hash(normal, QCryptographicHash::Sha256).toHex();
}

QByteArray EventKind::merged(const QByteArray& base, const QByteArray& local,
                             const QByteArray& server, bool* conflict) const {
    const QMap<QString, CalendarItem> before = ByRecurrence(base);
    const QMap<QString, CalendarItem> mine = ByRecurrence(local);
    QMap<QString, CalendarItem> theirs = ByRecurrence(server);
    QStringList ids = mine.keys() + theirs.keys() + before.keys();
    ids.removeDuplicates();
    for (const QString& id : ids) {
        const std::optional<CalendarItem> was =
            before.contains(id) ? std::optional(before[id]) : std::nullopt;
        if (!mine.contains(id)) {
            // Taken back here (an occurrence no more changed): gone there too,
            // unless it is new there.
            if (was) theirs.remove(id);
            continue;
        }
        if (!theirs.contains(id)) {
            if (!was) theirs.insert(id, mine[id]);  // new here
            continue;                               // taken back there: that stands
        }
        theirs[id] = MergedItem(was.value_or(theirs[id]), mine[id], theirs[id], conflict);
    }
    return EventObject(InOrder(theirs.values()));
}

QString EventKind::nameOf(const QByteArray& body) const {
    const CalendarFileReading reading = ReadCalendarFile(body);
    return reading.items.isEmpty() ? QStringLiteral("?") : reading.items.first().summary;
}
