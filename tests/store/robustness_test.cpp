// Damaged files give faults that name the file and never crash; pack swaps
// files whole and leaves a table with nothing to remove untouched.
#include "store/dbf_table.h"
#include "store/fault.h"
#include "test_support.h"

#include <QFile>
#include <QFileInfo>

using kesp::FaultException;

namespace {

// Opens the table and reads every field of every record (memos too).
void OpenAndReadAll(const QString& path) {
    DBUSEAREA(true, path);
    for (DBGOTOP(); !DBEOF(); DBSKIP()) {
        for (int i = 1; i <= FCOUNT(); ++i)
            FIELD(FIELDNAME(i));
    }
    DBCLOSEALL();
}

int FaultCodeOf(const QString& path, QString* fileName = nullptr, QString* text = nullptr) {
    try {
        OpenAndReadAll(path);
    } catch (const FaultException& e) {
        DBCLOSEALL();
        if (fileName) *fileName = e.fault().fileName;
        if (text) *text = e.fault().text();
        return e.fault().subCode;
    }
    return 0;
}

QString MemoTable(StoreTest&, const QString& path, kesp::MemoKind kind) {
    kesp::CreateTable(path, {{"NAME", 'C', 8, 0}, {"TEXT", 'M', 10, 0}}, kind);
    DBUSEAREA(true, path);
    for (int i = 0; i < 3; ++i) {
        DBAPPEND();
        REPLACE("NAME", QStringLiteral("n%1").arg(i));
        REPLACE("TEXT", QString(100 * (i + 1), QChar(u'a' + i)));
    }
    DBCLOSEALL();
    return path;
}

}  // namespace

TEST_F(StoreTest, DamagedHeadersAndDescriptorsGiveCorruptionFaultsNamingTheFile) {
    const QString path = NamesTable({"Anna", "Bernd"});
    const QByteArray good = ReadFile("names.dbf");
    struct Damage {
        const char* what;
        std::function<void(QByteArray&)> apply;
    };
    const std::vector<Damage> damages = {
        {"cut inside the header", [](QByteArray& b) { b.truncate(20); }},
        {"header length beyond the file",
         [](QByteArray& b) {
             b[8] = '\xFF';
             b[9] = '\x7F';
         }},
        {"record length zero",
         [](QByteArray& b) {
             b[10] = 0;
             b[11] = 0;
         }},
        {"field of length zero", [](QByteArray& b) { b[32 + 16] = 0; }},
        {"field longer than the record", [](QByteArray& b) { b[32 + 16] = '\xF0'; }},
        {"no field at all", [](QByteArray& b) { b[32] = 0x0D; }},
        {"type that is not a letter", [](QByteArray& b) { b[32 + 11] = '1'; }},
    };
    for (const Damage& damage : damages) {
        QByteArray bytes = good;
        damage.apply(bytes);
        WriteFile("names.dbf", bytes);
        QString named;
        EXPECT_EQ(FaultCodeOf(path, &named), 1012) << damage.what;
        EXPECT_EQ(named, path) << damage.what;
        EXPECT_EQ(ReadFile("names.dbf"), bytes) << damage.what << ": the file was changed";
    }
}

TEST_F(StoreTest, AHeaderCountBeyondTheFileOpensTheWholeRecordsThere) {
    const QString path = NamesTable({"Anna", "Bernd", "Clara"});
    QByteArray bytes = ReadFile("names.dbf");
    bytes.chop(1 + 10);  // the end mark and part of the last record
    bytes[4] = 9;
    WriteFile("names.dbf", bytes);
    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), 2);
    DBGOBOTTOM();
    EXPECT_EQ(FIELD("VORNAME").toString().trimmed(), QStringLiteral("Bernd"));
    DBAPPEND();  // writing mends the count instead of trusting it
    REPLACE("VORNAME", QStringLiteral("Dora"));
    DBCLOSEALL();
    const QByteArray mended = ReadFile("names.dbf");
    EXPECT_EQ(mended[4], 3);
    EXPECT_EQ(mended.size(), 32 + 3 * 32 + 1 + 3 * 34 + 1);
}

