// Fields, memos, headers and faults of single tables.
#include "store/codec.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "test_support.h"

#include <QFile>

#include <thread>

using kesp::FaultException;
using kesp::MemoKind;

namespace {

struct MemoCase {
    MemoKind kind;
    const char* memoFile;
};

class MemoKinds : public StoreTest, public ::testing::WithParamInterface<MemoCase> {};

QString AllTypesTable(const QString& path, MemoKind kind) {
    kesp::CreateTable(path,
                      {{"NAME", 'C', 10, 0},
                       {"BETRAG", 'N', 8, 2},
                       {"DATUM", 'D', 8, 0},
                       {"FERTIG", 'L', 1, 0},
                       {"TEXT", 'M', 10, 0}},
                      kind);
    return path;
}

}  // namespace

TEST_P(MemoKinds, EveryFieldTypeSurvivesCommitAndReopen) {
    const QString path = AllTypesTable(Path("t.dbf"), GetParam().kind);
    const QString longText = QString(3000, QLatin1Char('x')) + QStringLiteral("\r\nEnde");
    DBUSEAREA(true, path);
    DBAPPEND();
    REPLACE("name", QStringLiteral("Zoë Müllerin"));
    REPLACE("BETRAG", 12.5);
    REPLACE("DATUM", QDate(2006, 12, 24));
    REPLACE("FERTIG", true);
    REPLACE("TEXT", longText);
    DBAPPEND();  // a record left blank
    DBCOMMIT();
    DBCLOSEALL();

    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), 2);
    EXPECT_EQ(FIELD("NAME").toString(), QStringLiteral("Zoë Müller"));  // cut at the width
    EXPECT_DOUBLE_EQ(FIELD("BETRAG").toDouble(), 12.5);
    EXPECT_EQ(FIELD("DATUM").toDate(), QDate(2006, 12, 24));
    EXPECT_TRUE(FIELD("FERTIG").toBool());
    EXPECT_EQ(FIELD("TEXT").toString(), longText);
    DBSKIP();
    EXPECT_EQ(FIELD("NAME").toString(), QString(10, QLatin1Char(' ')));
    EXPECT_DOUBLE_EQ(FIELD("BETRAG").toDouble(), 0);
    EXPECT_TRUE(FIELD("DATUM").toDate().isNull());
    EXPECT_FALSE(FIELD("FERTIG").toBool());
    EXPECT_EQ(FIELD("TEXT").toString(), QString());
    EXPECT_TRUE(QFile::exists(Path(QString::fromLatin1(GetParam().memoFile))));
}

TEST_P(MemoKinds, MemosGrowShrinkAndKeepSoftBreaksByteForByte) {
    const QString path = AllTypesTable(Path("t.dbf"), GetParam().kind);
    const QString soft =
        QStringLiteral("eins") + QChar(0x8D) + QChar(0x0A) + QStringLiteral("zwei\r\n");
    DBUSEAREA(true, path);
    DBAPPEND();
    REPLACE("TEXT", soft);
    DBCOMMIT();
    REPLACE("TEXT", soft + QString(2000, QLatin1Char('y')));  // grows past its blocks
    DBCOMMIT();
    DBAPPEND();
    REPLACE("TEXT", QStringLiteral("second"));
    DBCOMMIT();
    DBGOTO(1);
    REPLACE("TEXT", QString());  // emptied
    DBCOMMIT();
    DBCLOSEALL();

    DBUSEAREA(true, path);
    EXPECT_EQ(FIELD("TEXT").toString(), QString());
    DBGOTO(2);
    EXPECT_EQ(FIELD("TEXT").toString(), QStringLiteral("second"));
    REPLACE("TEXT", soft);
    DBCOMMIT();
    DBCLOSEALL();
    DBUSEAREA(true, path);
    DBGOTO(2);
    EXPECT_EQ(kesp::store::EncodeText(FIELD("TEXT").toString()),
              QByteArray("eins\x8D\x0Azwei\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Store, MemoKinds,
                         ::testing::Values(MemoCase{MemoKind::Dbt, "t.dbt"},
                                           MemoCase{MemoKind::Fpt, "t.fpt"}),
                         [](const auto& info) {
                             return info.param.kind == MemoKind::Dbt ? "Dbt" : "Fpt";
                         });

TEST_F(StoreTest, HeaderCountDateCodePageAndEndMarkAreKeptRight) {
    NamesTable({"Anna", "Bernd", "Clara"});
    const QByteArray bytes = ReadFile("names.dbf");
    ASSERT_GE(bytes.size(), 32);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x03);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), today.year() - 1900);
    EXPECT_EQ(bytes[2], today.month());
    EXPECT_EQ(bytes[3], today.day());
    EXPECT_EQ(bytes[4], 3);
    EXPECT_EQ(bytes[29], 0x03);
    const int headerLength = static_cast<unsigned char>(bytes[8]) | (bytes[9] << 8);
    const int recordLength = static_cast<unsigned char>(bytes[10]) | (bytes[11] << 8);
    EXPECT_EQ(headerLength, 32 + 3 * 32 + 1);
    EXPECT_EQ(bytes[headerLength - 1], 0x0D);
    EXPECT_EQ(recordLength, 1 + 20 + 5 + 8);
    EXPECT_EQ(bytes.size(), headerLength + 3 * recordLength + 1);  // count and length agree
    EXPECT_EQ(bytes.back(), 0x1A);
    EXPECT_EQ(bytes.mid(headerLength, 1 + 20 + 5), QByteArray(" Anna                    1"));
}

