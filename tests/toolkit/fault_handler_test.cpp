// The program-wide fault handler: the log entry, the stop box, the end of the
// process.
#include "toolkit/fault_handler.h"
#include "store/file_handle.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/driver_seam.h"
#include "toolkit/error_log.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"
#include "toolkit/test_driver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kesp::test::TestDriver;

namespace {

class FaultHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
        kesp::InstallProgramFaultHandler();
        driver.interceptProcessEnd();
        driver.setToday(QDate(2006, 12, 24));
        SET_DATEFORMAT("dd.mm.yyyy");
    }
    void TearDown() override {
        kesp::SetFaultHandler({});
        QDir::setCurrent(previousFolder);
    }

    QString log() const {
        QFile file(folder.filePath("ErrorLog.Htm"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    QTemporaryDir folder;
    QString previousFolder;
    TestDriver driver;
};

void OPEN_MISSING_TABLE() {
    KESP_OPERATION();
    DBUSEAREA(true, "no_such_<b>table</b>.dbf", "x");
}

void OPENFORM_BROKEN() {
    KESP_OPERATION();
    OPEN_MISSING_TABLE();
}

TEST_F(FaultHandlerTest, StoreFaultIsLoggedShownAndEndsTheProcess) {
    EXPECT_THROW(OPENFORM_BROKEN(), kesp::FaultException);
    EXPECT_TRUE(driver.processEnded());
    EXPECT_EQ(driver.exitCode(), 1);

    const QString text = log();
    EXPECT_TRUE(text.startsWith("<HTML><HEAD><TITLE>"));
    EXPECT_NE(text.indexOf("<STYLE>"), -1);
    EXPECT_NE(text.indexOf("<H1 ALIGN=CENTER>"), -1);
    EXPECT_NE(text.indexOf("<p class=\"updated\">Date:24.12.2006  Time: "), -1);
    EXPECT_NE(text.indexOf("Error DBFNTX/1001"), -1);
    // The file name is escaped: it cannot put markup into the log.
    EXPECT_EQ(text.indexOf("<b>"), -1);
    EXPECT_NE(text.indexOf("no_such_&lt;b&gt;table&lt;/b&gt;.dbf"), -1);
    const qsizetype inner = text.indexOf("Called from OPEN_MISSING_TABLE(");
    const qsizetype outer = text.indexOf("Called from OPENFORM_BROKEN(");
    ASSERT_NE(inner, -1);
    EXPECT_LT(inner, outer);
    EXPECT_TRUE(text.endsWith("<HR>\r\n"));

    ASSERT_EQ(driver.messageBoxes().size(), 1);
    const auto& stop = driver.messageBoxes().first();
    EXPECT_EQ(stop.kind, "STOP");
    EXPECT_EQ(stop.title, "Program Error");
    EXPECT_TRUE(stop.text.startsWith("Error DBFNTX/1001"));
    EXPECT_NE(stop.text.indexOf("\n\nCalled from OPEN_MISSING_TABLE("), -1);
}

TEST_F(FaultHandlerTest, ASecondFaultAppendsWithoutANewHead) {
    EXPECT_THROW(kesp::RaiseFormsFault("Window a is not defined."), kesp::FaultException);
    EXPECT_THROW(kesp::RaiseFormsFault("Window <b> is not defined."), kesp::FaultException);
    const QString text = log();
    EXPECT_EQ(text.count("<HTML>"), 1);
    EXPECT_EQ(text.count("<p class=\"updated\">"), 2);
    EXPECT_NE(text.indexOf("Error: Kesp Forms 2.0: Window a is not defined.</p><BR>\r\n"), -1);
    EXPECT_NE(text.indexOf("Window &lt;b&gt; is not defined."), -1);
}

TEST_F(FaultHandlerTest, ClosesAllTablesBeforeTheStopBox) {
    QDir().mkpath(folder.filePath("data"));
    kesp::CreateTable(folder.filePath("data/t.dbf"), {{.name = "NAME", .type = 'C', .length = 10}});
    DBUSEAREA(true, folder.filePath("data/t.dbf"), "t");
    ASSERT_TRUE(USED());
    EXPECT_THROW(FIELD("t->nofield"), kesp::FaultException);
    DBSELECTAREA("1");
    EXPECT_FALSE(USED());
}

TEST_F(FaultHandlerTest, ClosingOnTheWayOutWritesNoHalfDoneChange) {
    const QString path = folder.filePath("t.dbf");
    kesp::CreateTable(path, {{.name = "NAME", .type = 'C', .length = 10},
                             {.name = "ORT", .type = 'C', .length = 10}});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    DBUSEAREA(true, path, "t");
    DBAPPEND();
    REPLACE("t->NAME", "Anna");
    EXPECT_THROW(REPLACE("t->nofield", "Bonn"), kesp::FaultException);  // cut off half way
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(FaultHandlerTest, AFaultWhileTheStopBoxIsUpStillShowsTheBoxAndEndsTheProcess) {
    QStringList boxes;
    kesp::seam::answerMessageBox = [&boxes](const kesp::seam::MessageBoxShown& box) {
        boxes << box.text;
        if (boxes.size() == 1) kesp::RaiseFormsFault("Second fault.");  // a repaint, say
        return true;
    };
    EXPECT_THROW(kesp::RaiseFormsFault("First fault."), kesp::FaultException);
    EXPECT_TRUE(driver.processEnded());
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[1].startsWith("Error: Kesp Forms 2.0: First fault.\n\n"))
        << qPrintable(boxes[1]);
    EXPECT_TRUE(boxes[1].endsWith("\n\nThen: Error: Kesp Forms 2.0: Second fault."))
        << qPrintable(boxes[1]);
}

TEST_F(FaultHandlerTest, ALogTheCurrentFolderCannotTakeGoesElsewhereAndTheBoxSaysWhere) {
    QTemporaryDir data;
    kesp::InstallProgramFaultHandler({data.path()});
    // A folder where the log file should be: no file can be written there.
    QDir().mkpath(folder.filePath("ErrorLog.Htm"));
    EXPECT_THROW(kesp::RaiseFormsFault("Window a is not defined."), kesp::FaultException);
    QFile moved(data.filePath("ErrorLog.Htm"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    EXPECT_NE(moved.readAll().indexOf("Window a is not defined."), -1);
    ASSERT_EQ(driver.messageBoxes().size(), 1);
    EXPECT_TRUE(driver.messageBoxes().first().text.endsWith(
        "The current folder could not take the fault log; it was written to " +
        QDir::toNativeSeparators(data.filePath("ErrorLog.Htm")) + "."))
        << driver.messageBoxes().first().text.toStdString();

    // No folder at all takes it (the temporary folder neither): the box says so.
    driver.clearMessageBoxes();
    const QByteArray temporary = qgetenv("TMPDIR");
    qputenv("TMPDIR", folder.filePath("tmp").toLocal8Bit());
    QDir().mkpath(folder.filePath("tmp/ErrorLog.Htm"));
    QDir().mkpath(folder.filePath("data/ErrorLog.Htm"));
    kesp::InstallProgramFaultHandler({folder.filePath("data")});
    EXPECT_THROW(kesp::RaiseFormsFault("Window b is not defined."), kesp::FaultException);
    temporary.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporary);
    ASSERT_EQ(driver.messageBoxes().size(), 1);
    EXPECT_TRUE(driver.messageBoxes().first().text.endsWith(
        "The fault could not be written to ErrorLog.Htm in the current folder, nor in " +
        QDir::toNativeSeparators(folder.filePath("data")) + ", nor in " +
        QDir::toNativeSeparators(folder.filePath("tmp")) + "."))
        << driver.messageBoxes().first().text.toStdString();
}

TEST(HtmlEscaping, CoversMarkupQuotesAndNonAscii) {
    EXPECT_EQ(kesp::HtmlEscaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
    EXPECT_EQ(kesp::HtmlEscaped("Straße"), "Stra&#223;e");
    EXPECT_EQ(kesp::HtmlEscaped("line\r\nbreak"), "line  break");
    EXPECT_EQ(kesp::HtmlEscaped(QString::fromUtf8("\xF0\x9F\x98\x80")), "&#128512;");
}

TEST(Division, ByZeroYieldsZero) {
    EXPECT_EQ(kesp::DIVIDE(7, 0), 0);
    EXPECT_EQ(kesp::DIVIDE(7, 2), 3.5);
}

TEST(FaultHandlerDeath, EndsTheProcessWithExitCodeOne) {
    // The child process runs this test again; it finds the parent's folder in
    // the environment.
    constexpr char kFolderVariable[] = "KESP_DEATH_TEST_FOLDER";
    QTemporaryDir own;
    const bool inChild = qEnvironmentVariableIsSet(kFolderVariable);
    const QDir folder(inChild ? qEnvironmentVariable(kFolderVariable) : own.path());
    if (!inChild) qputenv(kFolderVariable, folder.path().toLocal8Bit());
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    EXPECT_EXIT(
        {
            TestDriver driver;  // answers the stop box, leaves the process end alone
            kesp::InstallProgramFaultHandler();
            SETPROPERTY("nowindow", "Label_1", "Value", "x");
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_TRUE(QFile::exists(folder.filePath("ErrorLog.Htm")));
    QDir::setCurrent(previous);
    qunsetenv(kFolderVariable);
}

}  // namespace
