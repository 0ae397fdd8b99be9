#include "kernel/settings_record.h"

#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

void WriteSettingsRecord(const QString& table, const QString& alias,
                         const std::function<void()>& write) {
    KESP_OPERATION();
    DBUSEAREA(false, THE_DATA_PATH + table, alias);
    DBGOTOP();
    if (DBEOF()) DBAPPEND();
    write();
    DBCOMMIT();
    DBCLOSEAREA();
}
