// Step 2 of the sync (contact_sync.h): the exchange with the server, on the
// snapshot of the book only.
#include "apps/addresses/card_merge.h"
#include "apps/addresses/contact_sync.h"
#include "apps/addresses/vcard_uids.h"
#include "apps/common/dav_sync_steps.h"

#include <QSet>

namespace {

constexpr int kTriesOnConflict = 3;
const QByteArray kCardType = QByteArrayLiteral("text/vcard; charset=utf-8");

VCardVersion VersionOf(const QByteArray& body) {
    return body.contains("VERSION:4.0") ? VCardVersion::V40 : VCardVersion::V30;
}

QString PersonName(const AddressValues& values) {
    const QString name = (values.value("VORNAME").toString().trimmed() + u' ' +
                          values.value("NACHNAME").toString().trimmed())
                             .trimmed();
    return name.isEmpty() ? QStringLiteral("?") : name;
}

bool SameValues(const AddressValues& a, const AddressValues& b, const QStringList& fields) {
    for (const QString& field : fields)
        if (!SameFieldValue(a.value(field), b.value(field))) return false;
    return true;
}

struct ServerCard {
    VCard card;
    RecordFromCard record;
    bool readable = false;
};

class Exchange {
  public:
    Exchange(DavConnection& server, const QUrl& collection, const ContactBookSnapshot& book,
             ContactSyncResult& result)
        : server_(server), collection_(collection), book_(book), result_(result) {
        result_.links = book.links;
        const QString collectionPath = DavHrefKey(collection.path(QUrl::FullyEncoded));
        for (qsizetype i = 0; i < result_.links.size(); ++i) {
            ContactLink& link = result_.links[i];
            // A link to another collection (the book was mapped anew) is
            // forgotten: its record goes up as a new card.
            if (!DavHrefKey(link.href).startsWith(collectionPath)) {
                link.dropped = true;
                continue;
            }
            linkByHref_.insert(DavHrefKey(link.href), int(i));
            if (book.live.contains(link.record)) linkByRecord_.insert(link.record, int(i));
        }
        for (auto it = book.uids.cbegin(); it != book.uids.cend(); ++it)
            recordByUid_.insert(it.value(), it.key());
    }

    void run(const QByteArray& token) {
        QList<DavItemTag> changed;
        QStringList removed;
        QByteArray newToken;
        if (!remoteChanges(token, &changed, &removed, &newToken)) return;
        QStringList hrefs;
        for (const DavItemTag& tag : changed)
            hrefs.append(tag.href);
        if (!hrefs.isEmpty()) {
            QList<DavItem> items;
            if (!ok(DavFetchChanged(server_, collection_, hrefs, &items))) return;
            for (const DavItem& item : items)
                if (!takeServerCard(item)) return;
        }
        for (const QString& href : removed)
            takeRemoval(href);
        if (!sendLocalChanges() || !sendNewRecords()) return;
        result_.token = newToken;
        if (result_.sent + result_.deletedThere > 0) {
            QHash<QString, QByteArray> known;
            for (const ContactLink& link : result_.links)
                if (!link.dropped) known.insert(DavHrefKey(link.href), link.etag);
            result_.token = DavTokenAfterSending(server_, collection_, newToken, known);
        }
    }

  private:
    bool ok(const DavResult& result) {
        if (result.ok()) return true;
        result_.problem = result;
        return false;
    }

    // What changed on the server: by the token; by every card's ETag when
    // there is none or the server refuses it.
    bool remoteChanges(const QByteArray& token, QList<DavItemTag>* changed, QStringList* removed,
                       QByteArray* newToken) {
        QHash<QString, DavItemTag> known;
        for (auto it = linkByHref_.cbegin(); it != linkByHref_.cend(); ++it)
            known.insert(it.key(),
                         {result_.links[it.value()].href, result_.links[it.value()].etag});
        DavRemoteChanges changes;
        if (!ok(DavChangesSince(server_, collection_, token, known, &changes))) return false;
        *changed = changes.changed;
        *removed = changes.removed;
        *newToken = changes.token;
        return true;
    }

