// A page of a tab control. Controls on a page are placed relative to the tab
// control's top-left corner, not the page's, so that the rows the windows give
// (which leave room for the tab strip) land where they are meant to; the page
// moves its controls whenever its own place inside the tab control changes.
#pragma once

#include <QWidget>

namespace kesp {

// The dynamic property that holds a control's intended place (x = col,
// y = row) relative to its window or tab control.
inline constexpr char kPlaceProperty[] = "kespPlace";

class TabPage : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    bool event(QEvent* event) override;
};

// Sets the widget's geometry from its intended place, shifted by the offset of
// the page it sits on (none when its parent is not a tab page).
void PlaceOnPage(QWidget* widget);

}  // namespace kesp
