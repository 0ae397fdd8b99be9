// The progress bar of the windows: a solid bar in the highlight colour on the
// base colour inside a thin frame, painted with plain rectangle fills.
//
// Long actions paint their bar at every step while they run (the word list
// six times per lookup), so one paint must cost next to nothing: the style's
// bar is an anti-aliased rounded shape with a gradient and stripes, which
// cost more than the lookup itself. The bar covers all of its rectangle, so
// nothing beneath it is painted first.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QProgressBar>

namespace kesp {

class FlatProgressBar : public QProgressBar {
  public:
    explicit FlatProgressBar(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kesp
