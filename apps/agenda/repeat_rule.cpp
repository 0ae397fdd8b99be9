#include "apps/agenda/repeat_rule.h"

#include "apps/agenda/calendar_rules.h"

#include <QTimeZone>

namespace {

const QStringList kDayNames = {"MO", "TU", "WE", "TH", "FR", "SA", "SU"};
const QStringList kFrequencies = {"", "DAILY", "WEEKLY", "MONTHLY", "YEARLY"};

// Splits "FREQ=WEEKLY;BYDAY=TU" into its parts, names in capitals.
QList<std::pair<QString, QString>> Parts(const QString& rule) {
    QList<std::pair<QString, QString>> parts;
    for (const QString& part : rule.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0) continue;
        parts.append({part.left(equals).trimmed().toUpper(), part.mid(equals + 1).trimmed()});
    }
    return parts;
}

QString Joined(const QList<std::pair<QString, QString>>& parts) {
    QStringList texts;
    for (const auto& [name, value] : parts)
        texts.append(name + u'=' + value);
    return texts.join(u';');
}

QDate UntilDay(const QString& value) {
    const QDate day = QDate::fromString(value.left(8), QStringLiteral("yyyyMMdd"));
    if (value.size() <= 8 || !value.endsWith(u'Z', Qt::CaseInsensitive)) return day;
    const QDateTime utc(day, QTime::fromString(value.mid(9, 6), QStringLiteral("HHmmss")),
                        QTimeZone::utc());
    return utc.toLocalTime().date();
}

QString UntilText(const QDate& day, const QString& zone, bool allDay) {
    if (allDay) return day.toString(QStringLiteral("yyyyMMdd"));
    const QDateTime lastMoment(day, QTime(23, 59, 59));
    if (zone.isEmpty()) return lastMoment.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
    return LocalTimeOf(lastMoment, zone).toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

// "2TU", "-1FR", "TU": the position (0: none) and the day.
std::pair<int, QString> PositionedDay(const QString& text) {
    const QString day = text.right(2).toUpper();
    return {text.left(text.size() - 2).toInt(), day};
}

}  // namespace

RepeatRule ReadRepeatRule(const QString& rule, const QDate& start) {
    RepeatRule read;
    Q_UNUSED(start);
    for (const auto& [name, value] : Parts(rule)) {
        if (name == QLatin1String("FREQ")) {
            const qsizetype at = kFrequencies.indexOf(value.toUpper());
            if (at > 0)
                read.frequency = static_cast<Frequency>(at);
            else
                read.otherParts.append(name + u'=' + value);
        } else if (name == QLatin1String("INTERVAL")) {
            read.interval = std::max(1, value.toInt());
        } else if (name == QLatin1String("UNTIL")) {
            read.until = UntilDay(value);
        } else if (name == QLatin1String("COUNT")) {
            read.count = std::max(0, value.toInt());
        } else if (name == QLatin1String("BYDAY") && !value.contains(u',') &&
                   PositionedDay(value).first != 0) {
            const auto [position, day] = PositionedDay(value);
            read.monthlyBy =
                position < 0 ? MonthlyBy::LastWeekdayInMonth : MonthlyBy::WeekdayInMonth;
            read.position = position;
            read.positionedWeekday = int(kDayNames.indexOf(day)) + 1;
        } else if (name == QLatin1String("BYDAY") && read.weekdays.isEmpty()) {
            for (const QString& day : value.split(u',')) {
                const qsizetype at = kDayNames.indexOf(day.trimmed().toUpper());
                if (at < 0) {
                    read.otherParts.append(name + u'=' + value);
                    read.weekdays.clear();
                    break;
                }
                read.weekdays.append(int(at) + 1);
            }
        } else if (name == QLatin1String("BYMONTHDAY") && !value.contains(u',') &&
                   value.toInt() > 0) {
            read.monthlyBy = MonthlyBy::DayOfMonth;
        } else {
            read.otherParts.append(name + u'=' + value);
        }
    }
    // A rule the window cannot show part by part keeps every part it does not
    // write itself, in its order.
    if (!read.otherParts.isEmpty()) {
        read.otherParts.clear();
        read.weekdays.clear();
        for (const auto& [name, value] : Parts(rule))
            if (name != QLatin1String("FREQ") && name != QLatin1String("INTERVAL") &&
                name != QLatin1String("UNTIL") && name != QLatin1String("COUNT"))
                read.otherParts.append(name + u'=' + value);
    }
    return read;
}

QString RepeatRuleText(const RepeatRule& rule, const QDateTime& start, const QString& zone,
                       bool allDay) {
    if (rule.frequency == Frequency::None) return {};
    QList<std::pair<QString, QString>> parts;
    parts.append({QStringLiteral("FREQ"), kFrequencies[int(rule.frequency)]});
    if (rule.interval > 1)
        parts.append({QStringLiteral("INTERVAL"), QString::number(rule.interval)});
    const QDate day = start.date();
    const QString weekday = kDayNames[day.dayOfWeek() - 1];
    if (rule.frequency == Frequency::Weekly && !rule.weekdays.isEmpty()) {
        QStringList days;
        for (const int d : rule.weekdays)
            days.append(kDayNames[d - 1]);
        parts.append({QStringLiteral("BYDAY"), days.join(u',')});
    }
    if (rule.frequency == Frequency::Monthly) {
        if (rule.monthlyBy == MonthlyBy::WeekdayInMonth)
            parts.append(
                {QStringLiteral("BYDAY"), QString::number((day.day() - 1) / 7 + 1) + weekday});
        else if (rule.monthlyBy == MonthlyBy::LastWeekdayInMonth)
            parts.append({QStringLiteral("BYDAY"), QStringLiteral("-1") + weekday});
        else
            parts.append({QStringLiteral("BYMONTHDAY"), QString::number(day.day())});
    }
    for (const QString& other : rule.otherParts) {
        const qsizetype equals = other.indexOf(u'=');
        parts.append({other.left(equals), other.mid(equals + 1)});
    }
    if (rule.until.isValid())
        parts.append({QStringLiteral("UNTIL"), UntilText(rule.until, zone, allDay)});
    else if (rule.count > 0)
        parts.append({QStringLiteral("COUNT"), QString::number(rule.count)});
    return Joined(parts);
}

QString RuleEndingBefore(const QString& rule, const QDate& day, const QDateTime& start,
                         const QString& zone, bool allDay) {
    Q_UNUSED(start);
    QList<std::pair<QString, QString>> parts;
    for (const auto& part : Parts(rule))
        if (part.first != QLatin1String("UNTIL") && part.first != QLatin1String("COUNT"))
            parts.append(part);
    parts.append({QStringLiteral("UNTIL"), UntilText(day.addDays(-1), zone, allDay)});
    return Joined(parts);
}

QString RuleWithoutFirst(const QString& rule, int before) {
    QList<std::pair<QString, QString>> parts = Parts(rule);
    for (auto& [name, value] : parts)
        if (name == QLatin1String("COUNT"))
            value = QString::number(std::max(1, value.toInt() - before));
    return Joined(parts);
}
