// Series, all-day events and changed occurrences through the agenda window,
// in the three languages: a calendar file imported, its occurrences on their
// days (daylight-saving edges, 29 February, the last Friday, a date left out
// on the first, an all-day event over a month's end), a change or deletion of
// one, the following or all, Ctrl+Z bringing a deleted series back whole, an
// occurrence back from the trash, a monthly series changed from the details
// window, and a task of the file kept for the export.
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/common/trash_tables.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"

#include <QFile>
#include <QProcess>

#include <cstdlib>
#include <ctime>

namespace {

using kesp::test::TestDriver;

// The computer's clock runs in Berlin for every test of this file.
const bool kBerlinClock = [] {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return true;
}();

const QByteArray kCalendar =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    // Tuesdays and Thursdays, ten times; the first date left out, the
    // second Thursday moved to the afternoon.
    "BEGIN:VEVENT\r\nUID:team@test\r\nDTSTART;TZID=Europe/Berlin:20270105T093000\r\n"
    "DTEND;TZID=Europe/Berlin:20270105T103000\r\nRRULE:FREQ=WEEKLY;BYDAY=TU,TH;COUNT=10\r\n"
    "EXDATE;TZID=Europe/Berlin:20270105T093000\r\nSUMMARY:Team\r\nLOCATION:Raum 4\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:team@test\r\nRECURRENCE-ID;TZID=Europe/Berlin:20270114T093000\r\n"
    "DTSTART;TZID=Europe/Berlin:20270114T150000\r\nSUMMARY:Team später\r\nEND:VEVENT\r\n"
    // The last Friday of every month, without end.
    "BEGIN:VEVENT\r\nUID:review@test\r\nDTSTART;TZID=Europe/Berlin:20270129T160000\r\n"
    "RRULE:FREQ=MONTHLY;BYDAY=-1FR\r\nSUMMARY:Review\r\nEND:VEVENT\r\n"
    // Every 29 February, three times.
    "BEGIN:VEVENT\r\nUID:leap@test\r\nDTSTART;VALUE=DATE:20280229\r\n"
    "RRULE:FREQ=YEARLY;COUNT=3\r\nSUMMARY:Schalttag\r\nEND:VEVENT\r\n"
    // Over a month's end, all day.
    "BEGIN:VEVENT\r\nUID:trip@test\r\nDTSTART;VALUE=DATE:20270130\r\n"
    "DTEND;VALUE=DATE:20270202\r\nSUMMARY:Reise\r\nEND:VEVENT\r\n"
    // 02:30 does not exist on 28 March 2027 in Berlin: it is 03:30 then.
    "BEGIN:VEVENT\r\nUID:night@test\r\nDTSTART;TZID=Europe/Berlin:20270327T023000\r\n"
    "RRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:Nachtschicht\r\nEND:VEVENT\r\n"
    // On the 15th, four times; the one of February moved to the 17th.
    "BEGIN:VEVENT\r\nUID:report@test\r\nDTSTART;TZID=Europe/Berlin:20270115T120000\r\n"
    "RRULE:FREQ=MONTHLY;BYMONTHDAY=15;COUNT=4\r\nSUMMARY:Bericht\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:report@test\r\nRECURRENCE-ID;TZID=Europe/Berlin:20270215T120000\r\n"
    "DTSTART;TZID=Europe/Berlin:20270217T120000\r\nSUMMARY:Bericht\r\nEND:VEVENT\r\n"
    // A task: no appointment, kept to be written back.
    "BEGIN:VTODO\r\nUID:todo@test\r\nSUMMARY:Steuererklärung\r\nDUE;VALUE=DATE:20270531\r\n"
    "BEGIN:VALARM\r\nTRIGGER:-P1D\r\nACTION:DISPLAY\r\nEND:VALARM\r\nEND:VTODO\r\n"
    "END:VCALENDAR\r\n";

struct Language {
    const char* code;
    QString allDay;
    QString onlyThis, following, all;  // the captions of the scope window
};

const Language kLanguages[] = {
    {"DE", "ganztägig", "Nur diesen Termin", "Diesen und alle folgenden", "Alle Termine"},
    {"AM", "all day", "Only this one", "This and all following", "All of them"},
    {"BR", "dia inteiro", "Somente este", "Este e os seguintes", "Todos"}};

void PrintTo(const Language& language, std::ostream* out) {
    *out << language.code;
}

class AgendaSeries : public AgendaFixture, public ::testing::WithParamInterface<Language> {
  protected:
    void SetUp() override {
        AgendaFixture::SetUp();
        ASSERT_TRUE(kBerlinClock);
        UseLanguage(GetParam().code);
        QFile file(folder_.path() + "/calendar.ics");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kCalendar);
        file.close();
        OpenAgenda(QDate(2027, 1, 4));
        driver_.answerNextFile(file.fileName());
        TestDriver::click("agenda_frm", "Menu_2");
        TakeMessages();
    }
    QStringList RowsOn(const QDate& day) {
        ChooseDay(day);
        return DayRows();
    }
    // Answers the open scope window as the user does.
    static void Answer(const QString& caption) {
        for (const char* button : {"Button_1", "Button_2", "Button_3"})
            if (TestDriver::read("agenda_serie", button, "caption").toString() == caption) {
                TestDriver::click("agenda_serie", button);
                return;
            }
        FAIL() << "no button " << caption.toStdString();
    }
};

