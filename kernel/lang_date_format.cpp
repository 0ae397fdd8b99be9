#include "kernel/lang_date_format.h"

#include "kernel/texts.h"

QString LANG_DATEFORMAT() {
    return TEXT({"dd.mm.yyyy", "mm/dd/yyyy", "dd/mm/yyyy"});
}
