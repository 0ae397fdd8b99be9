// Key texts read as expressions: the text of an index key is the only
// definition of its order, so the store computes every key from the text
// alone, the same way in the run that created the index and in every later
// run that rebuilds it.
//
// The language is the small part of the old xBase expressions that keys use:
//   key     := term { "+" term }
//   term    := call | field | "text" | 'text' | number
//   call    := UPPER(key) | DTOS(key) | DTOC(key) | MONTH(key) | DAY(key)
//            | YEAR(key) | DESCEND(key) | STR(key [, width [, decimals]])
//   field   := name | alias->name
// "+" joins texts and adds numbers. Names and functions ignore case; fields
// are read through FIELD when a key is computed, so an unknown field raises
// the store's fault then.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "store/xbase.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kesp::store {

// The evaluator of a key text, or nothing when the text is not a key
// expression (a syntax error or an unknown function).
std::optional<KeyEvaluator> CompileKeyText(const QString& keyText);

// The aliases the key text names before "->", as written; nothing when the
// text is not a key expression.
std::optional<QStringList> KeyTextAliases(const QString& keyText);

// The fields the key text reads, without their aliases, as written; nothing
// when the text is not a key expression.
std::optional<QStringList> KeyTextFields(const QString& keyText);

}  // namespace kesp::store
