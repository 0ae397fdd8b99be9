// The exchange of dav_item_sync.h.
#include "apps/common/dav_item_sync.h"
#include "apps/common/dav_sync_steps.h"

#include <QSet>

namespace {

constexpr int kTriesOnConflict = 3;

class ItemExchange {
  public:
    ItemExchange(DavConnection& server, const QUrl& collection, const DavSnapshot& here,
                 const DavItemKind& kind, DavSyncResult& result)
        : server_(server), collection_(collection), here_(here), kind_(kind), result_(result) {
        result_.links = here.links;
        const QString collectionPath = DavHrefKey(collection.path(QUrl::FullyEncoded));
        for (qsizetype i = 0; i < result_.links.size(); ++i) {
            DavLink& link = result_.links[i];
            // A link to another collection (mapped anew): the member goes up
            // there as a new one, under its UID.
            if (!link.href.isEmpty() && !DavHrefKey(link.href).startsWith(collectionPath))
                forget(link);
            if (!link.href.isEmpty()) linkByHref_.insert(DavHrefKey(link.href), int(i));
            linkByUid_.insert(link.uid, int(i));
        }
    }

    void run(const QByteArray& token) {
        QHash<QString, DavItemTag> known;
        for (auto it = linkByHref_.cbegin(); it != linkByHref_.cend(); ++it)
            known.insert(it.key(), {result_.links[*it].href, result_.links[*it].etag});
        DavRemoteChanges changes;
        if (!ok(DavChangesSince(server_, collection_, token, known, &changes))) return;
        QStringList hrefs;
        for (const DavItemTag& tag : changes.changed)
            hrefs.append(tag.href);
        if (!hrefs.isEmpty()) {
            QList<DavItem> items;
            if (!ok(DavFetchChanged(server_, collection_, hrefs, &items))) return;
            for (const DavItem& item : items)
                if (!take(item)) return;
        }
        for (const QString& href : changes.removed)
            takeRemoval(href);
        if (!sendLocalChanges() || !sendNew()) return;
        result_.token = tokenAfterSending(changes.token);
    }

  private:
    QByteArray tokenAfterSending(const QByteArray& before) const {
        if (result_.sent + result_.deletedThere == 0) return before;
        QHash<QString, QByteArray> known;
        for (const DavLink& link : result_.links)
            if (!link.dropped && !link.href.isEmpty())
                known.insert(DavHrefKey(link.href), link.etag);
        return DavTokenAfterSending(server_, collection_, before, known);
    }

    static void forget(DavLink& link) {
        link.href.clear();
        link.etag.clear();
        link.agreed.clear();
        link.agreedBody.clear();
    }

    bool ok(const DavResult& answer) {
        if (answer.ok()) return true;
        result_.problem = answer;
        return false;
    }

    int linkOf(const QString& uid) {
        if (const auto at = linkByUid_.constFind(uid); at != linkByUid_.cend()) return *at;
        result_.links.append({.uid = uid});
        const int at = int(result_.links.size() - 1);
        linkByUid_.insert(uid, at);
        return at;
    }

    bool take(const DavItem& item) {
        const QString uid = kind_.uidOf(item.body);
        if (uid.isEmpty()) return true;  // nothing this side keeps
        int at = linkByHref_.value(DavHrefKey(item.href), -1);
        if (at < 0) {
            // New to this side, or sent before its link was written: its UID tells.
            at = linkOf(uid);
            DavLink& link = result_.links[at];
            if (!link.href.isEmpty()) return true;  // the UID twice on the server: the first stays
            link.href = item.href;
            linkByHref_.insert(DavHrefKey(item.href), at);
            handled_.insert(at);
            if (!here_.live.contains(uid)) {
                receive(at, item);
                return true;
            }
            link.agreedBody = item.body;  // the local values win where they differ
            link.agreed.clear();
            return settle(at, item);
        }
        handled_.insert(at);
        if (result_.links[at].uid != uid || !here_.live.contains(uid)) {
            // Changed there, deleted here: the change wins, the member comes back.
            receive(at, item);
            return true;
        }
        return settle(at, item);
    }

    void receive(int at, const DavItem& item) {
        DavLink& link = result_.links[at];
        link.etag = item.etag;
        link.agreedBody = item.body;
        link.agreed = kind_.fingerprint(item.body);
        result_.changes.append({.uid = link.uid, .body = item.body, .link = at});
        ++result_.received;
    }

