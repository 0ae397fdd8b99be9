// The bookmarks and the browsers: opening the current address in the
// desktop's browser, and the exchange of all bookmarks as a bookmark file:
// the window's side of it (bookmark_import.h stores what a file holds).
#include "apps/bookmarks/bookmark_file.h"
#include "apps/bookmarks/bookmark_import.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/export_file.h"
#include "apps/common/import_file.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/browser_opening.h"
#include "toolkit/operation_trail.h"

#include <QFileDialog>
#include <QUrl>

namespace {

const QString kBookmarkFile = "Bookmarks.html";
const Texts kCannotOpen{"Die Adresse konnte nicht im Browser geöffnet werden.",
                        "Sorry, I can not open the address in the browser.",
                        "Sorry, não foi possível abrir o endereço no navegador."};
const Texts kFileCreated{"Bookmarks.html wurde erstellt.", "File Bookmarks.html created.",
                         "Arquivo Bookmarks.html foi criado."};
const Texts kImportedOne{"%1 Bookmark importiert, ", "%1 bookmark imported, ",
                         "%1 bookmark importado, "};
const Texts kImported{"%1 Bookmarks importiert, ", "%1 bookmarks imported, ",
                      "%1 bookmarks importados, "};
const Texts kPresentOne{"%1 übersprungen (schon vorhanden).", "%1 skipped (already present).",
                        "%1 ignorado (já existente)."};
const Texts kPresent{"%1 übersprungen (schon vorhanden).", "%1 skipped (already present).",
                     "%1 ignorados (já existentes)."};
const Texts kNotImportedOne{
    "%1 nicht importiert (javascript:-, data:- oder place:-Adressen oder zu lange Adressen).",
    "%1 not imported (javascript:, data: or place: addresses, or addresses too long).",
    "%1 não importado (endereços javascript:, data: ou place:, ou endereços longos demais)."};
const Texts kNotImported{
    "%1 nicht importiert (javascript:-, data:- oder place:-Adressen oder zu lange Adressen).",
    "%1 not imported (javascript:, data: or place: addresses, or addresses too long).",
    "%1 não importados (endereços javascript:, data: ou place:, ou endereços longos demais)."};
const Texts kCutOne{"%1 Titel oder Kategorie wurde gekürzt, damit er passt: %2",
                    "%1 title or category was cut to fit: %2",
                    "%1 título ou categoria foi cortado para caber: %2"};
const Texts kCut{"%1 Titel oder Kategorien wurden gekürzt, damit sie passen: %2",
                 "%1 titles or categories were cut to fit: %2",
                 "%1 títulos ou categorias foram cortados para caber: %2"};
// What the browser is given: pages, never a program or a script.
const QStringList kBrowserSchemes{"http", "https", "ftp", "file"};
// Followed by a carriage return and the file's path.
const Texts kNotBookmarkFile{
    "Diese Datei ist keine Lesezeichen-Datei eines Browsers. Es wurde nichts geändert.",
    "This is not a browser's bookmark file. Nothing was changed.",
    "Este arquivo não é um arquivo de favoritos de navegador. Nada foi alterado."};
const Texts kChooseFile{"Browser-Lesezeichen importieren", "Import browser bookmarks",
                        "Importar favoritos do navegador"};

const QString& MessageTitle() {
    return *Bookmarks().messageTitle;
}

}  // namespace

QString SameAddressKey(const QString& address) {
    QUrl url(BrowserAddress(address), QUrl::TolerantMode);
    url.setHost(url.host().toLower());
    QString key = url.isValid() ? url.toString(QUrl::FullyEncoded) : BrowserAddress(address);
    while (key.endsWith(u'/'))
        key.chop(1);
    return key;
}

QString BrowserAddress(const QString& address) {
    const QString trimmed = address.trimmed();
    // A scheme is letters, digits, "+", "-", "." before a ":" that no port
    // number follows ("localhost:8080" has none).
    const qsizetype colon = trimmed.indexOf(u':');
    bool schemed = colon > 0 && trimmed[0].isLetter() && colon + 1 < trimmed.size() &&
                   !trimmed[colon + 1].isDigit();
    for (qsizetype at = 0; schemed && at < colon; ++at) {
        const QChar c = trimmed[at];
        schemed = c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.';
    }
    return schemed ? trimmed : "http://" + trimmed;
}

void OPEN_INTERNET_LINK() {
    KESP_OPERATION();
    DBSELECTAREA(Bookmarks().workArea);
    if (DBEOF()) return;  // an empty list: nothing to open
    const QString address = TrimBlanks(FIELD("internet->N_HYPER").toString());
    const QUrl url(BrowserAddress(address), QUrl::TolerantMode);
    const auto cannotOpen = [address] {
        MSGEXCLAMATION(TEXT(kCannotOpen) + "\r" + address, MessageTitle());
    };
    if (address.isEmpty() || !url.isValid() || !kBrowserSchemes.contains(url.scheme().toLower())) {
        cannotOpen();
        return;
    }
    kesp::OpenInBrowser(url, cannotOpen);
}

void EXPORT_HTML_INTERNET_P() {
    KESP_OPERATION();
    WriteExportFileAndReport(kBookmarkFile, WriteBookmarkFile(StoredBookmarks()),
                             {kFileCreated, Bookmarks().exportFile.cannotWrite, MessageTitle()});
}

void IMPORT_HTML_INTERNET_P() {
    KESP_OPERATION();
    const QString path = QFileDialog::getOpenFileName(nullptr, TEXT(kChooseFile), THE_EXPORT_PATH,
                                                      "HTML (*.html *.htm);;* (*)");
    if (!path.isEmpty()) ImportBookmarksFrom(path);
}

void ImportBookmarksFrom(const QString& path) {
    const RecordWindow& record = Bookmarks();
    const std::optional<QByteArray> bytes = OpenImportFile(path, MessageTitle());
    if (!bytes) return;
    const BookmarkImport import = ImportBookmarks(*bytes);
    if (!import.read) {
        MSGEXCLAMATION(TEXT(kNotBookmarkFile) + "\r" + path, MessageTitle());
        return;
    }
    StepsToTheEnd after;
    ClearQuickSearch(record);
    DBSELECTAREA(record.workArea);
    DBCLEARFILTER();
    after.Run([&record] { CreateIndexFiles(record.indexes, record.normalOrder); });
    DBGOTOP();
    THE_ANZAHL = LIVECOUNT();
    RefreshRecordWindow(record);
    QString summary = COUNTED(import.added, kImportedOne, kImported) +
                      COUNTED(import.present, kPresentOne, kPresent);
    if (import.refused > 0)
        summary += "\r" + COUNTED(import.refused, kNotImportedOne, kNotImported);
    if (import.cut > 0)
        summary +=
            "\r" +
            COUNTED(import.cut, kCutOne, kCut).arg(import.cutNamed.join(QStringLiteral(", ")));
    if (import.lost.count() > 0) summary += "\r" + import.lost.summaryLine();
    MSGEXCLAMATION(summary, MessageTitle());
    after.TellSavedAnyway(MessageTitle());
}