const QString kMark = QStringLiteral("\u21BB ");

TEST_P(AgendaSeries, EveryOccurrenceShowsOnItsDay) {
    const QString allDay = GetParam().allDay;
    EXPECT_EQ(RowsOn(QDate(2027, 1, 5)), QStringList());  // left out
    EXPECT_EQ(RowsOn(QDate(2027, 1, 7)), QStringList({"09:30 " + kMark + "Team"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 14)), QStringList({"15:00 " + kMark + "Team später"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 29)), QStringList({"16:00 " + kMark + "Review"}));
    EXPECT_EQ(RowsOn(QDate(2027, 2, 26)), QStringList({"16:00 " + kMark + "Review"}));
    EXPECT_EQ(RowsOn(QDate(2027, 3, 26)), QStringList({"16:00 " + kMark + "Review"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 31)), QStringList({": " + allDay + " \u00B7 Reise"}));
    EXPECT_EQ(RowsOn(QDate(2027, 2, 1)), QStringList({": " + allDay + " \u00B7 Reise"}));
    EXPECT_EQ(RowsOn(QDate(2027, 2, 2)), QStringList({"09:30 " + kMark + "Team"}));
    EXPECT_EQ(RowsOn(QDate(2027, 3, 27)), QStringList({"02:30 " + kMark + "Nachtschicht"}));
    EXPECT_EQ(RowsOn(QDate(2027, 3, 28)), QStringList({"03:30 " + kMark + "Nachtschicht"}));
    EXPECT_EQ(RowsOn(QDate(2028, 2, 29)),
              QStringList({": " + allDay + " \u00B7 " + kMark + "Schalttag"}));
    EXPECT_EQ(RowsOn(QDate(2029, 2, 28)), QStringList());
    // The all-day event comes before the timed ones of its days.
    ChooseDay(QDate(2027, 1, 28));
    EXPECT_EQ(ElevenDayItems().mid(0, 3),
              QStringList({"29.01.2027 16:00 " + kMark + "Review",
                           "30.01.2027 " + allDay + " Reise", "31.01.2027 " + allDay + " Reise"})
                  .replaceInStrings("29.01.2027", DTOC(QDate(2027, 1, 29)))
                  .replaceInStrings("30.01.2027", DTOC(QDate(2027, 1, 30)))
                  .replaceInStrings("31.01.2027", DTOC(QDate(2027, 1, 31))));
}

