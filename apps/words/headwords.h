// The words a side of a dictionary pair is looked up by. A side holds one or
// more alternatives separated by ";" ("Straße {f}; Weg {m} [geogr.]"); each
// alternative without its notes in braces, brackets, parentheses and slashes
// ("{f}", "[ugs.]", "(für jdn.)", "/AVR/") is a headword ("Straße", "Weg").
// An English headword "to go" is also found as "go".
//
// A headword's key is its folded form (kernel/search_folding.h: case and
// accents folded, "ß" as "ss"), with both forms of a German umlaut: "Müller"
// has the keys "muller" and "mueller", and whatever is typed is folded the
// same way, so that "strasse" finds "Straße" and "mueller" finds "Müller".
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The headwords of one side of a pair, in their order, each once.
QStringList Headwords(const QString& side);

// The keys a headword (or a word typed) is found by: its plain folded form,
// then its spelled-out form when that differs; an English "to ..." adds the
// keys of what follows "to". None for a text without letters or digits.
QList<QByteArray> HeadwordKeys(const QString& headword);

// The key a typed text is compared by: its plain folded form, blanks
// collapsed (the first of HeadwordKeys).
QByteArray TypedKey(const QString& typed);

// The forms a simple rule takes an inflected word back to, most likely
// first: English -s, -es, -ies, -ed, -ing (with a doubled consonant undone),
// German -e, -en, -er, -es, -n, -s. `word` is a folded key; every form
// returned keeps at least two letters.
QList<QByteArray> BaseForms(const QByteArray& word);
