// What the word list knows of its table: its two indexes, and the two
// frames beside the list as field rows (the edit frame shows and saves the
// selected pair, the add frame takes a new pair).
#pragma once

#include "apps/common/field_rows.h"
#include "apps/common/index_files.h"

inline const IndexFile kGermanIndex{"ide1", KeyForm::Upper, "De"};   // the list's order
inline const IndexFile kEnglishIndex{"ide2", KeyForm::Upper, "En"};  // the English lookup's

const FieldRows& EditFrameRows();  // Text_14, Text_15
const FieldRows& AddFrameRows();   // Text_16, Text_17
