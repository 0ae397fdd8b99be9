#pragma once
// A synchronous client of one CardDAV/CalDAV account: discovery of the
// address books and calendars, making them, incremental changes by
// sync-collection, the members with their ETags, multiget in batches, and
// conditional writes and deletions. Each call sends its requests and waits for
// the answers in a local event loop, so it may run in a worker thread or in a
// program without windows; it never touches a widget. Create and use it in one
// thread. A call either succeeds with its whole result or fills nothing: an
// answer cut short is never taken for a shorter list.
#include <QList>
#include <QStringList>
#include <memory>

#include "apps/common/dav_account.h"
#include "apps/common/dav_result.h"

struct DavCollection {
    QUrl url;
    QString displayName;
    bool addressBook = false;
    bool events = false;
    bool tasks = false;
};
// An href as the server names it: a path, percent-encoded the one canonical
// way (see davCanonicalHref), so that hrefs from different answers compare.
struct DavItemTag {
    QString href;
    QByteArray etag;  // with its quotes
    bool operator==(const DavItemTag&) const = default;
};
struct DavItem {
    QString href;
    QByteArray etag;
    QByteArray body;
    bool operator==(const DavItem&) const = default;
};
struct DavChanges {
    QList<DavItemTag> changed;
    QStringList removed;
    QByteArray token;
};

// `href` resolved against `base` and percent-encoded the one canonical way:
// servers answer with full URLs or paths, encoded as they like.
QString davCanonicalHref(const QUrl& base, const QString& href);

class DavConnection {
  public:
    explicit DavConnection(DavAccount account);
    ~DavConnection();
    DavConnection(const DavConnection&) = delete;
    DavConnection& operator=(const DavConnection&) = delete;

    // Discovery: /.well-known/carddav (or caldav), current-user-principal,
    // the home set, then the home's collections (Depth 1).
    DavResult findAddressBooks(QList<DavCollection>* books);
    DavResult findCalendars(QList<DavCollection>* calendars);
    // Makes a collection named `name` (path segment and display name) in the
    // home set: extended MKCOL for an address book, MKCALENDAR with VEVENT or
    // VTODO for a calendar.
    DavResult makeAddressBook(const QString& name, DavCollection* made);
    DavResult makeCalendar(const QString& name, bool tasks, DavCollection* made);
    // sync-collection with `token` (empty: the first). Any refusal of a
    // non-empty token gives TokenRefused: compare listMembers then.
    DavResult syncCollection(const QUrl& collection, const QByteArray& token, DavChanges* changes);
    // Every member with its ETag (PROPFIND Depth 1).
    DavResult listMembers(const QUrl& collection, QList<DavItemTag>* members);
    // addressbook-multiget or calendar-multiget by the collection's kind, in
    // batches; members the server reports missing are left out.
    DavResult fetch(const QUrl& collection, const QStringList& hrefs, QList<DavItem>* items);
    // Every member with its data in one query (addressbook-query or
    // calendar-query without a condition): for a first sync or a full
    // comparison, far quicker than multiget where a server looks up each href
    // on its own (Xandikos: about 15 ms an href in a book of 1,200).
    DavResult fetchAll(const QUrl& collection, QList<DavItem>* items);
    // PUT: `etag` empty makes a new member (If-None-Match: *), else If-Match.
    // *newEtag is the server's ETag, empty when it gave none. 412: Conflict.
    DavResult put(const QString& href, const QByteArray& body, const QByteArray& contentType,
                  const QByteArray& etag, QByteArray* newEtag);
    // DELETE with If-Match: etag. A member already gone counts as done.
    DavResult remove(const QString& href, const QByteArray& etag);
    int requestsSent() const;

    // Tells the kind of a collection known from before (the sync's mapping),
    // so that fetch need not ask the server for it.
    void rememberCollection(const DavCollection& collection);
    // How many hrefs one multiget asks for (default 500).
    void setFetchBatchSize(int hrefs);
    // How long a connection may stay silent before it counts as lost.
    void setQuietTimeout(int milliseconds);

  private:
    DavResult findHomes(bool addressBooks);
    DavResult findCollections(bool addressBooks, QList<DavCollection>* found);
    DavResult makeCollection(const QString& name, bool addressBook, bool tasks,
                             DavCollection* made);
    DavResult collectionKind(const QUrl& collection, bool* addressBook);

    struct State;
    std::unique_ptr<State> state_;
};
