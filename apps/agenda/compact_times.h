// The compact date and time texts of iCalendar ("20270105", "20270105T093000")
// written digit by digit, without Qt's locale-aware formatting, which costs a
// calendar computation each time: the agenda writes one for every
// appointment a series stores.
#pragma once

#include "store/xbase.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <initializer_list>

namespace compact_times {

// Two digits of each value (0 … 99) from `out` on.
inline char* PutPairs(char* out, std::initializer_list<int> values) {
    for (const int value : values) {
        *out++ = static_cast<char>('0' + value / 10);
        *out++ = static_cast<char>('0' + value % 10);
    }
    return out;
}

}  // namespace compact_times

inline QString CompactDate(const QDate& date) {
    return date.isValid() ? DTOS(date) : QString();
}

inline QString CompactDateTime(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (!date.isValid() || !time.isValid()) return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999) return DTOS(date) + u'T' + time.toString(u"HHmmss");
    char text[15];
    char* end = compact_times::PutPairs(text, {year / 100, year % 100, month, day});
    *end++ = 'T';
    compact_times::PutPairs(end, {time.hour(), time.minute(), time.second()});
    return QString::fromLatin1(text, 15);
}
