// The program's command line, run as a script runs it: the built program in
// a private copy of the application folder, without a graphical session.
#include "tests/shell/installed_program.h"

#include "kernel/public_variables.h"

#include <QFile>
#include <QFileInfo>

#include <tuple>

namespace {

class CommandLine : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}, {"NACHNAME", "Müller"}});
        AddRecord("notiz.dbf", {{"N_TITEL", "Einkauf"}, {"N_TEXT", "Müller anrufen"}});
        StoreLanguage("DE");
    }
    CommandRun Kesp(const QStringList& arguments) { return RunProgram(arguments); }
};

TEST_F(CommandLine, FindPrintsTheResultsGroupedAndRefusesWhileTheProgramRuns) {
    const QByteArray tableBefore = [this] {
        QFile table(DataFile("notiz.dbf"));
        return table.open(QIODevice::ReadOnly) ? table.readAll() : QByteArray();
    }();
    const CommandRun refused = Kesp({"--find", "müller"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_TRUE(refused.err.contains("von einer anderen Kopie des Programms benutzt"))
        << refused.err.toStdString();

    LetGoOfTheDataFolder();
    const CommandRun found = Kesp({"--find", "mueller"});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out,
              "Adressen-Privat (1)\n  Anna Müller — Müller\n"
              "Notizen (1)\n  Einkauf — Müller anrufen\n");
    EXPECT_EQ(Kesp({"--find", "zebra"}).out, "Nichts gefunden.\n");
    QFile table(DataFile("notiz.dbf"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll(), tableBefore) << "nothing is written";

    AddRecord("projekt.dbf", {{"DATUME", QDate(2001, 1, 1)}, {"N_TITEL", "Uralt"}});
    const CommandRun coming = Kesp({"--coming", "3"});
    EXPECT_EQ(coming.exitCode, 0) << coming.err.toStdString();
    EXPECT_EQ(coming.out, "Überfällig\n  01.01.2001 Uralt (Projekte)\n");
    EXPECT_EQ(Kesp({"--coming", "99"}).exitCode, 2);

    const CommandRun unknown = Kesp({"--frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("--frobnicate"));
}

TEST_F(CommandLine, FindNamesATableWithAnUnreadableMemoAndFindsTheRest) {
    AddRecord("notiz.dbf", {{"N_TITEL", "Kaputt"}, {"N_TEXT", "Müller verloren"}});
    PointMemoBeyondItsFile("notiz.dbf", 2, "N_TEXT");
    LetGoOfTheDataFolder();
    const CommandRun found = Kesp({"--find", "müller"});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_EQ(found.out,
              "Adressen-Privat (1)\n  Anna Müller — Müller\n"
              "Notizen (1)\n  Einkauf — Müller anrufen\n");
    EXPECT_EQ(found.err,
              "Einige Notizen in Notizen (notiz.dbf) können nicht gelesen werden; sie wurden "
              "nicht durchsucht.\n");
    EXPECT_EQ(Kesp({"--find", "kaputt"}).out, "Notizen (1)\n  Kaputt — Kaputt\n");
}

// Another program cuts the word list short while --find reads it: the
// command names the table in the user's language and ends with 1, not with
// SIGBUS; nothing is written, and the next search reads the shorter table.
TEST_F(CommandLine, FindNamesATableCutShortDuringTheSearchAndEndsWithoutASignal) {
    const QString table = DataFile("de_en.dbf");
    DBUSEAREA(true, table, "words");
    for (int n = 1; n <= 5000; ++n) {  // 500 KB, mapped when the search reads it
        DBAPPEND();
        REPLACE("DE", QStringLiteral("Haus %1").arg(n));
        REPLACE("EN", QStringLiteral("house %1").arg(n));
    }
    DBCLOSEAREA();
    LetGoOfTheDataFolder();

    constexpr qint64 kCut = 8192;  // two pages: the header and the first records
    const CommandRun cut = RunProgram({"--find", "haus"}, {{"LD_PRELOAD", KESP_CUT_ON_MAPPING},
                                                           {"KESP_CUT_FILE", "/de_en.dbf"},
                                                           {"KESP_CUT_TO", QString::number(kCut)}});
    EXPECT_FALSE(cut.signalled);
    EXPECT_EQ(cut.exitCode, 1) << cut.err.toStdString();
    EXPECT_TRUE(cut.err.startsWith("Die Tabelle " + QDir::toNativeSeparators(table) +
                                   " wurde von einem anderen Programm gekürzt"))
        << cut.err.toStdString();
    EXPECT_TRUE(cut.err.contains("kesp-dbf repair " + QDir::toNativeSeparators(table)));
    EXPECT_EQ(QFileInfo(table).size(), kCut) << "nothing written to the table";

    const CommandRun again = Kesp({"--find", "haus", "7"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_TRUE(again.out.contains("Haus 7")) << again.out.toStdString();
}

// --help and --version answer in the stored language and end, also while
// the program has the data folder open; they need no graphical session.
TEST_F(CommandLine, HelpAndVersionPrintTheirTextInTheStoredLanguageAndEnd) {
    const QString dataFolder = QDir::toNativeSeparators(THE_DATA_PATH);
    const CommandRun version = Kesp({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Varnel Kesp 2.0\n");
    for (const auto& [stored, usage, folderLine] :
         {std::tuple{"DE", "Aufruf: kesp [", "Die Tabellen liegen im Ordner "},
          {"AM", "Usage: kesp [", "The tables are in the folder "},
          {"BR", "Uso: kesp [", "As tabelas estão na pasta "}}) {
        SCOPED_TRACE(stored);
        StoreLanguage(stored);
        const CommandRun help = Kesp({"--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith(usage)) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(folderLine + dataFolder + ".\n")) << help.out.toStdString();
        // Every command the program takes, in the usage line and explained.
        const QString usageLine = help.out.section('\n', 0, 0);
        for (const char* command :
             {"--find", "--coming", "--remind", "--export-vcard", "--import-vcard", "--backup",
              "--list-backups", "--restore-backup", "--help", "--version"}) {
            EXPECT_TRUE(usageLine.contains(QString(command) + ' ') ||
                        usageLine.contains(QString(command) + ']'))
                << command;
            EXPECT_TRUE(help.out.contains(QString("\n  ") + command + ' ')) << command;
        }
    }
}

}  // namespace

namespace {

// The vCard commands: refused while the program runs, then a book written
// and read back into the other book; a damaged file refused with exit 1.
TEST_F(CommandLine, VCardCommandsWriteAndReadABookAndRefuseWhileTheProgramRuns) {
    const QString file = QDir(DataFile("")).filePath("../k.vcf");
    const CommandRun refused = Kesp({"--export-vcard", "private", file});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("von einer anderen Kopie des Programms benutzt"));
    EXPECT_FALSE(QFile::exists(file));

    LetGoOfTheDataFolder();
    const CommandRun written = Kesp({"--export-vcard", "private", file, "--vcard-version", "3.0"});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(written.out.startsWith("1 Karte (vCard 3.0) wurde geschrieben:\n"))
        << written.out.toStdString();
    QFile card(file);
    ASSERT_TRUE(card.open(QIODevice::ReadOnly));
    const QByteArray bytes = card.readAll();
    card.close();
    EXPECT_TRUE(bytes.contains("VERSION:3.0\r\nFN:Anna Müller\r\n")) << bytes.toStdString();

    StoreLanguage("AM");
    const CommandRun read = Kesp({"--import-vcard", "business", file});
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_EQ(read.out.toStdString(), "1 card added, 0 existing ones updated, 0 skipped.\n");
    EXPECT_EQ(RecordCount("adressen_g.dbf"), 1);

    ASSERT_TRUE(card.open(QIODevice::WriteOnly | QIODevice::Truncate));
    card.write("BEGIN:VCARD\r\nFN:cut short\r\n");
    card.close();
    const CommandRun damaged = Kesp({"--import-vcard", "business", file});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.out.isEmpty());
    EXPECT_TRUE(damaged.err.startsWith("The file was not imported, nothing was stored:\n"))
        << damaged.err.toStdString();
    EXPECT_EQ(RecordCount("adressen_g.dbf"), 1);
    EXPECT_EQ(Kesp({"--export-vcard", "friends", file}).exitCode, 2);
    EXPECT_EQ(Kesp({"--export-vcard", "private", file, "--vcard-version", "2.1"}).exitCode, 2);
}

}  // namespace
