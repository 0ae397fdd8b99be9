// The time zones of iCalendar files: a TZID as other programs write it
// turned into an IANA id the computer knows, and the VTIMEZONE written for
// an IANA id.
//
// A TZID is taken as an IANA id when the computer knows it; a leading path
// ("/mozilla.org/20070129_1/Europe/Berlin", "/freeassociation.sourceforge.net/
// Europe/Berlin") is cut to the id it ends in; a Windows name, long ("W. Europe
// Standard Time") or in the old short form ("Romance", "W. Europe"), is mapped
// to its IANA id. A zone only the file's VTIMEZONE defines is read from that
// definition (with libical) and named by the IANA zone that keeps the same
// offsets around the dates it is used on (the computer's own zone first);
// when none does, its times are converted to UTC.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QTime>

#include <functional>
#include <memory>

// The IANA id for `tzid` without a definition: "UTC" for UTC, empty when the
// name is none the computer knows.
QString KnownZoneId(const QString& tzid);

// The zones of one file, each resolved once.
class CalendarZones {
  public:
    // `definitions`: the file's VTIMEZONE components by their TZID, each as its
    // lines, BEGIN:VTIMEZONE to END:VTIMEZONE, ended in CR LF.
    explicit CalendarZones(QHash<QString, QString> definitions);
    ~CalendarZones();
    CalendarZones(const CalendarZones&) = delete;
    CalendarZones& operator=(const CalendarZones&) = delete;

    struct ZonedTime {
        QString zone;  // IANA id, "UTC", or empty: the name is unknown, the time floating
        QDate date;
        QTime time;
    };
    // The wall-clock `date` `time` in the zone `tzid`.
    ZonedTime resolve(const QString& tzid, const QDate& date, const QTime& time);

  private:
    struct Definition;
    QHash<QString, QString> definitions_;
    QHash<QString, std::shared_ptr<Definition>> resolved_;
};

// The instant of the wall-clock `date` `time` in a zone whose offset from UTC
// (in seconds) at each instant `offsetAt` tells: a time in the gap of a
// spring change is taken with the offset before the gap (02:30 falls on
// 03:30), a time that exists twice on the first of the two.
QDateTime InstantOfWallClock(const QDate& date, const QTime& time,
                             const std::function<int(qint64 utcSeconds)>& offsetAt);

// The VTIMEZONE of `zone` (an IANA id) from libical's zones, with `zone` as its
// TZID and without the rules that ended before `fromYear`; lines ended in
// CR LF, unfolded. Empty when libical does not know the zone.
QString VTimezoneText(const QString& zone, int fromYear);
