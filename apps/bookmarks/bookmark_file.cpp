#include "apps/bookmarks/bookmark_file.h"
#include "apps/bookmarks/bookmark_text.h"

#include "apps/common/control_characters.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>

namespace {

qint64 SecondsSince1970(const QDate& day) {
    return day.startOfDay(Qt::UTC).toSecsSinceEpoch();
}

void WriteLink(QString& out, const Bookmark& bookmark, const QString& indent) {
    out +=
        indent + "<DT><A HREF=\"" + EscapeHtml(ControlCharactersAsBlanks(bookmark.address)) + "\"";
    if (bookmark.created.isValid())
        out += " ADD_DATE=\"" + QString::number(SecondsSince1970(bookmark.created)) + "\"";
    out += ">" + EscapeHtml(ControlCharactersAsBlanks(bookmark.title)) + "</A>\n";
    QString comment = ControlCharactersAsBlanks(bookmark.comment);
    comment.replace("\r\n", "\n");
    if (!comment.isEmpty()) out += indent + "<DD>" + EscapeHtml(comment) + "\n";
}

// A tag of the file: its name in capitals ("A", "/DL", "H3") and attributes.
struct Tag {
    QString name;
    QString text;  // everything between "<" and ">"
};

// The value of attribute `name` in a tag's text, quoted or not; empty when absent.
QString Attribute(const QString& tagText, const QString& name) {
    const QString upper = tagText.toUpper();
    qsizetype at = 0;
    while ((at = upper.indexOf(name, at)) >= 0) {
        const bool startsWord = at > 0 && upper[at - 1].isSpace();
        qsizetype after = at + name.size();
        while (after < upper.size() && upper[after].isSpace())
            ++after;
        if (!startsWord || after >= upper.size() || upper[after] != u'=') {
            at += name.size();
            continue;
        }
        ++after;
        while (after < tagText.size() && tagText[after].isSpace())
            ++after;
        if (after >= tagText.size()) return {};
        const QChar quote = tagText[after];
        if (quote == u'"' || quote == u'\'') {
            const qsizetype end = tagText.indexOf(quote, after + 1);
            return tagText.mid(after + 1, end < 0 ? -1 : end - after - 1);
        }
        qsizetype end = after;
        while (end < tagText.size() && !tagText[end].isSpace())
            ++end;
        return tagText.mid(after, end - after);
    }
    return {};
}

}  // namespace

QString EscapeHtml(const QString& text) {
    return text.toHtmlEscaped();
}

