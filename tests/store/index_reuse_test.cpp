// Reopening indexes: an order closed while its table stays unchanged comes
// back without a sort, every reopened order is the one a fresh build gives,
// and index files are written only when they do not hold the order already.
#include "store/codec.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/key_order.h"
#include "test_support.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <random>

namespace {

// The entries of an index file in its order (after the key text and what
// the order was built from): record and key.
QList<QPair<int, QByteArray>> EntriesInIndexFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {{-1, {}}};
    const QByteArray bytes = file.readAll();
    auto u32 = [&bytes](qsizetype at) {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
        return value;
    };
    qsizetype at = 8;
    at += 4 + u32(at);
    if (bytes[at++] == 1) at += 5 * 8 + 4 + 4 + u32(at + 5 * 8 + 4);
    const std::uint32_t count = u32(at);
    at += 4;
    qsizetype keyAt = at + 4 * count;
    QList<QPair<int, QByteArray>> entries;
    for (std::uint32_t i = 0; i < count && keyAt + 2 <= bytes.size(); ++i) {
        const int keyLength = static_cast<unsigned char>(bytes[keyAt]) |
                              static_cast<unsigned char>(bytes[keyAt + 1]) << 8;
        entries.append({static_cast<int>(u32(at + 4 * i)), bytes.mid(keyAt + 2, keyLength)});
        keyAt += 2 + keyLength;
    }
    return entries;
}

QList<int> RecordsInIndexFile(const QString& path) {
    QList<int> records;
    for (const auto& entry : EntriesInIndexFile(path))
        records << entry.first;
    return records;
}

// Leaves the key text of an index file and replaces its entries with none,
// so a later look shows whether the store wrote the file again.
void EmptyTheEntries(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    std::uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= std::uint32_t{static_cast<unsigned char>(bytes[8 + i])} << (8 * i);
    bytes.truncate(12 + length);
    bytes.append(5, '\0');  // built from what is not known, and no entries
    file.resize(0);
    file.seek(0);
    file.write(bytes);
}

}  // namespace

// What orders are kept against: a generation that every change of the
// records moves on and that no two openings share.
TEST_F(StoreTest, EveryChangeOfTheRecordsGivesTheTableANewGeneration) {
    const QString path = NamesTable({"Dora", "Anna"});
    std::unique_ptr<kesp::store::DbfTable> table = kesp::store::DbfTable::Open(path);
    std::vector<std::uint64_t> seen{table->generation()};
    auto changed = [&seen, &table] {
        const bool isNew = std::find(seen.begin(), seen.end(), table->generation()) == seen.end();
        seen.push_back(table->generation());
        return isNew;
    };
    table->Commit();
    EXPECT_FALSE(changed()) << "a commit changes no record";
    table->AppendBlank();
    EXPECT_TRUE(changed());
    table->Write(3, 0, QStringLiteral("Clara"));
    EXPECT_TRUE(changed());
    table->SetDeleted(1, true);
    EXPECT_TRUE(changed());
    table->SetDeleted(1, true);
    EXPECT_FALSE(changed()) << "already marked";
    table->SetDeleted(1, false);
    EXPECT_TRUE(changed());
    table->SetDeleted(2, true);
    table->Pack();
    EXPECT_TRUE(changed());
    EXPECT_FALSE(table->Pack());
    EXPECT_FALSE(changed()) << "nothing to pack";
    table.reset();
    table = kesp::store::DbfTable::Open(path);
    EXPECT_TRUE(changed()) << "opened again";
    const QString other = NamesTable({"Dora", "Anna"}, "other.dbf");
    const std::unique_ptr<kesp::store::DbfTable> twin = kesp::store::DbfTable::Open(other);
    EXPECT_NE(twin->generation(), table->generation());
}

