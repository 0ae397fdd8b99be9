// The trash under the packs: what a pack removes is kept byte for byte and
// comes back; a refused or killed pack leaves each record in its table or in
// its trash, once.
#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "other_reader.h"
#include "store/dbf_table.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "tests/killed_child.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>

namespace {

using kesp::store::DbfTable;

class TrashTables : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        THE_DATA_PATH = folder_.path() + "/";
        KeepPackedRecordsOf({"notiz.dbf"});
    }
    void TearDown() override {
        DBCLOSEALL();
        KeepPackedRecordsOf({});
    }

    // Notes 1..count, the memo of each with a line break and Windows-1252
    // letters; those whose number `deleted` holds are marked deleted.
    void MakeNotes(const QString& table, int count, const std::function<bool(int)>& deleted) {
        kesp::CreateTable(THE_DATA_PATH + table,
                          {{"NR", 'N', 5},
                           {"N_TITEL", 'C', 30},
                           {"N_DATUM", 'D', 8},
                           {"ERLEDIGT", 'L', 1},
                           {"N_TEXT", 'M', 10}},
                          kesp::MemoKind::Fpt);
        DBUSEAREA(true, THE_DATA_PATH + table, "n");
        for (int nr = 1; nr <= count; ++nr) {
            DBAPPEND();
            REPLACE("NR", nr);
            REPLACE("N_TITEL", QString("Grüße Nr. %1 – €").arg(nr));
            REPLACE("N_DATUM", QDate(2026, 12, nr % 28 + 1));
            REPLACE("ERLEDIGT", nr % 2 == 0);
            REPLACE("N_TEXT", QString("Zeile eins; \\ \"zwei\"\r\nZeile ß %1").arg(nr));
            if (deleted(nr)) DBDELETE();
        }
        DBCLOSEALL();
    }

    void Pack(const QString& table) {
        DBUSEAREA(true, THE_DATA_PATH + table, "n");
        __DBPACK();
        DBCLOSEALL();
    }

    // How often each note number stands in the table (deleted or not) and in
    // its trash (rows not dropped).
    std::map<int, int> Occurrences(const QString& table) {
        std::map<int, int> seen;
        for (const QString& path : {THE_DATA_PATH + table, TrashTablePath(table)}) {
            if (!QFile::exists(path)) continue;
            const auto read = DbfTable::Open(path, DbfTable::Purpose::Inspect);
            const bool trash = path != THE_DATA_PATH + table;
            for (std::uint32_t r = 1; r <= read->RecordCount(); ++r)
                if (!trash || !read->IsDeleted(r)) ++seen[read->Read(r, 0).toInt()];
        }
        return seen;
    }

    // Twelve notes, every third marked deleted, packed by a child process
    // killed before its nth file change; false when the pack finished.
    bool PackOfTwelveKilledBefore(int n) {
        QDir(TrashFolder()).removeRecursively();
        for (const char* leftover : {"notiz.dbf.pack", "notiz.dbf.packing", "notiz.fpt.packing"})
            QFile::remove(THE_DATA_PATH + leftover);
        MakeNotes("notiz.dbf", 12, [](int nr) { return nr % 3 == 0; });
        return KilledBeforeFileChange(n, [this] { Pack("notiz.dbf"); });
    }

    static std::map<int, int> EachOnce(int count) {
        std::map<int, int> once;
        for (int nr = 1; nr <= count; ++nr)
            once[nr] = 1;
        return once;
    }

    QTemporaryDir folder_;
};

