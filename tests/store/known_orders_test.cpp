// Orders kept past their table's closing: handed back only while the table,
// the index file, the key text and the date format are as they were, and
// only when the table's last change came before the keeping; kept orders
// let go of the oldest beyond their memory bound. Through the work areas, an
// order taken back reads the table opened again.
#include "store/known_orders.h"
#include "store/dbf_table.h"
#include "test_support.h"

#include <memory>

namespace {

using kesp::store::KeyOrder;
using kesp::store::KnownOrderFit;

constexpr std::int64_t kSecond = 1000000000;

KnownOrderFit FitAt(std::int64_t tableChangedNs) {
    KnownOrderFit fit;
    fit.table.table = {1, 2, 3000, tableChangedNs, tableChangedNs};
    fit.table.records = 3;
    fit.table.dateFormat = QStringLiteral("dd.mm.yyyy");
    fit.indexFile = {1, 5, 700, tableChangedNs + kSecond, tableChangedNs + kSecond};
    fit.keyText = QStringLiteral("DTOS(datum)");
    return fit;
}

std::unique_ptr<KeyOrder> OrderOf(int records) {
    auto order = std::make_unique<KeyOrder>(QStringLiteral("/d/i.ntx"), QStringLiteral("x"));
    order->Build(static_cast<std::uint32_t>(records), [](std::uint32_t r) {
        return r % 2 ? std::string_view("b") : std::string_view("a");
    });
    return order;
}

}  // namespace

TEST(KnownOrders, AreHandedBackOnlyAsTheyWereKeptAndOnlyOnce) {
    const KnownOrderFit fit = FitAt(100 * kSecond);
    const std::int64_t later = 101 * kSecond;
    KeyOrder* kept = nullptr;
    {
        std::unique_ptr<KeyOrder> order = OrderOf(3);
        kept = order.get();
        kesp::store::KeepKnownOrder("/d/i.ntx", fit, later, std::move(order), {});
    }
    EXPECT_EQ(kesp::store::TakeKnownOrder("/d/i.ntx", fit).get(), kept);
    EXPECT_EQ(kesp::store::TakeKnownOrder("/d/i.ntx", fit), nullptr) << "taken once";

    // Anything else than what it was kept with, and it is gone.
    const std::vector<std::function<void(KnownOrderFit&)>> changes = {
        [](KnownOrderFit& f) { f.table.table.size += 1; },
        [](KnownOrderFit& f) { f.table.table.changedNs += 1; },
        [](KnownOrderFit& f) { f.table.records += 1; },
        [](KnownOrderFit& f) { f.table.dateFormat = QStringLiteral("mm/dd/yyyy"); },
        [](KnownOrderFit& f) { f.indexFile.modifiedNs += 1; },
        [](KnownOrderFit& f) { f.keyText = QStringLiteral("DTOC(datum)"); },
    };
    for (const auto& change : changes) {
        kesp::store::KeepKnownOrder("/d/i.ntx", fit, later, OrderOf(3), {});
        KnownOrderFit other = fit;
        change(other);
        EXPECT_EQ(kesp::store::TakeKnownOrder("/d/i.ntx", other), nullptr);
        EXPECT_EQ(kesp::store::TakeKnownOrder("/d/i.ntx", fit), nullptr) << "let go of";
    }

    // Kept in the tick of the table's last change: a change after it might
    // not show, so it is not kept at all.
    kesp::store::KeepKnownOrder("/d/i.ntx", fit, fit.table.table.modifiedNs, OrderOf(3), {});
    EXPECT_EQ(kesp::store::TakeKnownOrder("/d/i.ntx", fit), nullptr);
}

TEST(KnownOrders, LetGoOfTheOldestBeyondTheirMemory) {
    const KnownOrderFit fit = FitAt(100 * kSecond);
    const int records = static_cast<int>(kesp::store::kKnownOrdersBytes / 5 / 5);  // a fifth each
    for (int i = 0; i < 6; ++i)
        kesp::store::KeepKnownOrder(QStringLiteral("/d/%1.ntx").arg(i), fit, 101 * kSecond,
                                    OrderOf(records), {});
    EXPECT_EQ(kesp::store::TakeKnownOrder("/d/0.ntx", fit), nullptr) << "the oldest went";
    for (int i = 1; i < 6; ++i)
        EXPECT_NE(kesp::store::TakeKnownOrder(QStringLiteral("/d/%1.ntx").arg(i), fit), nullptr)
            << i;
}

// An order on a field reads its keys from the records: taken back, it reads
// those of the table opened again, and follows its changes.
TEST_F(StoreTest, AnOrderTakenBackReadsTheTableOpenedAgain) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta"});
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCREATEINDEX("inr", "STR(NR,5)");
    LetTheClockPass(table);
    DBCLOSEALL();
    for (int round = 0; round < 2; ++round) {
        DBUSEAREA(true, table);
        ORDLISTADD("ivorname");
        ORDLISTADD("inr");
        EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 4, 3, 1}));
        DBSEEK("CLA", true);
        EXPECT_TRUE(FOUND());
        EXPECT_EQ(RECNO(), 3);
        EXPECT_EQ(FIELD("VORNAME").toString().trimmed(), "Clara");
        DBCLOSEALL();
    }
    // Changed through the work area: the kept orders follow the change.
    DBUSEAREA(true, table);
    ORDLISTADD("ivorname");
    DBGOTO(1);
    REPLACE("VORNAME", QStringLiteral("Aaron"));
    DBCOMMIT();
    LetTheClockPass(table);
    DBCLOSEALL();
    DBUSEAREA(true, table);
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 4, 3}));
    DBCLOSEALL();

    // Changed by another program: built from the records.
    std::unique_ptr<kesp::store::DbfTable> other = kesp::store::DbfTable::Open(table);
    other->Write(2, other->FieldIndex("VORNAME"), QStringLiteral("Zoe"));
    other->Commit();
    other.reset();
    DBUSEAREA(true, table);
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 4, 3, 2}));
    DBSEEK("ZOE", true);
    EXPECT_EQ(RECNO(), 2);
    DBCLOSEALL();

    // The index file written from another table: its order, not the one kept.
    const QString second = NamesTable({"Xaver", "Wanda"}, QStringLiteral("second.dbf"));
    DBUSEAREA(true, table);
    ORDLISTADD("inr");
    DBCLOSEALL();
    DBUSEAREA(true, second);
    DBCREATEINDEX("inr", "STR(NR,5)");
    DBCLOSEALL();
    DBUSEAREA(true, table);
    ORDLISTADD("inr");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3, 4}));
    DBCLOSEALL();
}

// An index file another program wrote while the table was open no longer
// holds the order: the order is not kept for it, and the next opening builds
// the order and writes the file again.
TEST_F(StoreTest, AnOrderIsNotKeptForAnIndexFileAnotherProgramWrote) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta"});
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    QByteArray head = ReadFile("ivorname.ntx");
    head.truncate(12 + 14);  // the magic, the key text's length and "UPPER(vorname)"
    head.append(5, '\0');    // no fit, no entries
    WriteFile("ivorname.ntx", head);
    LetTheClockPass(table);
    DBCLOSEALL();

    DBUSEAREA(true, table);
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 4, 3, 1}));
    DBCLOSEALL();
    const std::optional<kesp::store::IndexFileContent> file =
        kesp::store::KeyOrder::ReadContent(Path("ivorname.ntx"), false);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->records, (std::vector<std::uint32_t>{2, 4, 3, 1})) << "written again";
}
