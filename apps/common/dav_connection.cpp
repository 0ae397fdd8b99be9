#include "apps/common/dav_connection.h"

#include <QMap>
#include <QSet>

#include "apps/common/dav_connection_state.h"
#include "apps/common/dav_request_bodies.h"

namespace {

constexpr int kMostSyncRounds = 100;
const QByteArray kXml = "application/xml; charset=utf-8";

DavResult badAnswer(DavResult result, const QString& why) {
    result.problem = DavProblem::BadAnswer;
    result.detail += QStringLiteral(": ") + why;
    return result;
}

bool isCollectionItself(const DavResponse& response, const QUrl& base, const QUrl& collection) {
    return davCanonicalHref(base, response.href) ==
           davCanonicalHref(collection, collection.path(QUrl::FullyEncoded));
}

// The members with their data in a multiget or query answer; those the
// server reports missing are left out.
QList<DavItem> itemsIn(const DavMultistatus& read, const QUrl& answered, bool addressBook) {
    const QString dataName = addressBook ? "address-data" : "calendar-data";
    const QString dataNamespace = addressBook ? kCardDavNamespace : kCalDavNamespace;
    QList<DavItem> items;
    for (const DavResponse& response : read.responses) {
        const DavProperty* data = response.property(dataNamespace, dataName);
        const DavProperty* etag = response.property(kDavNamespace, "getetag");
        if (response.status == 404 || !data || !etag) continue;
        items.append({davCanonicalHref(answered, response.href), etag->text.trimmed().toUtf8(),
                      data->text.toUtf8()});
    }
    return items;
}

}  // namespace

QString davCanonicalHref(const QUrl& base, const QString& href) {
    const QUrl resolved = base.resolved(QUrl(href, QUrl::TolerantMode));
    QUrl canonical;
    canonical.setPath(resolved.path(QUrl::FullyDecoded), QUrl::DecodedMode);
    return canonical.path(QUrl::FullyEncoded);
}

DavResult DavConnection::State::exchange(const QByteArray& method, const QUrl& url, int depth,
                                         const QByteArray& body, DavMultistatus* read,
                                         QUrl* answeredUrl, QByteArray* errorBody) {
    DavRequest request{method, url, body, {{"Content-Type", kXml}}};
    if (depth >= 0) request.headers.append({"Depth", QByteArray::number(depth)});
    DavAnswer answer = transport.send(request);
    if (answeredUrl) *answeredUrl = answer.url;
    if (!answer.result.ok()) {
        if (errorBody) *errorBody = answer.body;
        return answer.result;
    }
    QString error;
    if (!readDavMultistatus(answer.body, read, &error)) return badAnswer(answer.result, error);
    return answer.result;
}

QUrl DavConnection::State::resolve(const QString& href) const {
    return transport.account().server.resolved(QUrl(href, QUrl::TolerantMode));
}

DavConnection::DavConnection(DavAccount account)
    : state_(std::make_unique<State>(std::move(account))) {}

DavConnection::~DavConnection() = default;

int DavConnection::requestsSent() const {
    return state_->transport.requestsSent();
}

void DavConnection::setFetchBatchSize(int hrefs) {
    state_->fetchBatch = qMax(1, hrefs);
}

void DavConnection::setQuietTimeout(int milliseconds) {
    state_->transport.setQuietTimeout(milliseconds);
}

void DavConnection::rememberCollection(const DavCollection& collection) {
    const QString path = davCanonicalHref(collection.url, collection.url.path());
    state_->addressBookByPath.insert(path, collection.addressBook);
}

DavResult DavConnection::syncCollection(const QUrl& collection, const QByteArray& token,
                                        DavChanges* changes) {
    // Later rounds (after a 507, the answer continued from its new token)
    // override earlier ones.
    QMap<QString, QByteArray> changed;
    QSet<QString> removed;
    QByteArray current = token;
    DavResult result;
    for (int round = 0; round < kMostSyncRounds; ++round) {
        DavMultistatus read;
        QUrl answered;
        QByteArray errorBody;
        result = state_->exchange("REPORT", collection, 0, davSyncCollectionBody(current), &read,
                                  &answered, &errorBody);
        const bool refused =
            result.status >= 400 &&
            ((!current.isEmpty() && result.status != 401 && result.status != 404) ||
             davAnswerNames(errorBody, kDavNamespace, "valid-sync-token"));
        if (refused) result.problem = DavProblem::TokenRefused;
        if (!result.ok()) return result;
        bool truncated = false;
        for (const DavResponse& response : read.responses) {
            if (isCollectionItself(response, answered, collection)) {
                truncated = truncated || response.status == 507;
                continue;
            }
            const QString href = davCanonicalHref(answered, response.href);
            if (response.status == 404) {
                changed.remove(href);
                removed.insert(href);
            } else if (const DavProperty* etag = response.property(kDavNamespace, "getetag")) {
                removed.remove(href);
                changed.insert(href, etag->text.trimmed().toUtf8());
            }
        }
        if (read.syncToken.isEmpty()) return badAnswer(result, QStringLiteral("no sync token"));
        current = read.syncToken;
        if (!truncated) {
            changes->changed.clear();
            for (auto it = changed.cbegin(); it != changed.cend(); ++it)
                changes->changed.append({it.key(), it.value()});
            changes->removed = QStringList(removed.cbegin(), removed.cend());
            changes->removed.sort();
            changes->token = current;
            return result;
        }
    }
    return badAnswer(result, QStringLiteral("the changes never ended"));
}

