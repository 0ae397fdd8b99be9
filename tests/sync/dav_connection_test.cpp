// The WebDAV layer against real Radicale and Xandikos servers: discovery from
// the bare server address, conditional writes, the changes a phone made,
// refused tokens, the members and multiget in batches.
#include <QMap>

#include "tests/sync/dav_server_test.h"

namespace {

using DavProtocolTest = DavServerTest;

const QByteArray kEvent =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//kesp//test//EN\r\nBEGIN:VEVENT\r\n"
    "UID:meeting-1\r\nDTSTAMP:20260101T080000Z\r\nDTSTART:20260105T090000Z\r\n"
    "DTEND:20260105T100000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";

const DavCollection* named(const QList<DavCollection>& collections, const QString& name) {
    for (const DavCollection& collection : collections)
        if (collection.displayName == name) return &collection;
    return nullptr;
}

TEST_P(DavProtocolTest, DiscoveryFromTheServerAddressFindsWhatWasMade) {
    makeBook("private");
    DavCollection agenda, projects;
    ASSERT_TRUE(connection_->makeCalendar("agenda", false, &agenda).ok());
    ASSERT_TRUE(connection_->makeCalendar("projects", true, &projects).ok());

    DavConnection fresh(server_->account());
    QList<DavCollection> books, calendars;
    const DavResult foundBooks = fresh.findAddressBooks(&books);
    ASSERT_TRUE(foundBooks.ok()) << foundBooks.detail.toStdString();
    EXPECT_EQ(fresh.requestsSent(), 4) << "well-known, its redirect, principal, home";
    ASSERT_TRUE(fresh.findCalendars(&calendars).ok());
    const DavCollection* book = named(books, "private");
    ASSERT_TRUE(book);
    EXPECT_TRUE(book->addressBook);
    EXPECT_TRUE(book->url.path().endsWith("/private/"));
    EXPECT_FALSE(named(books, "agenda"));
    ASSERT_TRUE(named(calendars, "agenda"));
    ASSERT_TRUE(named(calendars, "projects"));
    EXPECT_EQ(named(calendars, "agenda")->url, agenda.url);
    EXPECT_TRUE(named(calendars, "agenda")->events);
    EXPECT_TRUE(named(calendars, "projects")->tasks);  // Xandikos allows events there too
    EXPECT_FALSE(named(calendars, "private"));

    // An event fetched by calendar-multiget and by calendar-query.
    const QString event = agenda.url.path() + "meeting.ics";
    QByteArray etag;
    ASSERT_TRUE(connection_->put(event, kEvent, "text/calendar", {}, &etag).ok());
    QList<DavItem> byHref, all;
    ASSERT_TRUE(fresh.fetch(named(calendars, "agenda")->url, {event}, &byHref).ok());
    ASSERT_TRUE(fresh.fetchAll(named(calendars, "agenda")->url, &all).ok());
    ASSERT_EQ(byHref.size(), 1);
    EXPECT_TRUE(byHref.first().body.contains("UID:meeting-1"));
    EXPECT_EQ(all, byHref);
}

TEST_P(DavProtocolTest, WritesAndDeletionsWithAStaleVersionAreConflicts) {
    const DavCollection book = makeBook("private");
    QByteArray first;
    const QString href = putCard(book, "anna", &first);
    ASSERT_FALSE(first.isEmpty());
    QByteArray ignored;
    DavResult again = connection_->put(href, card("anna", "Anna"), "text/vcard", {}, &ignored);
    EXPECT_EQ(again.problem, DavProblem::Conflict);
    EXPECT_EQ(again.status, 412);

    QByteArray second;
    ASSERT_TRUE(connection_->put(href, card("anna", "Anna B"), "text/vcard", first, &second).ok());
    EXPECT_NE(second, first);
    EXPECT_EQ(connection_->put(href, card("anna", "Anna C"), "text/vcard", first, &ignored).problem,
              DavProblem::Conflict);
    EXPECT_EQ(connection_->remove(href, first).problem, DavProblem::Conflict);
    EXPECT_TRUE(connection_->remove(href, second).ok());
    QList<DavItemTag> members{{"left", "over"}};
    ASSERT_TRUE(connection_->listMembers(book.url, &members).ok());
    EXPECT_TRUE(members.isEmpty());
    EXPECT_TRUE(connection_->remove(href, second).ok()) << "gone already counts as done";
}

TEST_P(DavProtocolTest, SyncGivesExactlyThePhonesChangesAndRefusesAMadeUpToken) {
    const DavCollection book = makeBook("private");
    QByteArray annaEtag;
    const QString anna = putCard(book, "anna", &annaEtag);
    const QString bert = putCard(book, "bert");
    const QString carl = putCard(book, "carl smith@home");  // percent-encoded by each its own way
    QList<DavItemTag> members;
    ASSERT_TRUE(connection_->listMembers(book.url, &members).ok());
    std::sort(members.begin(), members.end(),
              [](const DavItemTag& a, const DavItemTag& b) { return a.href < b.href; });
    EXPECT_TRUE(members.contains(DavItemTag{anna, annaEtag})) << "the ETag the put answered";
    DavChanges initial;
    ASSERT_TRUE(connection_->syncCollection(book.url, {}, &initial).ok());
    EXPECT_EQ(initial.changed, members);
    EXPECT_TRUE(initial.removed.isEmpty());
    ASSERT_FALSE(initial.token.isEmpty());

    const QString base = server_->url().toString(QUrl::StripTrailingSlash);
    int exitCode = -1;
    const QString phoneEtag = runPhone({"edit", base + anna, "fn", "Anna Phone"}, &exitCode);
    ASSERT_EQ(exitCode, 0);
    runPhone({"delete", base + bert}, &exitCode);
    ASSERT_EQ(exitCode, 0);

    DavChanges later;
    const int before = connection_->requestsSent();
    ASSERT_TRUE(connection_->syncCollection(book.url, initial.token, &later).ok());
    EXPECT_EQ(connection_->requestsSent() - before, 1);
    ASSERT_EQ(later.changed.size(), 1);
    EXPECT_EQ(later.changed.first().href, anna);
    EXPECT_EQ(later.changed.first().etag, phoneEtag.toUtf8());
    EXPECT_NE(later.changed.first().etag, annaEtag);
    EXPECT_EQ(later.removed, QStringList{bert});
    DavChanges none;
    ASSERT_TRUE(connection_->syncCollection(book.url, later.token, &none).ok());
    EXPECT_TRUE(none.changed.isEmpty() && none.removed.isEmpty());

    DavChanges untouched{{{carl, "kept"}}, {}, "kept"};
    const DavResult refused =
        connection_->syncCollection(book.url, "http://example.invalid/made-up/7", &untouched);
    EXPECT_EQ(refused.problem, DavProblem::TokenRefused) << refused.detail.toStdString();
    EXPECT_EQ(untouched.token, "kept");
}

TEST_P(DavProtocolTest, MultigetFetchesTwelveHundredMembersInBatches) {
    const DavCollection book = makeBook("private");
    QMap<QString, QByteArray> stored;
    QStringList hrefs;
    for (int n = 0; n < 1200; ++n) {
        const QString uid = QStringLiteral("person-%1").arg(n);
        stored.insert(uid + ".vcf", card(uid, "Name " + uid));
        hrefs.append(book.url.path() + uid + ".vcf");
    }
    ASSERT_TRUE(server_->storeDirectly(book.url, stored));
    QList<DavItemTag> members;
    ASSERT_TRUE(connection_->listMembers(book.url, &members).ok());
    QMap<QString, QByteArray> listed;
    for (const DavItemTag& member : members)
        listed.insert(member.href, member.etag);
    QStringList expected = hrefs;
    expected.sort();
    ASSERT_EQ(QStringList(listed.keys()), expected);

    DavConnection fresh(server_->account());  // knows nothing of the book yet
    fresh.setFetchBatchSize(500);
    hrefs.append(book.url.path() + "nobody.vcf");
    QList<DavItem> items;
    ASSERT_TRUE(fresh.fetch(book.url, hrefs, &items).ok());
    EXPECT_EQ(fresh.requestsSent(), 1 + 3) << "the kind, then three batches";
    ASSERT_EQ(items.size(), 1200);
    for (const DavItem& item : items) {
        const QString uid = item.href.section('/', -1).chopped(4);
        EXPECT_TRUE(item.body.contains("UID:" + uid.toUtf8())) << item.href.toStdString();
        EXPECT_EQ(item.etag, listed.value(item.href));
    }
    QList<DavItem> all;
    ASSERT_TRUE(fresh.fetchAll(book.url, &all).ok());
    EXPECT_EQ(all.size(), 1200);
    EXPECT_TRUE(all.contains(items.first()));
}

KESP_DAV_SERVERS(DavProtocolTest);

}  // namespace
