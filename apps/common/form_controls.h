// The caption every edit area puts above a control: a bold transparent label,
// 20 pixels high, whose German text is its own name until the window's texts
// are set.
#pragma once

#include <QString>

void CaptionLabel(const QString& name, int row, int col, int width,
                  const QString& value = QString());
