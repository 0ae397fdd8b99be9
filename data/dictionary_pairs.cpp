#include "data/dictionary_pairs.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace kesp {

LinePairs PairsOfLine(const QString& line) {
    LinePairs result;
    if (line.startsWith(u'#')) return result;
    // " :: ", or " ::" closing a line whose English side is empty.
    static const QRegularExpression separator(QStringLiteral(" ::(?: |$)"));
    const QRegularExpressionMatch sides = separator.match(line);
    if (!sides.hasMatch()) return result;
    const QStringList german = line.left(sides.capturedStart()).split(QStringLiteral(" | "));
    const QStringList english = line.mid(sides.capturedEnd()).split(QStringLiteral(" | "));
    if (german.size() != english.size()) {
        result.unmatched = static_cast<int>(std::max(german.size(), english.size()));
        return result;
    }
    for (qsizetype i = 0; i < german.size(); ++i)
        result.pairs.append({german[i].trimmed(), english[i].trimmed()});
    return result;
}

}  // namespace kesp
