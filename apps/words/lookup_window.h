// The lookup window: a small window beside the mouse pointer with what the
// dictionary holds for a text selected anywhere on the desktop
// (dictionary_lookup.h): for each phrase or word found its heading and its
// pairs; when nothing is found, "Did you mean ...?" with the nearest
// headwords, of which Enter (or a double click) looks up the one chosen in
// the same window. Escape closes it, and so does its losing the focus to
// another window. There is one at a time: a new lookup takes the open one.
//
// Its controls carry names for screen readers; the list has the focus. A
// modal window of the program open, it belongs to that one, so that it
// takes keys all the same.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

#include <functional>

class QWidget;
class WordIndex;

// Shows the window for `text` (nullptr `index`: the dictionary cannot be
// read, which the window says) and returns it at once; `closed`, when given,
// runs when it closes.
QWidget* ShowLookupWindow(const WordIndex* index, const QString& text,
                          std::function<void()> closed = {});

// The window now open, or nullptr.
QWidget* OpenLookupWindow();
