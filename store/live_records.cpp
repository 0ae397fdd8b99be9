#include "store/live_records.h"

#include "store/dbf_table.h"
#include "store/work_area.h"
#include "store/xbase.h"

namespace kesp::store {

std::uint32_t NextLiveRecord(const DbfTable& table, std::uint32_t record) {
    while (++record <= table.RecordCount())
        if (!table.IsDeleted(record)) return record;
    return 0;
}

void ForEachLiveRecord(const DbfTable& table, const std::function<void(std::uint32_t)>& visit) {
    for (std::uint32_t record = NextLiveRecord(table, 0); record != 0;
         record = NextLiveRecord(table, record))
        visit(record);
}

std::uint32_t LiveRecordCount(const DbfTable& table) {
    return table.RecordCount() - table.DeletedCount();
}

}  // namespace kesp::store

void DBEVALLIVE(const std::function<void()>& visit) {
    const kesp::store::DbfTable& table = *kesp::store::areas::UsedArea("DBEVALLIVE").table;
    const int area = SELECT();
    const int here = RECNO();
    kesp::store::ForEachLiveRecord(table, [&](std::uint32_t record) {
        DBSELECTAREA(area);  // a visit may have gone to another area
        DBGOTO(static_cast<int>(record));
        visit();
    });
    DBSELECTAREA(area);
    DBGOTO(here);
}

int LIVECOUNT() {
    return static_cast<int>(
        kesp::store::LiveRecordCount(*kesp::store::areas::UsedArea("LIVECOUNT").table));
}

std::function<int()> LIVECOUNTWHERE(const QString& field) {
    const kesp::store::DbfTable& table = *kesp::store::areas::UsedArea("LIVECOUNTWHERE").table;
    const int index = table.FieldIndex(field);
    if (index < 0) {
        kesp::store::areas::RaiseStoreFault(1003, QStringLiteral("Variable does not exist"),
                                            field.trimmed());
    }
    return [&table, index] {
        int count = 0;
        kesp::store::ForEachLiveRecord(table, [&](std::uint32_t record) {
            if (table.ReadLogical(record, index)) ++count;
        });
        return count;
    };
}
