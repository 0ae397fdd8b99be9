#include "apps/common/dav_transport.h"

#include <QAuthenticator>
#include <QCryptographicHash>
#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSslCertificate>
#include <QSslError>
#include <QTimer>

namespace {

constexpr int kMostRedirects = 5;

bool isThisMachine(const QUrl& url) {
    const QString host = url.host();
    if (host.compare("localhost", Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString describe(const QByteArray& method, const QUrl& url, int status) {
    QString text = QString::fromLatin1(method) + ' ' + url.path(QUrl::FullyEncoded);
    if (status > 0) text += QStringLiteral(" → %1").arg(status);
    return text;
}

}  // namespace

DavProblem davProblemForStatus(int status) {
    if (status < 400) return DavProblem::None;
    switch (status) {
        case 401:
            return DavProblem::Unauthorized;
        case 404:
        case 410:
            return DavProblem::NotFound;
        case 412:
            return DavProblem::Conflict;
        default:
            return DavProblem::ServerError;
    }
}

struct DavTransport::State {
    DavAccount account;
    std::unique_ptr<QNetworkAccessManager> manager;
    int sent = 0;
    int quietMilliseconds = 120000;

    QNetworkAccessManager& network();
    QNetworkReply* start(const DavRequest& request, const QUrl& url);
};

QNetworkAccessManager& DavTransport::State::network() {
    // Made at the first request, in the thread that uses the connection.
    if (!manager) {
        manager = std::make_unique<QNetworkAccessManager>();
        manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
        if (isThisMachine(account.server)) manager->setProxy(QNetworkProxy::NoProxy);
        QObject::connect(manager.get(), &QNetworkAccessManager::authenticationRequired,
                         [this](QNetworkReply* reply, QAuthenticator* authenticator) {
                             // Once per request: asked again, the server refused them.
                             if (reply->property("kespCredentialsGiven").toBool()) return;
                             reply->setProperty("kespCredentialsGiven", true);
                             authenticator->setUser(account.user);
                             authenticator->setPassword(account.password);
                         });
    }
    return *manager;
}

QNetworkReply* DavTransport::State::start(const DavRequest& request, const QUrl& url) {
    QNetworkRequest http(url);
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                      QNetworkRequest::ManualRedirectPolicy);
    http.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    for (const auto& [name, value] : request.headers)
        http.setRawHeader(name, value);
    const bool safeToSendAhead = url.scheme() == "https" || isThisMachine(url);
    if (safeToSendAhead && !account.user.isEmpty()) {
        const QByteArray pair = (account.user + ':' + account.password).toUtf8();
        http.setRawHeader("Authorization", "Basic " + pair.toBase64());
    }
    ++sent;
    return network().sendCustomRequest(http, request.method, request.body);
}

DavTransport::DavTransport(DavAccount account) : state_(std::make_unique<State>()) {
    state_->account = std::move(account);
}

DavTransport::~DavTransport() = default;

int DavTransport::requestsSent() const {
    return state_->sent;
}

void DavTransport::setQuietTimeout(int milliseconds) {
    state_->quietMilliseconds = milliseconds;
}

const DavAccount& DavTransport::account() const {
    return state_->account;
}

DavAnswer DavTransport::send(const DavRequest& request) {
    DavAnswer answer;
    QUrl url = request.url;
    for (int redirects = 0;; ++redirects) {
        answer.url = url;
        if (url.scheme() == "http" && !isThisMachine(url) && !state_->account.plainHttpConfirmed) {
            answer.result.problem = DavProblem::PlainHttpRefused;
            answer.result.detail = describe(request.method, url, 0);
            return answer;
        }
        QNetworkReply* reply = state_->start(request, url);
        QEventLoop loop;
        QTimer quiet;
        quiet.setSingleShot(true);
        bool silent = false;
        QByteArray refusedFingerprint;
        QObject::connect(&quiet, &QTimer::timeout, reply, [&] {
            silent = true;
            reply->abort();
        });
        const auto heard = [&] { quiet.start(state_->quietMilliseconds); };
        QObject::connect(reply, &QNetworkReply::downloadProgress, &quiet, heard);
        QObject::connect(reply, &QNetworkReply::uploadProgress, &quiet, heard);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &quiet, heard);
        QObject::connect(
            reply, &QNetworkReply::sslErrors, reply, [&](const QList<QSslError>& errors) {
                QSslCertificate certificate = reply->sslConfiguration().peerCertificate();
                if (certificate.isNull() && !errors.isEmpty())
                    certificate = errors.first().certificate();
                const QByteArray fingerprint =
                    certificate.digest(QCryptographicHash::Sha256).toHex();
                if (!fingerprint.isEmpty() &&
                    fingerprint == state_->account.trustedCertificate.toLower())
                    reply->ignoreSslErrors();
                else
                    refusedFingerprint = fingerprint;
            });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        heard();
        loop.exec();
        quiet.stop();

        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QNetworkReply::NetworkError error = reply->error();
        if (reply->isOpen()) answer.body = reply->readAll();
        answer.etag = reply->rawHeader("ETag");
        const QByteArray location = reply->rawHeader("Location");
        const QString errorText = reply->errorString();
        reply->deleteLater();
        answer.result.status = status;
        answer.result.detail = describe(request.method, url, status);

        // Errors below 200 and the protocol's own failure are the connection's:
        // whatever came before them is not a whole answer.
        const bool connectionFailed =
            (error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied) ||
            error == QNetworkReply::ProtocolFailure;
        if (!refusedFingerprint.isEmpty()) {
            answer.result.problem = DavProblem::CertificateRefused;
            answer.result.certificateFingerprint = refusedFingerprint;
            answer.result.detail += QStringLiteral(": certificate not trusted");
            return answer;
        }
        if (silent || connectionFailed) {
            answer.result.problem = DavProblem::Offline;
            answer.result.detail +=
                silent ? QStringLiteral(": no answer") : QStringLiteral(": ") + errorText;
            answer.body.clear();
            return answer;
        }
        if (isRedirect(status) && !location.isEmpty()) {
            if (redirects == kMostRedirects) {
                answer.result.problem = DavProblem::ServerError;
                answer.result.detail += QStringLiteral(": too many redirects");
                return answer;
            }
            url = url.resolved(QUrl::fromEncoded(location));
            continue;
        }
        answer.result.problem = status == 0 ? DavProblem::BadAnswer : davProblemForStatus(status);
        return answer;
    }
}
