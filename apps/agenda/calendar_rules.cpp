#include "apps/agenda/calendar_rules.h"

#include "apps/agenda/calendar_zones.h"

#include <QHash>
#include <QSet>
#include <QTimeZone>

#include <libical/ical.h>

#include <algorithm>

namespace {

const QTimeZone& ZoneNamed(const QString& zone) {
    thread_local QHash<QString, QTimeZone> zones;
    auto found = zones.find(zone);
    if (found == zones.end()) found = zones.insert(zone, QTimeZone(zone.toUtf8()));
    return *found;
}

bool IsUtc(const QString& zone) {
    return zone == QLatin1String("UTC");
}

// Wall-clock times as seconds, counted as if they were UTC: a plain number
// on which gaps and left-out dates are compared.
constexpr qint64 kSecondsOfADay = 86400;
constexpr qint64 kJulianDayOfTheEpoch = 2440588;  // 1 January 1970

qint64 WallSeconds(const QDate& date, const QTime& time) {
    return (date.toJulianDay() - kJulianDayOfTheEpoch) * kSecondsOfADay +
           time.msecsSinceStartOfDay() / 1000;
}

QDateTime FromWallSeconds(qint64 seconds) {
    const qint64 day = seconds >= 0 ? seconds / kSecondsOfADay
                                    : -((-seconds + kSecondsOfADay - 1) / kSecondsOfADay);
    const qint64 second = seconds - day * kSecondsOfADay;
    return QDateTime(QDate::fromJulianDay(day + kJulianDayOfTheEpoch),
                     QTime::fromMSecsSinceStartOfDay(int(second * 1000)));
}

icaltimetype IcalWallClock(const QDate& date, const QTime& time, bool dateOnly) {
    icaltimetype out = icaltime_null_time();
    out.year = date.year();
    out.month = date.month();
    out.day = date.day();
    out.is_date = dateOnly ? 1 : 0;
    if (!dateOnly) {
        out.hour = time.hour();
        out.minute = time.minute();
        out.second = time.second();
    }
    return out;
}

// The spring gaps of `zone` between two moments, as wall-clock seconds
// [from, to).
QList<std::pair<qint64, qint64>> Gaps(const QString& zone, const QDateTime& from,
                                      const QDateTime& to) {
    QList<std::pair<qint64, qint64>> gaps;
    if (zone.isEmpty() || IsUtc(zone)) return gaps;
    const QTimeZone& tz = ZoneNamed(zone);
    if (!tz.isValid()) return gaps;
    for (const QTimeZone::OffsetData& change : tz.transitions(from, to)) {
        const qint64 at = change.atUtc.toSecsSinceEpoch();
        const int before =
            tz.offsetFromUtc(QDateTime::fromSecsSinceEpoch(at - 1, QTimeZone::utc()));
        if (change.offsetFromUtc > before) gaps.append({at + before, at + change.offsetFromUtc});
    }
    return gaps;
}

// Whether a rule can give a date at all. libical looks for the next one
// without end when a rule of days or shorter steps names days of the month
// that exist in none of its months ("FREQ=DAILY;BYMONTH=2;BYMONTHDAY=30"),
// and for seconds when a monthly rule names only a sixth weekday or later.
bool CanComeUp(const icalrecurrencetype& rule) {
    if (rule.freq == ICAL_MONTHLY_RECURRENCE && rule.by_day[0] != ICAL_RECURRENCE_ARRAY_MAX) {
        bool possible = false;
        for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            possible = possible || qAbs(icalrecurrencetype_day_position(rule.by_day[i])) <= 5;
        if (!possible) return false;
    }
    if (rule.freq < ICAL_SECONDLY_RECURRENCE || rule.freq > ICAL_DAILY_RECURRENCE ||
        rule.by_month_day[0] == ICAL_RECURRENCE_ARRAY_MAX)
        return true;
    for (int month = 1; month <= 12; ++month) {
        bool named = rule.by_month[0] == ICAL_RECURRENCE_ARRAY_MAX;
        for (int i = 0;
             !named && i < ICAL_BY_MONTH_SIZE && rule.by_month[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            named = rule.by_month[i] == month;
        if (!named) continue;
        const int days = QDate(2028, month, 1).daysInMonth();  // a leap year: the 29th of February
        for (int i = 0;
             i < ICAL_BY_MONTHDAY_SIZE && rule.by_month_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            if (rule.by_month_day[i] != 0 && qAbs(rule.by_month_day[i]) <= days) return true;
    }
    return false;
}

}  // namespace

QDateTime WallClockIn(const QDateTime& utc, const QString& zone) {
    QDateTime there = utc;
    if (zone.isEmpty())
        there = utc.toLocalTime();
    else if (!IsUtc(zone) && ZoneNamed(zone).isValid())
        there = utc.toTimeZone(ZoneNamed(zone));
    else
        there = utc.toUTC();
    return QDateTime(there.date(), there.time());
}

QString ComputerZone() {
    const QString id = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    const QString known = KnownZoneId(id);
    return known.isEmpty() ? id : known;
}

QDateTime InstantOf(const QDate& date, const QTime& time, const QString& zone) {
    if (IsUtc(zone)) return QDateTime(date, time, QTimeZone::utc());
    const QTimeZone& tz =
        zone.isEmpty() ? QTimeZone(QTimeZone::systemTimeZoneId()) : ZoneNamed(zone);
    if (!tz.isValid()) return QDateTime(date, time, QTimeZone::utc());
    return InstantOfWallClock(date, time, [&tz](qint64 seconds) {
        return tz.offsetFromUtc(QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()));
    });
}

QDateTime LocalTimeOf(const QDateTime& start, const QString& zone) {
    if (zone.isEmpty()) return QDateTime(start.date(), start.time());
    return WallClockIn(InstantOf(start.date(), start.time(), zone), QString());
}

QDateTime ZoneTimeOf(const QDateTime& local, const QString& zone) {
    if (zone.isEmpty()) return QDateTime(local.date(), local.time());
    return WallClockIn(InstantOf(local.date(), local.time(), QString()), zone);
}

bool SeriesEnds(const CalendarItem& series) {
    if (series.rule.isEmpty()) return true;
    const icalrecurrencetype rule =
        icalrecurrencetype_from_string(series.rule.toUtf8().constData());
    return rule.freq == ICAL_NO_RECURRENCE || !CanComeUp(rule) || rule.count > 0 ||
           !icaltime_is_null_time(rule.until);
}

QList<QDateTime> OccurrenceStarts(const CalendarItem& series, const QDate& until, int limit) {
    const QDate firstDate = series.start.date();
    const QTime firstTime = series.allDay ? QTime(0, 0) : series.start.time();
    if (!firstDate.isValid() || firstDate > until || limit <= 0) return {};
    const qint64 first = WallSeconds(firstDate, firstTime);
    const qint64 last = WallSeconds(until, QTime(23, 59, 59));

    QSet<qint64> leftOut;
    for (const QDateTime& date : series.leftOutDates)
        leftOut.insert(series.allDay ? WallSeconds(date.date(), QTime(0, 0))
                                     : WallSeconds(date.date(), date.time()));

    QList<qint64> starts;  // wall-clock seconds
    if (!series.rule.isEmpty()) {
        icalrecurrencetype rule = icalrecurrencetype_from_string(series.rule.toUtf8().constData());
        if (rule.freq == ICAL_NO_RECURRENCE || !CanComeUp(rule)) return {FromWallSeconds(first)};
        // The iteration runs on floating wall-clock times: libical's zoned
        // iteration carries the hour a spring gap moved into every later
        // occurrence. An UNTIL in UTC is moved to the series' wall clock.
        if (!icaltime_is_null_time(rule.until)) {
            const icaltimetype end = rule.until;
            QDate endDate(end.year, end.month, end.day);
            QTime endTime =
                end.is_date ? QTime(23, 59, 59) : QTime(end.hour, end.minute, end.second);
            if (icaltime_is_utc(end) && !end.is_date) {
                const QDateTime wall =
                    WallClockIn(QDateTime(endDate, endTime, QTimeZone::utc()), series.zone);
                endDate = wall.date();
                endTime = wall.time();
            }
            rule.until = IcalWallClock(endDate, series.allDay ? QTime() : endTime, series.allDay);
        }
        icalrecur_iterator* iterator =
            icalrecur_iterator_new(rule, IcalWallClock(firstDate, firstTime, series.allDay));
        if (!iterator) return {FromWallSeconds(first)};
        // The first start always counts, as the first of COUNT too, even where
        // the rule would not give it.
        int count = rule.count > 0 ? rule.count : -1;
        starts.append(first);
        if (count > 0) --count;
        for (icaltimetype next = icalrecur_iterator_next(iterator);
             !icaltime_is_null_time(next) && count != 0; next = icalrecur_iterator_next(iterator)) {
            const qint64 at = WallSeconds(QDate(next.year, next.month, next.day),
                                          QTime(next.hour, next.minute, next.second));
            if (at > last) break;
            if (at == first) continue;
            starts.append(at);
            if (count > 0) --count;
            if (starts.size() >= qsizetype(limit) + leftOut.size()) break;
        }
        icalrecur_iterator_free(iterator);
    } else {
        starts.append(first);
    }
    for (const QDateTime& extra : series.extraDates) {
        const qint64 at = WallSeconds(extra.date(), series.allDay ? QTime(0, 0) : extra.time());
        if (at >= first && at <= last) starts.append(at);
    }
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

    const QList<std::pair<qint64, qint64>> gaps =
        series.allDay
            ? QList<std::pair<qint64, qint64>>()
            : Gaps(series.zone, QDateTime::fromSecsSinceEpoch(first - 2 * 86400, QTimeZone::utc()),
                   QDateTime::fromSecsSinceEpoch(starts.last() + 2 * 86400, QTimeZone::utc()));
    QList<QDateTime> out;
    out.reserve(qMin<qsizetype>(starts.size(), limit));
    qsizetype gap = 0;
    for (qint64 at : starts) {
        if (leftOut.contains(at)) continue;
        while (gap < gaps.size() && gaps[gap].second <= at)
            ++gap;
        if (gap < gaps.size() && gaps[gap].first <= at)
            at += gaps[gap].second - gaps[gap].first;  // 02:30 in the gap is 03:30
        out.append(FromWallSeconds(at));
        if (out.size() >= limit) break;
    }
    return out;
}