TEST_F(TrashTables, APackKeepsWhatItRemovesByteForByteAndRestoringBringsItBack) {
    MakeNotes("notiz.dbf", 4, [](int nr) { return nr == 2 || nr == 3; });
    auto before = DbfTable::Open(THE_DATA_PATH + "notiz.dbf", DbfTable::Purpose::Inspect);
    std::vector<QByteArray> second;
    for (int field = 0; field < 5; ++field)
        second.push_back(before->ReadBytes(2, field));
    before.reset();

    Pack("notiz.dbf");
    EXPECT_EQ(ReadWithDbfread(THE_DATA_PATH + "notiz.dbf", "NR"), QStringList({"1", "4"}));
    // Another program reads the trash as a plain table, memos included.
    EXPECT_EQ(ReadWithDbfread(TrashTablePath("notiz.dbf"), "N_TITEL"),
              QStringList({"Grüße Nr. 2 – €", "Grüße Nr. 3 – €"}));
    EXPECT_EQ(ReadWithDbfread(TrashTablePath("notiz.dbf"), "GELOESCHT").size(), 2);

    const QList<TrashedRecord> trashed = TrashedRecordsOf("notiz.dbf", {"N_TITEL"});
    ASSERT_EQ(trashed.size(), 2);
    EXPECT_EQ(trashed[0].values.value("N_TITEL").toString().trimmed(), "Grüße Nr. 2 – €");
    EXPECT_EQ(trashed[0].packedAt.date(), QDate::currentDate());
    EXPECT_EQ(trashed[0].pack, trashed[1].pack);
    EXPECT_EQ(trashed[0].pack, LastPackOf("NOTIZ.DBF"));

    EXPECT_EQ(RestoreFromTrash("notiz.dbf", {trashed[0].row}), 1);
    auto after = DbfTable::Open(THE_DATA_PATH + "notiz.dbf", DbfTable::Purpose::Inspect);
    ASSERT_EQ(after->RecordCount(), 3u);
    for (int field = 0; field < 5; ++field)
        EXPECT_EQ(after->ReadBytes(3, field), second[static_cast<std::size_t>(field)]) << field;
    after.reset();
    EXPECT_EQ(TrashedRecordsOf("notiz.dbf", {}).size(), 1);

    // The rest of that pack at once, as a maintenance window takes its run back.
    EXPECT_EQ(RestorePack("notiz.dbf", trashed[1].pack), 1);
    EXPECT_EQ(ReadWithDbfread(THE_DATA_PATH + "notiz.dbf", "NR"),
              QStringList({"1", "4", "2", "3"}));
    EXPECT_TRUE(TrashedRecordsOf("notiz.dbf", {}).isEmpty());
}

TEST_F(TrashTables, OnlyTheKeptTablesGoToTheTrashAndOldRecordsLeaveIt) {
    MakeNotes("fremd.dbf", 2, [](int nr) { return nr == 1; });
    Pack("fremd.dbf");
    EXPECT_FALSE(QFile::exists(TrashTablePath("fremd.dbf")));

    MakeNotes("notiz.dbf", 3, [](int nr) { return nr != 2; });
    Pack("notiz.dbf");
    // The first record was packed away 31 days ago, the other today.
    {
        const auto trash = DbfTable::Open(TrashTablePath("notiz.dbf"));
        trash->Write(1, trash->FieldIndex("GELOESCHT"), QDate::currentDate().addDays(-31));
        trash->Commit();
    }
    EXPECT_EQ(ForgetTrashBefore(QDate::currentDate().addDays(-30)), 1);
    const QList<TrashedRecord> left = TrashedRecordsOf("notiz.dbf", {"NR"});
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].values.value("NR").toInt(), 3);
    EXPECT_EQ(EmptyTrashOf("notiz.dbf"), 1);
    EXPECT_TRUE(TrashedRecordsOf("notiz.dbf", {}).isEmpty());
}

TEST_F(TrashTables, APackTheDiskRefusesKeepsItsRecordsInTheTableAndNothingInTheTrashTwice) {
    const auto tableBytes = [] {
        QFile file(THE_DATA_PATH + "notiz.dbf");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    int refused = 0;
    for (const std::int64_t room : {0, 300, 700, 1500, 4000}) {
        QDir(TrashFolder()).removeRecursively();
        MakeNotes("notiz.dbf", 3, [](int nr) { return nr == 2; });
        const QByteArray before = tableBytes();
        kesp::store::LimitRoomForTests(room);
        DBUSEAREA(true, THE_DATA_PATH + "notiz.dbf", "n");
        try {
            __DBPACK();
        } catch (const kesp::WriteFailure& failure) {
            ++refused;
            EXPECT_EQ(failure.fault().fileName, THE_DATA_PATH + "notiz.dbf");
            EXPECT_EQ(tableBytes(), before) << room;
        }
        kesp::store::LimitRoomForTests(-1);
        DBCLOSEALL();
        FinishUnfinishedPacks();
        EXPECT_EQ(Occurrences("notiz.dbf"), (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}})) << room;
    }
    EXPECT_GE(refused, 2);
}

