// The word list's commands run as a script or a desktop key runs them: the
// built program in a private copy of the application folder. The lookups
// read while a copy of the program holds the data folder (this test holds
// it) and write nothing; the export of the pairs to learn waits for the
// folder, as the other commands do; the lookup window comes from the copy
// that runs, through the session bus.
#include "apps/words/learn_marks.h"
#include "apps/words/lookup_window.h"
#include "apps/words/word_index.h"
#include "kernel/public_variables.h"
#include "shell/backups.h"
#include "shell/lookup_service.h"
#include "shell/trash.h"
#include "store/xbase.h"
#include "tests/shell/installed_program.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QThread>

namespace {

class WordCommands : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        for (const auto& [german, english] :
             QList<std::pair<QString, QString>>{{"Haus {n}", "house"},
                                                {"zu Hause", "at home"},
                                                {"Straße {f} (in der Stadt)", "street"},
                                                {"Straßenbahn {f}", "tram; streetcar [Am.]"},
                                                {"Hund {m}", "dog"}})
            AddRecord("de_en.dbf", {{"DE", german}, {"EN", english}});
        StoreLanguage("AM");
    }
    CommandRun Kesp(const QStringList& arguments,
                    const QList<std::pair<QString, QString>>& environment = {}) {
        return RunProgram(arguments, environment);
    }
    QStringList DataFiles() const { return QDir(THE_DATA_PATH).entryList(QDir::Files); }
};

TEST_F(WordCommands, LookupPrintsThePairsWhileTheProgramRunsAndWritesNothing) {
    const QStringList before = DataFiles();
    const CommandRun exact = Kesp({"--lookup", "Hund"});
    EXPECT_EQ(exact.exitCode, 0) << exact.err.toStdString();
    EXPECT_EQ(exact.out, "Hund\n  Hund {m} = dog\n");
    EXPECT_EQ(Kesp({"--lookup", "strasse"}).out, "strasse\n  Straße {f} (in der Stadt) = street\n");
    EXPECT_EQ(Kesp({"--lookup", "zu", "Hause"}).out,
              "zu Hause\n  zu Hause = at home\nHause (base form: Haus)\n  Haus {n} = house\n");
    const CommandRun inflected = Kesp({"--lookup", "houses"});
    EXPECT_EQ(inflected.exitCode, 0);
    EXPECT_EQ(inflected.out, "houses (base form: house)\n  Haus {n} = house\n");
    const CommandRun typo = Kesp({"--lookup", "Strasenbahn"});
    EXPECT_EQ(typo.exitCode, 1);
    EXPECT_EQ(typo.out, "Nothing found for “Strasenbahn”.\nDid you mean …?\n  Straßenbahn\n");
    const CommandRun nothing = Kesp({"--lookup", "Xylofon"});
    EXPECT_EQ(nothing.exitCode, 1);
    EXPECT_EQ(nothing.out, "Nothing found for “Xylofon”.\nNothing similar either.\n");
    EXPECT_EQ(DataFiles(), before) << "no side file written by a command";

    StoreLanguage("DE");
    EXPECT_EQ(Kesp({"--lookup", "Hunde"}).out, "Hunde (Grundform: Hund)\n  Hund {m} = dog\n");
    EXPECT_TRUE(Kesp({"--help"}).out.contains("--lookup-window [WÖRTER]"));
}

TEST_F(WordCommands, LookupUsesACurrentSideFileAndNoSelectionWithoutADesktop) {
    ASSERT_TRUE(DictionaryIndex(DataFile("de_en.dbf"), true));  // as the word list saves it
    ASSERT_TRUE(QFile::exists(DataFile("de_en.wix")));
    EXPECT_EQ(Kesp({"--lookup", "dog"}).out, "dog\n  Hund {m} = dog\n");

    const CommandRun noSelection = Kesp({"--lookup"});
    EXPECT_EQ(noSelection.exitCode, 2);
    EXPECT_EQ(noSelection.err,
              "No selection to read: no graphical session runs. Please give the word.\n");
    const CommandRun noWindow = Kesp({"--lookup-window", "Hund"});
    EXPECT_EQ(noWindow.exitCode, 1);
    EXPECT_TRUE(noWindow.err.contains("kesp --lookup prints the pairs"))
        << noWindow.err.toStdString();
}