TEST_F(StoreTest, AnUnchangedTableGetsItsOrderBackAndTheFileIsNotWrittenAgain) {
    NamesTable({"Dora", "anna", "Clara", "Berta"});
    DBUSEAREA(true, Path("names.dbf"));
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    const QList<int> byName{2, 4, 3, 1};
    EXPECT_EQ(RecordsInIndexFile(Path("ivorname.ntx")), byName);
    EmptyTheEntries(Path("ivorname.ntx"));
    for (int keystroke = 0; keystroke < 3; ++keystroke) {
        ORDLISTCLEAR();
        ORDLISTADD("ivorname");
        EXPECT_EQ(OrderOfAllRecords(), byName);
    }
    ORDLISTREBUILD();
    DBCREATEINDEX("inr", "NR");  // closes "ivorname" again
    ORDLISTCLEAR();
    ORDLISTADD("ivorname");
    DBCLOSEALL();
    EXPECT_TRUE(RecordsInIndexFile(Path("ivorname.ntx")).isEmpty()) << "written again";

    // A change in between: built again, and the file follows.
    DBUSEAREA(true, Path("names.dbf"));
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), byName);  // a new opening: built from the records
    ORDLISTCLEAR();
    EXPECT_EQ(RecordsInIndexFile(Path("ivorname.ntx")), byName);
    EmptyTheEntries(Path("ivorname.ntx"));
    DBGOTO(1);
    DBDELETE();  // deleted records stay in the index: the order closed before still fits...
    DBGOTO(2);
    DBDELETE();
    DBRECALL();
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), byName);
    ORDLISTCLEAR();
    EXPECT_TRUE(RecordsInIndexFile(Path("ivorname.ntx")).isEmpty()) << "written again";
    DBGOTO(3);
    REPLACE("VORNAME", QStringLiteral("Aaron"));  // ...but not after this
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{3, 2, 4, 1}));
    ORDLISTCLEAR();
    EXPECT_EQ(RecordsInIndexFile(Path("ivorname.ntx")), (QList<int>{3, 2, 4, 1}));
}

TEST_F(StoreTest, IndexFilesHoldEveryKeyAsTheOrderComparesItAlsoAfterAPack) {
    const QStringList names = {"zoë", "Anna", "äbel", "a b", "Maximiliane-Josephine", "x"};
    NamesTable(names);
    DBUSEAREA(true, Path("names.dbf"));
    DBCREATEINDEX("iupper", "UPPER(vorname)");
    const auto expectKeys = [this](const QStringList& kept) {
        QList<QPair<int, QByteArray>> expected;
        for (int r = 1; r <= kept.size(); ++r) {
            const QString padded = kept[r - 1].leftJustified(20, u' ', true);
            expected.append({r, kesp::store::EncodeText(UPPER(padded))});
        }
        std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) {
            return a.second < b.second || (a.second == b.second && a.first < b.first);
        });
        EXPECT_EQ(EntriesInIndexFile(Path("iupper.ntx")), expected);
    };
    expectKeys(names);
    DBGOTO(2);
    DBDELETE();
    __DBPACK();
    expectKeys({"zoë", "äbel", "a b", "Maximiliane-Josephine", "x"});
}

TEST_F(StoreTest, IndexFilesOfOtherTablesAndEarlierRunsAreReadForTheirKeyTextOnly) {
    NamesTable({"Dora", "Anna", "Clara"}, "one.dbf");
    NamesTable({"Zeno", "Yves"}, "two.dbf");
    DBUSEAREA(true, Path("one.dbf"), "one");
    DBCREATEINDEX("shared", "UPPER(vorname)");
    ORDLISTCLEAR();
    DBUSEAREA(true, Path("two.dbf"), "two");
    DBCREATEINDEX("shared", "UPPER(vorname)");  // the same file, now for the other table
    EXPECT_EQ(RecordsInIndexFile(Path("shared.ntx")), (QList<int>{2, 1}));
    DBSELECTAREA("one");
    ORDLISTADD("shared");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 3, 1}));
    ORDLISTCLEAR();
    EXPECT_EQ(RecordsInIndexFile(Path("shared.ntx")), (QList<int>{2, 3, 1}));
    DBSELECTAREA("two");
    ORDLISTCLEAR();
    DBCREATEINDEX("shared", "NR");  // the file's key text changes under table one
    DBSELECTAREA("one");
    ORDLISTADD("shared");
    EXPECT_EQ(INDEXKEY(), QStringLiteral("NR"));
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3}));
    DBCLOSEALL();

    // A file whose entries say another order, as left by an earlier run
    // before the table was changed by someone else.
    NamesTable({"Carl", "Bert", "Anja"}, "one.dbf");
    DBUSEAREA(true, Path("one.dbf"), "one");
    ORDLISTADD("shared");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3}));
    ORDLISTCLEAR();
    DBCREATEINDEX("byname", "UPPER(vorname)");
    DBCLOSEALL();
    NamesTable({"Bert", "Anja", "Carl"}, "one.dbf");
    DBUSEAREA(true, Path("one.dbf"), "one");
    ORDLISTADD("byname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 1, 3}));
}

