// The internet bookmarks: window "internet_frm" over their table, listed
// by title, with a category search, a title search, entry, saving, deleting
// and the export "Bookmarks.csv". Beyond that the list opens the current
// address in the desktop's browser (double-click, Enter, context menu) and
// exchanges all bookmarks with browsers as a bookmark HTML file.
#pragma once

#include "apps/common/record_kind.h"
#include "apps/common/record_window.h"

#include <QString>

void OPENFORM_INTERNET();  // opens the window (modal), from the main window

void OPENINTERNET();            // its initialisation
void INTERNET_AKTUALISIEREN();  // shows the current bookmark
void T_FIRST_INTERNET_P();
void T_PREV_INTERNET_P();
void T_NEXT_INTERNET_P();
void T_LAST_INTERNET_P();
void T_NEW_INTERNET_P();
void T_CANCEL_INTERNET_P();
void T_SAVENEW_INTERNET_P();
void T_SAVE_INTERNET_P();
void T_DELETE_INTERNET_P();
void SUCHE_INTERNET_KATEG();
void SUCHE_INTERNET_TITEL();
void EXPORT_CSV_INTERNET_P();

// The current address in the desktop's browser, an http, https, ftp or file
// address only; a message names the address when it cannot be opened.
void OPEN_INTERNET_LINK();
void EXPORT_HTML_INTERNET_P();  // every bookmark into "Bookmarks.html" in the export folder
void IMPORT_HTML_INTERNET_P();  // asks for a bookmark file, then imports it

// Appends the bookmarks of the file at `path` whose address is not stored
// yet, and shows the list anew. Addresses that run a script or carry their
// own content (javascript:, data:) and addresses too long for the table are
// not imported; texts keep what the table can store. The summary says how
// many were added, skipped as present and not imported, and how many texts
// lost characters, naming the first few titles.
void ImportBookmarksFrom(const QString& path);

// The address as the browser receives it: "http://" added when it has no scheme.
QString BrowserAddress(const QString& address);

// Two addresses with the same key lead to the same page: they differ at most
// in trailing "/" or in the case of the scheme and host name.
QString SameAddressKey(const QString& address);

// The description the shared record-window steps work from.
const RecordWindow& Bookmarks();

// The catalogue's entry: what the bookmarks keep, for what works across the
// applications.
const RecordKind& BookmarksKind();
