// A table another program cuts short while a window shows it: the window
// closes, the user is told which table, the fault is logged, and the other
// windows keep what was typed in them; the program goes on. Outside an action
// or a list, the fault ends the program as every fault does.
#include "toolkit/cut_table.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/fault_handler.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

using kesp::test::TestDriver;

namespace {

constexpr int kRecords = 90000;       // 8.6 MB: the store maps its records
constexpr qint64 kCut = 4096 * 1000;  // a page in the middle, as another program cuts

QString BigTable(const QString& path) {
    kesp::CreateTable(path, {{.name = "WORD", .type = 'C', .length = 95}});
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.read(65);  // the header of one field
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<char>(kRecords >> (8 * i));
    for (int n = 1; n <= kRecords; ++n)
        bytes += ' ' + QByteArray("word ").append(QByteArray::number(n)).leftJustified(95);
    file.seek(0);
    file.write(bytes + '\x1a');
    return path;
}

class CutTable : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        kesp::InstallProgramFaultHandler();
        driver.interceptProcessEnd();
        table = BigTable(folder.filePath("big.dbf"));

        // The window typed in, which shows no cut table.
        _DEFINEWINDOW("cut_main", WindowKind::Main, {.title = "Main", .width = 300, .height = 200});
        _DEFINETEXTBOX("t_note", {.row = 10, .col = 10, .width = 200, .height = 20});
        _ENDWINDOW();
        _ACTIVATEWINDOW("cut_main");
        TestDriver::typeInto("cut_main", "t_note", "not saved yet");

        DBUSEAREA(true, table, "big");
        _DEFINEMODALWINDOW("cut_list", {.title = "List", .width = 400, .height = 300});
        _DEFINEBROWSE("b_words", {.row = 10,
                                  .col = 10,
                                  .width = 380,
                                  .height = 200,
                                  .headers = {"Word"},
                                  .widths = {300},
                                  .fields = {"big->word"},
                                  .workArea = "big"});
        _DEFINEBUTTON("b_last", {.row = 250, .width = 80, .height = 24, .action = [] {
                                     DBSELECTAREA("big");
                                     DBGOTO(kRecords);
                                     FIELD("WORD");
                                 }});
        _ENDWINDOW();
        _ACTIVATEWINDOW("cut_list");
        DOMETHOD("cut_list", "b_words", "refresh");
        ASSERT_EQ(TestDriver::browseCell("cut_list", "b_words", 1, 1), "word 1");
        const pid_t child = fork();
        if (child == 0) _exit(truncate(QFile::encodeName(table).constData(), kCut));
        waitpid(child, nullptr, 0);
    }
    void TearDown() override {
        for (const char* window : {"cut_list", "cut_main"})
            if (ISWINDOWDEFINED(window)) RELEASEWINDOW(window);
        QCoreApplication::processEvents();
        DBCLOSEALL();
        kesp::SetFaultHandler({});
        QDir::setCurrent(previousFolder);
    }

    QString log() const {
        QFile file(folder.filePath("ErrorLog.Htm"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    void ExpectTheListWindowLetGo() {
        QCoreApplication::processEvents();  // the event loop takes over
        EXPECT_FALSE(driver.processEnded());
        EXPECT_FALSE(TestDriver::isOpen("cut_list"));
        EXPECT_TRUE(TestDriver::isOpen("cut_main"));
        EXPECT_EQ(TestDriver::read("cut_main", "t_note").toString(), "not saved yet");
        ASSERT_EQ(driver.messageBoxes().size(), 1);
        EXPECT_EQ(driver.messageBoxes().first().kind, "MSGEXCLAMATION");
        EXPECT_TRUE(driver.messageBoxes().first().text.contains(table))
            << qPrintable(driver.messageBoxes().first().text);
        EXPECT_EQ(log().count("Error DBFNTX/1012"), 1) << "logged once";
        EXPECT_TRUE(log().contains(table));
        EXPECT_EQ(INAREA("1", [] { return USED(); }), false) << "the cut table is closed";
        EXPECT_EQ(QFileInfo(table).size(), kCut) << "nothing written";
    }

    QTemporaryDir folder;
    QString previousFolder;
    TestDriver driver;
    QString table;
};

TEST_F(CutTable, AnActionReadingWhatWasCutClosesItsWindowAndKeepsTheOthers) {
    TestDriver::click("cut_list", "b_last");
    ExpectTheListWindowLetGo();
}

TEST_F(CutTable, AListScrolledIntoWhatWasCutClosesItsWindowAndKeepsTheOthers) {
    QWidget* list = TestDriver::widget("cut_list", "b_words");
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
    ExpectTheListWindowLetGo();
}

TEST_F(CutTable, OutsideAnActionOrAListTheCutEndsTheProgramAsEveryFaultDoes) {
    DBSELECTAREA("big");
    DBGOTO(kRecords);
    EXPECT_THROW(FIELD("WORD"), kesp::FaultException);
    EXPECT_TRUE(driver.processEnded());
    ASSERT_EQ(driver.messageBoxes().size(), 1);
    EXPECT_EQ(driver.messageBoxes().first().kind, "STOP");
    EXPECT_TRUE(driver.messageBoxes().first().text.contains(table));
}

}  // namespace
