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

// The folded forms of the characters below U+0100, where nearly all stored
// text lies (the tables are Windows-1252): each looked up, not worked out.
struct LatinFolds {
    QByteArray plain[256];
    QByteArray spelled[256];
    LatinFolds() {
        for (int code = 0; code < 256; ++code) {
            plain[code] = FoldedCharacter(QChar(code), false).toUtf8();
            spelled[code] = FoldedCharacter(QChar(code), true).toUtf8();
        }
    }
};

const LatinFolds& Latin() {
    static const LatinFolds folds;
    return folds;
}

// Appends the folded form of `text`; true when its spelled-out form differs.
bool AppendFolded(std::string& out, QStringView text, bool spelled) {
    const LatinFolds& latin = Latin();
    const QByteArray* table = spelled ? latin.spelled : latin.plain;
    bool differs = false;
    out.reserve(out.size() + static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x80) {
            if (code >= 'A' && code <= 'Z')
                out += static_cast<char>(code + ('a' - 'A'));
            else if (code < 0x20 || code == 0x7f)
                out += ' ';
            else
                out += static_cast<char>(code);
            continue;
        }
        if (code < 0x100) {
            const QByteArray& folded = table[code];
            out.append(folded.constData(), static_cast<std::size_t>(folded.size()));
            differs = differs || folded != latin.spelled[code];
            continue;
        }
        const QByteArray folded = FoldedCharacter(c, spelled).toUtf8();
        out.append(folded.constData(), static_cast<std::size_t>(folded.size()));
        differs = differs || folded != FoldedCharacter(c, true).toUtf8();
    }
    return differs;
}

QByteArray Folded(const QString& text, bool spelled) {
    std::string folded;
    AppendFolded(folded, text, spelled);
    return QByteArray(folded.data(), static_cast<qsizetype>(folded.size()));
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

bool AppendFoldedPlain(std::string& out, QStringView text) {
    return AppendFolded(out, text, false);
}

void AppendFoldedSpelled(std::string& out, QStringView text) {
    AppendFolded(out, text, true);
}

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