TEST_F(WordCommands, ExportLearnWritesTheMarkedPairsOnceTheDataFolderIsFree) {
    AddRecord("lernen.dbf", {{"DE", "Straße {f} (in der Stadt)"}, {"EN", "street"}});
    AddRecord("lernen.dbf", {{"DE", "Hund {m}"}, {"EN", "dog"}});
    const QString file = QDir(THE_DATA_PATH).filePath("../lernen.txt");
    const CommandRun refused = Kesp({"--export-learn", file});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(Kesp({"--export-learn"}).exitCode, 2);

    LetGoOfTheDataFolder();
    const CommandRun written = Kesp({"--export-learn", file});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(written.out.startsWith("2 pairs to learn exported to:\n"));
    QProcess check;
    check.start("python3", {"-c", R"py(
import sys
data = open(sys.argv[1], "rb").read()
lines = data.decode("utf-8").split("\n")
assert lines[-1] == "", "ends with a line break"
rows = [line.split("\t") for line in lines[:-1]]
assert rows == [["Straße {f} (in der Stadt)", "street", "varnel-kesp"],
                ["Hund {m}", "dog", "varnel-kesp"]], rows
print("ok")
)py",
                            file});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.readAllStandardOutput().trimmed(), "ok")
        << check.readAllStandardError().toStdString();

    const CommandRun unwritable = Kesp({"--export-learn", THE_DATA_PATH + "no/such/folder/x.txt"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.startsWith("The file to learn could not be written:"));
}

// A mark belongs to the pair's text: a pair packed into the trash and put
// back has its mark again, and a backup keeps the marks with the tables.
TEST_F(WordCommands, MarksToLearnOutliveTheTrashAndAreBackedUp) {
    AddRecord("lernen.dbf", {{"DE", "Hund {m}"}, {"EN", "dog"}});
    DeleteRecords("de_en.dbf", [] { return FIELD("DE").toString().startsWith("Hund"); });
    DBUSEAREA(false, DataFile("de_en.dbf"), "words");
    __DBPACK();
    DBCLOSEALL();
    EXPECT_EQ(Kesp({"--lookup", "Hund"}).exitCode, 1);
    QList<TrashEntry> packed;
    for (const TrashEntry& entry : TrashEntries())
        if (entry.kind->table == "de_en.dbf") packed.append(entry);
    ASSERT_EQ(packed.size(), 1);
    EXPECT_EQ(RestoreTrashEntries(packed).restored, 1);
    EXPECT_EQ(Kesp({"--lookup", "Hund"}).out, "Hund\n  Hund {m} = dog\n");
    QList<LearnPair> marks;
    ASSERT_TRUE(ReadLearnMarks(DataFile("lernen.dbf"), &marks));
    EXPECT_EQ(marks, QList<LearnPair>({{"Hund {m}", "dog"}}));

    const QString backup = MakeSnapshot(QDateTime::currentDateTime());
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_TRUE(QFile::exists(backup + "/lernen.dbf"));
}

// The running copy's lookup, with the main window's statistics done (they
// leave the tables open): the window shows the pairs, and the index of
// headwords is saved for the commands.
TEST_F(WordCommands, TheRunningCopyLooksUpWithItsMainWindowOpen) {
    OpenMainWindow();
    ShowLookupOfRunningCopy("Hund");
    ASSERT_TRUE(OpenLookupWindow());
    const auto* list = OpenLookupWindow()->findChild<QListWidget*>("List_1");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "Hund {m} = dog");
    EXPECT_TRUE(QFile::exists(DataFile("de_en.wix")));
    OpenLookupWindow()->close();
    QApplication::processEvents();
}

// A private session bus; the program started on it with its windows (on the
// offscreen platform) offers the lookup, and `--lookup-window` hands its text
// to it and ends at once.
TEST_F(WordCommands, TheLookupWindowComesFromTheRunningCopyThroughTheSessionBus) {
    QProcess bus;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();
    QDBusConnection test = QDBusConnection::connectToBus(address, "word-commands-test");
    ASSERT_TRUE(test.isConnected());

    Kesp({"--version"});  // the program copied into the folder
    LetGoOfTheDataFolder();
    QProcess running;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert("QT_QPA_PLATFORM", "offscreen");
    variables.insert("DBUS_SESSION_BUS_ADDRESS", address);
    running.setProcessEnvironment(variables);
    running.start(QDir(THE_DATA_PATH).filePath("../kesp"), {});
    QElapsedTimer clock;
    clock.start();
    while (!test.interface()->isServiceRegistered(kLookupService) && clock.elapsed() < 30000)
        QThread::msleep(50);
    ASSERT_TRUE(test.interface()->isServiceRegistered(kLookupService));

    QDBusMessage call =
        QDBusMessage::createMethodCall(kLookupService, kLookupPath, kLookupInterface, "Lookup");
    call << QString("Hund");
    EXPECT_EQ(test.call(call, QDBus::Block, 10000).type(), QDBusMessage::ReplyMessage);

    const CommandRun handed =
        Kesp({"--lookup-window", "Haus"},
             {{"QT_QPA_PLATFORM", "offscreen"}, {"DBUS_SESSION_BUS_ADDRESS", address}});
    EXPECT_EQ(handed.exitCode, 0) << handed.err.toStdString();

    running.kill();
    running.waitForFinished();
    QDBusConnection::disconnectFromBus("word-commands-test");
    bus.kill();
    bus.waitForFinished();
}

}  // namespace
