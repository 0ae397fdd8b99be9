// The maintenance utility kesp-dbf, run as users run it.
#include "store/fault.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <cstdio>

namespace {

struct ToolRun {
    int status = -1;
    QString output;
    QString errors;
};

ToolRun RunTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(KESP_DBF_TOOL), arguments);
    tool.waitForFinished(30000);
    return {tool.exitCode(), QString::fromUtf8(tool.readAllStandardOutput()),
            QString::fromUtf8(tool.readAllStandardError())};
}

}  // namespace

TEST_F(StoreTest, ToolShowsStructureAndDumpsUtf8Csv) {
    kesp::CreateTable(
        Path("t.dbf"),
        {{"NAME", 'C', 12, 0}, {"BETRAG", 'N', 8, 2}, {"DATUM", 'D', 8, 0}, {"TEXT", 'M', 10, 0}},
        kesp::MemoKind::Fpt);
    DBUSEAREA(true, Path("t.dbf"));
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("Müller, Zoë"));
    REPLACE("BETRAG", 12.5);
    REPLACE("DATUM", QDate(2006, 12, 24));
    REPLACE("TEXT", QStringLiteral("er sagte \"ja\"\r\nzweite Zeile"));
    DBAPPEND();
    REPLACE("NAME", QStringLiteral("weg"));
    DBDELETE();
    DBCLOSEALL();

    const ToolRun structure = RunTool({"structure", Path("t.dbf")});
    EXPECT_EQ(structure.status, 0);
    EXPECT_TRUE(structure.output.contains("0xf5 (FoxPro 2 with .fpt memo)")) << structure.output;
    EXPECT_TRUE(structure.output.contains("records:        2 (header says 2)"));
    EXPECT_TRUE(structure.output.contains("BETRAG     N    8 2"));

    const ToolRun dump = RunTool({"dump", Path("t.dbf")});
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.output,
              QStringLiteral(
                  "DELETED,NAME,BETRAG,DATUM,TEXT\r\n"
                  ",\"Müller, Zoë\",12.50,2006-12-24,\"er sagte \"\"ja\"\"\r\nzweite Zeile\"\r\n"
                  "*,weg,0.00,,\r\n"));
}