TEST_F(StoreTest, DamagedMemosFaultNamingTheTableTheDamageAndTheRepair) {
    for (const auto kind : {kesp::MemoKind::Dbt, kesp::MemoKind::Fpt}) {
        const bool fpt = kind == kesp::MemoKind::Fpt;
        const QString memoName = fpt ? "m.fpt" : "m.dbt";
        const QString path = MemoTable(*this, Path("m.dbf"), kind);
        QString named;
        QString text;
        EXPECT_EQ(FaultCodeOf(path), 0);

        // A memo pointer far beyond the memo file.
        QByteArray table = ReadFile("m.dbf");
        const int headerLength = 32 + 2 * 32 + 1;
        table.replace(headerLength + 1 + 8, 10, "    999999");
        WriteFile("m.dbf", table);
        EXPECT_EQ(FaultCodeOf(path, &named, &text), 1012);
        EXPECT_EQ(named, path);
        EXPECT_EQ(text,
                  QStringLiteral("Error DBFNTX/1012  Corruption detected: %1 (%2: memo block "
                                 "999999 beyond the file) - repair it with: kesp-dbf repair %1")
                      .arg(path, memoName));

        // A pointer that is not a number.
        table.replace(headerLength + 1 + 8, 10, "   12x4567");
        WriteFile("m.dbf", table);
        EXPECT_EQ(FaultCodeOf(path, &named, &text), 1012);
        EXPECT_EQ(named, path);
        EXPECT_TRUE(text.contains("(memo pointer of record 1, field TEXT)")) << text;

        // A memo file cut short in the middle of a memo.
        MemoTable(*this, Path("m.dbf"), kind);
        const QByteArray memo = ReadFile(memoName);
        WriteFile(memoName, memo.left(memo.size() - (fpt ? 150 : 700)));
        const int code = FaultCodeOf(path, &named);
        if (fpt) {
            EXPECT_EQ(code, 1012);
            EXPECT_EQ(named, path);
        } else {
            EXPECT_TRUE(code == 0 || code == 1012);  // dBase III text simply ends
        }

        // A missing memo file is an open fault naming it.
        QFile::remove(Path(memoName));
        EXPECT_EQ(FaultCodeOf(path, &named), 1001);
        EXPECT_EQ(named, Path(memoName));
    }
}

TEST_F(StoreTest, AReaderThatGoesOnPastADamagedMemoGetsNothingForItAndTheRestAsRead) {
    for (const auto kind : {kesp::MemoKind::Dbt, kesp::MemoKind::Fpt}) {
        const QString path = MemoTable(*this, Path("m.dbf"), kind);
        QByteArray table = ReadFile("m.dbf");
        const int headerLength = 32 + 2 * 32 + 1;
        const int recordLength = 1 + 8 + 10;
        table.replace(headerLength + 1 + 8, 10, "    999999");
        table.replace(headerLength + 2 * recordLength + 1 + 8, 10, "   12x4567");
        WriteFile("m.dbf", table);
        const auto opened =
            kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
        ASSERT_TRUE(opened);
        const int text = opened->FieldIndex("TEXT");
        EXPECT_FALSE(opened->ReadIfReadable(1, text)) << "a block beyond the memo file";
        EXPECT_FALSE(opened->ReadIfReadable(3, text)) << "a pointer that is no number";
        const std::optional<QVariant> second = opened->ReadIfReadable(2, text);
        ASSERT_TRUE(second);
        EXPECT_EQ(second->toString(), QString(200, u'b'));
        EXPECT_EQ(opened->ReadIfReadable(1, opened->FieldIndex("NAME"))->toString().trimmed(),
                  "n0");
    }
}