TEST_F(StoreTest, UnencodableCharactersBecomeQuestionMarksAndNumbersOverflowToStars) {
    kesp::CreateTable(Path("t.dbf"), {{"NAME", 'C', 6, 0}, {"N", 'N', 4, 1}});
    DBUSEAREA(true, Path("t.dbf"));
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("€ß→😀xyz"));
    REPLACE("N", 123.0);
    EXPECT_EQ(FIELD("NAME").toString(), QStringLiteral("€ß??xy"));
    EXPECT_EQ(FIELD("N").toDouble(), 0);  // "****" reads as zero
    REPLACE("N", -1.26);
    EXPECT_DOUBLE_EQ(FIELD("N").toDouble(), -1.3);
}

TEST(Codec, TheNearestStorableLettersKeepANameFindableAndOnlyWhatHasNoneIsLeftOut) {
    using kesp::store::NearestStorable;
    bool replaced = true;
    EXPECT_EQ(NearestStorable("Grüße, Œuvre – 5 €", &replaced), "Grüße, Œuvre – 5 €");
    EXPECT_FALSE(replaced) << "what the code page has stays as it is";
    EXPECT_EQ(NearestStorable("Łódź, Ćwiek, Żółwia 3", &replaced), "Lódz, Cwiek, Zólwia 3");
    EXPECT_TRUE(replaced);
    EXPECT_EQ(NearestStorable("Đorđe Ħal ıstanbul Dvořák ﬁn"), "Dorde Hal istanbul Dvorák fin");
    // Nothing near: left out, and told.
    EXPECT_EQ(NearestStorable("会議 Tokyo 🎉", &replaced), " Tokyo ");
    EXPECT_TRUE(replaced);
}

TEST_F(StoreTest, EndOfFileReadsBlanksAndIgnoresWrites) {
    NamesTable({"Anna"});
    DBUSEAREA(true, Path("names.dbf"));
    DBGOBOTTOM();
    DBSKIP();
    ASSERT_TRUE(DBEOF());
    EXPECT_EQ(RECNO(), 2);
    EXPECT_EQ(FIELD("VORNAME").toString(), QString(20, QLatin1Char(' ')));
    REPLACE("VORNAME", QStringLiteral("Zzz"));
    DBGOTO(1);
    EXPECT_EQ(FIELD("VORNAME").toString().trimmed(), QStringLiteral("Anna"));
}

TEST_F(StoreTest, OpenFaultsNameTheFileAndAnEmptyAreaFaultsWith2001) {
    try {
        DBUSEAREA(true, Path("missing.dbf"));
        FAIL() << "no fault";
    } catch (const FaultException& e) {
        EXPECT_EQ(e.fault().subCode, 1001);
        EXPECT_EQ(e.fault().description, QStringLiteral("Open error"));
        EXPECT_EQ(e.fault().fileName, Path("missing.dbf"));
        EXPECT_EQ(e.fault().osCode, 2);
        EXPECT_EQ(e.fault().text(),
                  QStringLiteral("Error DBFNTX/1001  Open error: %1 (DOS Error 2)")
                      .arg(Path("missing.dbf")));
    }
    DBCLOSEALL();
    try {
        DBSKIP();
        FAIL() << "no fault";
    } catch (const FaultException& e) {
        EXPECT_EQ(e.fault().subCode, 2001);
        EXPECT_EQ(e.fault().text(),
                  QStringLiteral("Error DBFNTX/2001  Workarea not in use: DBSKIP"));
    }
    NamesTable({"Anna"});
    DBUSEAREA(true, Path("names.dbf"));
    EXPECT_THROW(FIELD("NOSUCH"), FaultException);
    EXPECT_THROW(FIELD("nosuchalias->VORNAME"), FaultException);
}

