// The agenda and the projects kept with a calendar and a task list on both
// servers, the three steps of the sync run in this process, a python3
// "phone" (calendar_phone.py) changing the server behind its back: a weekly
// series going up with its zone and coming back with an occurrence moved,
// its end changed here, deletions to the other side's trash whole, an
// all-day event over a month's end, a refused token and a 412 race, a
// project done on the phone.
#include "apps/agenda/agenda_sync.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/agenda/event_merge.h"
#include "apps/agenda/pack_without_trash.h"
#include "apps/common/trash_tables.h"
#include "apps/projects/project_sync.h"
#include "apps/projects/task_object.h"
#include "kernel/public_variables.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "tests/apps/installed_table.h"
#include "tests/sync/dav_server_test.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryFile>

#include <cstdlib>
#include <ctime>

namespace {

const bool kBerlinClock = [] {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return true;
}();

const QByteArray kTeamSeries =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    "BEGIN:VEVENT\r\nUID:team@test\r\nDTSTART;TZID=Europe/Berlin:20270105T090000\r\n"
    "DTEND;TZID=Europe/Berlin:20270105T100000\r\nRRULE:FREQ=WEEKLY;COUNT=6\r\n"
    "SUMMARY:Team\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

const QByteArray kTrip =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
    "BEGIN:VEVENT\r\nUID:trip@test\r\nDTSTAMP:20270101T000000Z\r\n"
    "DTSTART;VALUE=DATE:20270130\r\nDTEND;VALUE=DATE:20270202\r\nSUMMARY:Reise\r\n"
    "END:VEVENT\r\nEND:VCALENDAR\r\n";

class CalendarSync : public DavServerTest {
  protected:
    void SetUp() override {
        DavServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        QDir(folder_.path()).mkdir("data");
        THE_APP_PATH = folder_.path() + "/";
        THE_DATA_PATH = THE_APP_PATH + "data/";
        SET_DELETED(true);
        SET_CENTURY(true);
        THE_LANG = "AM";
        CreateInstalledTable(THE_DATA_PATH, "agenda.dbf");
        CreateInstalledTable(THE_DATA_PATH, "projekt.dbf");
        KeepPackedRecordsOf({"agenda.dbf"});
        ASSERT_TRUE(connection_->makeCalendar("agenda", false, &calendar_).ok());
        ASSERT_TRUE(connection_->makeCalendar("projects", true, &tasks_).ok());
    }
    void TearDown() override {
        KeepPackedRecordsOf({});
        DBCLOSEALL();
    }

    // One sync of the agenda (or the projects); `requests` how many it sent.
    DavSyncResult sync(bool agenda = true, int* requests = nullptr) {
        DavConnection server(server_->account());
        const DavCollection& collection = agenda ? calendar_ : tasks_;
        QByteArray& token = agenda ? agendaToken_ : tasksToken_;
        server.rememberCollection(collection);
        const DavSnapshot read = agenda ? ReadAgendaForSync() : ReadProjectsForSync();
        DavSyncResult result = agenda
                                   ? ExchangeItems(server, collection.url, token, read, EventKind())
                                   : ExchangeItems(server, collection.url, token, read, TaskKind());
        EXPECT_TRUE(result.problem.ok()) << result.problem.detail.toStdString();
        applied_ = agenda ? ApplyAgendaSync(read, result) : ApplyProjectsSync(read, result);
        if (!result.token.isEmpty()) token = result.token;
        if (requests) *requests = server.requestsSent();
        return result;
    }

    static QString phone(const QStringList& arguments) {
        QProcess phone;
        phone.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        phone.start(KESP_PYTHON, QStringList{KESP_CALENDAR_PHONE} + arguments);
        EXPECT_TRUE(phone.waitForFinished(60000));
        EXPECT_EQ(phone.exitCode(), 0) << arguments.join(' ').toStdString();
        return QString::fromUtf8(phone.readAllStandardOutput()).trimmed();
    }
    // The URL of the member with `uid`, as the phone finds it.
    QString at(const DavCollection& collection, const QString& uid) const {
        return phone({"find", server_->url().resolved(collection.url).toString(), uid});
    }
    QStringList members(const DavCollection& collection) const {
        return phone({"list", server_->url().resolved(collection.url).toString()})
            .split('\n', Qt::SkipEmptyParts);
    }

