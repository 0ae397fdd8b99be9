#include "kernel/t_close.h"

#include "store/xbase.h"
#include "toolkit/operation_trail.h"

void T_CLOSE() {
    KESP_OPERATION();
    DBCLOSEALL();
}
