// Writes the system refuses (a full disk, a drive that fails, a file size
// limit) are thrown as WriteFailure and leave each table as it was at its
// last commit; deletion marks reach the file at once; the table lock has no
// gap while packs swap files.
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>

using kesp::WriteFailure;
using kesp::store::FailFileChangesForTests;
using kesp::store::LimitRoomForTests;
using kesp::store::RefuseChangesToFilesForTests;

namespace {

QString Memo(int record, int version) {
    return QStringLiteral("memo %1 v%2 ").arg(record).arg(version).repeated(30 * record);
}

class WriteFailures : public StoreTest, public ::testing::WithParamInterface<kesp::MemoKind> {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        memoName_ = GetParam() == kesp::MemoKind::Fpt ? "t.fpt" : "t.dbt";
        kesp::CreateTable(Path("t.dbf"), {{"NAME", 'C', 10, 0}, {"TEXT", 'M', 10, 0}}, GetParam());
        DBUSEAREA(true, Path("t.dbf"));
        for (const char* name : {"Clara", "Anna", "Bernd"}) {
            DBAPPEND();
            REPLACE("NAME", QString::fromLatin1(name));
            REPLACE("TEXT", Memo(RECNO(), 1));
        }
        DBCLOSEALL();
        table_ = ReadFile("t.dbf");
        memo_ = ReadFile(memoName_);
    }
    void TearDown() override {
        LimitRoomForTests(-1);
        FailFileChangesForTests(0, 0);
        StoreTest::TearDown();
    }
    void Restore() {
        DBCLOSEALL();
        WriteFile("t.dbf", table_);
        WriteFile(memoName_, memo_);
    }
    // A new record and a changed one, committed: what saving does.
    static void AppendAndChange() {
        DBAPPEND();
        REPLACE("NAME", QStringLiteral("Dora"));
        REPLACE("TEXT", Memo(4, 1));
        DBGOTO(2);
        REPLACE("NAME", QStringLiteral("Anja"));
        REPLACE("TEXT", Memo(2, 2));
        DBCOMMIT();
    }
    QStringList NamesInOrder() {
        QStringList names;
        for (DBGOTOP(); !DBEOF(); DBSKIP())
            names << FIELD("NAME").toString().trimmed();
        return names;
    }
    QString memoName_;
    QByteArray table_;
    QByteArray memo_;
};

}  // namespace

TEST_P(WriteFailures, AFullDiskAtAnyByteLeavesBothFilesAsAtTheLastCommit) {
    int refused = 0;
    for (std::int64_t room = 0;; room += 61) {
        Restore();
        DBUSEAREA(true, Path("t.dbf"), "t");
        DBCREATEINDEX("tname", "UPPER(NAME)");
        LimitRoomForTests(room);
        try {
            AppendAndChange();
        } catch (const WriteFailure& failure) {
            ++refused;
            LimitRoomForTests(-1);
            EXPECT_EQ(failure.fault().osCode, ENOSPC);
            EXPECT_TRUE(failure.fault().fileName.endsWith("t.dbf") ||
                        failure.fault().fileName.endsWith(memoName_))
                << failure.fault().text();
            EXPECT_EQ(ReadFile("t.dbf"), table_) << "room " << room;
            EXPECT_EQ(ReadFile(memoName_), memo_) << "room " << room;
            // In memory too: the append is gone, the changed record reads as committed,
            // the order follows.
            EXPECT_EQ(RECCOUNT(), 3);
            EXPECT_EQ(NamesInOrder(), (QStringList{"Anna", "Bernd", "Clara"})) << "room " << room;
            DBGOTO(2);
            EXPECT_EQ(FIELD("TEXT").toString(), Memo(2, 1));
            // Room made: the same save goes through.
            AppendAndChange();
            EXPECT_EQ(NamesInOrder(), (QStringList{"Anja", "Bernd", "Clara", "Dora"}));
            DBCLOSEALL();
            DBUSEAREA(true, Path("t.dbf"));
            EXPECT_EQ(RECCOUNT(), 4);
            DBGOTO(4);
            EXPECT_EQ(FIELD("TEXT").toString(), Memo(4, 1));
            continue;
        }
        LimitRoomForTests(-1);
        break;
    }
    EXPECT_GT(refused, 20);
}

