// Reading the key texts of indexes beyond their evaluators.
//
// The store computes the common keys straight from the record bytes (fast
// index builds on large tables), and matches the key a filter's promise names
// with the key of the controlling order.
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

// The two texts say the same key: they differ at most in letter case and
// blanks outside quoted texts ("UPPER(vorname)" and "upper( VORNAME )").
bool SameKeyText(const QString& a, const QString& b);

}  // namespace kesp::store
