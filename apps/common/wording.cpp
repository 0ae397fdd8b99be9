#include "apps/common/wording.h"

QString Say(const Wording& wording, const QString& value) {
    return TEXT(wording.before) + value + TEXT(wording.after);
}

bool IsBlank(const Texts& texts) {
    return texts.de.isEmpty() && texts.am.isEmpty() && texts.br.isEmpty();
}
