// The steps every sync of a collection takes the same way, whatever its
// members hold (cards, events, tasks): what changed on the server since the
// last sync, the changed members fetched, and the place of a new member.
// They only talk to the server; they touch no table.
#pragma once

#include "apps/common/dav_connection.h"

#include <QHash>
#include <QStringList>
#include <QUrl>

// An href as a path without percent-encoding: Radicale and Xandikos give the
// same member's place in different forms.
QString DavHrefKey(const QString& href);

// "<collection>/<uid><suffix>": a new member's place, the same however often
// it is sent, so that a send cut off is found again (If-None-Match fails).
// A UID that is no safe path segment is replaced by its SHA-1.
QString DavNewMemberHref(const QUrl& collection, QString uid, const QString& suffix);

struct DavRemoteChanges {
    QList<DavItemTag> changed;  // members new or changed since (not the ones `known` has)
    QStringList removed;        // hrefs gone since
    QByteArray token;           // empty: the server gave none
};

// What changed on the server since `token`: by sync-collection; by every
// member's ETag when there is no token, the server refuses it or knows no
// sync-collection. `known` holds the href and ETag this side last had of
// each member, by DavHrefKey: members with that ETag are left out, and after
// a comparison of every member those missing count as removed.
DavResult DavChangesSince(DavConnection& server, const QUrl& collection, const QByteArray& token,
                          const QHash<QString, DavItemTag>& known, DavRemoteChanges* changes);

// The token a sync that sent members keeps: a server that compares two
// states (Xandikos) does not report a member sent after `before` and
// deleted since. So the changes since `before` are asked for once more:
// when they are all this sync's own (`known`: the ETag this side has of each
// member now, by DavHrefKey), the token of now is kept, else `before`, and
// the next sync hears the rest.
QByteArray DavTokenAfterSending(DavConnection& server, const QUrl& collection,
                                const QByteArray& before, const QHash<QString, QByteArray>& known);

// A merged member sent with If-Match on the ETag it was merged against. A
// 412 (changed there meanwhile) is not overwritten: the member is fetched
// anew into `item` for the merge to be made again.
enum class DavSendOutcome { Sent, ChangedThere, DeletedThere, Failed };
DavSendOutcome DavSendMerged(DavConnection& server, const QUrl& collection, const QString& href,
                             const QByteArray& body, const QByteArray& contentType, DavItem* item,
                             QByteArray* newEtag, DavResult* failure);

// The members at `hrefs` with their data: by multiget when they are few, by
// one query of the whole collection when many (a multiget of thousands is
// slow on some servers).
DavResult DavFetchChanged(DavConnection& server, const QUrl& collection, const QStringList& hrefs,
                          QList<DavItem>* items);
