#include "shell/keyring.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

namespace {

const QString kService = QStringLiteral("Varnel Kesp");
constexpr int kKeyringWaitMs = 5000;

QString KeyOf(const QUrl& server, const QString& user) {
    return user + u'@' +
           server.adjusted(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash).toString();
}

// Runs `job` to its end, or until the keyring has not answered in time.
bool RunToEnd(QKeychain::Job& job) {
    job.setAutoDelete(false);
    job.setInsecureFallback(false);  // never a plain file
    QEventLoop loop;
    bool ended = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer::singleShot(kKeyringWaitMs, &loop, &QEventLoop::quit);
    job.start();
    if (!ended) loop.exec();
    return ended;
}

}  // namespace

KeyringReading ReadServerPassword(const QUrl& server, const QString& user) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(KeyOf(server, user));
    if (!RunToEnd(job)) return {};
    if (job.error() == QKeychain::NoError) return {KeyringAnswer::Found, job.textData()};
    if (job.error() == QKeychain::EntryNotFound) return {KeyringAnswer::NotFound, {}};
    return {};
}

bool StoreServerPassword(const QUrl& server, const QString& user, const QString& password) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(KeyOf(server, user));
    job.setTextData(password);
    return RunToEnd(job) && job.error() == QKeychain::NoError;
}