TEST_F(StoreTest, ToolCheckExitsNonZeroOnDamageAndOnUnreadableFiles) {
    const QString path = NamesTable({"Anna", "Bernd"});
    ToolRun run = RunTool({"check", path});
    EXPECT_EQ(run.status, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("no damage found (2 records)"));

    QByteArray bytes = ReadFile("names.dbf");
    bytes[4] = 5;  // more records than the file holds
    WriteFile("names.dbf", bytes);
    run = RunTool({"check", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.contains("the header counts 5 records, the file holds 2")) << run.output;

    bytes.truncate(40);
    WriteFile("names.dbf", bytes);
    run = RunTool({"check", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains("Corruption detected: " + path)) << run.errors;

    run = RunTool({"check", Path("missing.dbf")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.contains("Open error")) << run.errors;
    EXPECT_EQ(RunTool({"frobnicate", path}).status, 64);
}

TEST_F(StoreTest, ToolKeepsTheDetailOfDamageAndCallsAPipeNoRegularFile) {
    kesp::CreateTable(Path("t.dbf"),
                      {{"NAME", 'C', 12, 0}, {"ORT", 'C', 12, 0}, {"TEXT", 'M', 10, 0}},
                      kesp::MemoKind::Fpt);
    const QByteArray table = ReadFile("t.dbf");
    const QByteArray memo = ReadFile("t.fpt");

    QByteArray damaged = table;
    damaged[32 * 2 + 16] = 0;  // the second field is zero bytes wide
    WriteFile("t.dbf", damaged);
    ToolRun run = RunTool({"check", Path("t.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(
        run.errors.contains("Corruption detected: " + Path("t.dbf") + " (field descriptor 2)"))
        << run.errors;
    EXPECT_TRUE(run.errors.contains("kesp-dbf repair")) << run.errors;

    damaged = table;
    damaged[8] = '\x40';  // a header length beyond the file
    damaged[9] = '\x1F';
    WriteFile("t.dbf", damaged);
    run = RunTool({"structure", Path("t.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains("(header length 8000")) << run.errors;

    WriteFile("t.dbf", table);
    QByteArray badMemo = memo;
    badMemo[6] = 0;
    badMemo[7] = 0;
    WriteFile("t.fpt", badMemo);
    run = RunTool({"check", Path("t.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.errors.contains("(t.fpt: memo block size 0)")) << run.errors;

    ASSERT_EQ(mkfifo(Path("pipe.dbf").toLocal8Bit().constData(), 0644), 0);
    run = RunTool({"check", Path("pipe.dbf")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.contains(Path("pipe.dbf") + " (not a regular file)")) << run.errors;
    run = RunTool({"check", Path(".")});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.errors.contains("Is a directory")) << run.errors;
}

TEST_F(StoreTest, ToolOpensFileNamesInAnyEncoding) {
    // "Müller.dbf" in Latin-1 bytes: no valid UTF-8.
    const QByteArray latin1 = QByteArray("M\xFCller.dbf");
    const QByteArray folder = QFile::encodeName(QDir(Path(".")).absolutePath()) + "/";
    kesp::CreateTable(Path("plain.dbf"), {{"NAME", 'C', 12, 0}});
    ASSERT_EQ(
        ::rename(QFile::encodeName(Path("plain.dbf")).constData(), (folder + latin1).constData()),
        0);
    QProcess tool;
    tool.setWorkingDirectory(QDir(Path(".")).absolutePath());
    // QProcess hands arguments on as UTF-8; a shell passes the bytes as they are.
    tool.setProgram("/bin/sh");
    tool.setArguments({"-c", QStringLiteral("exec '%1' structure \"$(printf 'M\\374ller.dbf')\"")
                                 .arg(QStringLiteral(KESP_DBF_TOOL))});
    tool.start();
    tool.waitForFinished(30000);
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    EXPECT_TRUE(tool.readAllStandardOutput().contains("NAME       C   12 0"));
}

TEST_F(StoreTest, ToolRepairsATableWithABadMemoPointerAndKeepsTheOriginals) {
    for (const auto kind : {kesp::MemoKind::Dbt, kesp::MemoKind::Fpt}) {
        const QString memoName = kind == kesp::MemoKind::Fpt ? "r.fpt" : "r.dbt";
        for (const QString& old : QDir(Path("")).entryList({"r.*"}))
            QFile::remove(Path(old));
        kesp::CreateTable(Path("r.dbf"), {{"NAME", 'C', 8, 0}, {"TEXT", 'M', 10, 0}}, kind);
        DBUSEAREA(true, Path("r.dbf"));
        for (const char* name : {"Anna", "Bernd", "Clara", "Dora"}) {
            DBAPPEND();
            REPLACE("NAME", QString::fromLatin1(name));
            REPLACE("TEXT", QStringLiteral("memo of %1").arg(QString::fromLatin1(name)));
        }
        DBGOTO(3);
        DBDELETE();
        DBCLOSEALL();
        QByteArray table = ReadFile("r.dbf");
        table.replace(32 + 2 * 32 + 1 + 19 + 1 + 8, 10, "    999999");  // Bernd's memo
        WriteFile("r.dbf", table);
        const QByteArray memo = ReadFile(memoName);

        // The damage stops every pack, and with it the program's start.
        try {
            DBUSEAREA(true, Path("r.dbf"));
            __DBPACK();
            ADD_FAILURE() << "the damage went unnoticed";
        } catch (const kesp::FaultException& e) {
            EXPECT_EQ(e.fault().fileName, Path("r.dbf"));
            EXPECT_TRUE(
                e.fault().text().contains("repair it with: kesp-dbf repair " + Path("r.dbf")));
        }
        DBCLOSEALL();

        const ToolRun run = RunTool({"repair", Path("r.dbf")});
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_TRUE(run.output.contains("repaired, 4 record(s) kept")) << run.output;
        EXPECT_TRUE(run.output.contains(
            "memo emptied: record 2, field TEXT: memo block 999999 beyond the file"))
            << run.output;
        EXPECT_EQ(ReadFile("r.dbf.bak"), table);
        EXPECT_EQ(ReadFile(memoName + ".bak"), memo);
        EXPECT_EQ(RunTool({"check", Path("r.dbf")}).status, 0);

        DBUSEAREA(true, Path("r.dbf"));
        __DBPACK();
        QStringList kept;
        for (DBGOTOP(); !DBEOF(); DBSKIP())
            kept << FIELD("NAME").toString().trimmed() + ":" + FIELD("TEXT").toString();
        EXPECT_EQ(kept, (QStringList{"Anna:memo of Anna", "Bernd:", "Dora:memo of Dora"}));
        DBCLOSEALL();

        // A second repair keeps the first backups.
        EXPECT_EQ(RunTool({"repair", Path("r.dbf")}).status, 0);
        EXPECT_EQ(ReadFile("r.dbf.bak"), table);
        EXPECT_TRUE(QFile::exists(Path("r.dbf.bak2")));
    }
}

// ---- Damage to tables another program wrote (python3-dbf) ---------------------------

namespace {

// A dBase III table of three people written by python3-dbf: NAME C(20), BORN D.
void WritePeopleWithPython(const QString& folder) {
    RunPython(QStringLiteral(R"(
import datetime, dbf
t = dbf.Table('people.dbf', 'NAME C(20); BORN D', dbf_type='db3', codepage='cp1252')
t.open(mode=dbf.READ_WRITE)
t.append(('Anna', datetime.date(1970, 1, 31)))
t.append(('Bernd', None))
t.append(('Clara', datetime.date(2006, 12, 24)))
t.close()
)"),
              folder);
}

constexpr int kPeopleHeader = 32 + 2 * 32 + 1;  // two descriptors and the terminator
constexpr int kPeopleRecord = 1 + 20 + 8;

}  // namespace

TEST_F(StoreTest, ToolNamesAHeaderLengthThatShiftsTheRecordsAndRepairLeavesItAlone) {
    WritePeopleWithPython(Path(""));
    QByteArray bytes = ReadFile("people.dbf");
    ASSERT_EQ(bytes[8], char(kPeopleHeader));
    for (const int wrong : {kPeopleHeader + 1, kPeopleHeader + 7, kPeopleHeader - 1}) {
        SCOPED_TRACE(wrong);
        bytes[8] = char(wrong);
        WriteFile("people.dbf", bytes);
        ToolRun run = RunTool({"check", Path("people.dbf")});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.errors.contains(
            QStringLiteral("header length %1, but the field descriptors end at %2")
                .arg(wrong)
                .arg(kPeopleHeader)))
            << run.errors;
        EXPECT_TRUE(run.errors.contains("repair it with: kesp-dbf repair")) << run.errors;

        run = RunTool({"repair", Path("people.dbf")});
        EXPECT_EQ(run.status, 2);
        EXPECT_FALSE(run.output.contains("repaired")) << run.output;
        EXPECT_TRUE(run.errors.contains("not repaired, nothing was changed")) << run.errors;
        EXPECT_FALSE(run.errors.contains("kesp-dbf repair")) << "never itself as the advice";
        EXPECT_EQ(ReadFile("people.dbf"), bytes);
        EXPECT_FALSE(QFile::exists(Path("people.dbf.bak")));
    }
}

TEST_F(StoreTest, ToolReportsAFieldTypeOtherProgramsCannotRead) {
    WritePeopleWithPython(Path(""));
    QByteArray bytes = ReadFile("people.dbf");
    ASSERT_EQ(bytes[32 + 11], 'C');
    bytes[32 + 11] = 'Z';
    WriteFile("people.dbf", bytes);
    const ToolRun run = RunTool({"check", Path("people.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.contains("field NAME has the unknown type Z")) << run.output;
}

TEST_F(StoreTest, ToolRepairKeepsEveryWholeRecordAfterAHeaderCountOfTooFew) {
    QStringList names;
    for (int n = 1; n <= 10; ++n)
        names << QStringLiteral("Name%1").arg(n);
    const QString path = NamesTable(names, "few.dbf");
    DBUSEAREA(true, path);
    DBGOTO(9);
    DBDELETE();
    DBCLOSEALL();
    QByteArray table = ReadFile("few.dbf");
    table[4] = 3;  // the header counts 3 of the 10
    const int firstUncounted = 32 + 3 * 32 + 1 + 3 * (1 + 20 + 5 + 8);
    table[firstUncounted] = '\x1a';  // the mark an unfinished append leaves
    table.chop(1);                   // and no end-of-file mark
    WriteFile("few.dbf", table);

    const ToolRun run = RunTool({"repair", path});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.output.contains("repaired, 10 record(s) kept")) << run.output;
    EXPECT_EQ(ReadFile("few.dbf.bak"), table);
    EXPECT_EQ(RunTool({"check", path}).status, 0);
    DBUSEAREA(true, path);
    QStringList kept;
    for (int r = 1; r <= RECCOUNT(); ++r) {
        DBGOTO(r);
        kept << (DELETED() ? "*" : "") + FIELD("VORNAME").toString().trimmed();
    }
    QStringList expected = names;
    expected[8] = "*Name9";
    EXPECT_EQ(kept, expected);
}

TEST_F(StoreTest, ToolRepairEmptiesDatesThatAreNoneAndSaysWhich) {
    WritePeopleWithPython(Path(""));
    QByteArray bytes = ReadFile("people.dbf");
    const int born = kPeopleHeader + 2 * kPeopleRecord + 1 + 20;  // Clara's date
    ASSERT_EQ(bytes.mid(born, 8), QByteArray("20061224"));
    bytes.replace(born, 8, "20061340");
    WriteFile("people.dbf", bytes);
    ToolRun run = RunTool({"check", Path("people.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.contains("record 3, field BORN: bad date")) << run.output;

    run = RunTool({"repair", Path("people.dbf")});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(run.output.contains("date emptied (not a date): record 3, field BORN: 20061340"))
        << run.output;
    run = RunTool({"check", Path("people.dbf")});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(run.output.contains("no damage found (3 records)")) << run.output;
    const QString read = RunPython(QStringLiteral(R"(
import dbfread
for r in dbfread.DBF('people.dbf'): print(r['NAME'], r['BORN'])
)"),
                                   Path(""));
    EXPECT_EQ(read, QStringLiteral("Anna 1970-01-31\nBernd None\nClara None\n"));
}

TEST_F(StoreTest, ToolRepairRebuildsTheHeaderOfTheProgramsOwnTableFromItsDescription) {
    const auto writeWordList = [this] {
        RunPython(QStringLiteral(R"(
import dbf
t = dbf.Table('de_en.dbf', 'DE C(50); EN C(50)', dbf_type='db3', codepage='cp1252')
t.open(mode=dbf.READ_WRITE)
for pair in (('Apfel', 'apple'), ('Birne', 'pear'), ('Zitrone', 'lemon')): t.append(pair)
t.close()
)"),
                  Path(""));
        return ReadFile("de_en.dbf");
    };
    const QByteArray sound = writeWordList();
    const int header = 32 + 2 * 32 + 1;
    QByteArray wrongLength = sound;
    wrongLength[8] = char(header + 3);
    QByteArray noRecordLength = sound;
    noRecordLength[10] = 0;
    noRecordLength[11] = 0;
    const struct {
        const char* damage;
        QByteArray bytes;
        int kept;
    } cases[] = {{"header length", wrongLength, 3},
                 {"record length 0", noRecordLength, 3},
                 {"header cut short", sound.left(40), 0},
                 {"empty file", QByteArray(), 0}};
    for (const auto& damaged : cases) {
        SCOPED_TRACE(damaged.damage);
        for (const QString& backup : QDir(Path("")).entryList({"de_en.dbf.bak*"}))
            QFile::remove(Path(backup));
        WriteFile("de_en.dbf", damaged.bytes);
        ToolRun run = RunTool({"repair", Path("de_en.dbf")});
        EXPECT_EQ(run.status, 0) << run.errors;
        EXPECT_TRUE(run.output.contains(
            QStringLiteral("header rebuilt from the program's description of de_en.dbf, %1 "
                           "record(s) kept")
                .arg(damaged.kept)))
            << run.output << run.errors;
        EXPECT_FALSE(run.errors.contains("kesp-dbf repair")) << "never itself as the advice";
        EXPECT_EQ(ReadFile("de_en.dbf.bak"), damaged.bytes);
        run = RunTool({"check", Path("de_en.dbf")});
        EXPECT_EQ(run.status, 0) << run.output << run.errors;
        const QString read = RunPython(QStringLiteral(R"(
import dbfread
for r in dbfread.DBF('de_en.dbf'): print(r['DE'], r['EN'])
)"),
                                       Path(""));
        EXPECT_EQ(read, damaged.kept == 3 ? "Apfel apple\nBirne pear\nZitrone lemon\n" : "");
    }
}

TEST_F(StoreTest, ToolNamesAnAppendStoppedBeforeItsLastByteAndOpeningFinishesIt) {
    WritePeopleWithPython(Path(""));
    QByteArray bytes = ReadFile("people.dbf");
    // What an append stopped after its count leaves: the new record still
    // begins with the end-of-file mark it replaces last.
    bytes.chop(1);
    bytes += '\x1a' + QByteArray("Dora").leftJustified(20) + "20070101" + '\x1a';
    bytes[4] = 4;
    WriteFile("people.dbf", bytes);
    ToolRun run = RunTool({"check", Path("people.dbf")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.output.contains("record 4 begins an append stopped before its last byte"))
        << run.output;

    DBUSEAREA(true, Path("people.dbf"));
    EXPECT_EQ(RECCOUNT(), 4);
    DBCLOSEALL();
    run = RunTool({"check", Path("people.dbf")});
    EXPECT_EQ(run.status, 0) << run.output;
    const QString read = RunPython(QStringLiteral(R"(
import dbfread
print(len(dbfread.DBF('people.dbf')))
)"),
                                   Path(""));
    EXPECT_EQ(read, QStringLiteral("4\n"));
}
