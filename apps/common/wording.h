// A message built around a value of the record: the text before it, the
// value, the text after it, each text in the language in force. "Anna" with
// after = " löschen?" reads "Anna löschen?"; a message that names no value
// is just its text before.
#pragma once

#include "kernel/texts.h"

#include <QString>

struct Wording {
    Texts before;
    Texts after;
};

QString Say(const Wording& wording, const QString& value = {});

// A text given in no language (an empty list header, a caption the user names).
bool IsBlank(const Texts& texts);
