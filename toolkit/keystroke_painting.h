// When a control shows a new value: at once, or with the next paint.
//
// A status line set in the middle of a long action (the statistics pack and
// count one table after another) must be on screen at once, not only when
// the action returns to the event loop. A short step is the opposite case:
// a keystroke's change action returns to the event loop as soon as it has
// narrowed a list, and the window it was typed into is painted then anyway,
// with the typed character; the statistics shown from figures already
// counted fill some thirty labels in a millisecond. Painting the window at
// once for each of its values would paint it many times over for one step.
//
// Single-threaded: all calls come from the event loop.
#pragma once

class QWidget;

namespace kesp {

// Held while a short step sets values in the window of `in`: they are
// painted with that window when the step returns to the event loop. The
// change action of a keystroke holds it for the box typed into. Nests.
class PaintedOnReturn {
  public:
    explicit PaintedOnReturn(QWidget* in);
    ~PaintedOnReturn();
    PaintedOnReturn(const PaintedOnReturn&) = delete;
    PaintedOnReturn& operator=(const PaintedOnReturn&) = delete;

  private:
    QWidget* previousWindow_;
};

// Whether a value shown in `widget` now waits for the step's return.
bool WaitsForReturn(const QWidget* widget);

// Paints `widget` now, unless a short step of its own window is running:
// then it is painted with that window when the step returns.
void ShowAtOnce(QWidget* widget);

}  // namespace kesp
