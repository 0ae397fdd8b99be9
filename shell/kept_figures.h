// The statistics' figures of each table as its last count found them, kept
// in a file of the data folder from one run to the next: a table whose file
// is as it was then gives its figures without being read again, so that the
// main window shows them at the start without reading every table.
//
// A table's figures are its live records and, for each date the statistics
// ask about, how many of its records fall on each day of the year: the
// figure of any day is taken from them, so they serve tomorrow as well.
//
// Promises:
// - Figures are handed back only for the same file (device, inode) with the
//   same size and times, and only when its last change came before the
//   count began (a change within the same tick of the clock as the count's
//   beginning would not show in the stamp).
// - A damaged, cut-short or foreign file of figures is taken as empty: the
//   tables are counted again. It is written through a file beside it and
//   replaces the old one whole; a write the system refuses leaves the old
//   one, and the tables are counted again at the next run.
#pragma once

#include "store/file_handle.h"

#include <QString>

#include <array>
#include <cstdint>
#include <map>
#include <optional>

// The file in the data folder.
inline constexpr char kKeptFiguresFile[] = "statistik.fig";

// How many records fall on each day and month (of any year):
// [(month - 1) * 31 + day - 1].
using DayOfYearCounts = std::array<std::uint32_t, 12 * 31>;

inline std::size_t DayOfYearSlot(int month, int day) {
    return static_cast<std::size_t>((month - 1) * 31 + day - 1);
}

struct TableFigures {
    long long live = 0;
    // By the date's key (statistic_count.cpp): field and flag it is counted by.
    std::map<QString, DayOfYearCounts> days;
};

class KeptFigures {
  public:
    // The figures kept in `folder`; none when there is no usable file.
    static KeptFigures ReadFrom(const QString& folder);

    // The figures of the table file `name` when the file is still as counted.
    std::optional<TableFigures> Find(const QString& name,
                                     const kesp::store::FileStamp& stamp) const;
    // The figures of the table file `name` as counted from `countBeganNs`
    // (kesp::store::MarksClockNs) on, its file then as `stamp` says.
    void Keep(const QString& name, const kesp::store::FileStamp& stamp, std::int64_t countBeganNs,
              TableFigures figures);

    // Replaces the file in `folder` with the figures kept; false when the
    // system refused (the old file is then left as it was).
    bool WriteTo(const QString& folder) const;

  private:
    struct Entry {
        kesp::store::FileStamp stamp;
        std::int64_t countBeganNs = 0;
        TableFigures figures;
    };
    std::map<QString, Entry> entries_;
};
