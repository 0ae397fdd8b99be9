#include "apps/agenda/calendar_zones.h"

#include <QHash>
#include <QPair>

#include <QList>
#include <QStringList>
#include <QTimeZone>

#include <libical/ical.h>

namespace {

// Old Windows names (as calendar programs of the Windows XP years wrote
// them) that do not become the present name by adding " Standard Time".
struct OldWindowsName {
    const char* name;
    const char* zone;
};
constexpr OldWindowsName kOldWindowsNames[] = {
    {"Mexico", "America/Mexico_City"},
    {"Mexico Standard Time 2", "America/Chihuahua"},
    {"Jerusalem", "Asia/Jerusalem"},
    {"Tehran", "Asia/Tehran"},
    {"Prague Bratislava", "Europe/Prague"},
    {"Sarajevo", "Europe/Sarajevo"},
    {"Warsaw", "Europe/Warsaw"},
    {"Lisbon Warsaw", "Europe/Lisbon"},
    {"Bangkok", "Asia/Bangkok"},
    {"Beijing", "Asia/Shanghai"},
    {"Mid-Atlantic", "Atlantic/South_Georgia"},
};

bool Known(const QString& id) {
    return !id.isEmpty() && QTimeZone::isTimeZoneIdAvailable(id.toUtf8());
}

QString Canonical(const QString& id) {
    static const QStringList utcNames = {"UTC", "Z", "GMT", "Etc/UTC", "Etc/GMT", "UT", "Zulu"};
    return utcNames.contains(id, Qt::CaseInsensitive) ? QStringLiteral("UTC") : id;
}

QString WindowsZone(const QString& name) {
    for (const QString& windowsId : {name, name + QStringLiteral(" Standard Time")}) {
        const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(windowsId.toUtf8());
        if (!iana.isEmpty()) return QString::fromUtf8(iana);
    }
    for (const OldWindowsName& old : kOldWindowsNames)
        if (name.compare(QLatin1String(old.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(old.zone);
    return {};
}

// The zones to try a definition against: the computer's own first, then the
// one each Windows name stands for, then all others.
QList<QByteArray> CandidateZones() {
    QList<QByteArray> first{QTimeZone::systemTimeZoneId()};
    QList<QByteArray> second, rest;
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds()) {
        if (id == first.front()) continue;
        const QByteArray windows = QTimeZone::ianaIdToWindowsId(id);
        if (!windows.isEmpty() && QTimeZone::windowsIdToDefaultIanaId(windows) == id)
            second.append(id);
        else
            rest.append(id);
    }
    return first + second + rest;
}

int LibicalOffset(icaltimezone* zone, qint64 utcSeconds) {
    icaltimetype utc = icaltime_from_timet_with_zone(static_cast<time_t>(utcSeconds), 0,
                                                     icaltimezone_get_utc_timezone());
    return icaltimezone_get_utc_offset_of_utc_time(zone, &utc, nullptr);
}

QString MatchingZone(icaltimezone* own, const QDate& near) {
    // Offsets every fortnight over three years around `near`, and on both
    // sides of each change of a candidate.
    const qint64 from =
        QDateTime(near.addYears(-1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
    const qint64 to = QDateTime(near.addYears(2), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch();
    QList<qint64> probes;
    QList<int> offsets;
    for (qint64 at = from; at < to; at += 14 * 86400) {
        probes.append(at);
        offsets.append(LibicalOffset(own, at));
    }
    // Of the zones that agree there, the one that agreed longest before
    // (America/New_York rather than a zone that took the same rules later).
    QString best;
    int bestYears = -1;
    for (const QByteArray& id : CandidateZones()) {
        const QTimeZone candidate(id);
        const auto offsetAt = [&candidate](qint64 at) {
            return candidate.offsetFromUtc(QDateTime::fromSecsSinceEpoch(at, QTimeZone::utc()));
        };
        bool same = true;
        for (qsizetype i = 0; same && i < probes.size(); ++i)
            same = offsetAt(probes[i]) == offsets[i];
        if (!same) continue;
        const auto changes =
            candidate.transitions(QDateTime::fromSecsSinceEpoch(from, QTimeZone::utc()),
                                  QDateTime::fromSecsSinceEpoch(to, QTimeZone::utc()));
        for (const QTimeZone::OffsetData& change : changes) {
            const qint64 at = change.atUtc.toSecsSinceEpoch();
            same = same && LibicalOffset(own, at) == change.offsetFromUtc &&
                   LibicalOffset(own, at - 1) == offsetAt(at - 1);
        }
        if (!same) continue;
        int years = 0;
        for (qint64 at = from; years < 60 && same; ++years, at -= 365 * 86400)
            same = offsetAt(at) == LibicalOffset(own, at) &&
                   offsetAt(at - 182 * 86400) == LibicalOffset(own, at - 182 * 86400);
        if (years > bestYears) {
            best = QString::fromUtf8(id);
            bestYears = years;
        }
    }
    return best;
}

}  // namespace

QString KnownZoneId(const QString& tzid) {
    QString id = tzid.trimmed();
    if (id.size() >= 2 && id.startsWith(u'"') && id.endsWith(u'"')) id = id.mid(1, id.size() - 2);
    id = Canonical(id);
    if (id == QLatin1String("UTC") || Known(id)) return id;
    const QStringList parts = id.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype take = qMin<qsizetype>(3, parts.size()); take >= 1; --take) {
        const QString tail = Canonical(parts.mid(parts.size() - take).join(u'/'));
        if (tail == QLatin1String("UTC") || Known(tail)) return tail;
    }
    return WindowsZone(id);
}

QDateTime InstantOfWallClock(const QDate& date, const QTime& time,
                             const std::function<int(qint64 utcSeconds)>& offsetAt) {
    const qint64 wall = QDateTime(date, time, QTimeZone::utc()).toSecsSinceEpoch();
    const int before = offsetAt(wall - 86400);
    const int after = offsetAt(wall + 86400);
    const bool withBefore = offsetAt(wall - before) == before;
    const bool withAfter = offsetAt(wall - after) == after;
    qint64 instant = wall - before;  // also the time after a gap
    if (withBefore && withAfter)
        instant = qMin(wall - before, wall - after);
    else if (withAfter)
        instant = wall - after;
    return QDateTime::fromSecsSinceEpoch(instant, QTimeZone::utc());
}

struct CalendarZones::Definition {
    QString zone;                 // the IANA zone; empty: none
    icaltimezone* own = nullptr;  // the file's definition, when no IANA zone matches it
    ~Definition() {
        if (own) icaltimezone_free(own, 1);
    }
};

CalendarZones::CalendarZones(QHash<QString, QString> definitions)
    : definitions_(std::move(definitions)) {}

CalendarZones::~CalendarZones() = default;

CalendarZones::ZonedTime CalendarZones::resolve(const QString& tzid, const QDate& date,
                                                const QTime& time) {
    std::shared_ptr<Definition>& entry = resolved_[tzid];
    if (!entry) {
        entry = std::make_shared<Definition>();
        entry->zone = KnownZoneId(tzid);
        const QString text = definitions_.value(tzid);
        if (entry->zone.isEmpty() && !text.isEmpty()) {
            icalcomponent* vtimezone = icalparser_parse_string(text.toUtf8().constData());
            if (vtimezone && icalcomponent_isa(vtimezone) == ICAL_VTIMEZONE_COMPONENT) {
                for (icalproperty* x = icalcomponent_get_first_property(vtimezone, ICAL_X_PROPERTY);
                     x && entry->zone.isEmpty();
                     x = icalcomponent_get_next_property(vtimezone, ICAL_X_PROPERTY))
                    if (qstrcmp(icalproperty_get_x_name(x), "X-LIC-LOCATION") == 0)
                        entry->zone = KnownZoneId(QString::fromUtf8(icalproperty_get_x(x)));
                icaltimezone* own = icaltimezone_new();
                if (entry->zone.isEmpty() && icaltimezone_set_component(own, vtimezone)) {
                    vtimezone = nullptr;  // the zone holds it now
                    entry->own = own;
                    entry->zone = MatchingZone(own, date);
                    if (!entry->zone.isEmpty()) {
                        icaltimezone_free(own, 1);
                        entry->own = nullptr;
                    }
                } else {
                    icaltimezone_free(own, 1);
                }
            }
            if (vtimezone) icalcomponent_free(vtimezone);
        }
    }
    if (!entry->zone.isEmpty() || !entry->own) return {entry->zone, date, time};
    icaltimezone* own = entry->own;
    const QDateTime utc = InstantOfWallClock(
        date, time, [own](qint64 seconds) { return LibicalOffset(own, seconds); });
    return {QStringLiteral("UTC"), utc.date(), utc.time()};
}

QString MadeVTimezoneText(const QString& zone, int fromYear);

QString VTimezoneText(const QString& zone, int fromYear) {
    // The agenda writes each of its events with its zone; the zone's
    // definition is made once per zone and year.
    static QHash<QPair<QString, int>, QString> made;
    const auto known = made.constFind({zone, fromYear});
    if (known != made.cend()) return *known;
    QString text = MadeVTimezoneText(zone, fromYear);
    made.insert({zone, fromYear}, text);
    return text;
}

QString MadeVTimezoneText(const QString& zone, int fromYear) {
    icaltimezone* builtin = icaltimezone_get_builtin_timezone(zone.toUtf8().constData());
    icalcomponent* component = builtin ? icaltimezone_get_component(builtin) : nullptr;
    if (!component) return {};
    icalcomponent* copy = icalcomponent_new_clone(component);
    if (icalproperty* tzid = icalcomponent_get_first_property(copy, ICAL_TZID_PROPERTY))
        icalproperty_set_tzid(tzid, zone.toUtf8().constData());
    // A rule is over when its last change (its UNTIL, its last RDATE, or its
    // start when it has neither rule nor dates) lies before `fromYear`; of
    // those, the one that changed last still holds at the start of the year,
    // and stays unless a rule that goes on began before.
    const icaltimetype cut = icaltime_from_day_of_year(1, fromYear);
    QList<icalcomponent*> over;
    icalcomponent* holding = nullptr;
    icaltimetype holdingFrom = icaltime_null_time();
    bool goingOnBefore = false;
    for (icalcomponent* rule = icalcomponent_get_first_component(copy, ICAL_ANY_COMPONENT); rule;
         rule = icalcomponent_get_next_component(copy, ICAL_ANY_COMPONENT)) {
        icaltimetype last = icalcomponent_get_dtstart(rule);
        bool endless = false;
        if (icalproperty* rrule = icalcomponent_get_first_property(rule, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype recurrence = icalproperty_get_rrule(rrule);
            endless = icaltime_is_null_time(recurrence.until) && recurrence.count == 0;
            if (!endless && !icaltime_is_null_time(recurrence.until)) last = recurrence.until;
        }
        for (icalproperty* rdate = icalcomponent_get_first_property(rule, ICAL_RDATE_PROPERTY);
             rdate; rdate = icalcomponent_get_next_property(rule, ICAL_RDATE_PROPERTY)) {
            const icaltimetype date = icalproperty_get_rdate(rdate).time;
            if (icaltime_compare(date, last) > 0) last = date;
        }
        if (endless || icaltime_compare_date_only(last, cut) >= 0) {
            goingOnBefore = goingOnBefore ||
                            icaltime_compare_date_only(icalcomponent_get_dtstart(rule), cut) < 0;
            continue;
        }
        over.append(rule);
        if (!holding || icaltime_compare(last, holdingFrom) > 0) {
            holding = rule;
            holdingFrom = last;
        }
    }
    for (icalcomponent* rule : over) {
        if (rule == holding && !goingOnBefore) continue;
        icalcomponent_remove_component(copy, rule);
        icalcomponent_free(rule);
    }
    QString text;
    char* lines = icalcomponent_as_ical_string_r(copy);
    text = QString::fromUtf8(lines);
    free(lines);
    icalcomponent_free(copy);
    // libical folds its lines; the writer folds them again.
    text.replace(QLatin1String("\r\n "), QString());
    text.replace(QLatin1String("\n "), QString());
    return text;
}
