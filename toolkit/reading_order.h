// The keyboard order of a window: Tab and Shift+Tab move through its controls
// in reading order, top to bottom and, along one line, left to right. A control
// is on the line of the first control on it when it begins no lower than the
// middle of the shorter of the two, so a tall list beside a column of boxes
// does not pull them all onto its line (captions and frames, which take no
// focus, do not count).
// The controls of a tab page follow its tab bar; those of a toolbar follow the
// bar's place at the top or the bottom of the window. Hidden and disabled
// controls keep their place and are skipped while they cannot take the focus.
// Tab leaves multi-line texts and lists too, instead of acting inside them.
//
// A frame marked as a group (kTabGroupProperty, set by FrameProperties'
// `tabGroup`) is read as one block: the controls inside it follow one another,
// and the block comes after the controls to its left on the lines it spans,
// as a box beside a column of text is read after that column.
#pragma once

class QWidget;

namespace kesp {

inline constexpr char kTabGroupProperty[] = "kespTabGroup";

void OrderTabsByReading(QWidget* window);

}  // namespace kesp
