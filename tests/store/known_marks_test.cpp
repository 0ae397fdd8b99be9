// Deletion marks of a large table kept from one opening to the next: taken
// back only while the file is as this process left it.
#include "store/dbf_table.h"
#include "store/table_schema.h"
#include "test_support.h"

#include <QDateTime>
#include <QFile>

namespace {

// Megabytes of records, so that the table is mapped rather than read.
constexpr int kRecords = 90000;
constexpr int kRecordLength = 1 + 90;

void WriteLargeTable(const QString& path) {
    kesp::CreateTable(path, {{"NAME", 'C', 90, 0}});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes.chop(1);
    bytes[4] = static_cast<char>(kRecords & 0xFF);
    bytes[5] = static_cast<char>((kRecords >> 8) & 0xFF);
    bytes[6] = static_cast<char>(kRecords >> 16);
    for (int r = 1; r <= kRecords; ++r)
        bytes += ' ' + QByteArray("name").append(QByteArray::number(r)).leftJustified(90, ' ');
    bytes += '\x1A';
    file.seek(0);
    file.write(bytes);
}

QList<int> DeletedRecords(const QString& path) {
    const std::unique_ptr<kesp::store::DbfTable> table = kesp::store::DbfTable::Open(path);
    QList<int> deleted;
    for (std::uint32_t r = 1; r <= table->RecordCount(); ++r) {
        if (table->IsDeleted(r)) deleted << static_cast<int>(r);
    }
    EXPECT_EQ(table->DeletedCount(), static_cast<std::uint32_t>(deleted.size()));
    return deleted;
}

}  // namespace

TEST_F(StoreTest, ALargeTableOpenedAgainHasTheMarksOfItsFile) {
    const QString path = Path("big.dbf");
    WriteLargeTable(path);
    {
        const std::unique_ptr<kesp::store::DbfTable> table = kesp::store::DbfTable::Open(path);
        table->SetDeleted(7, true);
        table->SetDeleted(kRecords, true);
    }
    EXPECT_EQ(DeletedRecords(path), (QList<int>{7, kRecords}));
    {
        const std::unique_ptr<kesp::store::DbfTable> table = kesp::store::DbfTable::Open(path);
        table->SetDeleted(7, false);
        table->SetDeleted(8, true);
    }
    EXPECT_EQ(DeletedRecords(path), (QList<int>{8, kRecords}));

    // Another program marks a record: the file's stamp is not the one kept.
    const QDateTime later = QDateTime::currentDateTime().addSecs(5);
    for (const int marked : {9, 10}) {
        DeletedRecords(path);  // keeps the marks again
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 headerLength = 32 + 32 + 1;
        file.seek(headerLength + qint64{marked - 1} * kRecordLength);
        file.write("*");
        if (marked == 10) file.setFileTime(later, QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(DeletedRecords(path), (QList<int>{8, 9, 10, kRecords}));

    // A table only looked at leaves the marks it read to the next opening.
    for (const int marked : {11, 12}) {
        kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect).reset();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.seek(32 + 32 + 1 + qint64{marked - 1} * kRecordLength);
        file.write("*");
        if (marked == 12) file.setFileTime(later, QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(DeletedRecords(path), (QList<int>{8, 9, 10, 11, 12, kRecords}));
}
