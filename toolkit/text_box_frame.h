// The frame and background of a one-line text box, drawn by the style once
// for each size, state and palette and then copied from a cache.
//
// Text boxes are painted again whenever their text or colour changes: a
// search box at every keystroke, the edit area's boxes at every selected
// record, all of them inside the word list's lookup. The style draws the
// frame as an anti-aliased rounded outline with shadow lines, which cost more
// than the text in it; the copy looks the same, pixel for pixel.
//
// Single-threaded: all calls come from the event loop.
#pragma once

class QWidget;

namespace kesp {

// Gives `textBox` (a QLineEdit) the cached frame.
void UseCachedTextBoxFrame(QWidget* textBox);

}  // namespace kesp
