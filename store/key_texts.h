// Reading the key texts of indexes.
//
// The store uses the text of an index key to compute the common keys straight
// from the record bytes (fast index builds on large tables).
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

// Whether the key text has one of those forms, whatever the table: its keys
// are the field's bytes when the field is a character field. Thread-safe.
bool HasNativeKeyForm(const QString& keyText);

}  // namespace kesp::store
