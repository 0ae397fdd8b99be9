// Buttons that show the keyboard focus. A flat button, an image button and a
// tool button draw no frame of their own, so the style leaves the focus on
// them invisible; these draw a frame in the highlight colour inside their
// edge while they have the focus.
#pragma once

#include <QPushButton>
#include <QToolButton>

namespace kesp {

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
