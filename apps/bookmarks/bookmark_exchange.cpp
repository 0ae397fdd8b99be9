// The bookmarks and the browsers: opening the current address in the
// desktop's browser, and the exchange of all bookmarks as a bookmark file.
#include "apps/bookmarks/bookmark_file.h"
#include "apps/bookmarks/bookmark_text.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/export_file.h"
#include "apps/common/lost_characters.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "store/codec.h"
#include "store/xbase.h"
#include "toolkit/browser_opening.h"
#include "toolkit/operation_trail.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

const QString kBookmarkFile = "Bookmarks.html";
const Texts kCannotOpen{"Die Adresse konnte nicht im Browser geöffnet werden.",
                        "Sorry, I can not open the address in the browser.",
                        "Sorry, não foi possível abrir o endereço no navegador."};
const Texts kFileCreated{"Bookmarks.html wurde erstellt.", "File Bookmarks.html created.",
                         "Arquivo Bookmarks.html foi criado."};
const Texts kCannotRead{"Die Datei konnte nicht gelesen werden.", "Sorry, I can not read the file.",
                        "Sorry, não foi possível ler o arquivo."};
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
// The lines a browser's tags and keyword become in the commentary.
const Texts kTagsLine{"Schlagwörter: %1", "Tags: %1", "Etiquetas: %1"};
const Texts kKeywordLine{"Schlüsselwort: %1", "Keyword: %1", "Palavra-chave: %1"};
// A link that runs a script, carries its own content or is a browser's
// internal query ("place:") is no page to keep.
const QStringList kRefusedSchemes{"javascript", "data", "vbscript", "place"};
constexpr int kNamedCuts = 3;
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

QString Stored(const QString& field) {
    return TrimBlanks(FIELD("internet->" + field).toString());
}

// Every bookmark not marked deleted, whatever search is in force, by
// category and title; the record pointer stays where it was.
QList<Bookmark> AllBookmarks() {
    DBSELECTAREA(Bookmarks().workArea);
    const int here = RECNO();
    QList<Bookmark> all;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        if (DELETED()) continue;
        all.append({.category = Stored("KATEG"),
                    .title = Stored("N_TITEL"),
                    .address = Stored("N_HYPER"),
                    .comment = Stored("N_KOM"),
                    .created = FIELD("internet->ERSTELLT").toDate()});
    }
    DBGOTO(here);
    std::stable_sort(all.begin(), all.end(), [](const Bookmark& a, const Bookmark& b) {
        const QString left = UPPER(a.category), right = UPPER(b.category);
        return left != right ? left < right : UPPER(a.title) < UPPER(b.title);
    });
    return all;
}

// Addresses compared as the browser would receive them.
QSet<QString> StoredAddresses() {
    QSet<QString> addresses;
    for (const Bookmark& bookmark : AllBookmarks())
        addresses.insert(SameAddressKey(bookmark.address));
    return addresses;
}

QString SchemeOf(const QString& address) {
    return QUrl(BrowserAddress(address), QUrl::TolerantMode).scheme().toLower();
}

// An address with characters the table cannot hold is kept in its encoded
// form (a host in Punycode, the rest percent-encoded), which still leads there.
QString StorableAddress(const QString& address) {
    if (kesp::store::StorablePart(address) == address) return address;
    return QString::fromLatin1(QUrl(address, QUrl::TolerantMode).toEncoded());
}

int LimitOf(const QString& control) {
    return RowOfControl(Bookmarks().fields, control).inputLimit;
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
    const QString address = Stored("N_HYPER");
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
    WriteExportFileAndReport(kBookmarkFile, WriteBookmarkFile(AllBookmarks()),
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
    QFile file(path);
    // A pipe or a device would keep the reading waiting, perhaps for ever.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        MSGEXCLAMATION(TEXT(kCannotRead) + "\r" + path, MessageTitle());
        return;
    }
    const std::optional<QString> text = BookmarkFileText(file.readAll());
    if (!text) {
        MSGEXCLAMATION(TEXT(kNotBookmarkFile) + "\r" + path, MessageTitle());
        return;
    }
    const QList<Bookmark> read = ReadBookmarkText(*text);
    QSet<QString> known = StoredAddresses();
    const int addressLimit = LimitOf("Text_4");
    int added = 0, present = 0, refused = 0, cut = 0;
    QStringList cutNamed;
    // The text cut at the field's limit, and the cut counted and named.
    const auto fitted = [&cut, &cutNamed](const QString& text, int limit, const QString& title) {
        if (text.size() <= limit) return text;
        ++cut;
        if (cutNamed.size() < kNamedCuts)
            cutNamed.append(QStringLiteral("\"%1…\"").arg(title.left(40)));
        return text.left(limit).trimmed();
    };
    LostCharacters lost;
    DBSELECTAREA(record.workArea);
    for (const Bookmark& bookmark : read) {
        const QString key = SameAddressKey(bookmark.address);
        const QString address = StorableAddress(bookmark.address);
        // An address the field cannot hold whole would be a broken link.
        if (kRefusedSchemes.contains(SchemeOf(bookmark.address)) || address.size() > addressLimit) {
            ++refused;
            continue;
        }
        if (known.contains(key)) {
            ++present;
            continue;
        }
        known.insert(key);
        const QString& title = bookmark.title;
        DBAPPEND();
        REPLACE("internet->ERSTELLT", bookmark.created.isValid() ? bookmark.created : DATE());
        REPLACE("internet->KATEG",
                fitted(lost.kept(bookmark.category, title).trimmed(), LimitOf("Text_2"), title));
        REPLACE("internet->N_TITEL",
                fitted(lost.kept(title, title).trimmed(), LimitOf("Text_3"), title));
        REPLACE("internet->N_HYPER", address);
        QStringList commentary;
        if (!bookmark.comment.isEmpty()) commentary.append(bookmark.comment);
        if (!bookmark.tags.isEmpty())
            commentary.append(TEXT(kTagsLine).arg(bookmark.tags.join(QStringLiteral(", "))));
        if (!bookmark.keyword.isEmpty())
            commentary.append(TEXT(kKeywordLine).arg(bookmark.keyword));
        REPLACE("internet->N_KOM", lost.kept(commentary.join(QStringLiteral("\r\n")), title));
        ++added;
    }
    DBCOMMIT();
    StepsToTheEnd after;
    ClearQuickSearch(record);
    DBSELECTAREA(record.workArea);
    DBCLEARFILTER();
    after.Run([&record] { CreateIndexFiles(record.indexes, record.normalOrder); });
    DBGOTOP();
    THE_ANZAHL = CountLiveRecords();
    RefreshRecordWindow(record);
    QString summary =
        COUNTED(added, kImportedOne, kImported) + COUNTED(present, kPresentOne, kPresent);
    if (refused > 0) summary += "\r" + COUNTED(refused, kNotImportedOne, kNotImported);
    if (cut > 0)
        summary += "\r" + COUNTED(cut, kCutOne, kCut).arg(cutNamed.join(QStringLiteral(", ")));
    if (lost.count() > 0) summary += "\r" + lost.summaryLine();
    MSGEXCLAMATION(summary, MessageTitle());
    after.TellSavedAnyway(MessageTitle());
}
