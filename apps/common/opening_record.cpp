#include "apps/common/opening_record.h"

#include "store/xbase.h"

#include <utility>

namespace {

int asked = 0;

}  // namespace

void AskToOpenOn(int record) {
    asked = record;
}

int TakeRecordToOpenOn() {
    const int record = std::exchange(asked, 0);
    if (record <= 0 || record > RECCOUNT()) return 0;
    const int here = RECNO();
    int deletedBefore = 0;
    for (int number = 1; number < record; ++number) {
        DBGOTO(number);
        if (DELETED()) ++deletedBefore;
    }
    DBGOTO(record);
    const bool gone = DELETED();
    DBGOTO(here);
    return gone ? 0 : record - deletedBefore;
}
