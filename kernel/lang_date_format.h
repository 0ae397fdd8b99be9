// The date format that goes with the interface language: what the shell sets
// when the language changes, and what tests set to stand in a language.
#pragma once

#include <QString>

// The date format of THE_LANG: "dd.mm.yyyy", "mm/dd/yyyy" or "dd/mm/yyyy".
QString LANG_DATEFORMAT();
