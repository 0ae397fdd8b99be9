#include "shell/keyring.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

#include <memory>

namespace {

const QString kService = QStringLiteral("Varnel Kesp");
constexpr int kKeyringWaitMs = 5000;

QString KeyOf(const QUrl& server, const QString& user) {
    return user + u'@' +
           server.adjusted(QUrl::RemoveUserInfo | QUrl::StripTrailingSlash).toString();
}

struct JobEnd {
    bool ended = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// Starts `job` and waits for its end, or until the keyring has not answered
// in time. The job deletes itself when it ends, even after the wait gave up:
// a keyring may answer much later (a prompt the user closes).
JobEnd RunToEnd(QKeychain::Job* job) {
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never a plain file
    auto end = std::make_shared<JobEnd>();
    QEventLoop loop;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [end, &loop](QKeychain::Job* done) {
        end->ended = true;
        end->error = done->error();
        if (auto* reading = qobject_cast<QKeychain::ReadPasswordJob*>(done))
            end->text = reading->textData();
        loop.quit();
    });
    QTimer::singleShot(kKeyringWaitMs, &loop, &QEventLoop::quit);
    job->start();
    if (!end->ended) loop.exec();
    return *end;
}

}  // namespace

KeyringReading ReadServerPassword(const QUrl& server, const QString& user) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(KeyOf(server, user));
    const JobEnd end = RunToEnd(job);
    if (!end.ended) return {};
    if (end.error == QKeychain::NoError) return {KeyringAnswer::Found, end.text};
    if (end.error == QKeychain::EntryNotFound) return {KeyringAnswer::NotFound, {}};
    return {};
}

bool StoreServerPassword(const QUrl& server, const QString& user, const QString& password) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(KeyOf(server, user));
    job->setTextData(password);
    const JobEnd end = RunToEnd(job);
    return end.ended && end.error == QKeychain::NoError;
}
