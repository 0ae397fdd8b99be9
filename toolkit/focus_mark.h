// Controls that show the keyboard focus. A flat button, an image button, a
// tool button and a list draw no focus frame of their own, so the style leaves
// the focus on them invisible (on a list without rows, or without a current
// row); they draw a frame in the highlight colour inside their edge while
// they have the focus.
#pragma once

#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

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

class FocusMarkedTree : public QTreeWidget {
  public:
    using QTreeWidget::QTreeWidget;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace kesp
