// Notes the first paint of the widget it filters: what both start-ups
// measured wait for, the program's main window and the bare window.
#pragma once

#include <QEvent>
#include <QObject>

class PaintWatch : public QObject {
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted = true;
        return QObject::eventFilter(watched, event);
    }
};
