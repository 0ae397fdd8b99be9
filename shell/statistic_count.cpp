#include "shell/statistic_count.h"

#include "shell/kept_figures.h"
#include "shell/table_readers.h"
#include "store/dbf_table.h"
#include "store/known_marks.h"
#include "store/live_records.h"
#include "toolkit/beside_the_loop.h"

#include <QFileInfo>

#include <atomic>
#include <map>

using kesp::store::DbfTable;

namespace {

// The table at `path` as it may be counted where it lies; nullptr when it
// has to be packed first or is held elsewhere.
std::unique_ptr<DbfTable> OpenToCount(const QString& path) {
    std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    if (!table || table->DeletedCount() > 0) return nullptr;
    return table;
}

// A pack cut off between its renames is finished by the work area's open.
bool PackCutOff(const QString& path) {
    return QFileInfo::exists(path + QStringLiteral(".pack"));
}

// The key of a date among a table's figures: the field and the flag it is
// counted by.
QString DateKey(const KindDate& date) {
    return date.field + QLatin1Char('|') + date.onlyWhere;
}

// The figures `statistics` take from the table: its live records and, for
// each date they ask about, the records falling on each day of the year;
// nothing when the table lacks a field (the work area's fault to raise).
std::optional<TableFigures> CountFigures(const DbfTable& table, const RecordKind& kind,
                                         const std::vector<const KindStatistic*>& statistics) {
    TableFigures figures;
    figures.live = kesp::store::LiveRecordCount(table);
    for (const KindStatistic* statistic : statistics) {
        if (!statistic->today) continue;
        const KindDate* date = DateOf(kind, *statistic->today);
        const int field = table.FieldIndex(date->field);
        const int only = date->onlyWhere.isEmpty() ? -1 : table.FieldIndex(date->onlyWhere);
        if (field < 0 || (!date->onlyWhere.isEmpty() && only < 0)) return std::nullopt;
        DayOfYearCounts& days = figures.days[DateKey(*date)];
        days.fill(0);
        kesp::store::ForEachLiveRecord(table, [&](std::uint32_t record) {
            if (only >= 0 && !table.ReadLogical(record, only)) return;
            const QDate value = table.ReadDate(record, field);
            if (value.isValid()) ++days[DayOfYearSlot(value.month(), value.day())];
        });
    }
    return figures;
}

// Whether the figures hold every date `statistics` ask about (figures kept
// by a program that asked about fewer do not).
bool Covers(const TableFigures& figures, const RecordKind& kind,
            const std::vector<const KindStatistic*>& statistics) {
    for (const KindStatistic* statistic : statistics)
        if (statistic->today && !figures.days.contains(DateKey(*DateOf(kind, *statistic->today))))
            return false;
    return true;
}

// The figure of `statistic` on `today`: a day of the year counts when a date
// on it falls on today as DateValueFallsOnDayOfYear has it (a leap year
// stands for every year: it holds every day).
long long FigureOf(const TableFigures& figures, const RecordKind& kind,
                   const KindStatistic& statistic, const QDate& today) {
    if (!statistic.today) return figures.live;
    const KindDate* date = DateOf(kind, *statistic.today);
    const DayOfYearCounts& days = figures.days.at(DateKey(*date));
    long long counted = 0;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= 31; ++day) {
            const std::uint32_t count = days[DayOfYearSlot(month, day)];
            if (count > 0 &&
                DateValueFallsOnDayOfYear(QDate(2000, month, day), date->meaning, today))
                counted += count;
        }
    }
    return counted;
}

}  // namespace

std::optional<long long> CountWithoutPacking(const QString& path, const RecordKind& kind,
                                             const KindStatistic& statistic, const QDate& today) {
    if (PackCutOff(path)) return std::nullopt;
    const std::unique_ptr<DbfTable> table = OpenToCount(path);
    if (!table) return std::nullopt;
    const std::optional<TableFigures> figures = CountFigures(*table, kind, {&statistic});
    return figures ? std::optional(FigureOf(*figures, kind, statistic, today)) : std::nullopt;
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
    // The figures of the tables in the first one's folder are kept there.
    const QString folder =
        tasks.empty() ? QString() : QFileInfo(tasks.front().first).absolutePath();
    KeptFigures kept = KeptFigures::ReadFrom(folder);
    struct Counted {
        QString name;
        kesp::store::FileStamp stamp;
        std::int64_t beganNs = 0;
        TableFigures figures;
    };
    std::vector<std::optional<Counted>> counted(tasks.size());
    // A table another reading holds would be left to the work area.
    WaitForTableReaders();
    // A task that raised a fault leaves its figures to the work area, which
    // raises it again on the caller's thread.
    TableReaders readers(tasks.size(), [&](std::size_t task, const std::atomic<bool>&) {
        const auto& [path, statistics] = tasks[task];
        const RecordKind& kind = *wanted[statistics.front()].kind;
        if (PackCutOff(path)) return;
        const QFileInfo file(path);
        const bool keptHere = file.absolutePath() == folder;
        const std::int64_t beganNs = kesp::store::MarksClockNs();
        std::vector<const KindStatistic*> asked;
        for (const std::size_t at : statistics)
            asked.push_back(wanted[at].statistic);
        std::optional<TableFigures> figures;
        {
            // Held elsewhere, it is the work area's to count; unchanged since
            // its last count, its figures are those.
            kesp::store::FileHandle look = kesp::store::FileHandle::OpenForReading(path);
            if (!look.TryLockExclusive()) return;
            const std::optional<kesp::store::FileStamp> stamp = look.Stamp();
            if (keptHere && stamp) figures = kept.Find(file.fileName(), *stamp);
            if (figures && !Covers(*figures, kind, asked)) figures.reset();
        }
        if (!figures) {
            const std::unique_ptr<DbfTable> table = OpenToCount(path);
            if (!table) return;
            figures = CountFigures(*table, kind, asked);
            if (!figures) return;
            const std::optional<kesp::store::FileStamp> stamp = table->CommittedStamp();
            if (keptHere && stamp)
                counted[task] = Counted{file.fileName(), *stamp, beganNs, *figures};
        }
        for (const std::size_t at : statistics)
            counts[at] = FigureOf(*figures, kind, *wanted[at].statistic, today);
    });
    // The windows are painted meanwhile; the figures are shown once all are in.
    kesp::TurnTheLoopWhile([&readers] { return readers.running(); });
    readers.Wait();
    bool anyCounted = false;
    for (std::size_t task = 0; task < tasks.size(); ++task) {
        if (readers.faulted(task)) {
            for (const std::size_t at : tasks[task].second)
                counts[at] = std::nullopt;
        } else if (counted[task]) {
            kept.Keep(counted[task]->name, counted[task]->stamp, counted[task]->beganNs,
                      std::move(counted[task]->figures));
            anyCounted = true;
        }
    }
    // A file the system refuses to write costs the next run a count, nothing else.
    if (anyCounted) kept.WriteTo(folder);
    return counts;
}
