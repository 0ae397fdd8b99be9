// The bookmark file every browser exports and imports (the "Netscape"
// bookmark HTML): a title, then a definition list whose folders are <H3>
// headings followed by their own list, each bookmark an <A HREF> with its
// title as the link text and an optional <DD> comment after it.
//
// Writing: the bookmarks without a category first, then one folder per
// category in the order given; every text HTML-escaped, UTF-8, the creation
// day as ADD_DATE (seconds since 1970, UTC midnight).
// Reading: tolerant of case, attribute order, missing closing tags and
// nested folders; a bookmark's category is the path of its folders
// ("Reisen/Japan"), without the browser's own toolbar and unsorted folders;
// a browser's TAGS and SHORTCUTURL (its keyword) are read;
// entities (named, decimal, hexadecimal) are decoded; links without HREF are
// skipped. A comment's line breaks are LF in the file and CR LF when read.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

struct Bookmark {
    QString category;
    QString title;
    QString address;
    QString comment;
    QDate created;  // none when the file gives no ADD_DATE
    QStringList tags;
    QString keyword;
};

QByteArray WriteBookmarkFile(const QList<Bookmark>& bookmarks);
// The bookmarks of a file's bytes (none when it is no bookmark file, see
// bookmark_text.h), and of its text once read.
QList<Bookmark> ReadBookmarkFile(const QByteArray& html);
QList<Bookmark> ReadBookmarkText(const QString& text);

// "<a & \"b\">" -> "&lt;a &amp; &quot;b&quot;&gt;"
QString EscapeHtml(const QString& text);
// The reverse, for the entities a browser writes, "&#39;" and "&#x27;" included.
QString UnescapeHtml(const QString& text);
