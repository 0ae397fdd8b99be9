// Looking up the word list by the beginning of a word, in German or in
// English. It runs the steps of the record windows' quick search (select the
// search index, seek the text in capitals, narrow the list to the pairs whose
// word begins with it through the shared search filter, count them) for a
// window with two search boxes, a result in the status line and a progress
// bar: the record window's search step is bound to its own controls.
//
// The table stays open between lookups: a lookup removes the previous
// filter and makes its own index the only one, which is what closing and
// reopening the table would leave, without reading the whole table again.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/index_files.h"

#include <QString>

struct WordLookup {
    QString box;       // "Text_12": the beginning of the word looked up
    QString otherBox;  // "Text_13": emptied, since the other lookup no longer applies
    IndexFile index;   // ide1 on UPPER(De): the word's order, and its field
};

const WordLookup& GermanLookup();
const WordLookup& EnglishLookup();

// Runs the lookup, step by step on the progress bar, and shows the pairs
// found (or every pair when there is none) with the first one selected.
void LookUpWords(const WordLookup& lookup);

// The lookup whose filter narrows the list of eng1 now; nullptr when every
// pair is listed.
const WordLookup* NarrowingLookup();
void ForgetNarrowingLookup();  // the table was opened anew, or the filter removed

// The order list of eng1: the index of one lookup alone (the list's order),
// or both while saving a pair keeps both current, so that the other lookup
// finds the change at once.
void UseOnlyIndexOf(const WordLookup& lookup);
void KeepBothIndexesCurrent();

// Installs the narrowing lookup's filter again after the order of eng1 has
// changed (an addition makes ide1 the only index): the promise that only
// keys beginning with CPESQ pass holds only under the lookup's own index.
void RenewNarrowingFilter();