    // Brings this side's member of link `at` and the server's copy `item`
    // together: the merged text goes up where it differs from the server's,
    // and comes here where it differs from this side's.
    bool settle(int at, DavItem item) {
        const DavLocalItem& local = here_.live[result_.links[at].uid];
        for (int attempt = 0; attempt < kTriesOnConflict; ++attempt) {
            DavLink& link = result_.links[at];
            const QByteArray serverPrint = kind_.fingerprint(item.body);
            QByteArray merged = item.body;
            QByteArray mergedPrint = serverPrint;
            if (link.agreed != local.fingerprint && local.fingerprint != serverPrint) {
                bool conflict = false;
                const QByteArray& base = link.agreedBody.isEmpty() ? item.body : link.agreedBody;
                merged = kind_.merged(base, local.body, item.body, &conflict);
                mergedPrint = kind_.fingerprint(merged);
                if (conflict) result_.conflicted.append(kind_.nameOf(local.body));
            }
            QByteArray etag = item.etag;
            if (mergedPrint != serverPrint) {
                DavResult failure;
                switch (DavSendMerged(server_, collection_, link.href, merged, kind_.contentType(),
                                      &item, &etag, &failure)) {
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
            link.agreedBody = merged;
            link.agreed = mergedPrint;
            if (mergedPrint != local.fingerprint) {
                result_.changes.append({.uid = link.uid, .body = merged, .link = at});
                ++result_.received;
            }
            return true;
        }
        return true;  // the server keeps changing it: the next sync tries again
    }

    void takeRemoval(const QString& href) {
        const int at = linkByHref_.value(DavHrefKey(href), -1);
        if (at < 0) return;
        linkByHref_.remove(DavHrefKey(href));
        handled_.insert(at);
        DavLink& link = result_.links[at];
        const bool changedHere =
            here_.live.contains(link.uid) && link.agreed != here_.live[link.uid].fingerprint;
        forget(link);
        if (!here_.live.contains(link.uid)) return;
        // Changed here since: it stays, and goes up again as a new member.
        if (changedHere) return;
        link.dropped = true;
        result_.changes.append({.uid = link.uid, .toTrash = true, .link = at});
        ++result_.deletedHere;
    }

    bool sendLocalChanges() {
        for (int at = 0; at < int(here_.links.size()); ++at) {
            if (handled_.contains(at)) continue;
            const DavLink link = result_.links[at];
            if (link.href.isEmpty()) {
                // A UID given to a record deleted before it went up.
                if (!here_.live.contains(link.uid)) result_.links[at].dropped = true;
                continue;
            }
            if (!here_.live.contains(link.uid)) {
                const DavResult removed = server_.remove(link.href, link.etag);
                if (removed.problem == DavProblem::Conflict) {
                    // Changed there, deleted here: the change wins.
                    QList<DavItem> again;
                    if (!ok(server_.fetch(collection_, {link.href}, &again))) return false;
                    if (!again.isEmpty()) receive(at, again.first());
                    continue;
                }
                if (!ok(removed)) return false;
                linkByHref_.remove(DavHrefKey(link.href));
                result_.links[at].dropped = true;
                ++result_.deletedThere;
                continue;
            }
            if (link.agreed == here_.live[link.uid].fingerprint) continue;
            if (!settle(at, {.href = link.href, .etag = link.etag, .body = link.agreedBody}))
                return false;
        }
        return true;
    }

    bool sendNew() {
        for (auto it = here_.live.cbegin(); it != here_.live.cend(); ++it) {
            const int at = linkOf(it.key());
            if (!result_.links[at].href.isEmpty() || result_.links[at].dropped) continue;
            const QString href = DavNewMemberHref(collection_, it.key(), kind_.suffix());
            QByteArray etag;
            const DavResult sent = server_.put(href, it->body, kind_.contentType(), {}, &etag);
            DavLink& link = result_.links[at];
            link.href = href;
            linkByHref_.insert(DavHrefKey(href), at);
            if (sent.problem == DavProblem::Conflict) {
                // Sent before, its link lost: the member there is this one.
                QList<DavItem> there;
                if (!ok(server_.fetch(collection_, {href}, &there))) return false;
                if (there.isEmpty()) {  // deleted meanwhile: the next sync sends it
                    link.href.clear();
                    linkByHref_.remove(DavHrefKey(href));
                    continue;
                }
                link.agreedBody = there.first().body;
                link.agreed.clear();
                if (!settle(at, there.first())) return false;
                continue;
            }
            if (!ok(sent)) {
                link.href.clear();
                linkByHref_.remove(DavHrefKey(href));
                return false;
            }
            link.etag = etag;
            link.agreedBody = it->body;
            link.agreed = it->fingerprint;
            ++result_.sent;
        }
        return true;
    }

    DavConnection& server_;
    QUrl collection_;
    const DavSnapshot& here_;
    const DavItemKind& kind_;
    DavSyncResult& result_;
    QHash<QString, int> linkByHref_;
    QHash<QString, int> linkByUid_;
    QSet<int> handled_;
};

}  // namespace

DavSyncResult ExchangeItems(DavConnection& server, const QUrl& collection, const QByteArray& token,
                            const DavSnapshot& here, const DavItemKind& kind) {
    DavSyncResult result;
    ItemExchange(server, collection, here, kind, result).run(token);
    return result;
}
