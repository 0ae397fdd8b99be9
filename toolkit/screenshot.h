// Renders a window of the program to a PNG file, without a display, so that
// anyone can look at what a window shows.
#pragma once

#include <QString>

namespace kesp {

// The window's client area as drawn now (a window not shown yet is shown
// first). Returns false when the window is unknown or the file cannot be
// written.
bool SaveWindowScreenshot(const QString& window, const QString& pngPath);

// A message box of the kind given ("MSGBOX", "MSGEXCLAMATION", "MSGYESNO"), as
// it is shown now in the interface language in force.
bool SaveMessageBoxScreenshot(const QString& kind, const QString& text, const QString& title,
                              const QString& pngPath);

}  // namespace kesp
