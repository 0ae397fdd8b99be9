#include "toolkit/text_wrapping.h"

#include <QPlainTextEdit>
#include <QTextOption>

namespace kesp {

bool HoldsUnbreakableRun(const QString& text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWrappedWord) return true;
    }
    return false;
}

void ChooseWrapping(QPlainTextEdit* edit, const QString& text, bool adding) {
    if (edit->lineWrapMode() == QPlainTextEdit::NoWrap) return;
    if (HoldsUnbreakableRun(text)) {
        edit->setWordWrapMode(QTextOption::WrapAnywhere);
    } else if (!adding) {
        edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}

}  // namespace kesp