TEST_F(StoreTest, FaultHandlerReceivesTheFaultFirst) {
    std::vector<int> seen;
    const auto previous =
        kesp::SetFaultHandler([&seen](const kesp::Fault& f) { seen.push_back(f.subCode); });
    EXPECT_THROW(DBUSEAREA(true, Path("missing.dbf")), FaultException);
    kesp::SetFaultHandler(previous);
    EXPECT_EQ(seen, std::vector<int>{1001});
}

TEST_F(StoreTest, ATableHeldElsewhereSetsNetErrAndLeavesTheAreaEmpty) {
    NamesTable({"Anna"});
    DBUSEAREA(true, Path("names.dbf"), QStringLiteral("first"));
    DBUSEAREA(true, Path("names.dbf"), QStringLiteral("second"));  // the lock is per open file
    EXPECT_TRUE(NETERR());
    EXPECT_FALSE(USED());
    EXPECT_EQ(SELECT(), 2);
    EXPECT_THROW(FIELD("VORNAME"), FaultException);
    DBSELECTAREA("first");
    DBCLOSEAREA();
    DBUSEAREA(false, Path("names.dbf"));
    EXPECT_FALSE(NETERR());
    EXPECT_TRUE(USED());
}

TEST_F(StoreTest, LargeTablesMappedFromTheirFileReadChangeGrowAndPack) {
    // Large enough (over 8 MB of records) to be mapped instead of read.
    const int records = 90000;
    kesp::CreateTable(Path("big.dbf"), {{"NAME", 'C', 90, 0}, {"NR", 'N', 9, 0}});
    QByteArray bytes = ReadFile("big.dbf");
    bytes.chop(1);
    bytes[4] = static_cast<char>(records & 0xFF);
    bytes[5] = static_cast<char>((records >> 8) & 0xFF);
    bytes[6] = static_cast<char>(records >> 16);
    for (int r = 1; r <= records; ++r) {
        bytes += ' ' + QByteArray("name").append(QByteArray::number(r)).leftJustified(90, ' ') +
                 QByteArray::number(r).rightJustified(9, ' ');
    }
    bytes += '\x1A';
    WriteFile("big.dbf", bytes);

    DBUSEAREA(true, Path("big.dbf"));
    ASSERT_EQ(RECCOUNT(), records);
    DBGOTO(records);
    EXPECT_EQ(FIELD("NR").toInt(), records);
    DBGOTO(7);
    REPLACE("NAME", QStringLiteral("changed"));  // a page copied on write
    DBGOTO(records - 3);
    REPLACE("NAME", QStringLiteral("late"));  // one in the last piece moved
    DBCOMMIT();
    DBAPPEND();  // into the room behind the mapped file
    REPLACE("NR", records + 1);
    // Past that room, the mapped records move to memory of their own, piece
    // by piece, with the appended ones.
    const int beyondRoom = 40000;
    for (int r = records + 2; r <= records + 1 + beyondRoom; ++r) {
        DBAPPEND();
        REPLACE("NR", r);
    }
    DBCOMMIT();
    for (int r = records + 1; r <= records + 1 + beyondRoom; r += 997) {
        DBGOTO(r);
        ASSERT_EQ(FIELD("NR").toInt(), r) << "record " << r;
    }
    DBGOTO(records + 1 + beyondRoom);
    EXPECT_EQ(FIELD("NR").toInt(), records + 1 + beyondRoom);
    for (int r = records + 2; r <= records + 1 + beyondRoom; ++r) {
        DBGOTO(r);
        DBDELETE();
    }
    __DBPACK();
    for (int r = 1; r <= records; ++r) {
        DBGOTO(r);
        ASSERT_EQ(FIELD("NR").toInt(), r) << "record " << r;
    }
    DBGOTO(records - 3);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("late"));
    for (int r = 2; r <= records; r += 2) {
        DBGOTO(r);
        DBDELETE();
    }
    DBGOTO(7);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("changed"));
    __DBPACK();
    EXPECT_EQ(RECCOUNT(), records / 2 + 1);
    DBGOBOTTOM();
    EXPECT_EQ(FIELD("NR").toInt(), records + 1);
    DBCLOSEALL();

    DBUSEAREA(true, Path("big.dbf"));
    EXPECT_EQ(RECCOUNT(), records / 2 + 1);
    DBGOTO(4);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("changed"));
    EXPECT_EQ(FIELD("NR").toInt(), 7);
    DBGOTO(records / 2);
    EXPECT_EQ(FIELD("NR").toInt(), records - 1);
    REPLACE("NR", 5);
    DBDELETE();
    __DBPACK();  // packing a mapped table in place
    DBGOTO(records / 2);
    EXPECT_EQ(FIELD("NR").toInt(), records + 1);
}

