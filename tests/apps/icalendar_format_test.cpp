// The iCalendar format on its own: what the writer puts in a file and what
// the reader takes from files written by others.
#include "apps/agenda/icalendar.h"

#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

const QDateTime kStamp(QDate(2008, 1, 20), QTime(10, 11, 12), QTimeZone::utc());

QList<QByteArray> Lines(const QByteArray& file) {
    QList<QByteArray> lines = file.split('\n');
    EXPECT_TRUE(lines.takeLast().isEmpty()) << "the file ends with a line end";
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r')) << line.toStdString();
        line.chop(1);
    }
    return lines;
}

TEST(ICalendarWriting, TextsAreEscapedAndLongLinesFoldedWithoutSplittingACharacter) {
    const QString text = "Essen; Anna, Bernd \\ Carla\r\nzweite Zeile " + QString(30, u'ö');
    const QByteArray file = WriteICalendar({{QDate(2008, 1, 25), QTime(18, 30), text}}, kStamp);
    QByteArray summary;
    bool inSummary = false;
    for (const QByteArray& line : Lines(file)) {
        EXPECT_LE(line.size(), 75) << line.toStdString();
        if (line.startsWith(' ') && inSummary) {
            // A continuation never starts inside a character.
            EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80);
            summary += line.mid(1);
        } else {
            inSummary = line.startsWith("SUMMARY:");
            if (inSummary) summary = line;
        }
    }
    EXPECT_EQ(QString::fromUtf8(summary),
              "SUMMARY:Essen\\; Anna\\, Bernd \\\\ Carla\\nzweite Zeile " + QString(30, u'ö'));
}

TEST(ICalendarWriting, UidsAreStableAndUnique) {
    const QList<CalendarEvent> events = {{QDate(2008, 1, 25), QTime(9, 0), "Gleich"},
                                         {QDate(2008, 1, 25), QTime(9, 0), "Gleich"},
                                         {QDate(2008, 1, 25), QTime(9, 0), "Anders"}};
    QList<QByteArray> uids;
    for (const QByteArray& line : Lines(WriteICalendar(events, kStamp)))
        if (line.startsWith("UID:")) uids.append(line);
    ASSERT_EQ(uids.size(), 3);
    EXPECT_NE(uids[0], uids[1]);
    EXPECT_NE(uids[0], uids[2]);
    QList<QByteArray> again;
    for (const QByteArray& line : Lines(WriteICalendar(events, kStamp.addDays(3))))
        if (line.startsWith("UID:")) again.append(line);
    EXPECT_EQ(again, uids);
}

TEST(ICalendarWriting, AnEventWithoutATimeTakesItsWholeDay) {
    const QList<QByteArray> lines =
        Lines(WriteICalendar({{QDate(2008, 12, 31), QTime(), "Silvester"}}, kStamp));
    EXPECT_TRUE(lines.contains("DTSTART;VALUE=DATE:20081231"));
    EXPECT_TRUE(lines.contains("DTEND;VALUE=DATE:20090101"));
}

TEST(ICalendarReading, WhatTheWriterWritesComesBack) {
    const QList<CalendarEvent> events = {
        {QDate(2008, 1, 25), QTime(18, 30), "Essen; Anna, Bernd \\ Carla " + QString(40, u'ä')},
        {QDate(2008, 12, 31), QTime(), "Silvester"}};
    const CalendarReading read = ReadICalendar(WriteICalendar(events, kStamp));
    EXPECT_EQ(read.problem, "");
    ASSERT_EQ(read.events.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(read.events[i].date, events[i].date);
        EXPECT_EQ(read.events[i].time, events[i].time);
        EXPECT_EQ(read.events[i].summary, events[i].summary);
    }
}