TEST_P(WriteFailures, ADriveFailingAtAnyChangeNeverLosesACommittedRecord) {
    int refused = 0;
    for (int n = 1;; ++n) {
        Restore();
        DBUSEAREA(true, Path("t.dbf"));
        FailFileChangesForTests(n, EIO);
        try {
            AppendAndChange();
            DBCLOSEALL();
        } catch (const WriteFailure& failure) {
            ++refused;
            EXPECT_EQ(failure.fault().osCode, EIO);
            EXPECT_EQ(RECCOUNT(), 3) << "run " << n;
        }
        FailFileChangesForTests(0, 0);
        DBCLOSEALL();
        if (refused < n) break;  // every change went through
        DBUSEAREA(true, Path("t.dbf"));
        // The header is written last: it names 3 records, or 4 when only the
        // final sync failed; each record holds its old or its new values.
        ASSERT_GE(RECCOUNT(), 3) << "run " << n;
        ASSERT_LE(RECCOUNT(), 4) << "run " << n;
        const QStringList names = NamesInOrder();
        EXPECT_EQ(names.value(0), "Clara") << "run " << n;
        EXPECT_TRUE(names.value(1) == "Anna" || names.value(1) == "Anja") << "run " << n;
        EXPECT_EQ(names.value(2), "Bernd") << "run " << n;
        if (names.size() == 4) {
            EXPECT_EQ(names.value(3), "Dora") << "run " << n;
        }
        DBGOTO(2);
        const QString second = FIELD("TEXT").toString();
        EXPECT_TRUE(second == Memo(2, 1) || second == Memo(2, 2)) << "run " << n;
        DBCLOSEALL();
    }
    EXPECT_GT(refused, 5);
}

TEST_P(WriteFailures, APackRefusedByAFullDiskLeavesTheTableAndNoFilesBeside) {
    DBUSEAREA(true, Path("t.dbf"));
    DBGOTO(1);
    DBDELETE();
    DBCLOSEALL();
    const QByteArray marked = ReadFile("t.dbf");
    int refused = 0;
    for (std::int64_t room = 0;; room += 64) {
        DBUSEAREA(true, Path("t.dbf"));
        LimitRoomForTests(room);
        try {
            __DBPACK();
        } catch (const WriteFailure&) {
            ++refused;
            LimitRoomForTests(-1);
            EXPECT_EQ(ReadFile("t.dbf"), marked);
            EXPECT_EQ(ReadFile(memoName_), memo_);
            for (const QString& leftover : QDir(Path(".")).entryList({"*.pack*"}))
                ADD_FAILURE() << leftover.toStdString() << " left beside the table";
            EXPECT_EQ(RECCOUNT(), 3);
            EXPECT_EQ(NamesInOrder(), (QStringList{"Anna", "Bernd"}));
            DBCLOSEALL();
            continue;
        }
        LimitRoomForTests(-1);
        EXPECT_EQ(RECCOUNT(), 2);
        break;
    }
    EXPECT_GT(refused, 5);
}

INSTANTIATE_TEST_SUITE_P(Store, WriteFailures,
                         ::testing::Values(kesp::MemoKind::Dbt, kesp::MemoKind::Fpt),
                         [](const auto& info) {
                             return info.param == kesp::MemoKind::Dbt ? "Dbt" : "Fpt";
                         });