TEST_F(StoreTest, ALargeTablePackedStaysMappedWithItsMemosAndMarks) {
    // Over 8 MB of records left after the pack: the packed file is mapped.
    const int records = 100000;
    kesp::CreateTable(Path("big.dbf"),
                      {{"NAME", 'C', 90, 0}, {"NR", 'N', 9, 0}, {"TEXT", 'M', 10, 0}});
    DBUSEAREA(true, Path("big.dbf"));
    for (int r = 1; r <= records; ++r) {
        DBAPPEND();
        REPLACE("NAME", QStringLiteral("name%1").arg(r));
        REPLACE("NR", r);
        if (r % 1000 == 7) REPLACE("TEXT", QStringLiteral("memo of %1").arg(r));
    }
    DBCOMMIT();
    DBCLOSEALL();

    DBUSEAREA(true, Path("big.dbf"));
    for (int r = 1; r <= records; r += 10) {
        DBGOTO(r);
        DBDELETE();
    }
    DBGOTO(17);
    REPLACE("NAME", QStringLiteral("changed"));  // uncommitted: the pack writes it
    SET_DELETED(false);
    const int kept = records * 9 / 10;
    const auto expectPacked = [kept] {
        int deleted = 0;
        for (int n = 1; n <= kept; ++n) {
            DBGOTO(n);
            deleted += DELETED() ? 1 : 0;
            const int r = n + (n - 1) / 9 + 1;  // records 1, 11, 21, ... are gone
            ASSERT_EQ(FIELD("NR").toInt(), r) << "record " << n;
            const QString memo = FIELD("TEXT").toString();
            ASSERT_EQ(memo, r % 1000 == 7 ? QStringLiteral("memo of %1").arg(r) : QString())
                << "record " << n;
        }
        EXPECT_EQ(deleted, 1) << "the one marked after the pack";
    };
    __DBPACK();
    ASSERT_EQ(RECCOUNT(), kept);
    DBGOTO(15);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("changed"));
    DBGOTO(kept);
    DBDELETE();  // marks the packed file, and the mapped records show it
    expectPacked();
    DBAPPEND();  // the mapped records move to memory of their own
    REPLACE("NR", records + 1);
    DBCLOSEALL();

    DBUSEAREA(true, Path("big.dbf"));
    ASSERT_EQ(RECCOUNT(), kept + 1);
    DBGOTO(kept + 1);
    EXPECT_EQ(FIELD("NR").toInt(), records + 1);
    DBGOTO(15);
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("changed"));
    SET_DELETED(false);
    expectPacked();
    SET_DELETED(true);
}

