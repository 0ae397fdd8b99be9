#include "store/number_followers.h"

#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/live_records.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <memory>

namespace kesp::store {

namespace {

std::vector<NumberFollower>& Followers() {
    static std::vector<NumberFollower> followers;
    return followers;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::vector<NumberFollower> FollowersOf(const QString& tablePath) {
    const QString file = QFileInfo(tablePath).fileName();
    std::vector<NumberFollower> found;
    for (const NumberFollower& follower : Followers())
        if (SameName(follower.table, file)) found.push_back(follower);
    return found;
}

void Renumber(const QString& path, const QString& numberField,
              const std::vector<std::uint32_t>& numbers) {
    if (!QFileInfo::exists(path)) return;
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path);
    if (!table) return;  // held by another program
    const int field = table->FieldIndex(numberField);
    if (field < 0) return;
    bool changed = false;
    ForEachLiveRecord(*table, [&](std::uint32_t row) {
        const double before = table->Read(row, field).toDouble();
        if (before < 1 || before > double(numbers.size()) || before != std::floor(before)) return;
        const std::uint32_t after = numbers[std::size_t(before) - 1];
        if (double(after) == before) return;
        table->Write(row, field, double(after));
        changed = true;
    });
    if (changed) table->Commit();
}

}  // namespace

void FollowRecordNumbers(const NumberFollower& follower) {
    const bool known =
        std::any_of(Followers().begin(), Followers().end(), [&](const NumberFollower& f) {
            return SameName(f.table, follower.table) && SameName(f.follower, follower.follower) &&
                   SameName(f.numberField, follower.numberField);
        });
    if (!known) Followers().push_back(follower);
}

bool HasNumberFollowers(const QString& tablePath) {
    return !FollowersOf(tablePath).empty();
}

void RenumberFollowers(const QString& tablePath, const std::vector<std::uint32_t>& numbers) {
    const QDir folder = QFileInfo(tablePath).dir();
    for (const NumberFollower& follower : FollowersOf(tablePath)) {
        try {
            Renumber(folder.filePath(follower.follower), follower.numberField, numbers);
        } catch (const WriteFailure&) {
            // The commit left the follower as it was; its owner checks numbers anyway.
        }
    }
}

}  // namespace kesp::store
