// Index files read back at an opening: an order is taken from its file only
// when that gives what a build gives. Keys on a field are checked against the
// records; other keys are taken when the file was written from the table as
// it is, after the table's last change.
#include "store/dbf_table.h"
#include "store/key_order.h"
#include "test_support.h"

#include <QDateTime>
#include <QFile>

#include <sys/stat.h>

#include <memory>

namespace {

using kesp::store::DbfTable;

QList<int> RecordsInIndexFile(const QString& path) {
    QList<int> records;
    const std::optional<kesp::store::IndexFileContent> content =
        kesp::store::KeyOrder::ReadContent(path, false);
    if (!content) return {-1};
    for (const std::uint32_t record : content->records)
        records << static_cast<int>(record);
    return records;
}

QDateTime ModifiedAt(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.fileTime(QFileDevice::FileModificationTime)
                                          : QDateTime();
}

void SetModifiedAt(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

// Puts the table file's stamp as it is now into the index file's fit, as if
// the index had been written from the table as it is.
void StampWithTheTableAsItIs(const QString& index, const QString& table, int records) {
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(table).constData(), &info), 0);
    QFile file(index);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray format = DATEFORMAT().toLatin1();
    const QByteArray head = file.read(12);
    const qint64 fitAt = 12 + (static_cast<unsigned char>(head[8]) | head[9] << 8);
    QByteArray fit(1, '\1');
    auto le = [&fit](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            fit.append(static_cast<char>(value >> (8 * i)));
    };
    le(info.st_dev, 8);
    le(info.st_ino, 8);
    le(static_cast<std::uint64_t>(info.st_size), 8);
    le(static_cast<std::uint64_t>(info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec), 8);
    le(static_cast<std::uint64_t>(info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec), 8);
    le(static_cast<std::uint64_t>(records), 4);
    le(static_cast<std::uint64_t>(format.size()), 4);
    fit.append(format);
    ASSERT_TRUE(file.seek(fitAt));
    ASSERT_EQ(file.read(1), QByteArray(1, '\1')) << "the file holds a fit there";
    ASSERT_TRUE(file.seek(fitAt));
    file.write(fit);
}

}  // namespace

