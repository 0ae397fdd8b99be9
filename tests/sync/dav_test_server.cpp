#include "tests/sync/dav_test_server.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool answers(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(200);
}

}  // namespace

QString davServerName(DavServerKind kind) {
    return kind == DavServerKind::Radicale ? QStringLiteral("Radicale")
                                           : QStringLiteral("Xandikos");
}

DavTestServer::DavTestServer(DavServerKind kind, const QString& password)
    : kind_(kind), password_(password) {
    program_ =
        QStandardPaths::findExecutable(kind == DavServerKind::Radicale ? "radicale" : "xandikos");
    if (program_.isEmpty()) {
        problem_ = davServerName(kind) + " is not installed (scripts/install-dependencies.sh)";
        return;
    }
    // Another test may take the port between the probe and the start: try again.
    for (int attempt = 0; attempt < 3 && !startOnFreePort(); ++attempt) {
    }
}

DavTestServer::~DavTestServer() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool DavTestServer::startOnFreePort() {
    port_ = freePort();
    const QString port = QString::number(port_);
    QStringList arguments;
    if (kind_ == DavServerKind::Radicale) {
        arguments = {"--config",
                     "",
                     "--server-hosts",
                     "127.0.0.1:" + port,
                     "--storage-filesystem-folder",
                     folder_.path() + "/collections"};
        if (password_.isEmpty()) {
            arguments += {"--auth-type", "none"};
        } else {
            QFile users(folder_.path() + "/users");
            if (!users.open(QIODevice::WriteOnly)) return false;
            users.write(("kesp:" + password_ + '\n').toUtf8());
            arguments += {"--auth-type",
                          "htpasswd",
                          "--auth-htpasswd-filename",
                          users.fileName(),
                          "--auth-htpasswd-encryption",
                          "plain"};
        }
    } else {
        arguments = {"-d", folder_.path() + "/xandikos", "--defaults", "-l", "127.0.0.1", "-p",
                     port};
    }
    // Its log stays in the folder, for a failing test to look at.
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(folder_.path() + "/server.log");
    process_.start(program_, arguments);
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (process_.state() == QProcess::NotRunning || process_.waitForFinished(100)) {
            problem_ = davServerName(kind_) + " stopped at its start";
            return false;
        }
        if (answers(port_)) {
            problem_.clear();
            return true;
        }
    }
    problem_ = davServerName(kind_) + " did not answer within 20 s";
    process_.kill();
    process_.waitForFinished(5000);
    return false;
}

bool DavTestServer::installed() const {
    return !program_.isEmpty();
}

bool DavTestServer::running() const {
    return process_.state() == QProcess::Running;
}

QUrl DavTestServer::url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port_));
}

DavAccount DavTestServer::account() const {
    DavAccount account;
    account.server = url();
    account.user = "kesp";
    account.password = password_.isEmpty() ? QStringLiteral("secret") : password_;
    return account;
}

bool DavTestServer::storeDirectly(const QUrl& collection,
                                  const QMap<QString, QByteArray>& members) {
    const bool radicale = kind_ == DavServerKind::Radicale;
    const QString storage =
        folder_.path() + (radicale ? "/collections/collection-root" : "/xandikos");
    const QString folder = storage + collection.path(QUrl::FullyDecoded);
    for (auto member = members.cbegin(); member != members.cend(); ++member) {
        QFile file(folder + '/' + member.key());
        if (!file.open(QIODevice::WriteOnly) || file.write(member.value()) != member.value().size())
            return false;
    }
    if (radicale) return true;
    // Xandikos keeps each collection as a git repository and reads its index.
    for (const QStringList& step :
         {QStringList{"add", "-A"},
          QStringList{"-c", "user.name=kesp", "-c", "user.email=kesp@localhost", "commit", "-q",
                      "-m", "filled directly"}}) {
        QProcess git;
        git.setWorkingDirectory(folder);
        git.start("git", step);
        if (!git.waitForFinished(60000) || git.exitCode() != 0) return false;
    }
    return true;
}

QString runPhone(const QStringList& arguments, int* exitCode) {
    QProcess phone;
    phone.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    phone.start(KESP_PYTHON, QStringList{KESP_PHONE_SCRIPT} + arguments);
    const bool finished = phone.waitForFinished(60000);
    if (exitCode) *exitCode = finished ? phone.exitCode() : -1;
    return QString::fromUtf8(phone.readAllStandardOutput()).trimmed();
}