TEST_P(AgendaSeries, AChangeOrDeletionAsksWhichOccurrencesAndUndoBringsTheSeriesBack) {
    const Language& language = GetParam();
    KeepPackedRecordsOf({"agenda.dbf"});
    // Only this one: the Tuesday of 12 January moves to 11:00.
    ChooseDay(QDate(2027, 1, 12));
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::select("agenda_frm", "Combo_3", 12);  // 11
    TestDriver::click("agenda_frm", "Button_1");
    ASSERT_TRUE(TestDriver::isOpen("agenda_serie"));
    Answer(language.onlyThis);
    EXPECT_EQ(RowsOn(QDate(2027, 1, 12)), QStringList({"11:30 " + kMark + "Team"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 19)), QStringList({"09:30 " + kMark + "Team"}));

    // This and all following: from 21 January on, no more.
    ChooseDay(QDate(2027, 1, 21));
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::click("agenda_frm", "Button_2");
    Answer(language.following);
    EXPECT_EQ(RowsOn(QDate(2027, 1, 21)), QStringList());
    EXPECT_EQ(RowsOn(QDate(2027, 1, 26)), QStringList());
    EXPECT_EQ(RowsOn(QDate(2027, 1, 19)), QStringList({"09:30 " + kMark + "Team"}));

    // All: the series goes to the trash whole, and Ctrl+Z brings it back.
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::click("agenda_frm", "Button_2");
    Answer(language.all);
    EXPECT_EQ(RowsOn(QDate(2027, 1, 19)), QStringList());
    EXPECT_EQ(RowsOn(QDate(2027, 1, 12)), QStringList());
    EXPECT_TRUE(TestDriver::read("agenda_frm", "Menu_5", "enabled").toBool());
    TestDriver::click("agenda_frm", "Menu_5");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(RowsOn(QDate(2027, 1, 12)), QStringList({"11:30 " + kMark + "Team"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 19)), QStringList({"09:30 " + kMark + "Team"}));
    EXPECT_EQ(RowsOn(QDate(2027, 1, 14)), QStringList({"15:00 " + kMark + "Team später"}));
    KeepPackedRecordsOf({});
}

TEST_P(AgendaSeries, AnOccurrenceBackFromTheTrashIsNoMoreLeftOutAndItsLinkGoesWithTheTrash) {
    const Language& language = GetParam();
    KeepPackedRecordsOf({"agenda.dbf"});
    const auto leftOut = [this] {
        QStringList days;
        const std::optional<StoredEvent> series = StoredEventOf(dataPath(), "team@test");
        for (const QDateTime& date : series->item.leftOutDates)
            days.append(date.toString("dd.MM. HH:mm"));
        return days;
    };
    const auto linksOfTheTrash = [this] {
        const int previous = SELECT();
        DBUSEAREA(true, dataPath() + "agenda_uid.dbf", "links");
        int count = 0;
        DBEVALLIVE([&count] { count += FIELD("SATZ").toDouble() == 0 ? 1 : 0; });
        DBCLOSEAREA();
        DBSELECTAREA(previous);
        return count;
    };
    ChooseDay(QDate(2027, 1, 19));
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::click("agenda_frm", "Button_2");
    Answer(language.onlyThis);
    EXPECT_EQ(leftOut(), QStringList({"05.01. 09:30", "19.01. 09:30"}));
    TestDriver::click("agenda_frm", "Menu_5");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(RowsOn(QDate(2027, 1, 19)), QStringList({"09:30 " + kMark + "Team"}));
    EXPECT_EQ(leftOut(), QStringList({"05.01. 09:30"}));

    // Emptied from the trash: its link goes at the next opening.
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::click("agenda_frm", "Button_2");
    Answer(language.onlyThis);
    EXPECT_EQ(linksOfTheTrash(), 1);
    EXPECT_TRUE(LinksAwaitTheirRecords(dataPath())) << "the opening reads the records to tie";
    EXPECT_EQ(EmptyTrashOf("agenda.dbf"), 1);
    TestDriver::closeWindow("agenda_frm");
    OpenAgenda(QDate(2027, 1, 4));
    EXPECT_EQ(linksOfTheTrash(), 0);
    EXPECT_FALSE(LinksAwaitTheirRecords(dataPath())) << "the opening reads no record to tie";
    EXPECT_EQ(RowsOn(QDate(2027, 1, 21)), QStringList({"09:30 " + kMark + "Team"}));
    KeepPackedRecordsOf({});
}

