// Controls that show the keyboard focus. A flat button, an image button, a
// tool button and a list draw no focus frame of their own, so the style leaves
// the focus on them invisible; they draw a frame in the highlight colour
// inside their edge while they have the focus.
#pragma once

#include <QPushButton>
#include <QToolButton>

namespace kesp {

// The frame, drawn on `canvas` (the control itself, or the part of it that
// paints) while `control` has the focus.
void DrawFocusMark(QWidget* control, QWidget* canvas);

class FocusMarkedButton : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class FocusMarkedToolButton : public QToolButton {
  public:
    using QToolButton::QToolButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kesp