// Keys that depend on more than the records are never taken back: one
// following the date format after the format changed, one reading another
// table after that table moved.
TEST_F(StoreTest, OrdersDependingOnTheDateFormatOrAnotherTableAreBuiltAgain) {
    kesp::CreateTable(Path("d.dbf"), {{"NAME", 'C', 10, 0}, {"DATUM", 'D', 8, 0}});
    DBUSEAREA(true, Path("d.dbf"), "d");
    for (const QDate& date : {QDate(2006, 3, 1), QDate(2005, 1, 2), QDate(2004, 2, 3)}) {
        DBAPPEND();
        REPLACE("DATUM", date);
        REPLACE("NAME", date.toString("yyyy"));
    }
    SET_DATEFORMAT("dd.mm.yyyy");
    DBCREATEINDEX("idtoc", "DTOC(datum)");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3}));  // 01.03., 02.01., 03.02.
    ORDLISTCLEAR();
    SET_DATEFORMAT("mm/dd/yyyy");
    ORDLISTADD("idtoc");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 3, 1}));  // 01/02, 02/03, 03/01
    ORDLISTREBUILD();
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 3, 1}));
    SET_DATEFORMAT("dd.mm.yyyy");
    ORDLISTREBUILD();
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{1, 2, 3}));

    NamesTable({"Anna"}, "other.dbf");
    DBUSEAREA(true, Path("other.dbf"), "o");
    DBSELECTAREA("d");
    DBCREATEINDEX("imixed", "UPPER(o->vorname)+name");
    DBSEEK(QStringLiteral("ANNA"));
    EXPECT_TRUE(FOUND());
    ORDLISTCLEAR();
    INAREA("o", [] {
        DBAPPEND();
        REPLACE("VORNAME", QStringLiteral("Bernd"));
        return 0;
    });
    ORDLISTADD("imixed");
    DBSEEK(QStringLiteral("BERND"));
    EXPECT_TRUE(FOUND());
    EXPECT_EQ(RECNO(), 3);  // "BERND" and blanks, then the names: 2004 first
}

TEST_F(StoreTest, ARebuildThatChangesNothingLeavesTheOrderUnmodified) {
    NamesTable({"Dora", "Anna"});
    DBUSEAREA(true, Path("names.dbf"));
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    EmptyTheEntries(Path("ivorname.ntx"));
    ORDLISTREBUILD();
    SET_DATEFORMAT("dd.mm.yyyy");  // a rebuild in earnest, with the same result
    ORDLISTREBUILD();
    DBCLOSEALL();
    EXPECT_TRUE(RecordsInIndexFile(Path("ivorname.ntx")).isEmpty());
}

// Random changes, closings and reopenings; after every step the controlling
// order must be the one a fresh build gives, and every index file written at
// a close must hold it.
class IndexReuse : public StoreTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    std::mt19937 random_{GetParam()};
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    struct Index {
        QString file;
        QStringList keyTexts;  // the file is created with one or the other
    };
    const std::vector<Index> indexes_ = {{"iname", {"UPPER(name)", "name"}},
                                         {"idtoc", {"DTOC(datum)+name"}},
                                         {"inr", {"STR(nr,8,2)", "DESCEND(datum)"}},
                                         {"ialias", {"UPPER(r->name)"}}};

    // The key a fresh build computes for the current record, by the test's own reading.
    static QByteArray ExpectedKey(const QString& keyText) {
        const QString name = FIELD("NAME").toString();
        const QDate date = FIELD("DATUM").toDate();
        if (keyText == "UPPER(name)" || keyText == "UPPER(r->name)")
            return kesp::store::EncodeText(UPPER(name));
        if (keyText == "name") return kesp::store::EncodeText(name);
        if (keyText == "DTOC(datum)+name") return kesp::store::EncodeText(DTOC(date) + name);
        if (keyText == "STR(nr,8,2)")
            return kesp::store::EncodeText(STR(FIELD("NR").toDouble(), 8, 2));
        return kesp::store::KeyBytes(DESCEND(date));
    }

    static QList<int> FreshOrder(const QString& keyText) {
        const int here = RECNO();
        std::vector<std::pair<QByteArray, int>> entries;
        for (int r = 1; r <= RECCOUNT(); ++r) {
            DBGOTO(r);
            entries.push_back({ExpectedKey(keyText), r});
        }
        DBGOTO(here);
        std::sort(entries.begin(), entries.end());
        QList<int> records;
        for (const auto& entry : entries)
            records << entry.second;
        return records;
    }

    QString RandomName() {
        static const QStringList parts = {"an", "Bé", "ör", "MA", "ri", "x", " ", "ÿ"};
        QString name;
        for (int i = Pick(4); i >= 0; --i)
            name += parts[Pick(parts.size())];
        return name;
    }
    void WriteRandomField() {
        switch (Pick(3)) {
            case 0:
                REPLACE("NAME", RandomName());
                break;
            case 1:
                REPLACE("NR", Pick(2000) / 10.0 - 100);
                break;
            default:
                REPLACE("DATUM", Pick(4) == 0 ? QDate() : QDate(2000, 1, 1).addDays(Pick(800)));
        }
    }
    void Open() { DBUSEAREA(true, Path("r.dbf"), "r"); }
};

