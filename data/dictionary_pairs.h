// The word pairs of a German-English dictionary in the format of Debian's
// trans-de-en (the Ding dictionary, UTF-8): one entry a line,
//
//   Apfel {m} | Äpfel {pl} | einen Apfel schälen :: apple | apples | to peel an apple
//
// German left of " :: ", English right of it. Each side is made of parts
// separated by " | ", and the n-th German part translates the n-th English
// part: each such couple is one pair. Lines starting with "#" are comments.
#pragma once

#include <QList>
#include <QString>

namespace kesp {

struct WordPair {
    QString german;   // trimmed
    QString english;  // trimmed
};

struct LinePairs {
    QList<WordPair> pairs;
    int unmatched = 0;  // parts of a line whose sides have unequal part counts
};

// The pairs of one line. A comment, an empty line or a line without " :: "
// gives none; a line whose sides have different numbers of parts gives none
// either, since its parts cannot be told apart, and counts them as unmatched.
LinePairs PairsOfLine(const QString& line);

}  // namespace kesp
