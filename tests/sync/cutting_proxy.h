#pragma once
// A network that breaks where the test says: listens on a free localhost
// port, forwards each connection to the server, and cuts it (both ways) once
// `limit` bytes of that connection have gone in the chosen direction. With a
// certificate it speaks TLS to the client and plain http to the server. It
// works in the test's own thread, while the connection under test waits in
// its local event loop.
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>
#include <memory>

class CuttingProxy : public QObject {
  public:
    enum class Direction { ToServer, ToClient };
    // limit < 0: never cut.
    CuttingProxy(const QUrl& server, Direction direction, qint64 limit);
    // Speaks TLS to the client with this certificate; call before url().
    void useCertificate(const QSslCertificate& certificate, const QSslKey& key);
    QUrl url() const;
    qint64 bytesToClient() const { return bytesToClient_; }
    int cuts() const { return cuts_; }

  private:
    void listen();
    void accept();
    void forward(QTcpSocket* from, QTcpSocket* to, bool toClient, qint64* counted);

    QUrl server_;
    Direction direction_;
    qint64 limit_;
    std::unique_ptr<QTcpServer> listener_;
    qint64 bytesToClient_ = 0;
    int cuts_ = 0;
};
