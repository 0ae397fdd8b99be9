// iCalendar files read into calendar items and written from them: what is
// modelled, what is kept as it came, the time zones as other programs name
// them, and the events a reader must skip without refusing the file.
#include "apps/agenda/calendar_file.h"

#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/calendar_zones.h"
#include "tests/apps/calendar_test_zone.h"

#include <QTimeZone>

#include <libical/ical.h>

#include <gtest/gtest.h>

namespace {

const auto* const kBerlin = ::testing::AddGlobalTestEnvironment(new ComputerInBerlin);

const QDateTime kStamp(QDate(2027, 1, 2), QTime(3, 4, 5), QTimeZone::utc());

QByteArray Calendar(const QByteArray& inside) {
    QByteArray file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n" + inside + "END:VCALENDAR\r\n";
    return file.replace("\r\n", "\n").replace("\n", "\r\n");
}

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

void ExpectSameItem(const CalendarItem& read, const CalendarItem& written) {
    EXPECT_EQ(read.uid, written.uid);
    EXPECT_EQ(read.recurrenceId, written.recurrenceId);
    EXPECT_EQ(read.allDay, written.allDay);
    EXPECT_EQ(read.start, written.start);
    EXPECT_EQ(read.end, written.end);
    EXPECT_EQ(read.zone, written.zone);
    EXPECT_EQ(read.summary, written.summary);
    EXPECT_EQ(read.location, written.location);
    EXPECT_EQ(read.description, written.description);
    EXPECT_EQ(read.rule, written.rule);
    EXPECT_EQ(read.extraDates, written.extraDates);
    EXPECT_EQ(read.leftOutDates, written.leftOutDates);
    EXPECT_EQ(read.alarmMinutes, written.alarmMinutes);
    EXPECT_EQ(read.textParameters, written.textParameters);
    EXPECT_EQ(read.keptLines, written.keptLines);
}

TEST(CalendarFile, EveryModelledValueAndEveryKeptLineComesBackFromTheWrittenFile) {
    CalendarItem series;
    series.uid = "weekly-1@example.org";
    series.start = At(2027, 1, 5, 9, 7);  // off the five-minute steps
    series.end = At(2027, 1, 5, 10, 30);
    series.zone = "America/New_York";
    series.summary = QString(140, u'x') + "; Ende, mit \\ und\nZeile";
    series.location = "Raum 3, Haus \"B\"";
    series.description = "Erste Zeile\nzweite: äöü €";
    series.rule = "FREQ=WEEKLY;BYDAY=TU,TH;UNTIL=20271231T235959Z";
    series.extraDates = {At(2027, 1, 9, 9, 7)};
    series.leftOutDates = {At(2027, 1, 5, 9, 7), At(2027, 1, 14, 9, 7)};
    series.alarmMinutes = 15;
    series.alarmLines = "ACTION:AUDIO\r\nX-WR-ALARMUID:abc\r\n";
    series.textParameters = {{"SUMMARY", ";LANGUAGE=de"}};
    series.keptLines =
        "ATTENDEE;CN=\"Anna, B.\";ROLE=REQ-PARTICIPANT:mailto:anna@example.org\r\n"
        "CATEGORIES:Arbeit,Team\r\n"
        "SEQUENCE:3\r\n"
        "X-LONG:" +
        QString(200, u'ö') +
        "\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:zweite\r\nTRIGGER:-P1D\r\nEND:VALARM\r\n";

    CalendarItem changed;
    changed.uid = series.uid;
    changed.recurrenceId = "20270112T090700";
    changed.start = At(2027, 1, 12, 11);
    changed.end = At(2027, 1, 12, 12);
    changed.zone = "America/New_York";
    changed.summary = "verschoben";

    CalendarItem holiday;
    holiday.uid = "holiday@example.org";
    holiday.allDay = true;
    holiday.start = At(2027, 1, 30);
    holiday.end = At(2027, 2, 2);  // over the month's end, three days
    holiday.summary = "Urlaub";
    holiday.alarmMinutes = 0;

    CalendarItem utc;
    utc.uid = "utc@example.org";
    utc.start = At(2027, 3, 28, 1, 30);
    utc.zone = "UTC";
    utc.summary = "in UTC, ohne Ende";

    const QList<CalendarItem> items{series, changed, holiday, utc};
    const QByteArray file = WriteCalendarFile(items, kStamp);
    for (const QByteArray& line : file.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString();  // 75 octets and the CR
    EXPECT_TRUE(file.contains("DTSTAMP:20270102T030405Z\r\n"));
    EXPECT_TRUE(file.contains("DTSTART;TZID=America/New_York:20270105T090700\r\n"));
    EXPECT_TRUE(file.contains("BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"));

    const CalendarFileReading reading = ReadCalendarFile(file);
    EXPECT_EQ(reading.problem, "");
    EXPECT_TRUE(reading.skipped.isEmpty());
    ASSERT_EQ(reading.items.size(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        ExpectSameItem(reading.items[i], items[i]);
    }
    EXPECT_EQ(reading.items[0].alarmLines, series.alarmLines);
    EXPECT_EQ(reading.items[2].alarmLines, "ACTION:DISPLAY\r\nDESCRIPTION:Urlaub\r\n");
    // Written again, the file is the same.
    EXPECT_EQ(WriteCalendarFile(reading.items, kStamp), file);
}

TEST(CalendarFile, ZonesNamedTheWindowsWayWithAPathOrOnlyByTheFilesDefinition) {
    const CalendarFileReading reading = ReadCalendarFile(Calendar(
        "BEGIN:VTIMEZONE\nTZID:Eigene Ostküste\nBEGIN:STANDARD\nDTSTART:19671029T020000\n"
        "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\nTZOFFSETFROM:-0400\nTZOFFSETTO:-0500\nEND:"
        "STANDARD\n"
        "BEGIN:DAYLIGHT\nDTSTART:19870405T020000\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
        "TZOFFSETFROM:-0500\nTZOFFSETTO:-0400\nEND:DAYLIGHT\nEND:VTIMEZONE\n"
        "BEGIN:VTIMEZONE\nTZID:Nirgendwo\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
        "TZOFFSETFROM:+0117\nTZOFFSETTO:+0117\nEND:STANDARD\nEND:VTIMEZONE\n"
        "BEGIN:VEVENT\nUID:a\nDTSTART;TZID=Romance:20270105T090000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:b\nDTSTART;TZID=\"W. Europe Standard "
        "Time\":20270105T090000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:c\nDTSTART;TZID=/mozilla.org/20070129_1/America/Argentina/Buenos_Aires:"
        "20270105T090000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:d\nDTSTART;TZID=Eigene Ostküste:20270105T090000\n"
        "DTEND;TZID=Europe/London:20270105T150000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:e\nDTSTART;TZID=Nirgendwo:20270105T090000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:f\nDTSTART;TZID=Unbekannt:20270105T090000\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:g\nDTSTART:20270105T090000Z\nEXDATE;TZID=Europe/Berlin:20270112T100000\n"
        "END:VEVENT\n"));
    ASSERT_EQ(reading.items.size(), 7);
    const QStringList zones{"Europe/Paris",
                            "Europe/Berlin",
                            "America/Argentina/Buenos_Aires",
                            "America/New_York",
                            "UTC",
                            "",
                            "UTC"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(reading.items[i].zone, zones[i]) << reading.items[i].uid.toStdString();
    EXPECT_EQ(reading.items[3].start, At(2027, 1, 5, 9));
    EXPECT_EQ(reading.items[3].end, At(2027, 1, 5, 10));       // 15:00 in London
    EXPECT_EQ(reading.items[4].start, At(2027, 1, 5, 7, 43));  // converted by its definition
    EXPECT_EQ(reading.items[5].start, At(2027, 1, 5, 9));      // unknown: floating
    EXPECT_EQ(reading.items[6].leftOutDates, (QList<QDateTime>{At(2027, 1, 12, 9)}));
}

// libical's zones go back to the 19th century; a written zone holds the
// rules from the year of its first item on, and its changes are the IANA
// zone's.
TEST(CalendarFile, WrittenZonesHoldTheRulesFromTheFirstItemOnAndChangeWhenTheirZoneDoes) {
    for (const auto& [zone, rules] :
         {std::pair{"Europe/Berlin", 4}, std::pair{"America/New_York", 4},
          std::pair{"Asia/Tokyo", 1}}) {
        SCOPED_TRACE(zone);
        const QString text = VTimezoneText(zone, 2027);
        ASSERT_TRUE(text.startsWith(QString("BEGIN:VTIMEZONE\r\nTZID:") + zone + "\r\n"));
        EXPECT_EQ(text.count("BEGIN:STANDARD") + text.count("BEGIN:DAYLIGHT"), rules);
        icalcomponent* component = icalparser_parse_string(text.toUtf8().constData());
        icaltimezone* written = icaltimezone_new();
        ASSERT_TRUE(icaltimezone_set_component(written, component));
        const QTimeZone iana{QByteArray(zone)};
        for (QDateTime at(QDate(2027, 1, 1), QTime(0, 0), QTimeZone::utc());
             at.date().year() < 2045; at = at.addSecs(6 * 3600 + 7)) {
            icaltimetype utc = icaltime_from_timet_with_zone(at.toSecsSinceEpoch(), 0,
                                                             icaltimezone_get_utc_timezone());
            ASSERT_EQ(icaltimezone_get_utc_offset_of_utc_time(written, &utc, nullptr),
                      iana.offsetFromUtc(at))
                << at.toString(Qt::ISODate).toStdString();
        }
        icaltimezone_free(written, 1);
    }
    EXPECT_EQ(VTimezoneText("Nowhere/Atlantis", 2027), "");
}

TEST(CalendarFile, AllDayEventsDurationsAndDatesOnATimedSeries) {
    const CalendarFileReading reading = ReadCalendarFile(Calendar(
        "BEGIN:VEVENT\nUID:a\nDTSTART;VALUE=DATE:20270130\nDURATION:P3D\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:b\nDTSTART:20270130T100000\nDURATION:PT1H30M\n"
        "RRULE:FREQ=DAILY\nEXDATE;VALUE=DATE:20270131\nRDATE;VALUE=PERIOD:20270301T080000/PT1H\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\nUID:c\nDTSTART;VALUE=DATE:20270130\nEND:VEVENT\n"
        "BEGIN:VEVENT\nUID:d\nDTSTART:20270401T010000\nRRULE:FREQ=DAILY;COUNT=4\n"
        "EXDATE:20270402T010000Z,20270403T010000Z\nEND:VEVENT\n"));
    ASSERT_EQ(reading.items.size(), 4);
    // A floating series whose dates left out are written in UTC means the
    // same hour (not 03:00, the UTC time on a computer in Berlin).
    EXPECT_EQ(OccurrenceStarts(reading.items[3], QDate(2028, 1, 1)),
              (QList<QDateTime>{At(2027, 4, 1, 1), At(2027, 4, 4, 1)}));
    EXPECT_TRUE(reading.items[0].allDay);
    EXPECT_EQ(reading.items[0].end, At(2027, 2, 2));
    EXPECT_EQ(reading.items[1].end, At(2027, 1, 30, 11, 30));
    EXPECT_EQ(reading.items[1].leftOutDates, (QList<QDateTime>{At(2027, 1, 31, 10)}));
    EXPECT_EQ(reading.items[1].extraDates, (QList<QDateTime>{At(2027, 3, 1, 8)}));
    EXPECT_FALSE(reading.items[2].end.isValid());
    EXPECT_TRUE(
        WriteCalendarFile({reading.items[0]}, kStamp).contains("DTEND;VALUE=DATE:20270202\r\n"));
}

TEST(CalendarFile, MalformedEventsAreSkippedByTheirLineAndTheRestIsRead) {
    const CalendarFileReading reading = ReadCalendarFile(
        Calendar("BEGIN:VEVENT\nUID:ok-1\nDTSTART:20270105T090000\nEND:VEVENT\n"      // line 4
                 "BEGIN:VEVENT\nUID:no-start\nSUMMARY:x\nEND:VEVENT\n"                // line 8
                 "BEGIN:VEVENT\nUID:bad-date\nDTSTART:20270231T090000\nEND:VEVENT\n"  // line 12
                 "BEGIN:VEVENT\nUID:broken\nDTSTART:20270105T090000\nSUMMARY=x\nEND:VEVENT\n"  // 16
                 "BEGIN:VEVENT\nUID:not-ended\nDTSTART:20270105T090000\n"  // line 21
                 "BEGIN:VEVENT\nUID:alarm-not-ended\nDTSTART:20270105T090000\nBEGIN:VALARM\n"  // 24
                 "TRIGGER:-PT5M\nEND:VEVENT\n"
                 "BEGIN:VTODO\nSUMMARY:kept\nEND:VTODO\n"
                 "BEGIN:VEVENT\nUID:ok-2\nDTSTART;VALUE=DATE:20270106\nEND:VEVENT\n"
                 "END:VCALENDARX\n"
                 "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:second-calendar\nDTSTART:20270107T090000\n"
                 "END:VEVENT\n"));  // the second calendar is never ended
    EXPECT_EQ(reading.problem, "");
    EXPECT_EQ(reading.calendars, 2);
    QStringList uids;
    for (const CalendarItem& item : reading.items)
        uids.append(item.uid);
    EXPECT_EQ(uids, (QStringList{"ok-1", "ok-2", "second-calendar"}));
    QStringList skipped;
    for (const SkippedEvent& event : reading.skipped)
        skipped.append(QString("%1 %2").arg(event.line).arg(event.reason));
    EXPECT_EQ(skipped, (QStringList{"8 no start (DTSTART)", "12 unreadable DTSTART 20270231T090000",
                                    "16 line 19: not a content line", "21 not ended",
                                    "24 line 29: BEGIN:VALARM not ended"}));
    EXPECT_EQ(reading.keptComponents, (QStringList{"VTODO"}));

    EXPECT_NE(ReadCalendarFile("BEGIN:VCARD\r\nFN:x\r\nEND:VCARD\r\n").problem, "");
    EXPECT_NE(ReadCalendarFile("").problem, "");
    const CalendarFileReading empty = ReadCalendarFile(Calendar(""));
    EXPECT_EQ(empty.problem, "");
    EXPECT_TRUE(empty.items.isEmpty());
}

TEST(CalendarFile, FoldedLinesJoinAcrossEmptyLinesAndInsideACharacterAndTheReadingCanStop) {
    QByteArray file = Calendar(
        "BEGIN:VEVENT\nUID\n\n :x\nDTSTART;VALUE=DATE:20270105\n"
        "SUMMARY:M\xC3\n \xBC"
        "ller\nEND:VEVENT\n");
    const CalendarFileReading reading = ReadCalendarFile(file);
    ASSERT_EQ(reading.items.size(), 1);
    EXPECT_EQ(reading.items[0].uid, "x");
    EXPECT_EQ(reading.items[0].summary, "Müller");
    const CalendarFileReading stopped =
        ReadCalendarFile(file, [](qsizetype read, qsizetype) { return read == 0; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_TRUE(stopped.items.isEmpty());
}

}  // namespace