QString UnescapeHtml(const QString& text) {
    static const QMap<QString, QString> named{{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                              {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        // An entity is short: its end is looked for in the next few characters
        // only, so that a long text of ampersands costs linear time.
        const qsizetype found = text[at] == u'&' ? QStringView(text).mid(at, 11).indexOf(u';') : -1;
        const qsizetype semicolon = found < 0 ? -1 : at + found;
        if (semicolon < 0) {
            out += text[at++];
            continue;
        }
        const QString entity = text.mid(at + 1, semicolon - at - 1);
        bool known = true;
        if (entity.startsWith(u'#')) {
            const bool hex = entity.size() > 1 && (entity[1] == u'x' || entity[1] == u'X');
            const uint code = entity.mid(hex ? 2 : 1).toUInt(&known, hex ? 16 : 10);
            if (known && code > 0) {
                const char32_t character = code;
                out += QString::fromUcs4(&character, 1);
            }
        } else if (named.contains(entity)) {
            out += named.value(entity);
        } else {
            known = false;
        }
        if (known) {
            at = semicolon + 1;
        } else {
            out += text[at++];
        }
    }
    return out;
}

QByteArray WriteBookmarkFile(const QList<Bookmark>& bookmarks) {
    QString out =
        "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
        "<!-- This is an automatically generated file.\n"
        "     It will be read and overwritten.\n"
        "     DO NOT EDIT! -->\n"
        "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
        "<TITLE>Bookmarks</TITLE>\n"
        "<H1>Bookmarks</H1>\n"
        "<DL><p>\n";
    QStringList categories;
    for (const Bookmark& bookmark : bookmarks) {
        if (bookmark.category.isEmpty())
            WriteLink(out, bookmark, "    ");
        else if (!categories.contains(bookmark.category))
            categories.append(bookmark.category);
    }
    for (const QString& category : categories) {
        out += "    <DT><H3>" + EscapeHtml(ControlCharactersAsBlanks(category)) +
               "</H3>\n    <DL><p>\n";
        for (const Bookmark& bookmark : bookmarks)
            if (bookmark.category == category) WriteLink(out, bookmark, "        ");
        out += "    </DL><p>\n";
    }
    out += "</DL><p>\n";
    return out.toUtf8();
}

QList<Bookmark> ReadBookmarkFile(const QByteArray& html) {
    const std::optional<QString> text = BookmarkFileText(html);
    return text ? ReadBookmarkText(*text) : QList<Bookmark>();
}

QList<Bookmark> ReadBookmarkText(const QString& text) {
    QList<Bookmark> bookmarks;
    QStringList folders;  // the open lists' folder names, innermost last ("": none of its own)
    QString heading;
    bool headingDone = false;        // a heading whose list has not opened yet
    bool headingIsBrowsers = false;  // the toolbar's or the unsorted bookmarks' folder
    const auto path = [&folders] {
        QStringList named;
        for (const QString& folder : folders)
            if (!folder.isEmpty()) named.append(folder);
        return named.join(u'/');
    };
    QString* reading = nullptr;     // where the text between tags goes
    bool commentMayFollow = false;  // the last thing read was a link
    auto stopReading = [&] {
        if (reading) *reading = UnescapeHtml(*reading).trimmed();
        reading = nullptr;
    };

    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] != u'<') {
            const qsizetype next = text.indexOf(u'<', at);
            if (reading) *reading += text.mid(at, next < 0 ? -1 : next - at);
            at = next < 0 ? text.size() : next;
            continue;
        }
        if (text.mid(at, 4) == "<!--") {
            const qsizetype end = text.indexOf("-->", at);
            at = end < 0 ? text.size() : end + 3;
            continue;
        }
        const qsizetype close = text.indexOf(u'>', at);
        const QString tagText = text.mid(at + 1, close < 0 ? -1 : close - at - 1);
        at = close < 0 ? text.size() : close + 1;
        qsizetype nameEnd = 0;
        while (nameEnd < tagText.size() && !tagText[nameEnd].isSpace())
            ++nameEnd;
        const QString name = tagText.left(nameEnd).toUpper();

        if (name == "DD") {
            stopReading();
            if (commentMayFollow) reading = &bookmarks.last().comment;
            commentMayFollow = false;
            continue;
        }
        if (name == "/A") {
            stopReading();
            continue;
        }
        stopReading();
        commentMayFollow = false;
        if (name == "A") {
            const QString address = UnescapeHtml(Attribute(tagText, "HREF")).trimmed();
            if (address.isEmpty()) continue;
            Bookmark bookmark{.category = path(), .address = address};
            for (const QString& tag : UnescapeHtml(Attribute(tagText, "TAGS")).split(u','))
                if (!tag.trimmed().isEmpty()) bookmark.tags.append(tag.trimmed());
            bookmark.keyword = UnescapeHtml(Attribute(tagText, "SHORTCUTURL")).trimmed();
            bool dated = false;
            const qint64 seconds = Attribute(tagText, "ADD_DATE").toLongLong(&dated);
            if (dated && seconds > 0)
                bookmark.created = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).date();
            bookmarks.append(bookmark);
            reading = &bookmarks.last().title;
            commentMayFollow = true;
        } else if (name == "H3") {
            heading.clear();
            reading = &heading;
            headingDone = true;
            headingIsBrowsers = !Attribute(tagText, "PERSONAL_TOOLBAR_FOLDER").isEmpty() ||
                                !Attribute(tagText, "UNFILED_BOOKMARKS_FOLDER").isEmpty();
        } else if (name == "DL") {
            // A list opens the folder of the heading before it; a list
            // without a heading stays in the folder it is in. The browser's
            // own folders name no category.
            folders.append(headingDone && !headingIsBrowsers ? heading : QString());
            headingDone = false;
        } else if (name == "/DL") {
            if (!folders.isEmpty()) folders.removeLast();
        }
    }
    stopReading();
    // Line breaks of a comment as the memo stores them.
    for (Bookmark& bookmark : bookmarks) {
        bookmark.comment.replace("\r\n", "\n");
        bookmark.comment.replace("\n", "\r\n");
    }
    return bookmarks;
}
