// Paper names of report definitions ("DMPAPER_A4", ...) and the sheets they
// stand for. The names are the 118 classic Windows paper constants in their
// numbered order; a definition's name gives its number, an unknown name 1
// (letter), and the number gives the page size.
#pragma once

#include <QPageSize>
#include <QString>

// 1 for "DMPAPER_LETTER", 9 for "DMPAPER_A4", ..., 118 for
// "DMPAPER_PENV_10_ROTATED"; 1 for anything else. Case does not matter.
int PaperNumber(const QString& name);

// The sheet for a paper number; letter when the number has no known size.
QPageSize PaperPageSize(int paperNumber);
