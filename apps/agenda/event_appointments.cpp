#include "apps/agenda/event_appointments.h"

#include "apps/agenda/appointment_events.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/compact_times.h"
#include "store/codec.h"
#include "store/xbase.h"

#include <QSet>

#include <algorithm>

namespace {

constexpr int kStoredMonths = 18;
constexpr int kTextLength = 99;
constexpr int kMinuteStep = 5;

// "00" … "59", made once: every stored appointment takes two of them.
QString TwoDigits(int value) {
    static const QStringList texts = [] {
        QStringList made;
        for (int n = 0; n < 60; ++n)
            made.append(QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')));
        return made;
    }();
    return texts.value(value);
}

QString StorableText(const QString& summary) {
    QString text = kesp::store::NearestStorable(summary);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text.trimmed().left(kTextLength).trimmed();
}

// The appointment of `item` starting at `start`, its text given: the
// computer's day, hour and minute (in its own zone no conversion is needed).
Appointment AppointmentShowing(const CalendarItem& item, const QDateTime& start,
                               const QString& text) {
    if (item.allDay) return {.date = start.date(), .hour = {}, .minute = {}, .text = text};
    static const QString computerZone = ComputerZone();
    const QDateTime local =
        item.zone.isEmpty() || item.zone == computerZone ? start : LocalTimeOf(start, item.zone);
    const QTime time = local.time();
    return {.date = local.date(),
            .hour = TwoDigits(time.hour()),
            .minute = TwoDigits(time.minute() - time.minute() % kMinuteStep),
            .text = text};
}

// One appointment to append, with its link.
struct Planned {
    Appointment appointment;
    AppointmentLink link;
};

// The appointments of one start of `item` (every day of an all-day event).
void PlanStart(const CalendarItem& item, const QDateTime& start, const QString& recurrenceId,
               const QString& text, QList<Planned>& planned) {
    const Appointment first = AppointmentShowing(item, start, text);
    planned.append({first, {item.uid, recurrenceId}});
    if (!item.allDay || !item.end.isValid()) return;
    // The end is the day after the last; every occurrence lasts as long.
    const qint64 length = item.start.date().daysTo(item.end.date());
    for (qint64 day = 1; day < length; ++day) {
        Appointment next = first;
        next.date = first.date.addDays(day);
        planned.append({next, {item.uid, recurrenceId}});
    }
}

// The appointments of a whole event up to `horizon`: every occurrence not
// left out, a changed one in place of its own, each changed one once.
QList<Planned> PlanEvent(const EventToStore& event, const QDate& horizon, const QDate& after = {}) {
    QList<Planned> planned;
    const CalendarItem& item = event.item;
    QHash<QString, const CalendarItem*> changed;
    for (const CalendarItem& one : event.changed)
        changed.insert(RecurrenceIdOf(one, item), &one);
    const QString text = StorableText(item.summary);
    if (!item.repeats()) {
        PlanStart(item, item.start, QString(), text, planned);
        return planned;
    }
    const QDate until = SeriesEnds(item) ? QDate(9999, 12, 31) : horizon;
    QSet<QString> placed;
    for (const QDateTime& start : OccurrenceStarts(item, until)) {
        if (after.isValid() && start.date() <= after) continue;
        const QString id = RecurrenceIdText(start, item.allDay);
        // Stored further on: the changed occurrences were stored with the series.
        if (after.isValid() && changed.contains(id)) continue;
        if (const CalendarItem* own = changed.value(id)) {
            PlanStart(*own, own->start, id, StorableText(own->summary), planned);
            placed.insert(id);
        } else {
            PlanStart(item, start, id, text, planned);
        }
    }
    if (after.isValid()) return planned;
    // Changed occurrences whose original start the rule does not give (a file
    // may hold them) are kept all the same.
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        if (!placed.contains(it.key()))
            PlanStart(*it.value(), it.value()->start, it.key(), StorableText(it.value()->summary),
                      planned);
    return planned;
}

// Appends the planned appointments and their links; see the header for the
// order of the writes. False: `goOn` said stop, nothing stored.
bool AppendPlanned(const QString& dataPath, const QList<Planned>& planned,
                   const std::function<bool(int done, int total)>& goOn) {
    const int first = RECCOUNT() + 1;
    QList<LinkedRecord> links;
    QList<Appointment> appointments;
    links.reserve(planned.size());
    appointments.reserve(planned.size());
    for (qsizetype i = 0; i < planned.size(); ++i) {
        links.append({first + int(i), planned[i].appointment, planned[i].link});
        appointments.append(planned[i].appointment);
    }
    AddLinks(dataPath, links);
    QList<int> numbers;
    for (const LinkedRecord& link : links)
        numbers.append(link.record);
    bool stored = false;
    try {
        stored = AppendAppointments(appointments, [&goOn, &appointments](int done) {
            return !goOn || goOn(done, int(appointments.size()));
        });
    } catch (...) {
        DropLinks(dataPath, numbers);
        throw;
    }
    if (!stored) DropLinks(dataPath, numbers);
    return stored;
}

}  // namespace

QDate StoreHorizon(const QDate& day) {
    return day.addMonths(kStoredMonths);
}

QString RecurrenceIdText(const QDateTime& start, bool allDay) {
    return allDay ? CompactDate(start.date()) : CompactDateTime(start);
}

QString RecurrenceIdOf(const CalendarItem& changed, const CalendarItem& series) {
    QString text = changed.recurrenceId.trimmed();
    if (text.size() == 8) return text;
    QDateTime moment = QDateTime::fromString(text.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
    if (!moment.isValid()) return text;
    if (text.endsWith(u'Z', Qt::CaseInsensitive) && series.zone != QLatin1String("UTC"))
        moment = WallClockIn(InstantOf(moment.date(), moment.time(), QStringLiteral("UTC")),
                             series.zone);
    else if (changed.zone != series.zone && !changed.zone.isEmpty())
        moment = WallClockIn(InstantOf(moment.date(), moment.time(), changed.zone), series.zone);
    return RecurrenceIdText(moment, series.allDay);
}

Appointment AppointmentAt(const CalendarItem& item, const QDateTime& start) {
    return AppointmentShowing(item, start, StorableText(item.summary));
}

bool NeedsEventRow(const CalendarItem& item) {
    const QTime time = item.start.time();
    const bool exactTime = !item.allDay && (time.minute() % kMinuteStep != 0 || time.second() != 0);
    const bool multiDay =
        item.allDay && item.end.isValid() && item.start.date().daysTo(item.end.date()) > 1;
    const bool ownZone = !item.allDay && !item.zone.isEmpty() && item.zone != ComputerZone();
    return item.repeats() || !item.recurrenceId.isEmpty() || multiDay ||
           (!item.allDay && item.end.isValid()) || !item.location.isEmpty() ||
           !item.description.isEmpty() || ownZone || exactTime ||
           StorableText(item.summary) != item.summary.trimmed() || !item.keptLines.isEmpty() ||
           item.alarmMinutes >= 0 || item.uid.size() > 200;
}

StoringOutcome StoreEvents(const QString& dataPath, const QList<EventToStore>& events,
                           const QDate& horizon,
                           const std::function<bool(int done, int total)>& goOn) {
    QList<StoredEvent> rows;
    QList<Planned> planned;
    for (const EventToStore& event : events) {
        const bool openSeries = event.item.repeats() && !SeriesEnds(event.item);
        if (NeedsEventRow(event.item))
            rows.append({.item = event.item, .storedUntil = openSeries ? horizon : QDate()});
        for (const CalendarItem& changed : event.changed) {
            CalendarItem own = changed;
            own.recurrenceId = RecurrenceIdOf(changed, event.item);
            rows.append({.item = own});
        }
        planned.append(PlanEvent(event, horizon));
    }
    WriteEventRows(dataPath, rows);
    const auto takeBack = [&dataPath, &rows] {
        for (const StoredEvent& row : rows)
            MarkEventDeleted(dataPath, row.item.uid, true);
    };
    bool stored = false;
    try {
        stored = AppendPlanned(dataPath, planned, goOn);
    } catch (...) {
        takeBack();
        throw;
    }
    if (!stored) {
        takeBack();
        return {.cancelled = true};
    }
    return {.appointments = int(planned.size())};
}

namespace {

bool StoredUpTo(const StoredEvent& series, const QDate& horizon) {
    return series.storedUntil.isValid() && series.storedUntil >= horizon;
}

}  // namespace

bool OpenSeriesAwaitStoring(const QString& dataPath, const QDate& horizon) {
    const QList<StoredEvent> open = OpenSeries(dataPath);
    return std::any_of(open.begin(), open.end(), [&horizon](const StoredEvent& series) {
        return !StoredUpTo(series, horizon);
    });
}

int StoreOpenSeriesUntil(const QString& dataPath, const QDate& horizon) {
    QList<StoredEvent> extended;
    QList<Planned> planned;
    for (StoredEvent& series : OpenSeries(dataPath)) {
        if (StoredUpTo(series, horizon)) continue;
        EventToStore event{series.item, {}};
        for (const StoredEvent& changed : ChangedOccurrencesOf(dataPath, series.item.uid))
            event.changed.append(changed.item);
        planned.append(PlanEvent(event, horizon, series.storedUntil));
        series.storedUntil = horizon;
        extended.append(series);
    }
    if (extended.isEmpty()) return 0;
    AppendPlanned(dataPath, planned, {});
    WriteEventRows(dataPath, extended);
    return int(planned.size());
}

void TakeBackLeftOutDates(const QString& dataPath, const QString& uid,
                          const QStringList& recurrenceIds) {
    std::optional<StoredEvent> series = StoredEventOf(dataPath, uid);
    if (!series || !series->item.repeats()) return;
    const bool allDay = series->item.allDay;
    const qsizetype removed =
        series->item.leftOutDates.removeIf([&recurrenceIds, allDay](const QDateTime& date) {
            return recurrenceIds.contains(RecurrenceIdText(date, allDay));
        });
    if (removed == 0) return;
    QList<StoredEvent> rows{*series};
    WriteEventRows(dataPath, rows);
}

QDate OpenSeriesStoredUntil(const QString& dataPath) {
    QDate earliest;
    for (const StoredEvent& series : OpenSeries(dataPath))
        if (!earliest.isValid() || series.storedUntil < earliest) earliest = series.storedUntil;
    return earliest;
}