TEST_F(StoreTest, DatesReadAsWrittenAndBytesThatAreNoDayReadAsTheEmptyDate) {
    const QString path = AllTypesTable(Path("d.dbf"), MemoKind::Dbt);
    // Four years around a century's leap day, and the calendar's edges.
    QList<QDate> written{QDate(1, 1, 1), QDate(1582, 10, 15), QDate(9999, 12, 31)};
    for (QDate day(1999, 1, 1); day <= QDate(2001, 12, 31); day = day.addDays(1))
        written.append(day);
    DBUSEAREA(true, path);
    for (const QDate& day : written) {
        DBAPPEND();
        REPLACE("DATUM", day);
    }
    const QList<QByteArray> bytes{"20230229", "20240229", "19000229", "00000101",
                                  "20061340", "20060431", "2006 101", "20060001"};
    for (int n = 0; n < bytes.size(); ++n) {
        DBAPPEND();
        REPLACE("NAME", QString::number(n));
    }
    DBCOMMIT();
    DBCLOSEALL();
    QByteArray file = ReadFile("d.dbf");
    auto table = kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
    ASSERT_NE(table, nullptr);
    const int datum = table->FieldIndex("DATUM");
    const int offset = table->fields()[datum].offset;
    for (int n = 0; n < bytes.size(); ++n) {
        const std::uint32_t record = written.size() + n + 1;
        file.replace(table->headerLength() + (record - 1) * table->recordLength() + offset, 8,
                     bytes[n]);
    }
    table.reset();
    WriteFile("d.dbf", file);
    const auto patched = kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
    for (int n = 0; n < written.size(); ++n)
        ASSERT_EQ(patched->ReadDate(n + 1, datum), written[n]) << n;
    QStringList days;
    for (int n = 0; n < bytes.size(); ++n)
        days.append(patched->ReadDate(written.size() + n + 1, datum).toString(Qt::ISODate));
    EXPECT_EQ(days, (QStringList{"", "2024-02-29", "", "", "", "", "", ""}));
}

// A field the table lacks (FieldIndex gives -1) reads as nothing in every
// reader, never as the bytes beside the field list.
TEST_F(StoreTest, AFieldTheTableLacksReadsAsNothing) {
    const auto table = kesp::store::DbfTable::Open(NamesTable({"Anna"}));
    const int missing = table->FieldIndex("NACHNAME");
    EXPECT_FALSE(table->Read(1, missing).isValid());
    EXPECT_FALSE(table->ReadIfReadable(1, missing)->isValid());
    EXPECT_FALSE(table->ReadDate(1, missing).isValid());
    EXPECT_FALSE(table->ReadLogical(1, missing));
    EXPECT_TRUE(table->ReadBytes(1, missing).isEmpty());
}

TEST_F(StoreTest, TheLiveWalkAndCountLeaveOutDeletedRecordsInAWorkAreaAndATable) {
    const QString path = NamesTable({"Anna", "Bernd", "Clara", "Dora"});
    DBUSEAREA(true, path, "names");
    for (const int deleted : {2, 4}) {
        DBGOTO(deleted);
        DBDELETE();
    }
    DBGOTO(3);
    QStringList seen;
    DBEVALLIVE([&seen] { seen.append(FIELD("VORNAME").toString().trimmed()); });
    EXPECT_EQ(seen, (QStringList{"Anna", "Clara"}));
    EXPECT_EQ(RECNO(), 3);
    EXPECT_EQ(LIVECOUNT(), 2);
    DBCLOSEAREA();
    const auto table = kesp::store::DbfTable::Open(path);
    std::vector<std::uint32_t> live;
    kesp::store::ForEachLiveRecord(*table,
                                   [&live](std::uint32_t record) { live.push_back(record); });
    EXPECT_EQ(live, (std::vector<std::uint32_t>{1, 3}));
    EXPECT_EQ(kesp::store::LiveRecordCount(*table), 2u);
}

TEST_F(StoreTest, ALiveCountOfATrueFlagIsTheFilteredCountAndRunsWhileTheAreaMoves) {
    kesp::CreateTable(Path("flags.dbf"), {{"NAME", 'C', 10, 0}, {"LISTE", 'L', 1, 0}});
    DBUSEAREA(true, Path("flags.dbf"), "flags");
    for (int i = 1; i <= 2000; ++i) {
        DBAPPEND();
        REPLACE("NAME", QString::number(i));
        REPLACE("LISTE", i % 3 == 0);
        if (i % 7 == 0) DBDELETE();
    }
    DBCOMMIT();
    DBSETFILTER([] { return FIELD("LISTE").toBool(); }, "liste = .t.");
    const int filtered = DBCOUNT();
    ASSERT_EQ(filtered, 2000 / 3 - 2000 / 21);

    const std::function<int()> count = LIVECOUNTWHERE("liste");
    int counted = -1;
    std::thread beside([&count, &counted] { counted = count(); });
    int walked = 0;
    for (DBGOTOP(); !DBEOF(); DBSKIP())
        ++walked;
    beside.join();
    EXPECT_EQ(counted, filtered);
    EXPECT_EQ(walked, filtered);
    EXPECT_THROW(LIVECOUNTWHERE("NOPE"), kesp::FaultException);
    DBCLOSEALL();
}