    static void openAgenda() {
        DBSELECTAREA(0);
        DBUSEAREA(false, THE_DATA_PATH + kAgendaTable, "agenda");
    }
    static void importHere(const QByteArray& calendar) {
        openAgenda();
        ImportCalendarBytes(THE_DATA_PATH, calendar);
        DBCLOSEAREA();
    }
    // The live appointments as "2027-01-05 09:00 Team", in their order.
    static QStringList appointments() {
        openAgenda();
        QStringList shown;
        DBEVALLIVE([&] {
            const Appointment one = ReadAppointment("agenda");
            shown.append(one.date.toString(Qt::ISODate) + ' ' + one.hour.trimmed() + ':' +
                         one.minute.trimmed() + ' ' + one.text);
        });
        DBCLOSEAREA();
        shown.sort();
        return shown;
    }
    // The event stored anew as the details window's "all" does, `change`d.
    static void changeHere(const QString& uid, const std::function<void(CalendarItem&)>& change) {
        openAgenda();
        EventToStore event{StoredEventOf(THE_DATA_PATH, uid)->item, {}};
        for (const StoredEvent& changed : ChangedOccurrencesOf(THE_DATA_PATH, uid))
            event.changed.append(changed.item);
        change(event.item);
        const QList<int> old = RecordsOfEvent(THE_DATA_PATH, uid).keys();
        RemoveEventRows(THE_DATA_PATH, uid);
        StoreEvents(THE_DATA_PATH, {event}, StoreHorizon(DATE()));
        DBCLOSEAREA();
        deleteHere(old, false);
    }
    static void deleteHere(const QList<int>& records, bool toTrash = true) {
        openAgenda();
        for (const int record : records) {
            DBGOTO(record);
            DBDELETE();
        }
        if (toTrash) {
            __DBPACK();
        } else {
            PackWithoutTrash noTrash;
            __DBPACK();
        }
        DBCLOSEAREA();
    }

    QTemporaryDir folder_;
    DavCollection calendar_;
    DavCollection tasks_;
    QByteArray agendaToken_;
    QByteArray tasksToken_;
    DavSyncApplied applied_;
};

TEST_P(CalendarSync, ASeriesGoesUpWithItsZoneAndComesBackWithAnOccurrenceMoved) {
    importHere(kTeamSeries);
    openAgenda();
    AppendAppointment({QDate(2027, 1, 7), "10", "00", "Zahnarzt"});
    DBCLOSEAREA();
    EXPECT_EQ(sync().sent, 2);
    const QString series = phone({"get", at(calendar_, "team@test")});
    EXPECT_TRUE(series.contains("BEGIN:VTIMEZONE")) << series.toStdString();
    EXPECT_TRUE(series.contains("DTSTART;TZID=Europe/Berlin:20270105T090000"));
    EXPECT_TRUE(series.contains("RRULE:FREQ=WEEKLY;COUNT=6"));
    // An appointment made here goes up in the computer's zone, not floating.
    const QStringList all = members(calendar_);
    ASSERT_EQ(all.size(), 2);
    const QString dentist =
        phone(
            {"get",
             server_->url().resolved(QUrl(all.filter(".ics")[0].section(' ', 0, 0))).toString()}) +
        phone({"get",
               server_->url().resolved(QUrl(all.filter(".ics")[1].section(' ', 0, 0))).toString()});
    EXPECT_TRUE(dentist.contains("DTSTART;TZID=Europe/Berlin:20270107T100000"))
        << dentist.toStdString();

    phone({"set", at(calendar_, "team@test"), "X-PHONE-COLOUR", "blue"});
    phone({"move", at(calendar_, "team@test"), "20270112T090000", "20270112T140000"});
    EXPECT_EQ(sync().received, 1);
    const QStringList shown = appointments();
    EXPECT_TRUE(shown.contains("2027-01-12 14:00 Team")) << shown.join('|').toStdString();
    EXPECT_FALSE(shown.contains("2027-01-12 09:00 Team"));
    EXPECT_EQ(shown.filter("Team").size(), 6);
    const QList<StoredEvent> moved = ChangedOccurrencesOf(THE_DATA_PATH, "team@test");
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0].item.recurrenceId, "20270112T090000");

    // Nothing changed: one request for the collection, nothing sent.
    int requests = 0;
    const DavSyncResult quiet = sync(true, &requests);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(quiet.sent + quiet.received, 0);

    // The series' end changed here goes up; the phone's exception and its
    // own property stay.
    changeHere("team@test", [](CalendarItem& item) { item.rule = "FREQ=WEEKLY;COUNT=3"; });
    EXPECT_EQ(sync().sent, 1);
    const QString ended = phone({"get", at(calendar_, "team@test")});
    EXPECT_TRUE(ended.contains("RRULE:FREQ=WEEKLY;COUNT=3")) << ended.toStdString();
    EXPECT_TRUE(ended.contains("RECURRENCE-ID;TZID=Europe/Berlin:20270112T090000"));
    EXPECT_TRUE(ended.contains("X-PHONE-COLOUR:blue"));
    EXPECT_EQ(appointments().filter("Team").size(), 3);
}

