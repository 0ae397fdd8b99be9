// One figure of the main window's statistics counted straight from its
// table, opened only to look at it (DbfTable::Purpose::Inspect): the table's
// pages are read where the file cache holds them, and each record's date and
// flag from its bytes, without a work area.
//
// Promises:
// - A count is the one HAUPT_STATISTIK shows after packing the table: the
//   live records, or those whose date falls on today's day and month
//   (DateFallsOnDayOfYear).
// - Nothing is written. A table that holds records marked deleted, or that
//   another holder has, or whose pack was cut off, is not counted here: the statistics pack it
//   first, through its work area.
// - A missing or damaged table raises its fault as opening it in a work area
//   does.
//
// CountWithoutPacking runs on any thread: it raises its faults as
// FaultException on a thread without a fault handler. CountEachWithoutPacking
// is called from the event loop and returns when every figure is counted.
#pragma once

#include "apps/common/record_kind.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// The figure of `statistic` for the table at `path`; nothing when the table
// has to be packed first or is held elsewhere.
std::optional<long long> CountWithoutPacking(const QString& path, const RecordKind& kind,
                                             const KindStatistic& statistic, const QDate& today);

struct StatisticToCount {
    QString path;
    const RecordKind* kind;
    const KindStatistic* statistic;
};

// Each figure as CountWithoutPacking gives it, counted on the two threads of
// TableReaders while the caller waits (table_readers.h), once no other
// reading holds a table; nothing also where counting raised a fault, which
// opening the table in a work area raises again on the caller's thread.
std::vector<std::optional<long long>> CountEachWithoutPacking(
    const std::vector<StatisticToCount>& wanted, const QDate& today);
