// Another program cuts a table short while the store has it open: the store
// raises the table's damage, naming it, instead of the process ending with
// SIGBUS; it writes nothing from the lost part, and the shorter table opens
// again. A SIGBUS that is none of the store's still ends the process.
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/mapping_guard.h"
#include "test_support.h"

#include <QFile>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

using kesp::FaultException;
using kesp::store::DbfTable;

namespace {

constexpr int kWordWidth = 95;  // records of 96 bytes
constexpr qint64 kPage = 4096;

// A table of `count` records "word 1", "word 2", ..., written straight into
// the file: large tables in an instant.
QString WordsTable(const QString& path, int count) {
    kesp::CreateTable(path, {{"WORD", 'C', kWordWidth, 0}});
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const int headerLength =
        static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
    bytes.truncate(headerLength);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<char>(static_cast<quint32>(count) >> (8 * i));
    bytes.reserve(headerLength + qint64{count} * (kWordWidth + 1) + 1);
    for (int n = 1; n <= count; ++n)
        bytes += ' ' + QByteArray("word ").append(QByteArray::number(n)).leftJustified(kWordWidth);
    bytes += '\x1a';
    file.seek(0);
    file.write(bytes);
    return path;
}

qint64 RecordOffset(int record) {
    return 32 * 2 + 1 + qint64{record - 1} * (kWordWidth + 1);
}

// Cuts the file to `length` bytes from a child process, as another program would.
void CutFromAnotherProcess(const QString& path, qint64 length) {
    const QByteArray name = QFile::encodeName(path);
    const pid_t child = fork();
    if (child == 0) _exit(truncate(name.constData(), length) == 0 ? 0 : 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The fault of the action, which must be the damage of a table cut while open.
kesp::Fault CutFault(const std::function<void()>& action) {
    try {
        action();
    } catch (const FaultException& e) {
        return e.fault();
    }
    ADD_FAILURE() << "no fault";
    return {};
}

void ExpectCutOf(const QString& path, const kesp::Fault& fault) {
    EXPECT_TRUE(fault.cutWhileOpen);
    EXPECT_EQ(fault.subCode, 1012);
    EXPECT_EQ(fault.fileName, path);
    EXPECT_TRUE(fault.text().contains(path)) << fault.text().toStdString();
}

// A cut at the first page boundary in `record`, or after it. (Bytes past a
// cut on the page it falls in read as zeros, without a signal: the system
// maps pages whole. Only the pages after it are lost.)
qint64 PageCutIn(int record) {
    return (RecordOffset(record) + kPage - 1) / kPage * kPage;
}

// The first record that reaches past the cut.
int FirstRecordLost(qint64 cut) {
    int record = 1;
    while (RecordOffset(record) + kWordWidth + 1 <= cut)
        ++record;
    return record;
}

using CutWhileOpen = StoreTest;

// A table only looked at is mapped at any size: cut while its records are
// being read, the first record on a lost page raises the damage, those
// before it read as they were, and the shorter table opens again.
TEST_F(CutWhileOpen, ATableCutWhileItIsReadRaisesItsDamageAndOpensAgainShorter) {
    const QString path = WordsTable(Path("looked.dbf"), 5000);
    const qint64 cut = PageCutIn(1001);
    const int firstLost = FirstRecordLost(cut);
    {
        const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
        ASSERT_TRUE(table);
        int read = 0;
        const kesp::Fault fault = CutFault([&] {
            for (std::uint32_t r = 1; r <= table->RecordCount(); ++r) {
                if (r == 500) CutFromAnotherProcess(path, cut);
                EXPECT_EQ(table->Read(r, 0).toString().trimmed(), QStringLiteral("word %1").arg(r));
                read = static_cast<int>(r);
            }
        });
        ExpectCutOf(path, fault);
        EXPECT_EQ(read, firstLost - 1);
        EXPECT_TRUE(table->cutWhileOpen());
        // Every later read of the table raises it again, also of a record kept.
        ExpectCutOf(path, CutFault([&] { table->Read(1, 0); }));
        ExpectCutOf(path, CutFault([&] { table->ReadBytes(2, 0); }));
        ExpectCutOf(path, CutFault([&] { table->Check(); }));
    }
    const std::unique_ptr<DbfTable> again = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    ASSERT_TRUE(again);
    const auto kept = static_cast<std::uint32_t>(firstLost - 1);
    EXPECT_EQ(again->RecordCount(), kept);
    EXPECT_EQ(again->Read(kept, 0).toString().trimmed(), QStringLiteral("word %1").arg(kept));
    EXPECT_FALSE(again->Check().empty()) << "the header counts records the file lost";
}

// A large table opened for changes maps its records: reading, indexing,
// marking, packing and closing it after a cut raise or write nothing.
TEST_F(CutWhileOpen, ALargeTableCutUnderTheWorkAreasWritesNothingFromTheLostPart) {
    const QString path = WordsTable(Path("large.dbf"), 100000);  // 9.6 MB: mapped
    // Inside the first 4 MB, which the window the marks are written through maps.
    const qint64 cut = PageCutIn(20001);
    const int firstLost = FirstRecordLost(cut);
    const auto cutAgain = [&] {
        DBCLOSEALL();
        WordsTable(path, 100000);
        DBUSEAREA(true, path, "big");
        DBGOTO(1);
        DBDELETE();  // maps the window
        CutFromAnotherProcess(path, cut);
    };

    cutAgain();
    DBGOTO(firstLost - 1);
    EXPECT_EQ(FIELD("WORD").toString().trimmed(), QStringLiteral("word %1").arg(firstLost - 1));
    DBGOTO(firstLost);
    ExpectCutOf(path, CutFault([] { FIELD("WORD"); }));
    const QByteArray afterCut = ReadFile("large.dbf");
    ExpectCutOf(path, CutFault([] { DBCOMMIT(); }));
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("large.dbf"), afterCut) << "closing writes nothing";

    cutAgain();
    ExpectCutOf(path, CutFault([] { DBCREATEINDEX("big_word", "WORD"); }));
    DBCLOSEALL();
    EXPECT_FALSE(QFile::exists(Path("big_word.ntx")));

    cutAgain();
    DBGOTO(firstLost + 100);  // its mark goes through the window into a lost page
    ExpectCutOf(path, CutFault([] { DBDELETE(); }));
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("large.dbf").size(), cut);

    cutAgain();
    DBGOTO(90000);  // its mark lies beyond the window and the file
    ExpectCutOf(path, CutFault([] { DBDELETE(); }));
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("large.dbf").size(), cut);

