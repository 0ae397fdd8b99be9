// What a browse shows for one field of the current record, and whether a
// table is open under an alias.
#pragma once

#include <QString>

namespace kesp {

// The cell text of `field` ("alias->field" or "field") of the current record
// of the current work area: character fields without trailing blanks, dates in
// the current date format, numbers formatted, logical values ".T." / ".F.",
// memo fields "<Memo>".
QString CellText(const QString& field);

// True when some work area holds a table under `alias` (case ignored). The
// current work area is put back.
bool IsAliasInUse(const QString& alias);

}  // namespace kesp