TEST_F(StoreTest, OrdersOfComputedKeysComeBackFromAFileWrittenAfterTheTableAndOnlyThen) {
    const QString table = NamesTable({"Dora", "Anna", "Clara", "Berta"});
    const QString index = Path("inr.ntx");
    const QString key = QStringLiteral("STR(NR,5)+UPPER(vorname)");
    DBUSEAREA(true, table);
    for (int r = 1; r <= 4; ++r) {
        DBGOTO(r);
        REPLACE("NR", 10 - r);
    }
    DBCOMMIT();
    DBCREATEINDEX("inr", key);
    DBCLOSEALL();
    const QList<int> byNumber{4, 3, 2, 1};
    EXPECT_EQ(RecordsInIndexFile(index), byNumber);

    // Written well after the table's last change: taken as it is, not written again.
    const QDateTime later = QDateTime::currentDateTime().addSecs(5);
    SetModifiedAt(index, later);
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", key);
    EXPECT_EQ(OrderOfAllRecords(), byNumber);
    DBCLOSEALL();
    EXPECT_EQ(ModifiedAt(index), later) << "written again";

    // Another program changes a record: the table's stamp differs, the
    // order is built and the file follows.
    std::unique_ptr<DbfTable> other = DbfTable::Open(table);
    other->Write(4, other->FieldIndex("NR"), 99);
    other->Commit();
    other.reset();
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", key);
    const QList<int> changed{3, 2, 1, 4};
    EXPECT_EQ(OrderOfAllRecords(), changed);
    DBCLOSEALL();
    EXPECT_EQ(RecordsInIndexFile(index), changed);

    // A change in the same tick of the clock as the writing of the index
    // does not show in the stamp: the file is not trusted then...
    other = DbfTable::Open(table);
    other->Write(1, other->FieldIndex("NR"), 1);
    other->Commit();
    other.reset();
    StampWithTheTableAsItIs(index, table, 4);
    SetModifiedAt(index, ModifiedAt(table));
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", key);
    const QList<int> fresh{1, 3, 2, 4};
    EXPECT_EQ(OrderOfAllRecords(), fresh);
    DBCLOSEALL();

    // ...while a file that says it was written after the table's last change
    // from the table as it is is taken without reading the records.
    other = DbfTable::Open(table);
    other->Write(1, other->FieldIndex("NR"), 50);
    other->Commit();
    other.reset();
    StampWithTheTableAsItIs(index, table, 4);
    SetModifiedAt(index, later);
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", key);
    EXPECT_EQ(OrderOfAllRecords(), fresh) << "the file's order";
    DBCLOSEALL();

    // Another date format, or another key text in the file: built.
    StampWithTheTableAsItIs(index, table, 4);
    SetModifiedAt(index, later);
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", QStringLiteral("STR(NR,5)+vorname"));
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{3, 2, 1, 4}));
    DBCLOSEALL();
    SET_DATEFORMAT("mm/dd/yyyy");
    DBUSEAREA(true, table);
    DBCREATEINDEX("idat", "DTOC(GEBURT)+vorname");
    DBCLOSEALL();
    SetModifiedAt(Path("idat.ntx"), later);
    SET_DATEFORMAT("dd.mm.yyyy");
    DBUSEAREA(true, table);
    DBCREATEINDEX("idat", "DTOC(GEBURT)+vorname");
    DBCLOSEALL();
    EXPECT_NE(ModifiedAt(Path("idat.ntx")), later) << "taken under another date format";
}

TEST_F(StoreTest, OrdersOnAFieldAreCheckedAgainstTheRecordsAndTakeInAppendedOnes) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta", "Emil"});
    const QString index = Path("ivorname.ntx");
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCLOSEALL();

    // Another program appends two and changes a field the key does not read.
    std::unique_ptr<DbfTable> other = DbfTable::Open(table);
    const int name = other->FieldIndex("VORNAME");
    for (const char* added : {"Bodo", "Zora"}) {
        other->AppendBlank();
        other->Write(other->RecordCount(), name, QString::fromLatin1(added));
    }
    other->Write(1, other->FieldIndex("NR"), 7);
    other->Commit();
    other.reset();
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    const QList<int> withAppended{2, 4, 6, 3, 1, 5, 7};
    EXPECT_EQ(OrderOfAllRecords(), withAppended);
    DBCLOSEALL();
    EXPECT_EQ(RecordsInIndexFile(index), withAppended);

    // A key changed out of its place: the records are sorted again.
    other = DbfTable::Open(table);
    other->Write(7, name, QStringLiteral("Aaron"));
    other->Commit();
    other.reset();
    DBUSEAREA(true, table);
    ORDLISTADD("ivorname");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{7, 2, 4, 6, 3, 1, 5}));
    DBCLOSEALL();

    // Entries naming records the table does not have, or one twice.
    for (const QByteArray& odd : {QByteArray("\x09\0\0\0", 4), QByteArray("\x02\0\0\0", 4)}) {
        QByteArray bytes = ReadFile("ivorname.ntx");
        const qsizetype first = bytes.indexOf(QByteArray("UPPER(vorname)")) + 14 + 4;
        bytes.replace(first, 4, odd);
        WriteFile("ivorname.ntx", bytes);
        DBUSEAREA(true, table);
        DBCREATEINDEX("ivorname", "UPPER(vorname)");
        EXPECT_EQ(OrderOfAllRecords(), (QList<int>{7, 2, 4, 6, 3, 1, 5}));
        DBCLOSEALL();
    }
}