    ServerCard read(const QByteArray& body) const {
        ServerCard server;
        const VCardReading reading = ReadVCards(body);
        if (reading.cards.isEmpty()) return server;
        server.card = reading.cards.first();
        server.record = RecordOfCard(book_.shape, server.card);
        server.readable = true;
        return server;
    }

    AddressValues agreedValues(const ContactLink& link, const AddressValues& otherwise) const {
        const ServerCard agreed = read(link.agreedBody);
        return agreed.readable ? agreed.record.values : otherwise;
    }

    bool takeServerCard(const DavItem& item) {
        const ServerCard server = read(item.body);
        if (!server.readable || server.record.empty) return true;  // nothing a record can hold
        int at = linkByHref_.value(DavHrefKey(item.href), -1);
        if (at < 0) {
            // A card new to this book, or one sent before its link was
            // written: its UID tells.
            const int record = recordByUid_.value(server.record.uid, 0);
            ContactLink link{.uid = server.record.uid, .href = item.href};
            if (record > 0 && book_.live.contains(record) && !linkByRecord_.contains(record)) {
                link.record = record;
                link.agreedBody = item.body;  // the local values win where they differ
                at = addLink(link);
                linkByRecord_.insert(record, at);
                return settle(at, book_.live.value(record), item);
            }
            at = addLink(link);
            receiveNew(at, item, server);
            return true;
        }
        ContactLink& link = result_.links[at];
        handled_.insert(at);
        if (!book_.live.contains(link.record)) {
            // Changed there, deleted here: the change wins, the person comes back.
            receiveNew(at, item, server);
            return true;
        }
        return settle(at, book_.live.value(link.record), item);
    }

    int addLink(const ContactLink& link) {
        result_.links.append(link);
        const int at = int(result_.links.size() - 1);
        linkByHref_.insert(DavHrefKey(link.href), at);
        handled_.insert(at);
        return at;
    }

    void receiveNew(int at, const DavItem& item, const ServerCard& server) {
        ContactLink& link = result_.links[at];
        link.record = 0;
        link.etag = item.etag;
        link.agreedBody = item.body;
        link.agreed = ValuesFingerprint(server.record.values, book_.fields);
        if (link.uid.isEmpty()) link.uid = server.record.uid;
        result_.changes.append({.values = server.record.values, .uid = link.uid, .link = at});
        ++result_.received;
    }

    // Brings the record of link `at` (its values `local`) and the server's
    // card `item` together: the merged values go up where they differ from
    // the card, and into the record where they differ from it.
    bool settle(int at, const AddressValues& local, DavItem item) {
        for (int attempt = 0; attempt < kTriesOnConflict; ++attempt) {
            ContactLink& link = result_.links[at];
            const ServerCard server = read(item.body);
            if (!server.readable) return true;
            const bool localChanged = link.agreed != ValuesFingerprint(local, book_.fields);
            MergedRecord merged{.values = server.record.values};
            if (localChanged) {
                merged = MergedFieldByField(agreedValues(link, server.record.values), local,
                                            server.record.values, book_.fields, book_.labels);
                if (!merged.conflicts.isEmpty()) result_.conflicted.append(PersonName(local));
            }
            QByteArray agreedBody = item.body;
            QByteArray etag = item.etag;
            if (!SameValues(merged.values, server.record.values, book_.fields)) {
                VCard patched = PatchedCard(server.card, book_.shape, server.record.values,
                                            merged.values, VersionOf(item.body));
                agreedBody = WriteVCards({patched}, VersionOf(item.body));
                DavResult failure;
                switch (DavSendMerged(server_, collection_, link.href, agreedBody, kCardType, &item,
                                      &etag, &failure)) {
                    case DavSendOutcome::ChangedThere:
                        continue;
                    case DavSendOutcome::DeletedThere:
                        return true;  // the next sync tells
                    case DavSendOutcome::Failed:
                        return ok(failure);
                    case DavSendOutcome::Sent:
                        ++result_.sent;
                }
            }
            link.etag = etag;
            link.agreedBody = agreedBody;
            link.agreed = ValuesFingerprint(merged.values, book_.fields);
            if (!SameValues(merged.values, local, book_.fields)) {
                result_.changes.append(
                    {.record = link.record, .values = merged.values, .uid = link.uid, .link = at});
                ++result_.received;
            }
            return true;
        }
        return true;  // the server keeps changing it: the next sync tries again
    }

