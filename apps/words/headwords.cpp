#include "apps/words/headwords.h"

#include "kernel/search_folding.h"

#include <algorithm>
#include <cctype>

namespace {

// An alternative without its notes: "{f}", "[ugs.]", "(für jdn.)", " /AVR/".
// A plain scan: the whole dictionary passes through here when its index is built.
QString WithoutNotes(QStringView alternative) {
    QString word;
    word.reserve(alternative.size());
    int depth = 0;
    for (qsizetype i = 0; i < alternative.size(); ++i) {
        const QChar c = alternative[i];
        if (c == u'{' || c == u'[' || c == u'(') {
            ++depth;
        } else if (c == u'}' || c == u']' || c == u')') {
            depth = std::max(0, depth - 1);
        } else if (depth == 0 && c == u'/' && (i == 0 || alternative[i - 1].isSpace())) {
            // An abbreviation between slashes, when it closes before a blank.
            qsizetype close = i + 1;
            while (close < alternative.size() && alternative[close] != u'/' &&
                   !alternative[close].isSpace())
                ++close;
            if (close < alternative.size() && alternative[close] == u'/' && close > i + 1)
                i = close;
            else
                word += c;
        } else if (depth == 0) {
            word += c;
        }
    }
    return word.simplified();
}

QByteArray Collapsed(const QByteArray& folded) {
    return folded.simplified();
}

bool HasLetterOrDigit(const QByteArray& key) {
    for (const char c : key)
        if (static_cast<unsigned char>(c) >= 0x80 || std::isalnum(static_cast<unsigned char>(c)))
            return true;
    return false;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u';
}

}  // namespace

QStringList Headwords(const QString& side) {
    QStringList words;
    // Alternatives are separated by the semicolons outside the notes: "(in; auf)" is one note.
    const QStringView text(side);
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size()) {
            const QChar c = text[i];
            if (c == u'{' || c == u'[' || c == u'(') ++depth;
            if (c == u'}' || c == u']' || c == u')') depth = std::max(0, depth - 1);
            if (c != u';' || depth > 0) continue;
        }
        const QString word = WithoutNotes(text.mid(start, i - start));
        if (!word.isEmpty() && !words.contains(word)) words.append(word);
        start = i + 1;
    }
    return words;
}

QByteArray TypedKey(const QString& typed) {
    return Collapsed(FoldPlain(typed));
}

QList<QByteArray> HeadwordKeys(const QString& headword) {
    QList<QByteArray> keys;
    const auto add = [&keys](const QByteArray& key) {
        if (HasLetterOrDigit(key) && !keys.contains(key)) keys.append(key);
    };
    const QByteArray plain = TypedKey(headword);
    add(plain);
    add(Collapsed(FoldSpelled(headword)));
    if (plain.startsWith("to ") && plain.size() > 3) {
        const QString verb = headword.simplified().mid(3);
        add(TypedKey(verb));
        add(Collapsed(FoldSpelled(verb)));
    }
    return keys;
}

QList<QByteArray> BaseForms(const QByteArray& word) {
    QList<QByteArray> forms;
    const auto add = [&forms](const QByteArray& form) {
        if (form.size() >= 2 && !forms.contains(form)) forms.append(form);
    };
    const auto stem = [&word](qsizetype ending) { return word.left(word.size() - ending); };
    // A doubled final consonant undone: "stopped" -> "stop", "running" -> "run".
    const auto undoubled = [](const QByteArray& s) {
        const qsizetype n = s.size();
        if (n >= 3 && s[n - 1] == s[n - 2] && !IsVowel(s[n - 1])) return s.left(n - 1);
        return s;
    };
    if (word.endsWith("ies")) add(stem(3) + 'y');
    if (word.endsWith("ing")) {
        add(undoubled(stem(3)));
        add(stem(3) + 'e');
        add(stem(3));
    }
    if (word.endsWith("ed")) {
        if (word.endsWith("ied")) add(stem(3) + 'y');
        add(undoubled(stem(2)));
        add(stem(1));  // "loved" -> "love"
        add(stem(2));
    }
    if (word.endsWith("es")) add(stem(2));
    if (word.endsWith("en")) add(stem(2));
    if (word.endsWith("er")) add(stem(2));
    if (word.endsWith('s') && !word.endsWith("ss")) add(stem(1));
    if (word.endsWith('e')) add(stem(1));
    if (word.endsWith('n')) add(stem(1));
    return forms;
}