DavResult DavConnection::listMembers(const QUrl& collection, QList<DavItemTag>* members) {
    DavMultistatus read;
    QUrl answered;
    const DavResult result = state_->exchange(
        "PROPFIND", collection, 1,
        davPropfindBody({{kDavNamespace, "resourcetype"}, {kDavNamespace, "getetag"}}), &read,
        &answered);
    if (!result.ok()) return result;
    QList<DavItemTag> found;
    for (const DavResponse& response : read.responses) {
        const bool addressBook =
            response.hasChild(kCardDavNamespace, "resourcetype", "addressbook");
        if (isCollectionItself(response, answered, collection)) {
            if (addressBook || response.hasChild(kCalDavNamespace, "resourcetype", "calendar"))
                rememberCollection({collection, {}, addressBook, !addressBook, !addressBook});
            continue;
        }
        const DavProperty* etag = response.property(kDavNamespace, "getetag");
        if (!etag || response.hasChild(kDavNamespace, "resourcetype", "collection")) continue;
        found.append({davCanonicalHref(answered, response.href), etag->text.trimmed().toUtf8()});
    }
    *members = found;
    return result;
}

DavResult DavConnection::collectionKind(const QUrl& collection, bool* addressBook) {
    const QString path = davCanonicalHref(collection, collection.path());
    if (!state_->addressBookByPath.contains(path)) {
        DavMultistatus read;
        QUrl answered;
        const DavResult result =
            state_->exchange("PROPFIND", collection, 0,
                             davPropfindBody({{kDavNamespace, "resourcetype"}}), &read, &answered);
        if (!result.ok()) return result;
        if (read.responses.isEmpty()) return badAnswer(result, QStringLiteral("no resource type"));
        const DavResponse& itself = read.responses.first();
        const bool book = itself.hasChild(kCardDavNamespace, "resourcetype", "addressbook");
        if (!book && !itself.hasChild(kCalDavNamespace, "resourcetype", "calendar"))
            return badAnswer(result, QStringLiteral("neither address book nor calendar"));
        state_->addressBookByPath.insert(path, book);
    }
    *addressBook = state_->addressBookByPath.value(path);
    return {};
}

DavResult DavConnection::fetch(const QUrl& collection, const QStringList& hrefs,
                               QList<DavItem>* items) {
    bool addressBook = false;
    DavResult result = collectionKind(collection, &addressBook);
    if (!result.ok()) return result;
    QList<DavItem> fetched;
    for (qsizetype first = 0; first < hrefs.size(); first += state_->fetchBatch) {
        DavMultistatus read;
        QUrl answered;
        result = state_->exchange(
            "REPORT", collection, 1,
            davMultigetBody(addressBook, hrefs.mid(first, state_->fetchBatch)), &read, &answered);
        if (!result.ok()) return result;
        fetched += itemsIn(read, answered, addressBook);
    }
    *items = fetched;
    return result;
}

DavResult DavConnection::fetchAll(const QUrl& collection, QList<DavItem>* items) {
    bool addressBook = false;
    DavResult result = collectionKind(collection, &addressBook);
    if (!result.ok()) return result;
    DavMultistatus read;
    QUrl answered;
    result =
        state_->exchange("REPORT", collection, 1, davQueryAllBody(addressBook), &read, &answered);
    if (result.ok()) *items = itemsIn(read, answered, addressBook);
    return result;
}

DavResult DavConnection::put(const QString& href, const QByteArray& body,
                             const QByteArray& contentType, const QByteArray& etag,
                             QByteArray* newEtag) {
    DavRequest request{"PUT", state_->resolve(href), body, {{"Content-Type", contentType}}};
    if (etag.isEmpty())
        request.headers.append({QByteArray("If-None-Match"), QByteArray("*")});
    else
        request.headers.append({QByteArray("If-Match"), etag});
    const DavAnswer answer = state_->transport.send(request);
    if (answer.result.ok()) *newEtag = answer.etag;
    return answer.result;
}

DavResult DavConnection::remove(const QString& href, const QByteArray& etag) {
    DavRequest request{"DELETE", state_->resolve(href), {}, {}};
    if (!etag.isEmpty()) request.headers.append({QByteArray("If-Match"), etag});
    DavResult result = state_->transport.send(request).result;
    if (result.problem == DavProblem::NotFound) result.problem = DavProblem::None;
    return result;
}
