#pragma once
// A real CardDAV/CalDAV server for a test: Radicale or Xandikos started on a
// free localhost port over a temporary folder, waited for until it answers,
// and stopped when the object goes. Tests run over both kinds; a kind whose
// program is not installed is reported by installed(), for a clear skip.
// Also the "phone" (phone.py), a third party writing to the same server.
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include "apps/common/dav_account.h"

enum class DavServerKind { Radicale, Xandikos };

class DavTestServer {
  public:
    // With a password, Radicale lets in only "kesp" with it (Xandikos checks
    // none and ignores it).
    explicit DavTestServer(DavServerKind kind, const QString& password = {});
    ~DavTestServer();
    DavTestServer(const DavTestServer&) = delete;
    DavTestServer& operator=(const DavTestServer&) = delete;

    bool installed() const;
    bool running() const;
    QString problem() const { return problem_; }  // why it is not running
    DavServerKind kind() const { return kind_; }
    QUrl url() const;            // http://127.0.0.1:PORT/
    DavAccount account() const;  // logs in as "kesp", as the phone does
    // Writes members (file name → body) straight into the storage of an
    // existing collection, as a server filled long ago: thousands of PUTs
    // would take minutes. False when the storage refused them.
    bool storeDirectly(const QUrl& collection, const QMap<QString, QByteArray>& members);

  private:
    bool startOnFreePort();

    DavServerKind kind_;
    QString program_;
    QTemporaryDir folder_;
    QProcess process_;
    QString password_;
    quint16 port_ = 0;
    QString problem_;
};

QString davServerName(DavServerKind kind);

// phone.py run with `arguments`; its standard output, trimmed. *exitCode is
// its exit code (-1 when it did not finish).
QString runPhone(const QStringList& arguments, int* exitCode = nullptr);
