#include "apps/common/dav_sync_steps.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QSet>

namespace {

constexpr qsizetype kFetchOneByOneUpTo = 200;

bool StopsTheSync(DavProblem problem) {
    return problem == DavProblem::Offline || problem == DavProblem::Unauthorized ||
           problem == DavProblem::CertificateRefused || problem == DavProblem::PlainHttpRefused;
}

}  // namespace

QString DavHrefKey(const QString& href) {
    return QUrl(href).path(QUrl::FullyDecoded);
}

QString DavNewMemberHref(const QUrl& collection, QString uid, const QString& suffix) {
    if (uid.startsWith(QLatin1String("urn:uuid:"))) uid = uid.mid(9);
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9._-]{1,100}$"));
    if (!safe.match(uid).hasMatch())
        uid = QString::fromLatin1(
            QCryptographicHash::hash(uid.toUtf8(), QCryptographicHash::Sha1).toHex());
    QString path = collection.path(QUrl::FullyEncoded);
    if (!path.endsWith(u'/')) path += u'/';
    return path + uid + suffix;
}

DavResult DavChangesSince(DavConnection& server, const QUrl& collection, const QByteArray& token,
                          const QHash<QString, DavItemTag>& known, DavRemoteChanges* changes) {
    DavChanges answered;
    DavResult answer = server.syncCollection(collection, token, &answered);
    bool whole = token.isEmpty();
    if (answer.problem == DavProblem::TokenRefused) {
        answered = {};
        answer = server.syncCollection(collection, {}, &answered);
        whole = true;
    }
    if (!answer.ok() && !StopsTheSync(answer.problem)) {
        // A server without sync-collection: every member's ETag, and no token.
        answered = {};
        answer = server.listMembers(collection, &answered.changed);
        whole = true;
    }
    if (!answer.ok()) return answer;
    DavRemoteChanges found;
    found.token = answered.token;
    QSet<QString> present;
    for (const DavItemTag& tag : answered.changed) {
        const QString key = DavHrefKey(tag.href);
        present.insert(key);
        const auto at = known.constFind(key);
        if (at != known.cend() && at->etag == tag.etag) continue;  // as this side last had it
        found.changed.append(tag);
    }
    found.removed = answered.removed;
    if (whole)
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            if (!present.contains(it.key())) found.removed.append(it->href);
    *changes = found;
    return answer;
}

QByteArray DavTokenAfterSending(DavConnection& server, const QUrl& collection,
                                const QByteArray& before, const QHash<QString, QByteArray>& known) {
    if (before.isEmpty()) return before;
    DavChanges since;
    if (!server.syncCollection(collection, before, &since).ok()) return before;
    for (const DavItemTag& tag : since.changed) {
        const auto at = known.constFind(DavHrefKey(tag.href));
        if (at == known.cend() || *at != tag.etag) return before;
    }
    for (const QString& href : since.removed)
        if (known.contains(DavHrefKey(href))) return before;
    return since.token.isEmpty() ? before : since.token;
}

DavResult DavFetchChanged(DavConnection& server, const QUrl& collection, const QStringList& hrefs,
                          QList<DavItem>* items) {
    if (hrefs.size() <= kFetchOneByOneUpTo) return server.fetch(collection, hrefs, items);
    QSet<QString> wanted;
    for (const QString& href : hrefs)
        wanted.insert(DavHrefKey(href));
    QList<DavItem> all;
    const DavResult answer = server.fetchAll(collection, &all);
    for (DavItem& item : all)
        if (wanted.contains(DavHrefKey(item.href))) items->append(std::move(item));
    return answer;
}

DavSendOutcome DavSendMerged(DavConnection& server, const QUrl& collection, const QString& href,
                             const QByteArray& body, const QByteArray& contentType, DavItem* item,
                             QByteArray* newEtag, DavResult* failure) {
    const DavResult sent = server.put(href, body, contentType, item->etag, newEtag);
    if (sent.problem == DavProblem::Conflict) {
        QList<DavItem> again;
        *failure = server.fetch(collection, {href}, &again);
        if (!failure->ok()) return DavSendOutcome::Failed;
        if (again.isEmpty()) return DavSendOutcome::DeletedThere;
        *item = again.first();
        return DavSendOutcome::ChangedThere;
    }
    *failure = sent;
    return sent.ok() ? DavSendOutcome::Sent : DavSendOutcome::Failed;
}
