// Index files read ahead of their orders: the orders opened from what was
// read are those read on the loop, for keys of a field, of a date field and
// of an expression, and a file replaced after it was read is read again.
#include "store/index_read_ahead.h"
#include "store/key_order.h"
#include "test_support.h"

namespace {

using kesp::store::ReadIndexFilesAhead;
using kesp::store::TakeReadAhead;

}  // namespace

TEST_F(StoreTest, OrdersOpenedFromFilesReadAheadAreThoseReadOnTheLoop) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta", "anna"});
    const QStringList files = {"ivorname", "igeburt", "inr", "imonat"};
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCREATEINDEX("igeburt", "GEBURT");
    DBCREATEINDEX("inr", "STR(NR,5)");
    DBCREATEINDEX("imonat", "STR(MONTH(GEBURT),2)+UPPER(vorname)");
    DBCLOSEALL();
    const QList<QList<int>> expected = {
        {2, 5, 4, 3, 1}, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}, {2, 5, 4, 3, 1}};
    // The files' bytes again under new stamps: the orders kept past the
    // close no longer stand for them, and opening them reads the files.
    for (const QString& file : files)
        WriteFile(file + ".ntx", ReadFile(file + ".ntx"));
    LetTheClockPass(Path("inr.ntx"));

    ReadIndexFilesAhead(Path(""), files + QStringList{"imissing"});
    for (qsizetype at = 0; at < files.size(); ++at) {
        DBUSEAREA(true, table);
        ORDLISTADD(files[at]);
        EXPECT_EQ(OrderOfAllRecords(), expected[at]) << files[at].toStdString();
        DBCLOSEALL();
        // Taken by the order (or found without the keys it needs), so nothing is left.
        EXPECT_FALSE(TakeReadAhead(Path(files[at] + ".ntx"), false)) << files[at].toStdString();
    }
    EXPECT_FALSE(TakeReadAhead(Path("imissing.ntx"), false));
    EXPECT_FALSE(TakeReadAhead(Path("inot_named.ntx"), false));

    // Read ahead and never taken: the next reading drops it.
    ReadIndexFilesAhead(Path(""), files);
    ReadIndexFilesAhead(Path(""), {"ivorname", "inr", "imonat"});
    EXPECT_FALSE(TakeReadAhead(Path("igeburt.ntx"), false));
    EXPECT_TRUE(TakeReadAhead(Path("ivorname.ntx"), false));
    // Keys of expressions come laid out as their orders hold them.
    for (const char* file : {"inr.ntx", "imonat.ntx"}) {
        const std::optional<kesp::store::IndexFileContent> ahead = TakeReadAhead(Path(file), true);
        ASSERT_TRUE(ahead) << file;
        ASSERT_TRUE(ahead->taken) << file;
        EXPECT_EQ(ahead->taken->order, (std::vector<std::uint32_t>(ahead->records))) << file;
    }
}

TEST_F(StoreTest, AnIndexFileReplacedAfterItWasReadAheadIsReadAgain) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta"});
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", "STR(NR,5)");
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCLOSEALL();
    LetTheClockPass(Path("ivorname.ntx"));

    // A file whose keys are in order but two of whose records are swapped:
    // nothing tells it from the true one but its stamp.
    const QByteArray whole = ReadFile("inr.ntx");
    const std::optional<kesp::store::IndexFileContent> content =
        kesp::store::KeyOrder::ReadContent(Path("inr.ntx"), false);
    ASSERT_TRUE(content);
    ASSERT_EQ(content->records, (std::vector<std::uint32_t>{1, 2, 3, 4}));
    const QByteArray records(reinterpret_cast<const char*>(content->records.data()), 16);
    const qsizetype at = whole.indexOf(records);
    ASSERT_GT(at, 0);
    QByteArray lying = whole;
    lying.replace(at, 8, records.mid(4, 4) + records.mid(0, 4));
    WriteFile("inr.ntx", lying);
    LetTheClockPass(Path("inr.ntx"));

    // Read ahead as it lies, then put right before the order opens.
    ReadIndexFilesAhead(Path(""), {"inr", "ivorname"});
    ASSERT_TRUE(TakeReadAhead(Path("ivorname.ntx"), false));  // read after "inr"
    WriteFile("inr.ntx", whole);
    LetTheClockPass(Path("inr.ntx"));
    DBUSEAREA(true, table);
    ORDLISTADD("inr");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3, 4}));
    DBCLOSEALL();
}
