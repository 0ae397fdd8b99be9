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

using kesp::store::DbfTable;

namespace {

constexpr int kWidth = 95;  // records of 96 bytes after a header of 65
constexpr qint64 kPage = 4096;

// `count` records "word 1", "word 2", ..., written straight into the file.
QString WordsTable(const QString& path, int count) {
    kesp::CreateTable(path, {{"WORD", 'C', kWidth, 0}});
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.read(65);
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<char>(count >> (8 * i));
    for (int n = 1; n <= count; ++n)
        bytes += ' ' + QByteArray("word ").append(QByteArray::number(n)).leftJustified(kWidth);
    file.seek(0);
    file.write(bytes + '\x1a');
    return path;
}

// A cut at a page boundary: the records before it stay whole, the one across
// it is the first lost. (Bytes past a cut inside a page read as zeros
// without a signal: the system maps pages whole.)
constexpr qint64 kCut = 1000 * kPage;
constexpr int kFirstLost = (kCut - 65) / (kWidth + 1) + 1;

void CutFromAnotherProcess(const QString& path, qint64 length = kCut) {
    const pid_t child = fork();
    if (child == 0) _exit(truncate(QFile::encodeName(path).constData(), length));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Runs `action`, which must raise the damage of the table at `path` cut while open.
void ExpectCut(const QString& path, const std::function<void()>& action) {
    try {
        action();
        ADD_FAILURE() << "no fault";
    } catch (const kesp::FaultException& e) {
        EXPECT_TRUE(e.fault().cutWhileOpen);
        EXPECT_EQ(e.fault().subCode, 1012);
        EXPECT_TRUE(e.fault().text().contains(path)) << e.fault().text().toStdString();
    }
}

using CutWhileOpen = StoreTest;

// A table only looked at is mapped at any size: cut while it is being read,
// the first record lost raises the damage, those before it read as they were.
TEST_F(CutWhileOpen, ATableCutWhileItIsReadRaisesItsDamageAndOpensAgainShorter) {
    const QString path = WordsTable(Path("looked.dbf"), 2 * kFirstLost);
    {
        const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
        std::uint32_t read = 0;
        ExpectCut(path, [&] {
            for (std::uint32_t r = 1; r <= table->RecordCount(); read = r++) {
                if (r == 500) CutFromAnotherProcess(path);
                EXPECT_EQ(table->Read(r, 0).toString().trimmed(), QStringLiteral("word %1").arg(r));
            }
        });
        EXPECT_EQ(read, kFirstLost - 1u);
        // Every later read raises it again, of a record kept too.
        ExpectCut(path, [&] { table->Read(1, 0); });
        ExpectCut(path, [&] { table->Check(); });
    }
    const std::unique_ptr<DbfTable> again = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    EXPECT_EQ(again->RecordCount(), kFirstLost - 1u);
    EXPECT_FALSE(again->Check().empty()) << "the header counts the records lost";
}

// A large table opened for changes maps its records, and writes its marks
// through a mapped window: after a cut it reads, marks, commits, packs and
// closes without a signal and without writing a byte.
TEST_F(CutWhileOpen, ALargeTableCutUnderTheWorkAreasWritesNothing) {
    const QString path = Path("large.dbf");  // 9.6 MB: mapped
    const std::vector<std::function<void()>> uses = {
        [] {
            DBGOTO(kFirstLost);
            FIELD("WORD");
        },
        [] { DBCREATEINDEX("large", "WORD"); },
        [] {
            DBGOTO(kFirstLost + 100);
            DBDELETE();
        },  // in the window, on a lost page
        [] {
            DBGOTO(90000);
            DBDELETE();
        },  // beyond the window and the file
        [] {
            DBGOTO(2);
            DBDELETE();
            __DBPACK();
        },
    };
    for (const auto& use : uses) {
        WordsTable(path, 100000);
        DBUSEAREA(true, path);
        DBGOTO(1);
        DBDELETE();  // maps the window
        CutFromAnotherProcess(path);
        DBGOTO(kFirstLost - 1);
        EXPECT_EQ(FIELD("WORD").toString().trimmed(),
                  QStringLiteral("word %1").arg(kFirstLost - 1));
        ExpectCut(path, use);
        ExpectCut(path, [] { DBCOMMIT(); });
        DBCLOSEALL();
        EXPECT_EQ(ReadFile("large.dbf").size(), kCut);
        EXPECT_FALSE(QFile::exists(path + ".packing"));
    }
    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), kFirstLost - 1);
}