    cutAgain();
    DBGOTO(2);
    DBDELETE();
    ExpectCutOf(path, CutFault([] { __DBPACK(); }));
    EXPECT_FALSE(QFile::exists(path + ".packing"));
    EXPECT_EQ(ReadFile("large.dbf").size(), cut) << "the pack swapped nothing in";
    DBCLOSEALL();

    DBUSEAREA(true, path, "big");
    EXPECT_EQ(RECCOUNT(), firstLost - 1);
    DBGOTO(firstLost - 1);
    EXPECT_EQ(FIELD("WORD").toString().trimmed(), QStringLiteral("word %1").arg(firstLost - 1));
}

// A table read into memory keeps its records; the deletion mark of a record
// the file no longer holds is the cut's damage, not a write past the end.
TEST_F(CutWhileOpen, AMarkForARecordTheFileLostIsTheTablesDamage) {
    const QString path = WordsTable(Path("small.dbf"), 200);
    DBUSEAREA(true, path, "small");
    CutFromAnotherProcess(path, RecordOffset(101));
    DBGOTO(150);
    EXPECT_EQ(FIELD("WORD").toString().trimmed(), QStringLiteral("word 150")) << "read at opening";
    ExpectCutOf(path, CutFault([] { DBDELETE(); }));
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("small.dbf").size(), RecordOffset(101)) << "nothing written past the cut";
}

// Watching and letting go from several threads while a cut table is read:
// every read of the lost part gives the damage, never a signal.
TEST_F(CutWhileOpen, MappingsWatchedFromOtherThreadsMeanwhileKeepTheCutsApart) {
    const QString path = WordsTable(Path("threads.dbf"), 3000);
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    ASSERT_TRUE(table);
    CutFromAnotherProcess(path, PageCutIn(1001));

    std::atomic<bool> stop{false};
    std::vector<std::thread> watchers;
    for (int t = 0; t < 3; ++t) {
        watchers.emplace_back([&stop] {
            void* page = mmap(nullptr, kPage, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            while (!stop.load()) {
                kesp::store::MappingGuard guard;
                guard.Watch(page, kPage);
            }
            munmap(page, kPage);
        });
    }
    int faults = 0;
    for (std::uint32_t r = 2999; r > 2000; r -= 7) {
        try {
            table->Read(r, 0);
        } catch (const FaultException& e) {
            faults += e.fault().cutWhileOpen ? 1 : 0;
        }
    }
    stop.store(true);
    for (std::thread& watcher : watchers)
        watcher.join();
    EXPECT_EQ(faults, 143);
}

// When every place of the guard is taken, a table is read rather than mapped.
TEST_F(CutWhileOpen, WhenNoMappingCanBeWatchedTheTableIsReadInstead) {
    const QString path = WordsTable(Path("unwatched.dbf"), 3000);
    void* page = mmap(nullptr, kPage, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::vector<kesp::store::MappingGuard> taken;
    for (;;) {
        kesp::store::MappingGuard guard;
        if (!guard.Watch(page, kPage)) break;
        taken.push_back(std::move(guard));
    }
    EXPECT_LE(taken.size(), std::size_t{kesp::store::kWatchedMappings});
    {
        const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
        ASSERT_TRUE(table);
        CutFromAnotherProcess(path, PageCutIn(1001));
        EXPECT_EQ(table->Read(3000, 0).toString().trimmed(), QStringLiteral("word 3000"));
        EXPECT_FALSE(table->cutWhileOpen());
    }
    taken.clear();
    munmap(page, kPage);
}

// The outcome of `body` run in a child process: the signal that ended it, or 0.
int SignalThatEnds(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST_F(CutWhileOpen, ASigbusThatIsNoneOfTheStoresStillEndsTheProcess) {
    const QString path = WordsTable(Path("own.dbf"), 3000);
    // The store's handler is in place once a table was mapped.
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    ASSERT_TRUE(table);
    const QString other = Path("other.bin");
    WriteFile("other.bin", QByteArray(4 * kPage, 'x'));

    EXPECT_EQ(SignalThatEnds([&] {
                  QFile file(other);
                  if (!file.open(QIODevice::ReadWrite)) _exit(2);
                  const char* mapped = static_cast<const char*>(
                      mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, file.handle(), 0));
                  if (mapped == MAP_FAILED || !file.resize(kPage)) _exit(2);
                  const volatile char lost = mapped[3 * kPage];
                  (void)lost;
              }),
              SIGBUS);
    EXPECT_EQ(SignalThatEnds([] { kill(getpid(), SIGBUS); }), SIGBUS);
    // And one in the store's mapping, in a child that goes on reading: the damage.
    EXPECT_EQ(SignalThatEnds([&] {
                  CutFromAnotherProcess(path, PageCutIn(1001));
                  try {
                      table->Read(3000, 0);
                  } catch (const FaultException&) {
                      _exit(0);
                  }
                  _exit(3);
              }),
              0);
}

}  // namespace