TEST_F(StoreTest, TheDeletionMarkIsInTheFileAsSoonAsDeleteReturns) {
    const QString path = NamesTable({"Anna", "Bernd", "Clara"});
    const auto markOf = [this](int record) {
        const QByteArray bytes = ReadFile("names.dbf");  // a second reader, without the store
        return bytes.at(32 + 3 * 32 + 1 + (record - 1) * (1 + 20 + 5 + 8));
    };
    DBUSEAREA(true, path);
    DBGOTO(2);
    REPLACE("VORNAME", QStringLiteral("Berta"));  // a change not yet committed
    DBDELETE();
    EXPECT_EQ(markOf(2), '*');
    EXPECT_EQ(ReadFile("names.dbf").mid(32 + 3 * 32 + 1 + 34 + 1, 5), QByteArray("Bernd"))
        << "only the mark is written";
    DBRECALL();
    EXPECT_EQ(markOf(2), ' ');

    // A mark the drive refuses stays off, in memory as in the file.
    FailFileChangesForTests(1, EIO);
    DBGOTO(3);
    EXPECT_THROW(DBDELETE(), WriteFailure);
    FailFileChangesForTests(0, 0);
    EXPECT_FALSE(DELETED());
    EXPECT_EQ(markOf(3), ' ');

    // Deleted and then the commit fails: the deletion stays, the change goes.
    DBGOTO(1);
    DBDELETE();
    DBGOTO(2);
    FailFileChangesForTests(1, EIO);
    EXPECT_THROW(DBCOMMIT(), WriteFailure);
    FailFileChangesForTests(0, 0);
    DBGOTO(1);
    EXPECT_TRUE(DELETED());
    DBGOTO(2);
    EXPECT_EQ(FIELD("VORNAME").toString().trimmed(), QStringLiteral("Bernd"));
    DBCLOSEALL();
    EXPECT_EQ(markOf(1), '*');
}

TEST_F(StoreTest, AMarkWrittenInPlaceMovesTheFileTimeAndReachesHolesAndLaterRecords) {
    const QString path = NamesTable({"Anna", "Bernd", "Clara"});
    constexpr int kRecord = 1 + 20 + 5 + 8;
    const auto markOf = [this](int record) {
        return ReadFile("names.dbf").at(32 + 3 * 32 + 1 + (record - 1) * kRecord);
    };
    const QDateTime longAgo(QDate(2001, 2, 3), QTime(4, 5));
    const auto setTimeLongAgo = [&path, &longAgo] {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
    };
    DBUSEAREA(true, path);
    DBGOTO(2);
    DBDELETE();
    EXPECT_EQ(markOf(2), '*');
    // Backups tell changed files by their time: every mark moves it, also
    // one on a part of the file a mark has just written, once the system's
    // coarse clock (which file times follow) has moved on.
    setTimeLongAgo();
    timespec first{};
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &first);
    do {
        clock_gettime(CLOCK_REALTIME_COARSE, &now);
    } while (now.tv_sec == first.tv_sec && now.tv_nsec == first.tv_nsec);
    DBGOTO(1);
    DBDELETE();
    EXPECT_EQ(markOf(1), '*');
    EXPECT_GT(QFileInfo(path).lastModified(), longAgo);

    // A record appended and committed after the first mark lies past the
    // part of the file the first mark saw.
    DBAPPEND();
    REPLACE("VORNAME", QStringLiteral("Dora"));
    DBCOMMIT();
    DBDELETE();
    EXPECT_EQ(markOf(4), '*');
    DBCLOSEALL();

    // Records in a hole of the file (a table grown by another program
    // without writing them): the system may still need room there.
    QByteArray header = ReadFile("names.dbf").left(32 + 3 * 32 + 1);
    header[4] = 40;  // records counted
    WriteFile("names.dbf", header);
    ASSERT_TRUE(QFile::resize(path, header.size() + 40 * kRecord + 1));
    DBUSEAREA(true, path);
    ASSERT_EQ(RECCOUNT(), 40);
    DBGOTO(39);
    DBDELETE();
    EXPECT_EQ(markOf(39), '*');
    DBCLOSEALL();
}

