// When a control shows a new value: at once, or with the next paint.
//
// A status line set in the middle of a long action (the statistics pack and
// count one table after another) must be on screen at once, not only when
// the action returns to the event loop. A keystroke's change action is the
// opposite case: it returns to the event loop as soon as it has narrowed a
// list, and the window it was typed into is painted then anyway, with the
// typed character. Painting that window at once from inside the action would
// paint it twice per keystroke, the search box with it.
//
// Single-threaded: all calls come from the event loop.
#pragma once

class QWidget;

namespace kesp {

// Held while the change action of a keystroke in `typedInto` runs; nests.
class KeystrokeStep {
  public:
    explicit KeystrokeStep(QWidget* typedInto);
    ~KeystrokeStep();
    KeystrokeStep(const KeystrokeStep&) = delete;
    KeystrokeStep& operator=(const KeystrokeStep&) = delete;

  private:
    QWidget* previousWindow_;
};

// Paints `widget` now, unless a keystroke step of its own window is running:
// then it is painted with the keystroke's window when the step returns.
void ShowAtOnce(QWidget* widget);

}  // namespace kesp
