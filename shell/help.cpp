#include "shell/help.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/browser_opening.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <utility>

namespace {

void ReportNoBrowser(const QString& page) {
    MSGEXCLAMATION(TEXT({"Kein Web-Browser konnte die Hilfe öffnen: ",
                         "No web browser could open the help page: ",
                         "Nenhum navegador pôde abrir a ajuda: "}) +
                       page,
                   THE_APP_NAME);
}

}  // namespace

QString HELP_FILE() {
    return THE_APP_PATH + TEXT({"Hilfe.htm", "Help.htm", "Ajuda.htm"});
}

void IEXPLORER() {
    KESP_OPERATION();
    const QString page = HELP_FILE();
    // Without any browser on the desktop the click would do nothing visible.
    kesp::OpenInBrowser(QUrl::fromLocalFile(page), [page] { ReportNoBrowser(page); });
}

UrlOpener SET_URL_OPENER(UrlOpener opener) {
    return kesp::SetUrlOpener(std::move(opener));
}
