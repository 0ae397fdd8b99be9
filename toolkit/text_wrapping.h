// How an edit box that wraps its lines at its width wraps them. Qt's wrapping
// at word boundaries searches back through a run of characters without a
// break opportunity for every line it fills, so a long run (a pasted list of
// links, a file's contents without blanks) costs time quadratic in its
// length: seconds at 100 KB, minutes at 1 MB, with the window frozen. A text
// that holds such a run wraps anywhere, which costs time linear in the
// length; every other text wraps at word boundaries.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

class QPlainTextEdit;

namespace kesp {

// Longer runs without white space than any word a person writes.
inline constexpr qsizetype kLongestWrappedWord = 256;

// The text holds more than kLongestWrappedWord characters in a row without
// white space.
bool HoldsUnbreakableRun(const QString& text);

// Chooses the wrapping for the edit box about to show `text` (nothing
// changes for a box that does not wrap). `adding` true: the text joins what
// the box holds (a paste), which keeps the wrapping it has unless the text
// calls for wrapping anywhere.
void ChooseWrapping(QPlainTextEdit* edit, const QString& text, bool adding = false);

}  // namespace kesp
