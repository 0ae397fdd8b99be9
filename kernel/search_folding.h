// Text as the search over everything compares it. Case and accents are
// folded away ("É" and "é" are "e"), "ß" is "ss", and German umlauts match
// both their plain vowel and their spelled-out form: "Müller" is found by
// "muller" and by "mueller", "Mueller" by "müller".
//
// Each text is folded two ways, `plain` (ä -> a) and `spelled` (ä -> ae); a
// typed word is folded the same two ways, and it occurs in a text when either
// of its forms occurs in either of the text's forms. Folded text is UTF-8, so
// that a word is found in it with a plain byte search; blanks, tabs and line
// breaks fold to one blank.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <string>

#include <vector>

struct FoldedWord {
    QByteArray plain;
    QByteArray spelled;  // the same as `plain` when the word has no umlaut
};

QByteArray FoldPlain(const QString& text);
QByteArray FoldSpelled(const QString& text);
// The same appended to `out`, for texts folded in bulk; the plain form tells
// whether the spelled one differs (the text holds an umlaut).
bool AppendFoldedPlain(std::string& out, QStringView text);
void AppendFoldedSpelled(std::string& out, QStringView text);

// The words of a typed search, each folded; empty words left out.
std::vector<FoldedWord> FoldedWords(const QString& typed);

// Where the words occur in `text` itself, as [start, end) ranges of its
// characters, sorted and merged: what a result highlights.
QList<std::pair<int, int>> WordRanges(const QString& text, const std::vector<FoldedWord>& words);
