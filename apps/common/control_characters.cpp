#include "apps/common/control_characters.h"

bool IsControlCharacter(QChar c) {
    const char16_t code = c.unicode();
    return (code < 0x20 && code != u'\t') || code == 0x7F;
}

QString ControlCharactersAsBlanks(QString text) {
    for (QChar& c : text) {
        if (IsControlCharacter(c) && c != u'\r' && c != u'\n') c = u' ';
    }
    return text;
}