TEST_P(AgendaSeries, AllOfAMonthlySeriesFromTheDetailsKeepsTheSeriesOwnDay) {
    // The moved occurrence of the 17th, given a place for all of them.
    EXPECT_EQ(RowsOn(QDate(2027, 2, 17)), QStringList({"12:00 " + kMark + "Bericht"}));
    TestDriver::select("agenda_frm", "Browse_1", 1);
    TestDriver::click("agenda_frm", "Button_7");
    ASSERT_TRUE(TestDriver::isOpen("agenda_det"));
    TestDriver::typeInto("agenda_det", "Text_1", "Raum 9");
    TestDriver::click("agenda_det", "Button_1");
    Answer(GetParam().all);
    EXPECT_EQ(RowsOn(QDate(2027, 3, 15)), QStringList({"12:00 " + kMark + "Bericht"}));
    EXPECT_EQ(RowsOn(QDate(2027, 3, 17)), QStringList());
    EXPECT_EQ(StoredEventOf(dataPath(), "report@test")->item.rule,
              "FREQ=MONTHLY;BYMONTHDAY=15;COUNT=4");
    EXPECT_EQ(StoredEventOf(dataPath(), "report@test")->item.location, "Raum 9");
}

TEST_P(AgendaSeries, ATaskOfTheFileIsKeptOnceNamedByTheImportAndExportedAgain) {
    const QByteArray exported = CalendarFileOf(dataPath(), {});
    EXPECT_TRUE(
        exported.contains("BEGIN:VTODO\r\nUID:todo@test\r\nSUMMARY:Steuererklärung\r\n"
                          "DUE;VALUE=DATE:20270531\r\nBEGIN:VALARM\r\nTRIGGER:-P1D\r\n"
                          "ACTION:DISPLAY\r\nEND:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR"))
        << exported.toStdString();
    EXPECT_FALSE(exported.contains("Steuererklärung\r\nEND:VEVENT"));
    // The same file again: told, and kept once.
    driver_.answerNextFile(folder_.path() + "/calendar.ics");
    TestDriver::click("agenda_frm", "Menu_2");
    const QString told = TakeMessages().join('|');
    EXPECT_TRUE(told.contains(TEXT(agenda_texts::kKeptComponents).arg("VTODO")))
        << told.toStdString();
    EXPECT_EQ(KeptComponents(dataPath()).size(), 1);
}

TEST_P(AgendaSeries, TheStartStoresASeriesWithoutEndFurtherOnALaterDayOnly) {
    TestDriver::closeWindow("agenda_frm");
    const auto appointments = [this](const QDate& on) {
        DBUSEAREA(false, dataPath() + "agenda.dbf", "looked");
        int found = 0;
        DBEVALLIVE([&found, &on] { found += FIELD("looked->DATUM").toDate() == on ? 1 : 0; });
        DBCLOSEAREA();
        return found;
    };
    const auto records = [this] {
        DBUSEAREA(false, dataPath() + "agenda.dbf", "looked");
        const int count = RECCOUNT();
        DBCLOSEAREA();
        return count;
    };
    // Stored at the import up to eighteen months ahead: the last Friday of
    // August 2028 is beyond.
    const QDate lastFridayOfAugust(2028, 8, 25);
    ASSERT_EQ(appointments(lastFridayOfAugust), 0);
    const int imported = records();
    STORE_SERIES_AHEAD();
    EXPECT_EQ(records(), imported);

    driver_.setToday(QDate(2027, 3, 1));
    STORE_SERIES_AHEAD();
    EXPECT_EQ(appointments(lastFridayOfAugust), 1);
    const int stored = records();
    EXPECT_EQ(stored, imported + 2);  // the last Fridays of July and August
    STORE_SERIES_AHEAD();
    EXPECT_EQ(records(), stored);
}

INSTANTIATE_TEST_SUITE_P(Languages, AgendaSeries, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.code); });

}  // namespace