TEST_F(StoreTest, FlippedBytesInHeadersAndMemoBlocksNeverCrash) {
    for (const auto kind : {kesp::MemoKind::Dbt, kesp::MemoKind::Fpt}) {
        const QString memoName = kind == kesp::MemoKind::Fpt ? "m.fpt" : "m.dbt";
        const QString path = MemoTable(*this, Path("m.dbf"), kind);
        const QByteArray table = ReadFile("m.dbf");
        const QByteArray memo = ReadFile(memoName);
        for (int at = 0; at < table.size(); ++at) {
            for (const char mask : {'\x01', '\x80', '\xFF'}) {
                QByteArray damaged = table;
                damaged[at] = static_cast<char>(damaged[at] ^ mask);
                WriteFile("m.dbf", damaged);
                const int code = FaultCodeOf(path);
                EXPECT_TRUE(code == 0 || code == 1012 || code == 1001) << at << " gave " << code;
            }
        }
        WriteFile("m.dbf", table);
        for (const int at : {0, 1, 2, 3, 6, 7, 512, 513, 516, 517, 518, 519, 520, 640, 1024}) {
            if (at >= memo.size()) continue;
            QByteArray damaged = memo;
            damaged[at] = static_cast<char>(damaged[at] ^ 0xFF);
            WriteFile(memoName, damaged);
            const int code = FaultCodeOf(path);
            EXPECT_TRUE(code == 0 || code == 1012) << "memo byte " << at << " gave " << code;
        }
        WriteFile(memoName, memo);
    }
}

TEST_F(StoreTest, PackWithNothingToRemoveLeavesTheFilesUntouched) {
    const QString path = MemoTable(*this, Path("m.dbf"), kesp::MemoKind::Fpt);
    const QByteArray table = ReadFile("m.dbf");
    const QByteArray memo = ReadFile("m.fpt");
    const QDateTime modified = QFileInfo(path).lastModified();
    DBUSEAREA(true, path);
    __DBPACK();
    DBCLOSEALL();
    EXPECT_EQ(ReadFile("m.dbf"), table);
    EXPECT_EQ(ReadFile("m.fpt"), memo);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST_F(StoreTest, PackRenumbersKeepsMemosAndShrinksTheMemoFile) {
    for (const auto kind : {kesp::MemoKind::Dbt, kesp::MemoKind::Fpt}) {
        const QString memoName = kind == kesp::MemoKind::Fpt ? "m.fpt" : "m.dbt";
        const QString path = MemoTable(*this, Path("m.dbf"), kind);
        DBUSEAREA(true, path);
        DBGOTO(2);
        REPLACE("TEXT", QString(5000, QLatin1Char('q')));  // leaves the old block behind
        DBCOMMIT();
        DBGOTO(1);
        DBDELETE();
        const qint64 before = QFileInfo(Path(memoName)).size();
        __DBPACK();
        EXPECT_EQ(RECCOUNT(), 2);
        EXPECT_EQ(RECNO(), 1);
        EXPECT_EQ(FIELD("TEXT").toString(), QString(5000, QLatin1Char('q')));
        DBCLOSEALL();
        EXPECT_LT(QFileInfo(Path(memoName)).size(), before);
        EXPECT_FALSE(QFile::exists(Path("m.dbf.pack")));
        DBUSEAREA(true, path);
        DBGOTO(2);
        EXPECT_EQ(FIELD("NAME").toString().trimmed(), QStringLiteral("n2"));
        EXPECT_EQ(FIELD("TEXT").toString(), QString(300, QLatin1Char('c')));
        DBCLOSEALL();
    }
}

TEST_F(StoreTest, AnInterruptedPackIsFinishedOrForgottenAtTheNextOpen) {
    const QString path = MemoTable(*this, Path("m.dbf"), kesp::MemoKind::Dbt);
    const QByteArray oldTable = ReadFile("m.dbf");
    // Cut off while writing: half-written new files are thrown away.
    WriteFile("m.dbt.packing", "partial");
    WriteFile("m.dbf.packing", "partial");
    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), 3);
    DBCLOSEALL();
    EXPECT_FALSE(QFile::exists(Path("m.dbt.packing")));
    EXPECT_FALSE(QFile::exists(Path("m.dbf.packing")));
    EXPECT_EQ(ReadFile("m.dbf"), oldTable);

    // Cut off between the commit point and the swap: the swap is finished.
    DBUSEAREA(true, path);
    DBGOTO(1);
    DBDELETE();
    __DBPACK();
    DBCLOSEALL();
    const QByteArray newTable = ReadFile("m.dbf");
    const QByteArray newMemo = ReadFile("m.dbt");
    WriteFile("m.dbf", oldTable);
    WriteFile("m.dbf.pack", newTable);
    WriteFile("m.dbt.packing", newMemo);
    DBUSEAREA(true, path);
    EXPECT_EQ(RECCOUNT(), 2);
    EXPECT_EQ(FIELD("TEXT").toString(), QString(200, QLatin1Char('b')));
    DBCLOSEALL();
    EXPECT_FALSE(QFile::exists(Path("m.dbf.pack")));
}

