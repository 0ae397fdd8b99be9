// The compact date and time texts of iCalendar ("20270105", "20270105T093000")
// written digit by digit, without Qt's locale-aware formatting, which costs a
// calendar computation each time: the agenda writes one for every
// appointment a series stores.
#pragma once

#include "store/xbase.h"

#include <QDate>
#include <QDateTime>
#include <QString>

inline QString CompactDate(const QDate& date) {
    return date.isValid() ? DTOS(date) : QString();
}

inline QString CompactDateTime(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (!date.isValid() || !time.isValid()) return {};
    const int parts[] = {time.hour(), time.minute(), time.second()};
    char text[6];
    for (int i = 0; i < 3; ++i) {
        text[2 * i] = static_cast<char>('0' + parts[i] / 10);
        text[2 * i + 1] = static_cast<char>('0' + parts[i] % 10);
    }
    return DTOS(date) + u'T' + QLatin1StringView(text, 6);
}