TEST_P(CalendarSync, DeletionsGoToTheOtherSidesTrashWhole) {
    importHere(kTeamSeries);
    sync();
    phone({"delete", at(calendar_, "team@test")});
    sync();
    EXPECT_EQ(applied_.trashed, 1);
    EXPECT_TRUE(appointments().isEmpty());
    EXPECT_EQ(TrashedRecordsOf("agenda.dbf", {"TERMIN"}).size(), 6);

    // An all-day event over a month's end: a day each, deleted here whole.
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(kTrip);
    file.close();
    phone({"put", server_->url().resolved(calendar_.url).toString() + "trip.ics", file.fileName()});
    sync();
    EXPECT_EQ(appointments().join('|'), "2027-01-30 : Reise|2027-01-31 : Reise|2027-02-01 : Reise");
    const QString trip = phone({"get", at(calendar_, "trip@test")});
    EXPECT_TRUE(trip.contains("DTEND;VALUE=DATE:20270202")) << trip.toStdString();
    deleteHere(RecordsOfEvent(THE_DATA_PATH, "trip@test").keys());
    EXPECT_EQ(sync().deletedThere, 1);
    EXPECT_TRUE(members(calendar_).isEmpty());
}

TEST_P(CalendarSync, ARefusedTokenAndA412RaceAreMergedNeverDoubled) {
    importHere(kTeamSeries);
    sync();
    agendaToken_ = "http://example.org/ns/sync/not-a-token";
    phone({"set", at(calendar_, "team@test"), "LOCATION", "Raum 5"});
    EXPECT_EQ(sync().received, 1);
    EXPECT_EQ(members(calendar_).size(), 1);
    EXPECT_EQ(appointments().size(), 6);
    EXPECT_EQ(StoredEventOf(THE_DATA_PATH, "team@test")->item.location, "Raum 5");

    // The phone changes the event the sync does not hear of: the send meets
    // a 412, and the two changes are merged.
    phone({"set", at(calendar_, "team@test"), "DESCRIPTION", "Tagesordnung"});
    DavChanges now;
    ASSERT_TRUE(connection_->syncCollection(calendar_.url, {}, &now).ok());
    agendaToken_ = now.token;
    changeHere("team@test", [](CalendarItem& item) { item.summary = "Team neu"; });
    sync();
    const QString merged = phone({"get", at(calendar_, "team@test")});
    EXPECT_TRUE(merged.contains("SUMMARY:Team neu")) << merged.toStdString();
    EXPECT_TRUE(merged.contains("DESCRIPTION:Tagesordnung"));
    EXPECT_TRUE(merged.contains("LOCATION:Raum 5"));
    EXPECT_EQ(StoredEventOf(THE_DATA_PATH, "team@test")->item.description, "Tagesordnung");
    EXPECT_EQ(appointments().filter("Team neu").size(), 6);
    EXPECT_EQ(members(calendar_).size(), 1);
}

TEST_P(CalendarSync, AProjectDoneOnThePhoneIsDoneHereWithItsDate) {
    DBSELECTAREA(0);
    DBUSEAREA(false, THE_DATA_PATH + "projekt.dbf", "projekt");
    DBAPPEND();
    REPLACE("projekt->N_TITEL", "Umzug");
    REPLACE("projekt->DATUME", QDate(2027, 3, 1));
    REPLACE("projekt->N_TEXT", "Kisten packen");
    REPLACE("projekt->FERTIG", false);
    DBCOMMIT();
    DBCLOSEAREA();
    EXPECT_EQ(sync(false).sent, 1);
    ASSERT_EQ(members(tasks_).size(), 1);
    const QString href =
        server_->url().resolved(QUrl(members(tasks_)[0].section(' ', 0, 0))).toString();
    const QString task = phone({"get", href});
    EXPECT_TRUE(task.contains("SUMMARY:Umzug")) << task.toStdString();
    EXPECT_TRUE(task.contains("DUE;VALUE=DATE:20270301"));
    EXPECT_TRUE(task.contains("STATUS:NEEDS-ACTION"));
    EXPECT_TRUE(task.contains("DESCRIPTION:Kisten packen"));

    phone({"done", href, "20270210"});
    EXPECT_EQ(sync(false).received, 1);
    DBUSEAREA(false, THE_DATA_PATH + "projekt.dbf", "projekt");
    DBGOTO(1);
    EXPECT_TRUE(FIELD("projekt->FERTIG").toBool());
    REPLACE("projekt->N_TITEL", "Umzug nach Ulm");
    DBCOMMIT();
    DBCLOSEAREA();
    EXPECT_EQ(sync(false).sent, 1);
    const QString done = phone({"get", href});
    EXPECT_TRUE(done.contains("SUMMARY:Umzug nach Ulm")) << done.toStdString();
    EXPECT_TRUE(done.contains("STATUS:COMPLETED"));
    EXPECT_TRUE(done.contains("COMPLETED:20270210"));
    EXPECT_EQ(members(tasks_).size(), 1);
}

KESP_DAV_SERVERS(CalendarSync);

}  // namespace
