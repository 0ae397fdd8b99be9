#include "toolkit/browser_opening.h"

#include <QCoreApplication>
#include <QProcess>

#include <utility>

namespace kesp {
namespace {

const char kOpenAndWatch[] =
    "xdg-open \"$1\" >/dev/null 2>&1 & opener=$!\n"
    "for step in $(seq 30); do\n"
    "    kill -0 $opener 2>/dev/null || break\n"
    "    sleep 0.1\n"
    "done\n"
    "kill -0 $opener 2>/dev/null && exit 0\n"
    "wait $opener\n";

// The failure action of the address being watched now; the desktop's opener
// reports through it when xdg-open gives up.
std::function<void()>& PendingFailure() {
    static std::function<void()> failure;
    return failure;
}

bool OpenWithDesktop(const QUrl& url) {
    auto* watch = new QProcess(QCoreApplication::instance());
    watch->setStandardInputFile(QProcess::nullDevice());
    watch->setStandardOutputFile(QProcess::nullDevice());
    watch->setStandardErrorFile(QProcess::nullDevice());
    std::function<void()> onFailure = std::move(PendingFailure());
    QObject::connect(watch, &QProcess::finished, watch,
                     [watch, onFailure](int exitCode, QProcess::ExitStatus status) {
                         watch->deleteLater();
                         if ((status != QProcess::NormalExit || exitCode != 0) && onFailure)
                             onFailure();
                     });
    watch->start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QString::fromLatin1(kOpenAndWatch),
                  QStringLiteral("xdg-open"), url.toString(QUrl::FullyEncoded)});
    if (watch->waitForStarted()) return true;
    watch->disconnect();
    watch->deleteLater();
    return false;
}

UrlOpener& Opener() {
    static UrlOpener opener = OpenWithDesktop;
    return opener;
}

}  // namespace

void OpenInBrowser(const QUrl& url, std::function<void()> onFailure) {
    PendingFailure() = onFailure;
    const bool started = Opener()(url);
    PendingFailure() = nullptr;
    if (!started && onFailure) onFailure();
}

UrlOpener SetUrlOpener(UrlOpener opener) {
    UrlOpener previous = Opener();
    Opener() = opener ? std::move(opener) : UrlOpener(OpenWithDesktop);
    return previous;
}

}  // namespace kesp
