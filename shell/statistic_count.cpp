#include "shell/statistic_count.h"

#include "shell/table_readers.h"
#include "store/dbf_table.h"
#include "store/live_records.h"

#include <QFileInfo>

#include <atomic>
#include <map>

using kesp::store::DbfTable;

namespace {

// The table at `path` as it may be counted where it lies; nullptr when it
// has to be packed first or is held elsewhere.
std::unique_ptr<DbfTable> OpenToCount(const QString& path) {
    // A pack cut off between its renames is finished by the work area's open.
    if (QFileInfo::exists(path + QStringLiteral(".pack"))) return nullptr;
    std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    if (!table || table->DeletedCount() > 0) return nullptr;
    return table;
}

std::optional<long long> CountOn(const DbfTable& table, const RecordKind& kind,
                                 const KindStatistic& statistic, const QDate& today) {
    if (!statistic.today) return kesp::store::LiveRecordCount(table);
    const KindDate* date = DateOf(kind, *statistic.today);
    const int field = table.FieldIndex(date->field);
    const int only = date->onlyWhere.isEmpty() ? -1 : table.FieldIndex(date->onlyWhere);
    // A field the table lacks is the work area's fault to raise.
    if (field < 0 || (!date->onlyWhere.isEmpty() && only < 0)) return std::nullopt;
    long long counted = 0;
    kesp::store::ForEachLiveRecord(table, [&](std::uint32_t record) {
        if (only >= 0 && !table.ReadLogical(record, only)) return;
        if (DateValueFallsOnDayOfYear(table.ReadDate(record, field), date->meaning, today))
            ++counted;
    });
    return counted;
}

}  // namespace

std::optional<long long> CountWithoutPacking(const QString& path, const RecordKind& kind,
                                             const KindStatistic& statistic, const QDate& today) {
    const std::unique_ptr<DbfTable> table = OpenToCount(path);
    return table ? CountOn(*table, kind, statistic, today) : std::nullopt;
}

std::vector<std::optional<long long>> CountEachWithoutPacking(
    const std::vector<StatisticToCount>& wanted, const QDate& today) {
    std::vector<std::optional<long long>> counts(wanted.size());
    // One task a table: a table is opened once, by one thread.
    std::map<QString, std::vector<std::size_t>> byTable;
    for (std::size_t at = 0; at < wanted.size(); ++at)
        byTable[wanted[at].path].push_back(at);
    const std::vector<std::pair<QString, std::vector<std::size_t>>> tasks(byTable.begin(),
                                                                          byTable.end());
    // A table another reading holds would be left to the work area.
    WaitForTableReaders();
    // A task that raised a fault leaves its figures to the work area, which
    // raises it again on the caller's thread.
    TableReaders readers(tasks.size(), [&](std::size_t task, const std::atomic<bool>&) {
        const auto& [path, statistics] = tasks[task];
        const std::unique_ptr<DbfTable> table = OpenToCount(path);
        if (!table) return;
        for (const std::size_t at : statistics)
            counts[at] = CountOn(*table, *wanted[at].kind, *wanted[at].statistic, today);
    });
    readers.Wait();
    for (std::size_t task = 0; task < tasks.size(); ++task)
        if (readers.faulted(task))
            for (const std::size_t at : tasks[task].second)
                counts[at] = std::nullopt;
    return counts;
}