// Read into memory, a small table keeps its records; the mark of a record the
// file lost is the cut's damage, not a write past the end of the file.
TEST_F(CutWhileOpen, AMarkForARecordTheFileLostIsTheTablesDamage) {
    const QString path = WordsTable(Path("small.dbf"), 200);
    DBUSEAREA(true, path);
    CutFromAnotherProcess(path, kPage);
    DBGOTO(150);
    EXPECT_EQ(FIELD("WORD").toString().trimmed(), "word 150");
    ExpectCut(path, [] { DBDELETE(); });
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("small.dbf").size(), kPage);
}

// Mappings watched and let go of by other threads meanwhile do not hide the
// cut; with every place taken, a table is read rather than mapped.
TEST_F(CutWhileOpen, WatchesFromOtherThreadsAndAFullGuardKeepReadsSafe) {
    const QString path = WordsTable(Path("threads.dbf"), 2 * kFirstLost);
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    CutFromAnotherProcess(path);
    void* page = mmap(nullptr, kPage, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    std::atomic<bool> stop{false};
    std::vector<std::thread> watchers;
    for (int t = 0; t < 3; ++t)
        watchers.emplace_back([&] {
            while (!stop)
                kesp::store::MappingGuard().Watch(page, kPage);
        });
    for (int r = 2 * kFirstLost; r > kFirstLost; r -= 7)
        ExpectCut(path, [&] { table->Read(r, 0); });
    stop = true;
    for (std::thread& watcher : watchers)
        watcher.join();

    std::vector<kesp::store::MappingGuard> taken(kesp::store::kWatchedMappings);
    for (kesp::store::MappingGuard& guard : taken)
        guard.Watch(page, kPage);
    EXPECT_FALSE(kesp::store::MappingGuard().Watch(page, kPage));
    const QString other = WordsTable(Path("read.dbf"), 2 * kFirstLost);
    const std::unique_ptr<DbfTable> read = DbfTable::Open(other, DbfTable::Purpose::Inspect);
    CutFromAnotherProcess(other);
    EXPECT_EQ(read->Read(2 * kFirstLost, 0).toString().trimmed(),
              QStringLiteral("word %1").arg(2 * kFirstLost));
    taken.clear();
    munmap(page, kPage);
}

// The signal that ended `body`, run in a child process; 0 when the child
// exited with 0, -1 when with another code.
int SignalThatEnds(const std::function<void()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status) == 0 ? 0 : -1;
}

TEST_F(CutWhileOpen, ASigbusThatIsNoneOfTheStoresStillEndsTheProcess) {
    const QString path = WordsTable(Path("own.dbf"), 2 * kFirstLost);
    // The store's handler is in place once a table was mapped.
    const std::unique_ptr<DbfTable> table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
    WriteFile("other.bin", QByteArray(4 * kPage, 'x'));
    EXPECT_EQ(SignalThatEnds([&] {
                  QFile file(Path("other.bin"));
                  file.open(QIODevice::ReadWrite);
                  const auto* mapped = static_cast<const volatile char*>(
                      mmap(nullptr, 4 * kPage, PROT_READ, MAP_SHARED, file.handle(), 0));
                  file.resize(kPage);
                  (void)mapped[3 * kPage];
              }),
              SIGBUS);
    EXPECT_EQ(SignalThatEnds([] { kill(getpid(), SIGBUS); }), SIGBUS);
    EXPECT_EQ(SignalThatEnds([&] {
                  CutFromAnotherProcess(path);
                  try {
                      table->Read(2 * kFirstLost, 0);
                  } catch (const kesp::FaultException& e) {
                      _exit(e.fault().cutWhileOpen ? 0 : 1);
                  }
                  _exit(1);
              }),
              0);
}

}  // namespace
