// The program in front of faults that must lose nothing: a second copy on the
// same data, a full disk at the statistics' packs, a damaged table and its
// repair, and a program folder whose name is not UTF-8.
#include "tests/shell/installed_program.h"

#include "kernel/public_variables.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "shell/statistics.h"
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Name, size, time and content of every file of a folder.
QStringList FolderState(const QString& path) {
    QStringList state;
    for (const QFileInfo& file : QDir(path).entryInfoList(QDir::Files, QDir::Name)) {
        QFile content(file.filePath());
        content.open(QIODevice::ReadOnly);
        state << file.fileName() + " " + QString::number(file.lastModified().toMSecsSinceEpoch()) +
                     " " +
                     QCryptographicHash::hash(content.readAll(), QCryptographicHash::Md5).toHex();
    }
    return state;
}

using FaultRecovery = InstalledProgram;

TEST_F(FaultRecovery, ASecondCopyOnTheSameDataSaysSoInTheLanguageAndChangesNothing) {
    StoreLanguage("DE");
    AddRecord("agenda.dbf", {{"TERMIN", "drop"}});
    DeleteRecords("agenda.dbf", {});  // a pack would remove it
    const QStringList before = FolderState(folder_.filePath("data"));

    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
        // The second copy, started while this one runs.
        close(report[0]);
        boxes_.clear();
        const bool started = START_UP(folder_.path());
        const QByteArray told = boxes_.isEmpty()
                                    ? QByteArray()
                                    : (boxes_.first().kind + ": " + boxes_.first().text).toUtf8();
        if (write(report[1], told.constData(), static_cast<size_t>(told.size())) < 0) _exit(3);
        _exit(started ? 1 : 0);
    }
    close(report[1]);
    QByteArray told;
    char chunk[512];
    for (ssize_t n; (n = read(report[0], chunk, sizeof chunk)) > 0;)
        told.append(chunk, n);
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the second copy went on";
    EXPECT_EQ(QString::fromUtf8(told),
              "MSGEXCLAMATION: Die Daten im Ordner " +
                  QDir::toNativeSeparators(folder_.filePath("data")) +
                  "/ werden schon von einer anderen Kopie des Programms benutzt.\n"
                  "Diese Kopie wird beendet, ohne etwas zu ändern.");
    EXPECT_EQ(FolderState(folder_.filePath("data")), before);

    // This copy goes on as before.
    OpenMainWindow();
    EXPECT_EQ(RecordCount("agenda.dbf"), 0);
}

TEST_F(FaultRecovery, AFullDiskAtTheStatisticsPackIsToldAndTheProgramGoesOn) {
    SET_TODAY_FOR_TESTS(QDate(2007, 12, 24));
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "keep"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2007, 12, 24)}, {"TERMIN", "drop"}});
    DeleteRecords("agenda.dbf", [] { return FIELD("TERMIN").toString().trimmed() == "drop"; });
    QFile agenda(DataFile("agenda.dbf"));
    ASSERT_TRUE(agenda.open(QIODevice::ReadOnly));
    const QByteArray before = agenda.readAll();
    agenda.close();

    kesp::store::LimitRoomForTests(0);
    OpenMainWindow();
    kesp::store::LimitRoomForTests(-1);

    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_.first().kind, "MSGEXCLAMATION");
    EXPECT_EQ(boxes_.first().text,
              "The file " + QDir::toNativeSeparators(DataFile("agenda.dbf")) +
                  " could not be written: No space left on the drive.\nThe table is as it was when "
                  "last saved. Free some space or check the drive, then try again.");
    ASSERT_TRUE(agenda.open(QIODevice::ReadOnly));
    EXPECT_EQ(agenda.readAll(), before);
    agenda.close();
    EXPECT_TRUE(ISWINDOWDEFINED("haupt"));

    // Room again: the next update packs and counts.
    boxes_.clear();
    HAUPT_STATISTIK();
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_EQ(Property("lbl_4", "Value"), "1 Appointments [today]");
    EXPECT_EQ(RecordCount("agenda.dbf"), 1);
}

