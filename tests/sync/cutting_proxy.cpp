#include "tests/sync/cutting_proxy.h"

#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpSocket>

CuttingProxy::CuttingProxy(const QUrl& server, Direction direction, qint64 limit)
    : server_(server), direction_(direction), limit_(limit) {}

void CuttingProxy::useCertificate(const QSslCertificate& certificate, const QSslKey& key) {
    auto tls = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    tls->setSslConfiguration(configuration);
    listener_ = std::move(tls);
}

QUrl CuttingProxy::url() const {
    const_cast<CuttingProxy*>(this)->listen();
    const bool tls = qobject_cast<QSslServer*>(listener_.get()) != nullptr;
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/")
                    .arg(tls ? "https" : "http")
                    .arg(listener_->serverPort()));
}

void CuttingProxy::listen() {
    if (!listener_) listener_ = std::make_unique<QTcpServer>();
    if (listener_->isListening()) return;
    listener_->listen(QHostAddress::LocalHost, 0);
    connect(listener_.get(), &QTcpServer::pendingConnectionAvailable, this, &CuttingProxy::accept);
}

void CuttingProxy::accept() {
    while (QTcpSocket* client = listener_->nextPendingConnection()) {
        auto* upstream = new QTcpSocket(client);
        auto* toServer = new qint64(0);
        auto* toClient = new qint64(0);
        connect(client, &QObject::destroyed, [toServer, toClient] {
            delete toServer;
            delete toClient;
        });
        connect(client, &QTcpSocket::readyRead, this,
                [=, this] { forward(client, upstream, false, toServer); });
        connect(upstream, &QTcpSocket::readyRead, this,
                [=, this] { forward(upstream, client, true, toClient); });
        connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
        connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        upstream->connectToHost(server_.host(), server_.port());
        if (client->bytesAvailable() > 0) forward(client, upstream, false, toServer);
    }
}

void CuttingProxy::forward(QTcpSocket* from, QTcpSocket* to, bool toClient, qint64* counted) {
    QByteArray data = from->readAll();
    const bool cutHere = limit_ >= 0 && (direction_ == Direction::ToClient) == toClient &&
                         *counted + data.size() >= limit_;
    if (cutHere) data.truncate(limit_ - *counted);
    *counted += data.size();
    if (toClient) bytesToClient_ += data.size();
    to->write(data);
    if (!cutHere) return;
    // What came before the cut arrives; then both sides see the line drop.
    ++cuts_;
    disconnect(from, nullptr, this, nullptr);
    from->abort();
    to->disconnectFromHost();
}
