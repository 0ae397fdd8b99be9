#include "apps/words/dictionary_lookup.h"

#include "apps/words/headwords.h"
#include "apps/words/word_list_texts.h"

#include <QRegularExpression>

namespace {

// The selection without what surrounds its words: blanks collapsed, quotes
// and punctuation at either end taken away ("»Haus,« " -> "Haus").
QString Trimmed(const QString& selection) {
    static const QRegularExpression ends(QStringLiteral("^[\\W_]+|[\\W_]+$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    return selection.simplified().remove(ends);
}

QStringList WordsOf(const QString& text) {
    static const QRegularExpression apart(QStringLiteral("[^\\w'-]+"),
                                          QRegularExpression::UseUnicodePropertiesOption);
    QStringList words;
    for (const QString& word : text.split(apart, Qt::SkipEmptyParts))
        if (!words.contains(word, Qt::CaseInsensitive)) words.append(word);
    return words.mid(0, kWordsLookedUp);
}

// The text itself, or else the first base form the dictionary has.
LookedUp LookUpOne(const WordIndex& index, const QString& text) {
    LookedUp looked{text, text, false, {}};
    for (const QByteArray& key : HeadwordKeys(text)) {
        looked.pairs = index.PairsWithKey(key);
        if (!looked.pairs.empty()) return looked;
    }
    for (const QByteArray& form : BaseForms(TypedKey(text))) {
        looked.pairs = index.PairsWithKey(form);
        if (looked.pairs.empty()) continue;
        looked.baseForm = true;
        looked.found = index.Written(form);
        return looked;
    }
    return looked;
}

}  // namespace

DictionaryAnswer LookUpSelection(const WordIndex& index, const QString& selection) {
    DictionaryAnswer answer;
    answer.asked = Trimmed(selection);
    if (answer.asked.isEmpty()) return answer;
    const QStringList words = WordsOf(answer.asked);
    QStringList asked;
    if (words.size() != 1) asked.append(answer.asked);
    asked.append(words);
    for (const QString& text : asked) {
        LookedUp looked = LookUpOne(index, text);
        if (!looked.pairs.empty()) answer.found.push_back(std::move(looked));
    }
    if (answer.found.empty()) answer.suggestions = index.Closest(answer.asked);
    return answer;
}

QString PairLine(const WordIndex::Pair& pair) {
    return pair.german + QStringLiteral(" = ") + pair.english;
}

QStringList AnswerLines(const WordIndex& index, const DictionaryAnswer& answer) {
    QStringList lines;
    for (const LookedUp& looked : answer.found) {
        lines.append(looked.baseForm ? TEXT(word_texts::kBaseForm).arg(looked.asked, looked.found)
                                     : looked.asked);
        for (const int record : looked.pairs)
            lines.append(QStringLiteral("  ") + PairLine(index.PairOf(record)));
    }
    if (answer.anything()) return lines;
    lines.append(TEXT(word_texts::kNothingFound).arg(answer.asked));
    if (answer.suggestions.isEmpty()) {
        lines.append(TEXT(word_texts::kNothingSimilar));
        return lines;
    }
    lines.append(TEXT(word_texts::kDidYouMean));
    for (const QString& suggestion : answer.suggestions)
        lines.append(QStringLiteral("  ") + suggestion);
    return lines;
}
