// The German-English word list: the modal window "woerter_frm" over its
// table, opened from the main window.
#pragma once

#include "apps/common/record_kind.h"

void OPENFORM_WOERTER();  // defines the window and shows it (modal)

// The catalogue's entry: what the word list keeps, for what works across the
// applications.
const RecordKind& WordsKind();