TEST(ICalendarReading, StartsInEveryFormAndTimeZone) {
    const QByteArray file =
        "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:hand\n"
        "BEGIN:VTIMEZONE\nTZID:Eigene Zone\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
        "TZOFFSETFROM:+0100\nTZOFFSETTO:+0100\nEND:STANDARD\nEND:VTIMEZONE\n"
        "BEGIN:VEVENT\nDTSTART:20080125T090700\nSUMMARY:Floating\nEND:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART:20080125T120000Z\nSUMMARY:UTC\nEND:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;TZID=America/New_York:20080125T120000\nSUMMARY:New York\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;TZID=\"Eigene Zone\":20080125T073000\nSUMMARY:Own zone\n"
        "END:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20080126\nSUMMARY:Whole day\nEND:VEVENT\n"
        "END:VCALENDAR\n";
    const CalendarReading read = ReadICalendar(file);
    ASSERT_EQ(read.problem, "");
    ASSERT_EQ(read.events.size(), 5);
    EXPECT_EQ(read.events[0].time, QTime(9, 7));
    const QDateTime utc =
        QDateTime(QDate(2008, 1, 25), QTime(12, 0), QTimeZone::utc()).toLocalTime();
    EXPECT_EQ(read.events[1].date, utc.date());
    EXPECT_EQ(read.events[1].time, utc.time());
    const QDateTime newYork =
        QDateTime(QDate(2008, 1, 25), QTime(12, 0), QTimeZone("America/New_York")).toLocalTime();
    EXPECT_EQ(read.events[2].time, newYork.time());
    EXPECT_EQ(read.events[3].time, QTime(7, 30));  // a zone only the file knows: as written
    EXPECT_EQ(read.events[4].date, QDate(2008, 1, 26));
    EXPECT_FALSE(read.events[4].time.isValid());
}

TEST(ICalendarReading, FoldedEscapedAndNestedContentIsRead) {
    const QByteArray file =
        "\xEF\xBB\xBF"
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n"
        "BEGIN:VEVENT\r\nUID:1\r\nDTSTART:20080125T090000\r\n"
        "RRULE:FREQ=WEEKLY;COUNT=10\r\n"
        "SUMMARY;LANGUAGE=de:Geb\xC3\r\n \xBCrtstag\\, Feier\\; mit \\\"Sekt\\\"\\nund Kuchen\r\n"
        "BEGIN:VALARM\r\nACTION:DISPLAY\r\nSUMMARY:Alarm text\r\nTRIGGER:-PT15M\r\n"
        "END:VALARM\r\nEND:VEVENT\r\n"
        "BEGIN:VTODO\r\nSUMMARY:Not an event\r\nEND:VTODO\r\n"
        "END:VCALENDAR\r\n";
    const CalendarReading read = ReadICalendar(file);
    ASSERT_EQ(read.problem, "");
    ASSERT_EQ(read.events.size(), 1);
    EXPECT_EQ(read.events[0].summary, "Gebürtstag, Feier; mit \"Sekt\"\nund Kuchen");
}

TEST(ICalendarReading, WhatIsNoCalendarIsRefusedAsAWhole) {
    const QByteArray event = "BEGIN:VEVENT\nDTSTART:20080125T090000\nSUMMARY:x\nEND:VEVENT\n";
    const QByteArray cases[] = {
        "",
        "Datum;St.;Min.;Termin;\r25.01.2008;09;05;Zahnarzt;\r",
        "BEGIN:VCARD\nVERSION:3.0\nEND:VCARD\n",
        "BEGIN:VCALENDAR\n" + event,  // never ended
        "BEGIN:VCALENDAR\n" + event + "END:VTODO\nEND:VCALENDAR\n",
        event,  // outside a calendar
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:no start\nEND:VEVENT\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20081325T090000\nEND:VEVENT\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20080125T250000\nEND:VEVENT\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:morgen\nEND:VEVENT\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nthis line has no value\nEND:VCALENDAR\n",
        "BEGIN:VCALENDAR\nEND:VCALENDAR\nSUMMARY:after the end\n",
        "BEGIN:VCALENDAR\nBEGIN:VTODO\n" + event + "END:VTODO\nEND:VCALENDAR\n",
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        const CalendarReading read = ReadICalendar(bytes);
        EXPECT_NE(read.problem, "");
        EXPECT_TRUE(read.events.isEmpty());
    }
    // Two calendars in one file, and one without any event, are read.
    const CalendarReading two = ReadICalendar("BEGIN:VCALENDAR\n" + event + "END:VCALENDAR\n" +
                                              "BEGIN:VCALENDAR\n" + event + "END:VCALENDAR\n");
    EXPECT_EQ(two.problem, "");
    EXPECT_EQ(two.events.size(), 2);
    EXPECT_EQ(ReadICalendar("BEGIN:VCALENDAR\nVERSION:2.0\nEND:VCALENDAR\n").problem, "");
}

}  // namespace