TEST_F(StoreTest, CheckReportsCountMismatchBadMarksAndBrokenMemoPointers) {
    const QString path = MemoTable(*this, Path("m.dbf"), kesp::MemoKind::Fpt);
    {
        auto table = kesp::store::DbfTable::Open(path);
        EXPECT_TRUE(table->Check().empty());
    }
    QByteArray bytes = ReadFile("m.dbf");
    const int headerLength = 32 + 2 * 32 + 1;
    bytes[headerLength + 19] = '#';                              // record 1's deletion mark
    bytes.replace(headerLength + 19 + 1 + 8, 10, "     77777");  // record 2's memo
    bytes[4] = 7;
    WriteFile("m.dbf", bytes);
    auto table = kesp::store::DbfTable::Open(path);
    const std::vector<QString> problems = table->Check();
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_TRUE(problems[0].contains("counts 7 records"));
    EXPECT_TRUE(problems[1].contains("deletion mark"));
    EXPECT_TRUE(problems[2].contains("m.fpt"));
}

TEST_F(StoreTest, PackKeepsThePermissionsOfTableAndMemoFile) {
    const QString path = MemoTable(*this, Path("m.dbf"), kesp::MemoKind::Dbt);
    const auto permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    QFile::setPermissions(path, permissions);
    QFile::setPermissions(Path("m.dbt"), permissions);
    DBUSEAREA(true, path);
    DBDELETE();
    __DBPACK();
    DBCLOSEALL();
    // Owner, group and others; Qt adds the bits of the current user (0x0700) on top.
    EXPECT_EQ(QFile::permissions(path) & 0x7077, permissions);
    EXPECT_EQ(QFile::permissions(Path("m.dbt")) & 0x7077, permissions);
}

TEST_F(StoreTest, BytesOfAnUnfinishedAppendAreReportedAndCutWhenTheTableOpensForChanges) {
    const QString path = NamesTable({"Anna", "Bernd"});
    const QByteArray sound = ReadFile("names.dbf");
    const QByteArray partial = QByteArray(" Clara").leftJustified(20, ' ');
    const QByteArray whole = QByteArray(" Clara").leftJustified(34, ' ') + '\x1A';
    for (const QByteArray& left : {partial, whole}) {
        // The unfinished record overwrote the end mark; the header still counts two.
        WriteFile("names.dbf", sound.left(sound.size() - 1) + left);
        {
            const auto table =
                kesp::store::DbfTable::Open(path, kesp::store::DbfTable::Purpose::Inspect);
            const std::vector<QString> problems = table->Check();
            ASSERT_EQ(problems.size(), 1u);
            EXPECT_TRUE(problems[0].contains(
                QStringLiteral("%1 bytes after the last counted record").arg(left.size())))
                << problems[0];
            EXPECT_EQ(RECCOUNT(), 0) << "looking changes nothing";
        }
        EXPECT_EQ(ReadFile("names.dbf").size(), sound.size() - 1 + left.size());
        DBUSEAREA(true, path);
        EXPECT_EQ(RECCOUNT(), 2);
        EXPECT_EQ(ReadFile("names.dbf"), sound) << "opened for changes, the table loses them";
        DBCLOSEALL();
    }
}