TEST_F(TrashTables, APackKilledAtAnyFileChangeLeavesEachRecordInTheTableOrTheTrashOnce) {
    int killed = 0;
    for (int n = 1;; ++n) {
        const bool wasKilled = PackOfTwelveKilledBefore(n);
        // The next start.
        FinishUnfinishedPacks();
        EXPECT_EQ(Occurrences("notiz.dbf"), EachOnce(12)) << "killed before file change " << n;
        if (!wasKilled) break;
        ++killed;
    }
    EXPECT_GT(killed, 10);
    // After the last, finished pack the removed records are in the trash alone.
    EXPECT_EQ(TrashedRecordsOf("notiz.dbf", {}).size(), 4);
}

TEST_F(TrashTables, ARestoreKilledAtAnyFileChangeLeavesEachRecordOnceAndARetryAddsNothingTwice) {
    int killed = 0;
    for (int n = 1;; ++n) {
        QDir(TrashFolder()).removeRecursively();
        MakeNotes("notiz.dbf", 12, [](int nr) { return nr % 3 == 0; });
        Pack("notiz.dbf");
        const bool wasKilled = KilledBeforeFileChange(n, [] {
            QList<std::uint32_t> rows;
            for (const TrashedRecord& record : TrashedRecordsOf("notiz.dbf", {}))
                rows.append(record.row);
            RestoreFromTrash("notiz.dbf", rows);
        });
        // The next start, before anything reads the trash.
        TidyTrashFolder();
        FinishUnfinishedPacks();
        FinishUnfinishedRestores();
        EXPECT_EQ(Occurrences("notiz.dbf"), EachOnce(12)) << "killed before file change " << n;
        EXPECT_FALSE(QFile::exists(TrashFolder() + "zurueck.dbf")) << n;
        // The user restores what the trash still shows: nothing comes twice.
        QList<std::uint32_t> rows;
        for (const TrashedRecord& record : TrashedRecordsOf("notiz.dbf", {}))
            rows.append(record.row);
        if (!rows.isEmpty()) {
            EXPECT_EQ(RestoreFromTrash("notiz.dbf", rows), rows.size()) << n;
        }
        EXPECT_EQ(Occurrences("notiz.dbf"), EachOnce(12)) << "restored again after " << n;
        EXPECT_EQ(ReadWithDbfread(THE_DATA_PATH + "notiz.dbf", "NR").size(), 12) << n;
        if (!wasKilled) break;
        ++killed;
    }
    EXPECT_GT(killed, 3);
}

TEST_F(TrashTables, RecordsWrittenBetweenAKilledPackAndTheNextStartCannotMisleadIt) {
    // Written in between: as many records as give the table its count from
    // before the pack when the pack replaced it, else three. Judged by the
    // count, the first would lose the packed records, the second double them.
    int killed = 0;
    for (int n = 1;; ++n) {
        const bool wasKilled = PackOfTwelveKilledBefore(n);
        DBUSEAREA(true, THE_DATA_PATH + "notiz.dbf", "n");
        const int added = RECCOUNT() < 12 ? 12 - RECCOUNT() : 3;
        for (int nr = 101; nr < 101 + added; ++nr) {
            DBAPPEND();
            REPLACE("NR", nr);
        }
        DBCLOSEALL();
        TidyTrashFolder();
        FinishUnfinishedPacks();
        std::map<int, int> expected;
        for (int nr = 1; nr <= 12; ++nr)
            expected[nr] = 1;
        for (int nr = 101; nr < 101 + added; ++nr)
            expected[nr] = 1;
        EXPECT_EQ(Occurrences("notiz.dbf"), expected) << "killed before file change " << n;
        if (!wasKilled) break;
        ++killed;
    }
    EXPECT_GT(killed, 10);
}

