// The store's waits for the disk handed to a waiter that runs them on
// another thread: the files are those the calling thread writes, and a write
// the system refuses there comes back to the caller as it would.
#include "store/disk_wait.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "test_support.h"

#include <QFile>

#include <exception>
#include <thread>
#include <vector>

namespace {

// A waiter that runs each step on a thread of its own and notes where.
class StepsOnAnotherThread {
  public:
    StepsOnAnotherThread() {
        previous_ = kesp::store::SetDiskWaiter([this](const std::function<void()>& step) {
            std::exception_ptr thrown;
            std::thread beside([&] {
                ranOn.push_back(std::this_thread::get_id());
                try {
                    step();
                } catch (...) {
                    thrown = std::current_exception();
                }
            });
            beside.join();
            if (thrown) std::rethrow_exception(thrown);
        });
    }
    ~StepsOnAnotherThread() { kesp::store::SetDiskWaiter(previous_); }
    StepsOnAnotherThread(const StepsOnAnotherThread&) = delete;
    StepsOnAnotherThread& operator=(const StepsOnAnotherThread&) = delete;

    std::vector<std::thread::id> ranOn;

  private:
    kesp::store::DiskWaiter previous_;
};

QStringList NamesInOrder() {
    QStringList names;
    for (DBGOTOP(); !DBEOF(); DBSKIP())
        names << FIELD("VORNAME").toString().trimmed();
    return names;
}

}  // namespace

TEST_F(StoreTest, StepsWaitedForOnAnotherThreadWriteWhatTheCallerWritesAndBringBackRefusals) {
    // A save as the windows make it: a new record, a changed one, the index
    // file written anew; once on the calling thread, once beside it.
    const auto save = [this](const QString& table) {
        DBUSEAREA(true, table);
        DBCREATEINDEX("byname", "VORNAME");
        DBAPPEND();
        REPLACE("VORNAME", QStringLiteral("Aaron"));
        DBGOTO(2);
        REPLACE("VORNAME", QStringLiteral("Zora"));
        DBCOMMIT();
        ORDLISTREBUILD();
        DBCLOSEALL();
        return ReadFile(QFileInfo(table).fileName());
    };
    const QStringList names{"Clara", "Anna", "Bernd"};
    const QByteArray onTheCaller = save(NamesTable(names, "caller.dbf"));
    QByteArray beside;
    std::vector<std::thread::id> ranOn;
    {
        StepsOnAnotherThread waiter;
        beside = save(NamesTable(names, "beside.dbf"));
        ranOn = waiter.ranOn;
    }
    EXPECT_EQ(beside, onTheCaller);
    // The table's syncs and the index file, at least.
    EXPECT_GE(ranOn.size(), 3U);
    for (const std::thread::id thread : ranOn)
        EXPECT_NE(thread, std::this_thread::get_id());
    DBUSEAREA(true, Path("beside.dbf"));
    ORDLISTADD("byname");
    EXPECT_EQ(NamesInOrder(), (QStringList{"Aaron", "Bernd", "Clara", "Zora"}));
    DBCLOSEALL();

    // A full disk while the index file is written beside the caller: the
    // caller gets the refusal, the old file stays whole and nothing is left beside it.
    const QByteArray index = ReadFile("byname.ntx");
    StepsOnAnotherThread waiter;
    DBUSEAREA(true, Path("beside.dbf"));
    ORDLISTADD("byname");
    DBAPPEND();
    REPLACE("VORNAME", QStringLiteral("Abel"));
    DBCOMMIT();
    kesp::store::LimitRoomForTests(40);
    try {
        ORDLISTREBUILD();
        ADD_FAILURE() << "no write failure";
    } catch (const kesp::WriteFailure& failure) {
        EXPECT_TRUE(failure.fault().fileName.endsWith("byname.ntx")) << failure.fault().text();
        EXPECT_EQ(failure.fault().osCode, ENOSPC);
    }
    kesp::store::LimitRoomForTests(-1);
    EXPECT_EQ(ReadFile("byname.ntx"), index);
    EXPECT_FALSE(QFile::exists(Path("byname.ntx.new")));
    EXPECT_EQ(NamesInOrder(), (QStringList{"Aaron", "Abel", "Bernd", "Clara", "Zora"}));
    DBCLOSEALL();
}
