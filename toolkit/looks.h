// Fonts, colours and pictures as the window definitions name them.
//
// "Arial" and "Courier New" are served by the metric-compatible Liberation
// fonts. Pictures and icons are named relative to the application folder
// ("img/add.bmp"; a backslash separates folders like a slash); one that
// cannot be loaded gives a null pixmap or icon, and the control simply shows
// no picture.
#pragma once

#include "toolkit/forms.h"

#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QVariant>

class QWidget;

namespace kesp {

QFont MakeFont(const Font& font, bool bold = false);

QString PicturePath(const QString& relativeName);
QPixmap LoadPicture(const QString& relativeName);
QIcon LoadIcon(const QString& relativeName);

// A colour given as QColor, or as a list of three numbers {r, g, b}.
// Returns an invalid colour for anything else.
QColor ColorFromValue(const QVariant& value);

void SetBackground(QWidget* widget, const QColor& color);
void SetForeground(QWidget* widget, const QColor& color);

}  // namespace kesp