TEST_F(TrashTables, WhatTheTrashLeftUnfinishedOrDamagedIsClearedOrSetAsideBeforeAnythingOpensIt) {
    MakeNotes("notiz.dbf", 3, [](int nr) { return nr == 2; });
    Pack("notiz.dbf");
    // A table the trash was making when the process ended, and a stray
    // second name of a pack no longer under way.
    QFile cut(TrashFolder() + "neu_adressen_p.dbf");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("\x03\x7A");
    cut.close();
    ASSERT_TRUE(QFile::link(THE_DATA_PATH + "notiz.dbf", TrashFolder() + "2026.vorher") ||
                QFile::copy(THE_DATA_PATH + "notiz.dbf", TrashFolder() + "2026.vorher"));
    // Another trash table cut short by another program.
    MakeNotes("tricks.dbf", 2, [](int) { return true; });
    KeepPackedRecordsOf({"notiz.dbf", "tricks.dbf"});
    Pack("tricks.dbf");
    QFile tricks(TrashTablePath("tricks.dbf"));
    ASSERT_TRUE(tricks.resize(tricks.size() - 30));

    const QStringList setAside = TidyTrashFolder();
    ASSERT_EQ(setAside.size(), 1);
    EXPECT_TRUE(setAside[0].endsWith("_tricks.dbf")) << setAside[0].toStdString();
    EXPECT_TRUE(QFile::exists(setAside[0]));
    EXPECT_FALSE(QFile::exists(TrashTablePath("tricks.dbf")));
    EXPECT_FALSE(QFile::exists(TrashTablePath("tricks.fpt")));
    EXPECT_FALSE(QFile::exists(TrashFolder() + "neu_adressen_p.dbf"));
    EXPECT_FALSE(QFile::exists(TrashFolder() + "2026.vorher"));
    EXPECT_TRUE(TidyTrashFolder().isEmpty()) << "told once";
    // The rest of the trash reads as before.
    ForgetTrashBefore(QDate::currentDate().addDays(-30));
    EXPECT_EQ(TrashedRecordsOf("notiz.dbf", {}).size(), 1);
}

TEST_F(TrashTables, OnAFullDiskARestoreCountsWhatCameBackAndEmptyingSaysTrulyWhatItDid) {
    int told = 0;
    for (std::int64_t room = 0; room <= 6000; room += 150) {
        QDir(TrashFolder()).removeRecursively();
        MakeNotes("notiz.dbf", 6, [](int nr) { return nr > 3; });
        Pack("notiz.dbf");
        const QList<TrashedRecord> trashed = TrashedRecordsOf("notiz.dbf", {});
        ASSERT_EQ(trashed.size(), 3);
        QList<std::uint32_t> rows;
        for (const TrashedRecord& record : trashed)
            rows.append(record.row);
        kesp::store::LimitRoomForTests(room);
        int back = -1;
        try {
            back = RestoreFromTrash("notiz.dbf", rows);
        } catch (const kesp::WriteFailure&) {
            back = 0;  // refused before a record came back
        }
        kesp::store::LimitRoomForTests(-1);
        std::map<int, int> once;
        for (int nr = 1; nr <= 6; ++nr)
            once[nr] = 1;
        EXPECT_EQ(Occurrences("notiz.dbf"), once) << room;
        DBUSEAREA(true, THE_DATA_PATH + "notiz.dbf", "n");
        EXPECT_EQ(back, RECCOUNT() - 3) << "the records counted are those back, room " << room;
        DBCLOSEALL();
        if (back == 3 && told++ == 0) {
            // Emptied on a full disk: the entries are gone, and so said.
            MakeNotes("tricks.dbf", 4, [](int) { return true; });
            KeepPackedRecordsOf({"notiz.dbf", "tricks.dbf"});
            Pack("tricks.dbf");
            kesp::store::LimitRoomForTests(0);
            EXPECT_EQ(EmptyTrashOf("tricks.dbf"), 4);
            kesp::store::LimitRoomForTests(-1);
            EXPECT_TRUE(TrashedRecordsOf("tricks.dbf", {}).isEmpty());
            KeepPackedRecordsOf({"notiz.dbf"});
        }
    }
    EXPECT_GT(told, 0);
}

}  // namespace
