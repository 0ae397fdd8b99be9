// A short hint shown under a control for a few seconds: a small framed label
// in the tool-tip colours, placed inside the control's window (above the
// control when there is no room below it). A tool tip would vanish with the
// release of the very key that caused it; this one stays until its time is up.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QString>

class QWidget;

namespace kesp {

// Shows `text` under `control`. The window keeps one hint per object name:
// showing it again moves it and starts its time anew.
void ShowHintUnder(QWidget* control, const QString& hintName, const QString& text);

// Hides the window's hint of that name, if it is shown.
void HideHint(QWidget* control, const QString& hintName);

}  // namespace kesp