    void takeRemoval(const QString& href) {
        const int at = linkByHref_.value(DavHrefKey(href), -1);
        if (at < 0) return;
        ContactLink& link = result_.links[at];
        handled_.insert(at);
        link.dropped = true;
        linkByHref_.remove(DavHrefKey(href));
        if (!book_.live.contains(link.record)) return;
        linkByRecord_.remove(link.record);
        const AddressValues& local = book_.live.value(link.record);
        // Changed here since: it stays, and goes up again as a new card.
        if (link.agreed != ValuesFingerprint(local, book_.fields)) return;
        result_.changes.append({.record = link.record, .values = local, .toTrash = true});
        toTrash_.insert(link.record);
        ++result_.deletedHere;
    }

    bool sendLocalChanges() {
        for (int at = 0; at < int(book_.links.size()); ++at) {
            if (handled_.contains(at) || result_.links[at].dropped) continue;
            const ContactLink link = result_.links[at];
            if (!book_.live.contains(link.record)) {
                const DavResult removed = server_.remove(link.href, link.etag);
                if (removed.problem == DavProblem::Conflict) {
                    // Changed there, deleted here: the change wins.
                    QList<DavItem> again;
                    if (!ok(server_.fetch(collection_, {link.href}, &again))) return false;
                    if (!again.isEmpty()) receiveNew(at, again.first(), read(again.first().body));
                    continue;
                }
                if (!ok(removed)) return false;
                result_.links[at].dropped = true;
                ++result_.deletedThere;
                continue;
            }
            const AddressValues& local = book_.live.value(link.record);
            if (link.agreed == ValuesFingerprint(local, book_.fields)) continue;
            if (!settle(at, local, {.href = link.href, .etag = link.etag, .body = link.agreedBody}))
                return false;
        }
        return true;
    }

    bool sendNewRecords() {
        for (auto it = book_.live.cbegin(); it != book_.live.cend(); ++it) {
            if (linkByRecord_.contains(it.key()) || toTrash_.contains(it.key())) continue;
            const QString uid = book_.uids.value(it.key());
            const QByteArray body = WriteVCards(
                {CardOfRecord(book_.shape, it.value(), uid, VCardVersion::V30)}, VCardVersion::V30);
            ContactLink link{.record = it.key(),
                             .nameKey = CardNameKey(it.value().value("VORNAME").toString(),
                                                    it.value().value("NACHNAME").toString()),
                             .uid = uid,
                             .href = DavNewMemberHref(collection_, uid, QStringLiteral(".vcf"))};
            QByteArray etag;
            const DavResult sent = server_.put(link.href, body, kCardType, {}, &etag);
            if (sent.problem == DavProblem::Conflict) {
                // Sent before, its link lost: the card there is this record's.
                QList<DavItem> there;
                if (!ok(server_.fetch(collection_, {link.href}, &there))) return false;
                if (there.isEmpty()) continue;  // deleted meanwhile: the next sync sends it
                link.agreedBody = there.first().body;
                const int at = addLink(link);
                if (!settle(at, it.value(), there.first())) return false;
                continue;
            }
            if (!ok(sent)) return false;
            link.etag = etag;
            link.agreedBody = body;
            link.agreed = ValuesFingerprint(it.value(), book_.fields);
            addLink(link);
            ++result_.sent;
        }
        return true;
    }

    DavConnection& server_;
    QUrl collection_;
    const ContactBookSnapshot& book_;
    ContactSyncResult& result_;
    QHash<QString, int> linkByHref_;
    QHash<int, int> linkByRecord_;
    QHash<QString, int> recordByUid_;
    QSet<int> handled_;
    QSet<int> toTrash_;  // records deleted on the server
};

}  // namespace

ContactSyncResult ExchangeContacts(DavConnection& server, const QUrl& collection,
                                   const QByteArray& token, const ContactBookSnapshot& book) {
    ContactSyncResult result;
    Exchange(server, collection, book, result).run(token);
    return result;
}
