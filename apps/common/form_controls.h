// The two controls every edit area is made of: a bold transparent caption
// label, 20 pixels high, above a text box of the same height.
#pragma once

#include <QString>

void CaptionLabel(const QString& name, int row, int col, int width);
void EntryBox(const QString& name, int row, int col, int width, int maxLength);
