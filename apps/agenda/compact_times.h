// The compact date and time texts of iCalendar ("20270105", "20270105T093000")
// written without Qt's locale-aware formatting, which costs a calendar
// computation each time: the agenda writes one for every appointment a
// series stores.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdio>

inline QString CompactDate(const QDate& date) {
    if (!date.isValid()) return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return QString::fromLatin1(text);
}

inline QString CompactDateTime(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    if (!date.isValid() || !time.isValid()) return {};
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    char text[24];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", year, month, day, time.hour(),
                  time.minute(), time.second());
    return QString::fromLatin1(text);
}