TEST_P(IndexReuse, EveryReopenedOrderIsTheOneAFreshBuildGives) {
    kesp::CreateTable(Path("r.dbf"),
                      {{"NAME", 'C', 8, 0}, {"NR", 'N', 8, 2}, {"DATUM", 'D', 8, 0}});
    Open();
    std::map<QString, QString> created;  // file -> the key text it was created with
    // False after the date format changed under open orders: until they are
    // built again their keys mix two formats, and nothing is checked.
    bool comparable = true;
    const QStringList formats = {"dd.mm.yyyy", "mm/dd/yyyy"};
    for (int step = 0; step < 600; ++step) {
        const int action = Pick(100);
        SCOPED_TRACE(testing::Message() << "step " << step << " action " << action);
        if (action < 20 || RECCOUNT() == 0) {
            DBAPPEND();
            for (int i = Pick(3); i >= 0; --i)
                WriteRandomField();
        } else if (action < 35) {
            DBGOTO(Pick(RECCOUNT()) + 1);
            WriteRandomField();
        } else if (action < 42) {
            DBGOTO(Pick(RECCOUNT()) + 1);
            Pick(2) ? DBDELETE() : DBRECALL();
        } else if (action < 46) {
            __DBPACK();
        } else if (action < 52) {
            const QString lastKey = INDEXKEY();
            DBCLOSEALL();
            Open();
            if (comparable && !lastKey.isEmpty()) {
                for (const auto& [file, key] : created) {
                    if (key != lastKey) continue;
                    EXPECT_EQ(RecordsInIndexFile(Path(file + ".ntx")), FreshOrder(key)) << file;
                }
            }
            comparable = true;
        } else if (action < 64) {
            const Index& index = indexes_[Pick(static_cast<int>(indexes_.size()))];
            const QString key = index.keyTexts[Pick(index.keyTexts.size())];
            DBCREATEINDEX(index.file, key);
            created[index.file] = key;
            comparable = true;
            EXPECT_EQ(RecordsInIndexFile(Path(index.file + ".ntx")), FreshOrder(key));
        } else if (action < 84 && !created.empty()) {
            ORDLISTCLEAR();
            comparable = true;
            for (int n = Pick(2); n >= 0; --n) {
                auto it = created.begin();
                std::advance(it, Pick(static_cast<int>(created.size())));
                ORDLISTADD(it->first);
            }
        } else if (action < 90) {
            ORDLISTREBUILD();
            comparable = true;
        } else if (action < 94) {
            SET_DATEFORMAT(formats[Pick(2)]);
            comparable = INDEXKEY().isEmpty();
        } else {
            DBCOMMIT();
        }
        const QString key = INDEXKEY();
        if (comparable && !key.isEmpty()) {
            ASSERT_EQ(OrderOfAllRecords(), FreshOrder(key)) << key;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Store, IndexReuse, ::testing::Values(1u, 2u, 3u, 4u));

// A commit the drive refuses puts the records back as they were: an order
// closed while it held the refused change is not taken back afterwards.
TEST_F(StoreTest, AnOrderClosedBeforeARefusedCommitIsBuiltAgain) {
    NamesTable({"Clara", "Anna", "Bernd"});
    DBUSEAREA(true, Path("names.dbf"));
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBGOTO(1);
    REPLACE("vorname", QStringLiteral("Aaron"));
    ORDLISTCLEAR();
    kesp::store::FailFileChangesForTests(1, EIO);
    EXPECT_THROW(DBCOMMIT(), kesp::WriteFailure);
    kesp::store::FailFileChangesForTests(0, 0);
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 3, 1}));
    DBGOTO(1);
    EXPECT_EQ(FIELD("vorname").toString().trimmed(), "Clara");
}
