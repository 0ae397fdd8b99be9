// The word search of the tips: the typed text split into words, and the tips
// of the collection that contain any of those words anywhere in the searched
// part, without regard to case.
//
// A tip that contains several of the words is taken once, at the place of
// its first matching word: the tips of the first word in the collection's
// order, then those of the second word not taken yet, and so on. (A tip
// copied twice would leave two copies in the results, and saving the stale
// one after editing the other would overwrite the first edit.)
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class SearchedPart { Title, Description };

// A tip as it is copied into the result table.
struct TipCopy {
    int record = 0;  // its record number in the collection
    QString title;
    QString description;
};

// The words of a search text (already in capitals): the runs of non-blank
// characters, in the order typed, each once.
QStringList SearchWords(const QString& searchText);

// The tips of the table open under `alias` (walked from its first record in
// its order) that contain any of `words`, each once, at its first matching
// word. The description is searched with its line breaks read as blanks.
// The record pointer is left at the end of the table.
QList<TipCopy> TipsContaining(const QString& alias, const QStringList& words, SearchedPart part);
