// What keeps a record window from losing typed values without a word: the
// values its edit area showed when it was last filled from a record or
// prepared for a new one, and the question the user's closing asks when the
// controls hold anything else.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/field_rows.h"

#include <QString>

// Remembers what the edit area of `window` shows now as its unchanged state.
void RememberShownValues(const QString& window, const FieldRows& rows);

// True when a control of the edit area holds something else than what was
// remembered, a text typed into a date picker that is no date included.
bool ShownValuesChanged(const QString& window, const FieldRows& rows);

// The user's closing: true at once without changes; with changes, asks
// "Discard changes?" (titled `title`) and gives the answer.
bool MayDiscardShownValues(const QString& window, const FieldRows& rows, const QString& title);
