// Reading the key and filter texts the modules pass beside their evaluators.
//
// The store uses the text of an index key to compute the common keys straight
// from the record bytes (fast index builds on large tables), and the text of a
// filter to see when a quick-search filter accepts exactly the records of a
// key range.
#pragma once

#include "store/dbf_table.h"
#include "store/xbase.h"

#include <QString>

namespace kesp::store {

// A key computed from the record bytes: a character field, or UPPER of one.
// Gives the same bytes as the evaluator of that text would.
struct NativeKey {
    int field = -1;  // -1: not recognised, use the evaluator
    bool upper = false;
};

// "field", "alias->field", "UPPER(field)", "UPPER(alias->field)" on a character field.
NativeKey RecogniseKey(const DbfTable& table, const QString& alias, const QString& keyText);

// The character field of a filter text "UPPER([alias->]field) = name", or -1.
int PrefixFilterField(const DbfTable& table, const QString& alias, const QString& filterText);

}  // namespace kesp::store
