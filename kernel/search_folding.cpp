#include "kernel/search_folding.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// The folded form of one character: nothing, one character or two.
QString FoldedCharacter(QChar c, bool spelled) {
    if (c.isSpace() || c.category() == QChar::Other_Control) return QStringLiteral(" ");
    const QChar lower = c.toLower();
    switch (lower.unicode()) {
        case u'ß':
            return QStringLiteral("ss");
        case u'æ':
            return QStringLiteral("ae");
        case u'œ':
            return QStringLiteral("oe");
        case u'ø':
            return QStringLiteral("o");
        case u'ä':
            return spelled ? QStringLiteral("ae") : QStringLiteral("a");
        case u'ö':
            return spelled ? QStringLiteral("oe") : QStringLiteral("o");
        case u'ü':
            return spelled ? QStringLiteral("ue") : QStringLiteral("u");
        default:
            break;
    }
    if (lower.decompositionTag() == QChar::Canonical) {
        const QString parts = lower.decomposition();
        if (!parts.isEmpty()) return parts.left(1);
    }
    return QString(lower);
}

// Most text is ASCII: its characters fold without a look at the Unicode tables.
QByteArray Folded(const QString& text, bool spelled) {
    QByteArray folded;
    folded.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80) {
            if (code >= 'A' && code <= 'Z')
                folded += static_cast<char>(code + ('a' - 'A'));
            else if (code < 0x20 || code == 0x7f)
                folded += ' ';
            else
                folded += static_cast<char>(code);
            continue;
        }
        folded += FoldedCharacter(c, spelled).toUtf8();
    }
    return folded;
}

// The folded text with, for each of its characters, the index of the
// character of `text` it came from.
struct MappedFold {
    QString folded;
    std::vector<int> origin;
};

MappedFold FoldMapped(const QString& text, bool spelled) {
    MappedFold mapped;
    for (int i = 0; i < text.size(); ++i) {
        const QString part = FoldedCharacter(text.at(i), spelled);
        mapped.folded += part;
        mapped.origin.insert(mapped.origin.end(), part.size(), i);
    }
    return mapped;
}

void AddRangesOf(const QString& word, const MappedFold& mapped,
                 QList<std::pair<int, int>>& ranges) {
    if (word.isEmpty()) return;
    for (qsizetype at = mapped.folded.indexOf(word); at >= 0;
         at = mapped.folded.indexOf(word, at + 1)) {
        const int first = mapped.origin[at];
        const int last = mapped.origin[at + word.size() - 1];
        ranges.append({first, last + 1});
    }
}

}  // namespace

QByteArray FoldPlain(const QString& text) {
    return Folded(text, false);
}

QByteArray FoldSpelled(const QString& text) {
    return Folded(text, true);
}

std::vector<FoldedWord> FoldedWords(const QString& typed) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::vector<FoldedWord> words;
    for (const QString& word : typed.split(blanks, Qt::SkipEmptyParts)) {
        FoldedWord folded{FoldPlain(word).trimmed(), FoldSpelled(word).trimmed()};
        if (!folded.plain.isEmpty()) words.push_back(std::move(folded));
    }
    return words;
}

QList<std::pair<int, int>> WordRanges(const QString& text, const std::vector<FoldedWord>& words) {
    const MappedFold plain = FoldMapped(text, false);
    const MappedFold spelled = FoldMapped(text, true);
    QList<std::pair<int, int>> ranges;
    for (const FoldedWord& word : words) {
        for (const QByteArray& form : {word.plain, word.spelled}) {
            const QString wanted = QString::fromUtf8(form);
            AddRangesOf(wanted, plain, ranges);
            AddRangesOf(wanted, spelled, ranges);
        }
    }
    std::sort(ranges.begin(), ranges.end());
    QList<std::pair<int, int>> merged;
    for (const auto& range : ranges) {
        if (!merged.isEmpty() && range.first <= merged.last().second)
            merged.last().second = std::max(merged.last().second, range.second);
        else
            merged.append(range);
    }
    return merged;
}
