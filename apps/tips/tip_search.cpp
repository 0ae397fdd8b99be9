#include "apps/tips/tip_search.h"

#include "apps/common/semicolon_csv.h"
#include "apps/common/window_texts.h"
#include "store/xbase.h"

#include <QSet>

namespace {

struct Tip {
    TipCopy copy;
    QString searched;  // the searched part in capitals, on one line
};

QList<Tip> TipsInOrder(const QString& alias, SearchedPart part) {
    QList<Tip> tips;
    for (DBGOTOP(); !DBEOF(); DBSKIP(1)) {
        Tip tip{.copy = {.record = RECNO(),
                         .title = TrimBlanks(FIELD(alias + "->TITEL").toString()),
                         .description = TrimBlanks(FIELD(alias + "->BEZ").toString())}};
        tip.searched =
            UPPER(part == SearchedPart::Title ? tip.copy.title : CsvLongText(tip.copy.description));
        tips.append(tip);
    }
    return tips;
}

}  // namespace

QStringList SearchWords(const QString& searchText) {
    QStringList words;
    for (const QString& word : searchText.split(u' ', Qt::SkipEmptyParts))
        if (!words.contains(word)) words.append(word);
    return words;
}

QList<TipCopy> TipsContaining(const QString& alias, const QStringList& words, SearchedPart part) {
    const QList<Tip> tips = TipsInOrder(alias, part);
    QList<TipCopy> found;
    QSet<int> taken;
    for (const QString& word : words) {
        for (const Tip& tip : tips) {
            if (taken.contains(tip.copy.record) || !tip.searched.contains(word)) continue;
            taken.insert(tip.copy.record);
            found.append(tip.copy);
        }
    }
    return found;
}
