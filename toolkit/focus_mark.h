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

// A list (any item view) with the frame over the part of it that paints,
// repainted as the focus comes and goes.
template <class View>
class FocusMarkedList : public View {
  public:
    using View::View;

  protected:
    void paintEvent(QPaintEvent* event) override {
        View::paintEvent(event);
        DrawFocusMark(this, this->viewport());
    }
    void focusInEvent(QFocusEvent* event) override {
        View::focusInEvent(event);
        this->viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override {
        View::focusOutEvent(event);
        this->viewport()->update();
    }
};

using FocusMarkedTree = FocusMarkedList<QTreeWidget>;

}  // namespace kesp
