// Tables that keep another table's record numbers follow its packs: kept
// records' numbers renumbered, removed ones 0, foreign numbers and deleted
// rows left alone, and a follower that is missing or not named stays as it is.
#include "store/number_followers.h"
#include "test_support.h"

#include <QFile>

namespace {

// A follower table: one row per number in `numbers`, the last `deleted` rows
// marked deleted.
QString Follower(const QString& path, const QList<int>& numbers, int deleted = 0) {
    kesp::CreateTable(path, {{"SATZ", 'N', 10, 0}, {"WHAT", 'C', 10, 0}});
    DBUSEAREA(true, path, "follower");
    for (int i = 0; i < numbers.size(); ++i) {
        DBAPPEND();
        REPLACE("follower->SATZ", double(numbers[i]));
        REPLACE("follower->WHAT", QString::number(numbers[i]));
        if (i >= numbers.size() - deleted) DBDELETE();
    }
    DBCOMMIT();
    DBCLOSEAREA();
    return path;
}

QList<int> Numbers(const QString& path) {
    QList<int> numbers;
    DBUSEAREA(true, path, "follower");
    for (int row = 1; row <= RECCOUNT(); ++row) {
        DBGOTO(row);
        numbers.append(int(FIELD("follower->SATZ").toDouble()));
    }
    DBCLOSEAREA();
    return numbers;
}

// Deletes the records of `table` whose names are in `names`, then packs it.
void DeleteAndPack(const QString& table, const QStringList& names) {
    DBUSEAREA(true, table, "packed");
    for (int row = 1; row <= RECCOUNT(); ++row) {
        DBGOTO(row);
        if (names.contains(FIELD("packed->VORNAME").toString().trimmed())) DBDELETE();
    }
    __DBPACK();
    DBCLOSEAREA();
}

TEST_F(StoreTest, AFollowerIsRenumberedAsThePackRenumberedTheRecords) {
    const QString table = NamesTable({"Ann", "Bob", "Cid", "Dan", "Eve"}, "followed.dbf");
    // Rows for each record, one beyond the table, a blank one and a deleted one.
    const QString follower = Follower(Path("follows.dbf"), {5, 3, 2, 1, 4, 9, 0, 3}, 1);
    kesp::store::FollowRecordNumbers({"FOLLOWED.DBF", "follows.dbf", "satz"});
    kesp::store::FollowRecordNumbers({"followed.dbf", "follows.dbf", "SATZ"});
    EXPECT_TRUE(kesp::store::HasNumberFollowers(table));

    DeleteAndPack(table, {"Bob", "Dan"});
    EXPECT_EQ(Numbers(follower), QList<int>({3, 2, 0, 1, 0, 9, 0, 3}));
    DeleteAndPack(table, {"Ann"});
    EXPECT_EQ(Numbers(follower), QList<int>({2, 1, 0, 0, 0, 9, 0, 3}));
    // A pack that removes nothing changes nothing.
    DeleteAndPack(table, {});
    EXPECT_EQ(Numbers(follower), QList<int>({2, 1, 0, 0, 0, 9, 0, 3}));
}

TEST_F(StoreTest, APackLeavesTablesThatAreNoFollowersOfItAsTheyAre) {
    const QString table = NamesTable({"Ann", "Bob", "Cid"}, "unfollowed.dbf");
    Follower(Path("other.dbf"), {2, 3});
    EXPECT_FALSE(kesp::store::HasNumberFollowers(table));
    const QByteArray before = ReadFile("other.dbf");
    DeleteAndPack(table, {"Ann"});
    EXPECT_EQ(ReadFile("other.dbf"), before);

    // A named follower that is not there is not made.
    const QString lonely = NamesTable({"Ann", "Bob"}, "lonely.dbf");
    kesp::store::FollowRecordNumbers({"lonely.dbf", "absent.dbf", "SATZ"});
    DeleteAndPack(lonely, {"Ann"});
    EXPECT_FALSE(QFile::exists(Path("absent.dbf")));
    DBUSEAREA(true, lonely, "lonely");
    EXPECT_EQ(RECCOUNT(), 1);
}

}  // namespace
