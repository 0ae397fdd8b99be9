#include "shell/help.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDesktopServices>

namespace {

bool OpenWithDesktop(const QUrl& url) {
    return QDesktopServices::openUrl(url);
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
    if (!Opener()(QUrl::fromLocalFile(page)))
        MSGEXCLAMATION(TEXT({"Kein Web-Browser konnte die Hilfe öffnen: ",
                             "No web browser could open the help page: ",
                             "Nenhum navegador pôde abrir a ajuda: "}) +
                           page,
                       THE_APP_NAME);
}

UrlOpener SET_URL_OPENER(UrlOpener opener) {
    UrlOpener previous = Opener();
    Opener() = opener ? std::move(opener) : UrlOpener(OpenWithDesktop);
    return previous;
}
