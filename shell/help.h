// The help button of the main window: the help page of the language in force
// ("Hilfe.htm", "Help.htm" or "Ajuda.htm" in the application folder), shown
// by the desktop's web browser, which stays open on its own.
#pragma once

#include "toolkit/browser_opening.h"

#include <QString>

// The help page of THE_LANG, a file of the application folder.
QString HELP_FILE();

// Opens HELP_FILE() in the desktop's browser (through xdg-open). A missing
// page is for the browser to report; when no browser can be started, a
// warning tells the user where the help page is, as soon as xdg-open has
// given up.
void IEXPLORER();

// Replaces the desktop's URL handler (tests); an empty opener restores it. An
// opener returns false when it could not open the page at all.
using UrlOpener = kesp::UrlOpener;
UrlOpener SET_URL_OPENER(UrlOpener opener);