TEST_F(StoreTest, ARefusedIndexFileLeavesEveryOrderInUseAndIsToldOnce) {
    const QString path = NamesTable({"Clara", "Anna", "Bernd"});
    DBUSEAREA(true, path);
    DBCREATEINDEX("byname", "VORNAME");
    const QByteArray written = ReadFile("byname.ntx");
    const auto names = [] {
        QStringList order;
        DBEVAL([&order] { order.append(FIELD("VORNAME").toString().trimmed()); });
        return order;
    };

    DBAPPEND();
    REPLACE("VORNAME", QStringLiteral("Aaron"));
    DBCOMMIT();
    RefuseChangesToFilesForTests(".ntx", ENOSPC);
    // Closing the order in use and creating another: both files refused, both
    // orders built, the first refusal thrown once the new order is in use.
    try {
        DBCREATEINDEX("bynumber", "NR");
        ADD_FAILURE() << "no write failure";
    } catch (const WriteFailure& failure) {
        EXPECT_EQ(QFileInfo(failure.fault().fileName).fileName(), QStringLiteral("byname.ntx"));
    }
    EXPECT_EQ(INDEXKEY(), QStringLiteral("NR"));
    EXPECT_THROW(DBCREATEINDEX("byname", "VORNAME"), WriteFailure);
    EXPECT_EQ(INDEXKEY(), QStringLiteral("VORNAME"));
    EXPECT_EQ(names(), QStringList({"Aaron", "Anna", "Bernd", "Clara"}));
    // The versions refused are not tried again at every close.
    EXPECT_NO_THROW(ORDLISTCLEAR());
    EXPECT_NO_THROW(DBCLOSEALL());
    RefuseChangesToFilesForTests({}, 0);
    EXPECT_EQ(ReadFile("byname.ntx"), written) << "the old file stays whole";
    EXPECT_FALSE(QFile::exists(Path("bynumber.ntx")));
    EXPECT_FALSE(QFile::exists(Path("byname.ntx.new")));

    // Its entries are never trusted: the next opening orders by the table.
    DBUSEAREA(true, path);
    ORDLISTADD("byname");
    EXPECT_EQ(names(), QStringList({"Aaron", "Anna", "Bernd", "Clara"}));
}

TEST_F(StoreTest, AFileSizeLimitFailsTheWriteInsteadOfKillingTheProcess) {
    const QString path = NamesTable({"Anna"});
    const qint64 size = QFileInfo(path).size();
    const pid_t child = fork();
    if (child == 0) {
        rlimit limit{static_cast<rlim_t>(size + 3 * 34), static_cast<rlim_t>(size + 3 * 34)};
        setrlimit(RLIMIT_FSIZE, &limit);
        int committed = 1;
        try {
            DBUSEAREA(true, path);
            for (;;) {
                DBAPPEND();
                REPLACE("VORNAME", QStringLiteral("Name %1").arg(committed));
                DBCOMMIT();
                ++committed;
            }
        } catch (const WriteFailure& failure) {
            _exit(failure.fault().osCode == EFBIG ? committed : 100);
        }
        _exit(101);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    const int committed = WEXITSTATUS(status);
    ASSERT_LT(committed, 100);
    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), committed);
    EXPECT_EQ(QFileInfo(path).size(), 32 + 3 * 32 + 1 + committed * 34 + 1);
}

TEST_F(StoreTest, AnotherProcessNeverGetsTheLockWhileTheTableIsPacked) {
    // In memory where the system offers it: a thousand packs sync a lot.
    QTemporaryDir memory(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/kesp-lock-XXXXXX")
                                                   : QDir::tempPath() + "/kesp-lock-XXXXXX");
    const QString path = memory.filePath("names.dbf");
    QFile::copy(NamesTable({"Anna", "Bernd"}), path);
    int stop[2];
    int tried[2];  // the other process says it has tried often enough
    ASSERT_EQ(pipe(stop), 0);
    ASSERT_EQ(pipe(tried), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(stop[1]);
        close(tried[0]);
        int got = 0;
        int tries = 0;
        try {
            for (;; ++tries) {
                if (kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect))
                    ++got;
                if (tries == 100 && write(tried[1], "t", 1) != 1) _exit(4);
                pollfd wait{stop[0], POLLIN, 0};
                if (poll(&wait, 1, 0) > 0) break;
            }
        } catch (const kesp::FaultException&) {
            _exit(3);
        }
        _exit(got > 0 ? 1 : tries > 100 ? 0 : 2);
    }
    close(stop[0]);
    close(tried[1]);
    DBUSEAREA(true, path);
    // At least a thousand packs, and on a busy machine as many more as it
    // takes the other process to try a hundred times.
    pollfd enough{tried[0], POLLIN, 0};
    for (int pack = 0; pack < 1000 || (pack < 200000 && poll(&enough, 1, 0) == 0); ++pack) {
        DBAPPEND();
        REPLACE("VORNAME", QStringLiteral("Gone"));
        DBDELETE();
        __DBPACK();
        ASSERT_EQ(RECCOUNT(), 2);
    }
    close(stop[1]);
    close(tried[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 1) << "the other process got the lock during a pack";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the other process hardly tried";
}