TEST_F(StoreTest, AnIndexFileCutShortAnywhereIsBuiltAgainWithoutAFault) {
    const QString table = NamesTable({"Dora", "Anna", "Clara"});
    DBUSEAREA(true, table);
    DBCREATEINDEX("inr", "STR(NR,5)+vorname");
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCLOSEALL();
    const QString later = QDateTime::currentDateTime().addSecs(5).toString(Qt::ISODateWithMs);
    for (const QString& file : {QStringLiteral("inr.ntx"), QStringLiteral("ivorname.ntx")}) {
        const QByteArray whole = ReadFile(file);
        for (qsizetype cut = 0; cut < whole.size(); ++cut) {
            WriteFile(file, whole.left(cut));
            SetModifiedAt(Path(file), QDateTime::fromString(later, Qt::ISODateWithMs));
            DBUSEAREA(true, table);
            const bool byNumber = file == "inr.ntx";
            DBCREATEINDEX(file.chopped(4), byNumber ? "STR(NR,5)+vorname" : "UPPER(vorname)");
            const QList<int> expected = byNumber ? QList<int>{1, 2, 3} : QList<int>{2, 3, 1};
            ASSERT_EQ(OrderOfAllRecords(), expected) << file << " cut at " << cut;
            DBCLOSEALL();
            ASSERT_EQ(ReadFile(file), whole) << file << " cut at " << cut;
        }
    }
}

// Keys computed from one field: after another program changed the table,
// only records whose field differs from what the file's keys were computed
// from get keys computed again; the others keep the file's. A key the file
// holds for an unchanged record therefore shows, and stops showing once so
// many records changed that the order is built.
TEST_F(StoreTest, KeysOfOneFieldAreComputedAgainOnlyForRecordsWhoseFieldChanged) {
    QStringList names;
    for (int r = 1; r <= 40; ++r)
        names << QStringLiteral("N%1").arg(r);
    const QString table = NamesTable(names);
    const QString index = Path("imon.ntx");
    const QString key = QStringLiteral("STR(MONTH(GEBURT),2)+STR(DAY(GEBURT),2)");
    DBUSEAREA(true, table);
    for (int r = 1; r <= 40; ++r) {
        DBGOTO(r);
        REPLACE("GEBURT", QDate(1980 + r, 5, 3));  // one key for all: " 5 3"
    }
    DBCOMMIT();
    DBCREATEINDEX("imon", key);
    DBCREATEINDEX("iday", "STR(DAY(GEBURT),2)");  // from the same field
    DBCLOSEALL();

    std::unique_ptr<DbfTable> other = DbfTable::Open(table);
    const int born = other->FieldIndex("GEBURT");
    other->Write(2, born, QDate(1990, 2, 1));
    other->Write(4, other->FieldIndex("VORNAME"), QStringLiteral("Doris"));
    other->AppendBlank();
    other->Write(41, born, QDate(2000, 1, 2));
    other->Commit();
    other.reset();
    // Record 1's key in the file, the first entry, made " 5 2": still in order.
    QByteArray bytes = ReadFile("imon.ntx");
    const qsizetype first = bytes.indexOf(QByteArray("\x04\x00 5 3", 6));
    ASSERT_GT(first, 0);
    bytes.replace(first + 2, 4, " 5 2");
    WriteFile("imon.ntx", bytes);

    DBUSEAREA(true, table);
    ORDLISTADD("imon");
    QList<int> byMonthAndDay{41, 2, 1};
    for (int r = 3; r <= 40; ++r)
        byMonthAndDay << r;
    EXPECT_EQ(OrderOfAllRecords(), byMonthAndDay);
    DBSEEK(" 5 2", false);
    EXPECT_TRUE(FOUND()) << "record 1's key was computed again";
    EXPECT_EQ(RECNO(), 1);
    DBSEEK(" 2 1", false);
    EXPECT_EQ(RECNO(), 2) << "the changed record has its new key";
    // The second order of the field, its changed records found once for both.
    ORDLISTCLEAR();
    ORDLISTADD("iday");
    QList<int> byDay{2, 41};
    for (int r = 1; r <= 40; ++r)
        if (r != 2) byDay << r;
    EXPECT_EQ(OrderOfAllRecords(), byDay);
    DBCLOSEALL();

    // Every birthday moved by a day: built, the file's odd key gone.
    other = DbfTable::Open(table);
    for (std::uint32_t r = 1; r <= 41; ++r)
        other->Write(r, born, other->Read(r, born).toDate().addDays(1));
    other->Commit();
    other.reset();
    DBUSEAREA(true, table);
    ORDLISTADD("imon");
    EXPECT_EQ(OrderOfAllRecords(), byMonthAndDay);
    DBSEEK(" 5 3", false);
    EXPECT_FALSE(FOUND());
    DBSEEK(" 5 4", false);
    EXPECT_TRUE(FOUND());
    EXPECT_EQ(RECNO(), 1);
    DBCLOSEALL();
    EXPECT_EQ(RecordsInIndexFile(index), byMonthAndDay);
}

