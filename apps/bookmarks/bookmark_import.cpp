#include "apps/bookmarks/bookmark_import.h"

#include "apps/bookmarks/bookmark_file.h"
#include "apps/bookmarks/bookmark_text.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/field_rows.h"
#include "store/codec.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

// The lines a browser's tags and keyword become in the commentary.
const Texts kTagsLine{"Schlagwörter: %1", "Tags: %1", "Etiquetas: %1"};
const Texts kKeywordLine{"Schlüsselwort: %1", "Keyword: %1", "Palavra-chave: %1"};
// A link that runs a script, carries its own content or is a browser's
// internal query ("place:") is no page to keep.
const QStringList kRefusedSchemes{"javascript", "data", "vbscript", "place"};
constexpr int kNamedCuts = 3;

QString Stored(const QString& field) {
    return TrimBlanks(FIELD("internet->" + field).toString());
}

// Addresses compared as the browser would receive them.
QSet<QString> StoredAddresses() {
    QSet<QString> addresses;
    for (const Bookmark& bookmark : StoredBookmarks())
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

QList<Bookmark> StoredBookmarks() {
    DBSELECTAREA(Bookmarks().workArea);
    QList<Bookmark> all;
    DBEVALLIVE([&all] {
        all.append({.category = Stored("KATEG"),
                    .title = Stored("N_TITEL"),
                    .address = Stored("N_HYPER"),
                    .comment = Stored("N_KOM"),
                    .created = FIELD("internet->ERSTELLT").toDate()});
    });
    std::stable_sort(all.begin(), all.end(), [](const Bookmark& a, const Bookmark& b) {
        const QString left = UPPER(a.category), right = UPPER(b.category);
        return left != right ? left < right : UPPER(a.title) < UPPER(b.title);
    });
    return all;
}

BookmarkImport ImportBookmarks(const QByteArray& bytes) {
    BookmarkImport import;
    const std::optional<QString> text = BookmarkFileText(bytes);
    if (!text) return import;
    import.read = true;
    const QList<Bookmark> read = ReadBookmarkText(*text);
    QSet<QString> known = StoredAddresses();
    const int addressLimit = LimitOf("Text_4");
    // The text cut at the field's limit, and the cut counted and named.
    const auto fitted = [&import](const QString& text, int limit, const QString& title) {
        if (text.size() <= limit) return text;
        ++import.cut;
        if (import.cutNamed.size() < kNamedCuts)
            import.cutNamed.append(QStringLiteral("\"%1…\"").arg(title.left(40)));
        return text.left(limit).trimmed();
    };
    LostCharacters& lost = import.lost;
    DBSELECTAREA(Bookmarks().workArea);
    for (const Bookmark& bookmark : read) {
        const QString key = SameAddressKey(bookmark.address);
        const QString address = StorableAddress(bookmark.address);
        // An address the field cannot hold whole would be a broken link.
        if (kRefusedSchemes.contains(SchemeOf(bookmark.address)) || address.size() > addressLimit) {
            ++import.refused;
            continue;
        }
        if (known.contains(key)) {
            ++import.present;
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
        ++import.added;
    }
    DBCOMMIT();
    return import;
}
