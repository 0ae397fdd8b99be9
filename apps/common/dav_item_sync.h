// The exchange step of a sync whose members are told apart by their UID
// alone (the agenda's events, the projects' tasks): what changed on the
// server since the last sync is fetched and merged with what changed here,
// and what changed here is sent up (new members with If-None-Match, changes
// and deletions with If-Match, a 412 merged again with the server's newer
// copy). Both sides are held as the server's text (an iCalendar object);
// the kind of member (DavItemKind) says what of it this program keeps, how
// two versions merge, and how a server's copy is patched, so that what the
// program does not keep stays there.
//
// It reads and writes no table: it works on a snapshot of this side, made
// in the event loop, and returns what this side is to become, to be applied
// in the event loop; it may run in a thread of its own. Cut off at any
// moment, the next sync finds every member once on each side: a member's
// place on the server is made from its UID, and a member found there by its
// UID is this side's.
#pragma once

#include "apps/common/dav_connection.h"
#include "apps/common/dav_links.h"

#include <QHash>
#include <QStringList>
#include <QUrl>

class DavItemKind {
  public:
    virtual ~DavItemKind() = default;
    virtual QByteArray contentType() const = 0;  // "text/calendar; charset=utf-8"
    virtual QString suffix() const = 0;          // of a new member's place: ".ics"
    // The UID of the server's text; empty when it holds nothing this side keeps.
    virtual QString uidOf(const QByteArray& body) const = 0;
    // A fingerprint of what this side keeps of `body`: equal for two texts
    // that come to the same here.
    virtual QByteArray fingerprint(const QByteArray& body) const = 0;
    // `server` changed where `local` differs from `base` (what both last
    // agreed on), value by value; where both changed a value differently the
    // local one stays and *conflict is set. Everything else of `server` stays.
    virtual QByteArray merged(const QByteArray& base, const QByteArray& local,
                              const QByteArray& server, bool* conflict) const = 0;
    // How the member is named in the sync's summary.
    virtual QString nameOf(const QByteArray& body) const = 0;
};

struct DavLocalItem {
    QByteArray body;         // this side's version, written as the server would hold it
    QByteArray fingerprint;  // DavItemKind::fingerprint of `body`
};

struct DavSnapshot {
    QHash<QString, DavLocalItem> live;  // by UID: what this side has, not deleted
    QList<DavLink> links;               // a link without href: a UID given, not yet sent
    bool inUse = false;                 // a window has the table: nothing read
};

struct DavItemChange {
    QString uid;
    QByteArray body;       // what the member becomes here
    bool toTrash = false;  // deleted on the server: to the trash here
    int link = -1;         // index into DavSyncResult::links
};

struct DavSyncResult {
    DavResult problem;  // not ok: the sync stopped there; what was done is kept
    QList<DavLink> links;
    QList<DavItemChange> changes;
    QByteArray token;  // empty: keep the one there was
    int sent = 0;      // members sent up, new or changed
    int received = 0;  // members changed or added here
    int deletedHere = 0;
    int deletedThere = 0;
    QStringList conflicted;  // the names of members changed on both sides
};

// `token` the one the last sync kept (empty: none).
DavSyncResult ExchangeItems(DavConnection& server, const QUrl& collection, const QByteArray& token,
                            const DavSnapshot& here, const DavItemKind& kind);