// A key that follows the date format is computed again in full under
// another format, whatever records changed.
TEST_F(StoreTest, KeysOfOneFieldFollowAnotherDateFormatInFull) {
    const QString table = NamesTable({"Anna", "Berta", "Clara"});
    DBUSEAREA(true, table);
    const QDate births[] = {QDate(2001, 2, 10), QDate(2000, 3, 5), QDate(1999, 12, 31)};
    for (int r = 1; r <= 3; ++r) {
        DBGOTO(r);
        REPLACE("GEBURT", births[r - 1]);
    }
    DBCOMMIT();
    SET_DATEFORMAT("dd.mm.yyyy");
    DBCREATEINDEX("idtoc", "DTOC(GEBURT)");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{2, 1, 3}));
    DBCLOSEALL();
    std::unique_ptr<DbfTable> other = DbfTable::Open(table);
    other->Write(3, other->FieldIndex("GEBURT"), QDate(1999, 1, 1));
    other->Commit();
    other.reset();
    SET_DATEFORMAT("mm/dd/yyyy");
    DBUSEAREA(true, table);
    ORDLISTADD("idtoc");
    EXPECT_EQ(OrderOfAllRecords(), (QList<int>{3, 1, 2}));
    SET_DATEFORMAT("dd.mm.yyyy");
}

// A deletion mark moves no key, but it changes the table's file: the index
// file is written again with the table's new stamp when the table closes, so
// that the next opening takes it as it is instead of checking every key.
TEST_F(StoreTest, AnIndexFileFollowsTheTableStampAfterADeletionMarkAtTheClose) {
    const QString table = NamesTable({"Dora", "anna", "Clara", "Berta"});
    SET_DELETED(false);
    DBUSEAREA(true, table);
    DBCREATEINDEX("ivorname", "UPPER(vorname)");
    DBCREATEINDEX("inr", "STR(NR,5)");
    const QDateTime written = ModifiedAt(Path("ivorname.ntx"));
    SetModifiedAt(table, written.addSecs(-60));
    DBGOTO(2);
    DBDELETE();
    DBCOMMIT();
    SetModifiedAt(table, written.addSecs(-30));
    DBCLOSEALL();

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(table).constData(), &info), 0);
    for (const QString& index : {QStringLiteral("ivorname.ntx"), QStringLiteral("inr.ntx")}) {
        const std::optional<kesp::store::IndexFileContent> file =
            kesp::store::KeyOrder::ReadContent(Path(index), false);
        ASSERT_TRUE(file && file->fit) << index;
        EXPECT_EQ(file->fit->table.modifiedNs,
                  info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec)
            << index;
    }
    EXPECT_EQ(RecordsInIndexFile(Path("ivorname.ntx")), (QList<int>{2, 4, 3, 1}));
}
