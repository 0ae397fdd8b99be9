#include "kernel/texts.h"

#include "kernel/public_variables.h"
#include "store/xbase.h"

QString TEXT(const Texts& texts) {
    if (EQ(THE_LANG, "DE")) return texts.de;
    if (EQ(THE_LANG, "BR")) return texts.br;
    return texts.am;
}

QString COUNTED(int count, const Texts& one, const Texts& many) {
    return TEXT(count == 1 ? one : many).arg(count);
}
