// A browser's bookmark file stored in the bookmarks' table: the bookmarks
// whose address is not stored yet are appended and committed in one go; the
// result says what became of the others. Talking to the user is the window's
// step (ImportBookmarksFrom, bookmarks.h).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/bookmarks/bookmark_file.h"
#include "apps/common/lost_characters.h"

#include <QByteArray>
#include <QStringList>

struct BookmarkImport {
    bool read = false;  // false: no bookmark file, nothing stored
    int added = 0;
    int present = 0;  // addresses stored already, or twice in the file
    // Addresses that run a script, carry their own content or are a
    // browser's query, and addresses too long for the table.
    int refused = 0;
    int cut = 0;           // titles and categories cut to fit
    QStringList cutNamed;  // the first few of them: "\"Reisen…\""
    LostCharacters lost;   // texts that kept only what the table holds
};

// Stores the bookmarks of a file's bytes in the bookmarks' table.
BookmarkImport ImportBookmarks(const QByteArray& bytes);

// Every bookmark not marked deleted, whatever search is in force, by
// category and title; the record pointer stays where it was.
QList<Bookmark> StoredBookmarks();
