// Orders of index files as this process last held them, kept when their
// table closes: an opening in the same run that finds the table file and the
// index file as they were takes the order back without reading the index
// file (the agenda reopens its order for each of its views, and again after
// a report closed every table).
//
// It promises: an order is handed back only for the same index file path
// and key text, with the table file (device, inode, size, times), its record
// count and the date format as they were, and the index file unchanged since;
// and only when the table's last change came before the keeping (a change
// within the same tick of the clock would not show in the stamp; see
// known_marks.h). Orders are kept up to a bound on their memory, the oldest
// let go first.
//
// Main thread only: work areas keep and take orders.
#pragma once

#include "store/file_handle.h"
#include "store/key_order.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

namespace kesp::store {

// What an order was built from: its table as committed and its index file.
struct KnownOrderFit {
    IndexFit table;
    FileStamp indexFile;
    QString keyText;
    friend bool operator==(const KnownOrderFit&, const KnownOrderFit&) = default;
};

// The table an order was built on, as it was opened: to build it again.
struct KnownOrderTable {
    QString path;
    QString alias;
};

// Keeps `keys`, its index file holding it, built from `fit` as it was at
// `keptNs` (MarksClockNs) on `table`.
void KeepKnownOrder(const QString& indexPath, const KnownOrderFit& fit, std::int64_t keptNs,
                    std::unique_ptr<KeyOrder> keys, const KnownOrderTable& table);

// An index file whose kept order its table has left behind: the table file
// changed since the keeping (another opening of it wrote), the index file
// did not.
struct StaleIndexFile {
    QString indexPath;
    QString keyText;
    QString dateFormat;
    KnownOrderTable table;
};

// The oldest kept order that is stale; taken, so kept no longer.
std::optional<StaleIndexFile> TakeStaleKnownOrder();

// The order kept for the index file at `indexPath`, when `fit` is what it was
// kept with; taken, so kept no longer. Keys on a field read the records of
// the table they were built on: the caller points them at the table now open.
std::unique_ptr<KeyOrder> TakeKnownOrder(const QString& indexPath, const KnownOrderFit& fit);

// The memory the kept orders may hold together.
inline constexpr std::size_t kKnownOrdersBytes = std::size_t{96} << 20;

}  // namespace kesp::store
