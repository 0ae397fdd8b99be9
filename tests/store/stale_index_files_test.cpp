// Index files a later opening of their table left behind, built again at the
// close: only those whose order this run kept and whose file nobody wrote
// since, to the table as it is; a table that can no longer be opened costs
// nothing but the file, and no fault reaches the program's handler.
#include "store/stale_index_files.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/key_order.h"
#include "test_support.h"

#include <QFile>

namespace {

int RefreshAll() {
    int refreshed = 0;
    while (kesp::store::RefreshOneStaleIndexFile())
        ++refreshed;
    return refreshed;
}

// The birthday list's way: its orders built under its alias, kept at the close.
void BuildListOrders(const QString& table) {
    DBUSEAREA(true, table, QStringLiteral("list"));
    DBCREATEINDEX("ivorname", "UPPER(list->vorname)");
    DBCREATEINDEX("inr", "STR(NR,5)");
    LetTheClockPass(table);
    DBCLOSEALL();
}

// The address book's way: another opening of the table writes a record.
void RenameFirst(const QString& table, const QString& name) {
    DBUSEAREA(true, table, QStringLiteral("book"));
    DBGOTO(1);
    REPLACE("VORNAME", name);
    DBCOMMIT();
    DBCLOSEALL();
}

}  // namespace

TEST_F(StoreTest, IndexFilesAnotherOpeningLeftBehindAreBuiltAgainToTheTable) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta"});
    BuildListOrders(table);
    EXPECT_EQ(RefreshAll(), 0) << "nothing is stale while the table is as it was";

    RenameFirst(table, QStringLiteral("Aaron"));
    // Another program writes "inr" meanwhile: its file is left to it.
    const QByteArray theirs = ReadFile("inr.ntx");
    WriteFile("inr.ntx", theirs);
    DBUSEAREA(true, NamesTable({"Xaver"}, QStringLiteral("other.dbf")));
    const int current = SELECT();

    EXPECT_EQ(RefreshAll(), 1);
    EXPECT_EQ(SELECT(), current) << "the current area as it was";
    EXPECT_TRUE(USED());
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("inr.ntx"), theirs);

    const std::optional<kesp::store::IndexFileContent> file =
        kesp::store::KeyOrder::ReadContent(Path("ivorname.ntx"), true);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->records, (std::vector<std::uint32_t>{1, 2, 4, 3}));
    const std::optional<kesp::store::FileStamp> stamp = kesp::store::FileHandle::StampOf(table);
    ASSERT_TRUE(file->fit && stamp);
    EXPECT_EQ(file->fit->table, *stamp) << "written from the table as it is: current";
    EXPECT_EQ(file->fit->records, 4u);
    EXPECT_EQ(RefreshAll(), 0) << "built once";

    // And so taken as it is by the next opening under the list's alias.
    DBUSEAREA(true, table, QStringLiteral("list"));
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 4, 3}));
    DBCLOSEALL();
}

TEST_F(StoreTest, AStaleIndexFileWhoseTableCannotBeOpenedIsLeftWithoutAFault) {
    const QString table = NamesTable({"Dora", "anna"});
    BuildListOrders(table);
    RenameFirst(table, QStringLiteral("Aaron"));
    const QByteArray before = ReadFile("ivorname.ntx");
    WriteFile("names.dbf", "not a table");
    int handed = 0;
    kesp::SetFaultHandler([&handed](const kesp::Fault&) { ++handed; });

    EXPECT_EQ(RefreshAll(), 2) << "both stale files tried, and let go";
    EXPECT_EQ(handed, 0);
    EXPECT_EQ(ReadFile("ivorname.ntx"), before);
    EXPECT_FALSE(USED());
    EXPECT_TRUE(kesp::SetFaultHandler({})) << "the handler as it was";
}
