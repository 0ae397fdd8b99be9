#include "store/known_orders.h"

#include <list>

namespace kesp::store {
namespace {

struct Kept {
    QString indexPath;
    KnownOrderFit fit;
    std::int64_t keptNs = 0;
    std::unique_ptr<KeyOrder> keys;
    KnownOrderTable table;
};

// The oldest first.
std::list<Kept>& KeptOrders() {
    static std::list<Kept> kept;
    return kept;
}

std::list<Kept>::iterator Find(const QString& indexPath) {
    std::list<Kept>& kept = KeptOrders();
    for (auto it = kept.begin(); it != kept.end(); ++it)
        if (it->indexPath == indexPath) return it;
    return kept.end();
}

}  // namespace

void KeepKnownOrder(const QString& indexPath, const KnownOrderFit& fit, std::int64_t keptNs,
                    std::unique_ptr<KeyOrder> keys, const KnownOrderTable& table) {
    std::list<Kept>& kept = KeptOrders();
    if (const auto old = Find(indexPath); old != kept.end()) kept.erase(old);
    // Kept only when a later change of the table shows in its stamp.
    const bool sure = fit.table.table.ChangedBefore(keptNs);
    if (!sure || keys->bytesHeld() > kKnownOrdersBytes) return;
    kept.push_back({indexPath, fit, keptNs, std::move(keys), table});
    std::size_t held = 0;
    for (const Kept& one : kept)
        held += one.keys->bytesHeld();
    while (held > kKnownOrdersBytes) {
        held -= kept.front().keys->bytesHeld();
        kept.pop_front();
    }
}

std::unique_ptr<KeyOrder> TakeKnownOrder(const QString& indexPath, const KnownOrderFit& fit) {
    std::list<Kept>& kept = KeptOrders();
    const auto found = Find(indexPath);
    if (found == kept.end()) return nullptr;
    std::unique_ptr<KeyOrder> keys = std::move(found->keys);
    const bool same = found->fit == fit;
    kept.erase(found);
    return same ? std::move(keys) : nullptr;
}

std::optional<StaleIndexFile> TakeStaleKnownOrder() {
    std::list<Kept>& kept = KeptOrders();
    for (auto it = kept.begin(); it != kept.end(); ++it) {
        const std::optional<FileStamp> table = FileHandle::StampOf(it->table.path);
        const std::optional<FileStamp> index = FileHandle::StampOf(it->indexPath);
        if (!table || *table == it->fit.table.table || index != it->fit.indexFile) continue;
        StaleIndexFile stale{it->indexPath, it->fit.keyText, it->fit.table.dateFormat, it->table};
        kept.erase(it);
        return stale;
    }
    return std::nullopt;
}

}  // namespace kesp::store
