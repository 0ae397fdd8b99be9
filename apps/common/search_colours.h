// The colours a search box takes after a search: green when it found
// something, red when it found nothing, white when there is nothing to search.
#pragma once

#include <QColor>

inline const QColor kSearchHit{0, 255, 0};
inline const QColor kSearchMiss{255, 0, 0};
inline const QColor kNoSearch{255, 255, 255};
