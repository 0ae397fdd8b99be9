// Names for screen readers. Every control that takes the focus is announced
// by a name in the language of its window's texts: a control with a caption
// of its own (a button, a check box) by that caption, a text box, date
// picker, choice or list by the caption that stands above it or to its left,
// a picture button by its tool tip. The names follow the texts the program
// sets later (another language, a user's field name).
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace kesp {

// Names the controls of `window` that have no name yet, from their captions
// or tool tips; called once the window's texts are set.
void NameControlsForScreenReaders(QWidget* window);

// The text of `caption` changed: a control it names takes it as its name.
void CaptionTextChanged(QLabel* caption);

// The tool tip of `widget` changed: when it is the widget's name, the name follows.
void ToolTipChanged(QWidget* widget);

// What a screen reader announces for `widget` now; empty when nothing.
QString ScreenReaderName(QWidget* widget);

}  // namespace kesp