TEST_F(FaultRecovery, ADamagedTableNamesTheRepairAndAfterItTheProgramStarts) {
    AddRecord("notiz.dbf", {{"N_TITEL", "first"}, {"N_TEXT", "first text"}});
    AddRecord("notiz.dbf", {{"N_TITEL", "broken"}, {"N_TEXT", "its memo"}});
    AddRecord("notiz.dbf", {{"N_TITEL", "gone"}, {"N_TEXT", "deleted"}});
    DeleteRecords("notiz.dbf", [] { return FIELD("N_TITEL").toString().startsWith("gone"); });
    // The memo pointer of the second record points far beyond the memo file.
    {
        auto table = kesp::store::FileHandle::Open(DataFile("notiz.dbf"));
        char head[12] = {};
        table.ReadAt(0, head, sizeof head);
        const int headerLength =
            static_cast<unsigned char>(head[8]) | static_cast<unsigned char>(head[9]) << 8;
        const int recordLength =
            static_cast<unsigned char>(head[10]) | static_cast<unsigned char>(head[11]) << 8;
        table.WriteAt(headerLength + recordLength + recordLength - 10, QByteArray("   9999999"));
    }
    int exitCode = -1;
    kesp::seam::endProcess = [&exitCode](int code) { exitCode = code; };
    EXPECT_THROW(OpenMainWindow(), kesp::FaultException);
    EXPECT_EQ(exitCode, 1);
    ASSERT_FALSE(boxes_.isEmpty());
    EXPECT_EQ(boxes_.last().kind, "STOP");
    EXPECT_TRUE(boxes_.last().text.startsWith("Error DBFNTX/1012  Corruption detected: " +
                                              DataFile("notiz.dbf")))
        << qPrintable(boxes_.last().text);
    EXPECT_TRUE(
        boxes_.last().text.contains(" - repair it with: kesp-dbf repair " + DataFile("notiz.dbf")));
    RELEASEWINDOW("haupt");
    kesp::seam::endProcess = nullptr;

    QProcess repair;
    repair.start(KESP_DBF_TOOL, {"repair", DataFile("notiz.dbf")});
    repair.waitForFinished(30000);
    EXPECT_EQ(repair.exitCode(), 0) << repair.readAllStandardError().toStdString();

    boxes_.clear();
    OpenMainWindow();
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_EQ(RecordCount("notiz.dbf"), 2);
    DBUSEAREA(false, DataFile("notiz.dbf"), "n");
    DBGOTO(1);
    EXPECT_EQ(FIELD("N_TEXT").toString(), "first text");
    DBGOTO(2);
    EXPECT_EQ(FIELD("N_TEXT").toString(), "");
    DBCLOSEALL();
}

// The test program, copied into a folder named in Latin-1, runs this test
// there (see below): the program finds its folder and works in it.
TEST(ProgramFolder, IsFoundUnderANameThatIsNotUtf8) {
    constexpr char kChild[] = "KESP_LATIN1_FOLDER_CHILD";
    if (qEnvironmentVariableIsSet(kChild)) {
        const QString folder = PROGRAM_FOLDER();
        ASSERT_NE(folder, "/");
        ASSERT_TRUE(QFile::exists(folder + "/data/startlang.dbf")) << qPrintable(folder);
        QStringList boxes;
        kesp::seam::activationReturnsAtOnce = true;
        kesp::seam::answerMessageBox = [&boxes](const kesp::seam::MessageBoxShown& box) {
            boxes << box.kind + ": " + box.text;
            return true;
        };
        ASSERT_TRUE(START_UP(folder));
        QDir::setCurrent(folder);
        DEFINE_HAUPT();
        _ACTIVATEWINDOW("haupt");
        // Opening an application makes the data folder current and writes an index there.
        kesp::test::TestDriver::click("haupt", "Button_1");
        EXPECT_TRUE(boxes.isEmpty()) << qPrintable(boxes.join("\n"));
        EXPECT_TRUE(QFile::exists(folder + "/data/ivorname.ntx"));
        return;
    }
    QTemporaryDir temporary;
    const QByteArray latin1 = QFile::encodeName(temporary.path()) +
                              "/Kesp-M\xFC"
                              "ller";
    const QString staged = temporary.filePath("staged");
    for (const char* sub : {"data", "img"}) {
        QDir().mkpath(staged + "/" + sub);
        for (const QFileInfo& entry :
             QDir(QString(KESP_BUILT_APP_DIR) + "/" + sub).entryInfoList(QDir::Files))
            QFile::copy(entry.absoluteFilePath(), staged + "/" + sub + "/" + entry.fileName());
    }
    QDir().mkpath(staged + "/export");
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), staged + "/kesp_shell_tests"));
    ASSERT_EQ(::rename(QFile::encodeName(staged).constData(), latin1.constData()), 0);
    // Started through a link with a plain name; the system still records the real one.
    ASSERT_EQ(::symlink((latin1 + "/kesp_shell_tests").constData(),
                        QFile::encodeName(temporary.filePath("run")).constData()),
              0);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kChild, "1");
    child.setProcessEnvironment(environment);
    child.start(temporary.filePath("run"),
                {"--gtest_filter=ProgramFolder.IsFoundUnderANameThatIsNotUtf8"});
    child.waitForFinished(120000);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardOutput().toStdString()
                                   << child.readAllStandardError().toStdString();
}

}  // namespace
