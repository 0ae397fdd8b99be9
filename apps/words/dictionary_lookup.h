// What a lookup from outside the word list finds for a selected text: the
// pairs of the dictionary one of whose headwords is the text (headwords.h),
// on either side. A text of several words is looked up as a phrase first,
// then word by word; a word the dictionary lacks is looked up in the form a
// simple rule takes it back to ("houses" -> "house", "Hunde" -> "Hund"),
// which is marked as such. When nothing is found, the nearest headwords are
// offered instead ("Did you mean ...?").
//
// The command line, the lookup window and the word list window all look up
// through here. Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/words/word_index.h"

#include <QString>
#include <QStringList>

#include <vector>

struct LookedUp {
    QString asked;  // the phrase or word of the selection
    QString found;  // what was found: `asked` itself, or its base form
    bool baseForm = false;
    std::vector<int> pairs;  // record numbers, in the dictionary's order
};

struct DictionaryAnswer {
    QString asked;                // the selection, its blanks collapsed
    std::vector<LookedUp> found;  // the phrase, then each word, those with pairs
    QStringList suggestions;      // when nothing was found: the nearest headwords
    bool anything() const { return !found.empty(); }
};

// At most this many words of a selection are looked up one by one.
inline constexpr int kWordsLookedUp = 8;

DictionaryAnswer LookUpSelection(const WordIndex& index, const QString& selection);

// A pair as one line: "Straße {f} = street; road".
QString PairLine(const WordIndex::Pair& pair);

// The answer as lines of text in the language in force: for each phrase or
// word found a heading ("houses (base form: house)") and its pairs indented;
// or "Nothing found for ..." and the suggestions after "Did you mean ...?".
QStringList AnswerLines(const WordIndex& index, const DictionaryAnswer& answer);
