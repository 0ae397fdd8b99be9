#include "shell/help.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

void ReportNoBrowser(const QString& page) {
    MSGEXCLAMATION(TEXT({"Kein Web-Browser konnte die Hilfe öffnen: ",
                         "No web browser could open the help page: ",
                         "Nenhum navegador pôde abrir a ajuda: "}) +
                       page,
                   THE_APP_NAME);
}

// xdg-open starts the desktop's browser, but may wait for it to end, and
// fails with an exit code when no browser can show the page. It is started in
// the background and watched for three seconds: an exit with a failure in that
// time is reported; still running then means a browser shows the page, and
// it is left alone to run on.
const char kOpenAndWatch[] =
    "xdg-open \"$1\" >/dev/null 2>&1 & opener=$!\n"
    "for step in $(seq 30); do\n"
    "    kill -0 $opener 2>/dev/null || break\n"
    "    sleep 0.1\n"
    "done\n"
    "kill -0 $opener 2>/dev/null && exit 0\n"
    "wait $opener\n";

bool OpenWithDesktop(const QUrl& url) {
    auto* watch = new QProcess(QCoreApplication::instance());
    watch->setStandardInputFile(QProcess::nullDevice());
    watch->setStandardOutputFile(QProcess::nullDevice());
    watch->setStandardErrorFile(QProcess::nullDevice());
    const QString page = url.toLocalFile();
    QObject::connect(watch, &QProcess::finished, watch,
                     [watch, page](int exitCode, QProcess::ExitStatus status) {
                         watch->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0) ReportNoBrowser(page);
                     });
    watch->start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"), QString::fromLatin1(kOpenAndWatch),
                  QStringLiteral("xdg-open"), url.toString()});
    if (watch->waitForStarted()) return true;
    watch->deleteLater();
    return false;
}

UrlOpener& Opener() {
    static UrlOpener opener = OpenWithDesktop;
    return opener;
}

}  // namespace

QString HELP_FILE() {
    return THE_APP_PATH + TEXT({"Hilfe.htm", "Help.htm", "Ajuda.htm"});
}

void IEXPLORER() {
    KESP_OPERATION();
    const QString page = HELP_FILE();
    // Without any browser on the desktop the click would do nothing visible.
    if (!Opener()(QUrl::fromLocalFile(page))) ReportNoBrowser(page);
}

UrlOpener SET_URL_OPENER(UrlOpener opener) {
    UrlOpener previous = Opener();
    Opener() = opener ? std::move(opener) : UrlOpener(OpenWithDesktop);
    return previous;
}
