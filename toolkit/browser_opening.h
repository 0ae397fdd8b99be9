// Showing a page or an address in the desktop's web browser (through
// xdg-open), with a word to the user when no browser can show it.
//
// xdg-open starts the desktop's browser but may wait for it to end, and fails
// with an exit code when no browser can show the page. It is started in the
// background and watched for three seconds: a failure in that time runs the
// failure action; still running then means a browser shows the page, and it
// is left alone to run on.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QUrl>

#include <functional>

namespace kesp {

// Opens `url`; `onFailure` runs when no browser could be started for it,
// at once or as soon as xdg-open has given up.
void OpenInBrowser(const QUrl& url, std::function<void()> onFailure);

// Replaces the desktop's opener (tests); an empty opener restores it. An
// opener returns false when it could not open the address at all. Gives the
// opener replaced.
using UrlOpener = std::function<bool(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);

}  // namespace kesp
