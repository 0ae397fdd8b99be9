#include "apps/agenda/calendar_values.h"

namespace {

// The number of `count` digits at `at`, or -1.
int Digits(const QString& text, qsizetype at, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = text[at + i];
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

}  // namespace

std::optional<CalendarMoment> ParseCalendarMoment(const QString& raw) {
    const QString text = raw.trimmed();
    CalendarMoment moment;
    if (text.size() != 8 && text.size() != 15 && text.size() != 16) return std::nullopt;
    const int year = Digits(text, 0, 4), month = Digits(text, 4, 2), day = Digits(text, 6, 2);
    moment.date = QDate(year, month, day);
    if (year < 0 || month < 0 || day < 0 || !moment.date.isValid()) return std::nullopt;
    if (text.size() == 8) {
        moment.dateOnly = true;
        moment.time = QTime(0, 0);
        return moment;
    }
    if (text[8] != u'T' && text[8] != u't') return std::nullopt;
    const int hour = Digits(text, 9, 2), minute = Digits(text, 11, 2), second = Digits(text, 13, 2);
    if (hour < 0 || minute < 0 || second < 0 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    moment.time = QTime(hour, minute, qMin(second, 59));
    if (text.size() == 16) {
        if (text[15] != u'Z' && text[15] != u'z') return std::nullopt;
        moment.utc = true;
    }
    return moment;
}

QString CalendarDateText(const QDate& date) {
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}

QString CalendarDateTimeText(const QDate& date, const QTime& time) {
    return CalendarDateText(date) +
           QString::asprintf("T%02d%02d%02d", time.hour(), time.minute(), time.second());
}

std::optional<qint64> ParseCalendarDuration(const QString& raw) {
    const QString text = raw.trimmed().toUpper();
    qsizetype at = 0;
    int sign = 1;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        sign = text[at++] == u'-' ? -1 : 1;
    if (at >= text.size() || text[at++] != u'P') return std::nullopt;
    qint64 seconds = 0;
    bool inTime = false, any = false;
    while (at < text.size()) {
        if (text[at] == u'T') {
            if (inTime) return std::nullopt;
            inTime = true;
            ++at;
            continue;
        }
        qint64 number = 0;
        const qsizetype from = at;
        while (at < text.size() && text[at].isDigit())
            number = number * 10 + text[at++].digitValue();
        if (at == from || at >= text.size() || number > 100'000'000) return std::nullopt;
        const QChar unit = text[at++];
        if (!inTime && unit == u'W')
            seconds += number * 7 * 86400;
        else if (!inTime && unit == u'D')
            seconds += number * 86400;
        else if (inTime && unit == u'H')
            seconds += number * 3600;
        else if (inTime && unit == u'M')
            seconds += number * 60;
        else if (inTime && unit == u'S')
            seconds += number;
        else
            return std::nullopt;
        any = true;
    }
    if (!any) return std::nullopt;
    return sign * seconds;
}
