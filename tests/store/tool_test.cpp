// The maintenance utility kesp-dbf, run as users run it.
#include "test_support.h"

#include <QProcess>

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
