// Expected problems reach the user as messages and lose nothing: a write the
// system refuses stops the action and leaves the form as it was; text boxes
// take only what the tables can store.
#include "store/fault.h"
#include "store/file_handle.h"
#include "store/table_schema.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"
#include "toolkit/storable_text.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kesp::test::TestDriver;

namespace {

class WriteFailureInAnAction : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        kesp::CreateTable(table(), {{.name = "NAME", .type = 'C', .length = 20}});
    }
    void TearDown() override {
        kesp::store::LimitRoomForTests(-1);
        DBCLOSEALL();
    }
    QString table() const { return folder.filePath("t.dbf"); }
    QByteArray tableBytes() const {
        QFile file(table());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    TestDriver driver;
};

TEST_F(WriteFailureInAnAction, StopsTheActionTellsTheUserAndLeavesTheFormAsItWas) {
    int saved = 0;
    _DEFINEWINDOW("form_w", WindowKind::Main, {.title = "Save", .width = 300, .height = 200});
    _DEFINETEXTBOX("t_name", {.row = 10, .col = 10, .width = 120, .height = 20});
    _DEFINEBUTTON(
        "Button_1",
        {.row = 40, .col = 10, .width = 80, .height = 24, .caption = "Save", .action = [&saved] {
             DBAPPEND();
             REPLACE("NAME", GETPROPERTY("form_w", "t_name", "Value"));
             DBCOMMIT();
             SETPROPERTY("form_w", "t_name", "Value", "");
             ++saved;
         }});
    _ENDWINDOW();
    _ACTIVATEWINDOW("form_w");
    DBUSEAREA(true, table(), "t");
    const QByteArray before = tableBytes();

    TestDriver::typeInto("form_w", "t_name", "Anna");
    kesp::store::LimitRoomForTests(0);
    TestDriver::click("form_w", "Button_1");
    kesp::store::LimitRoomForTests(-1);

    EXPECT_EQ(saved, 0) << "the action stopped at the failed write";
    EXPECT_EQ(TestDriver::read("form_w", "t_name").toString(), "Anna");
    EXPECT_EQ(tableBytes(), before);
    EXPECT_EQ(RECCOUNT(), 0);
    ASSERT_EQ(driver.messageBoxes().size(), 1);
    const auto& box = driver.messageBoxes().first();
    EXPECT_EQ(box.kind, "MSGEXCLAMATION");
    EXPECT_EQ(box.text, "The file " + table() +
                            " could not be written: No space left on device.\n"
                            "The table is as it was when last saved. Free some space or check "
                            "the drive, then try again.");

    // With room again, the same click saves once.
    TestDriver::click("form_w", "Button_1");
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(RECCOUNT(), 1);
    DBGOTOP();
    EXPECT_EQ(FIELD("NAME").toString().trimmed(), "Anna");
    RELEASEWINDOW("form_w");
}

TEST_F(WriteFailureInAnAction, AWindowWhosePreparationFailedClosesAfterTheMessage) {
    kesp::SetWriteFailureNotice([](const kesp::WriteFailure& failure) {
        MSGEXCLAMATION("told: " + failure.fault().fileName, "Test");
    });
    DBUSEAREA(true, table(), "t");
    DBAPPEND();
    DBDELETE();
    DBCOMMIT();
    _DEFINEMODALWINDOW("form_p", {.title = "Pack", .width = 300, .height = 200, .onInit = [] {
                                      DBSELECTAREA("t");
                                      __DBPACK();
                                  }});
    _ENDWINDOW();
    kesp::store::LimitRoomForTests(0);
    _ACTIVATEWINDOW("form_p");
    kesp::store::LimitRoomForTests(-1);
    kesp::SetWriteFailureNotice({});
    EXPECT_FALSE(TestDriver::isOpen("form_p"));
    ASSERT_EQ(driver.messageBoxes().size(), 1);
    EXPECT_EQ(driver.messageBoxes().first().text, "told: " + table());
    EXPECT_EQ(RECCOUNT(), 1) << "the table is as it was";
}

class StorableText : public ::testing::Test {
  protected:
    void SetUp() override {
        _DEFINEWINDOW("form_s", WindowKind::Main, {.title = "Text", .width = 300, .height = 200});
        _DEFINETEXTBOX(
            "t_name",
            {.row = 10, .col = 10, .width = 200, .height = 20, .onChange = [this] { ++changes; }});
        _DEFINEEDITBOX("free10", {.row = 40, .col = 10, .width = 200, .height = 70});
        _ENDWINDOW();
        _ACTIVATEWINDOW("form_s");
    }
    void TearDown() override {
        kesp::SetUnstorableTextHint({});
        RELEASEWINDOW("form_s");
    }
    static QString Hint() {
        const auto* hint =
            TestDriver::widget("form_s")->findChild<QLabel*>(kesp::kUnstorableTextHintName);
        return hint != nullptr && hint->isVisible() ? hint->text() : QString();
    }
    TestDriver driver;
    int changes = 0;
};

TEST_F(StorableText, ACharacterTheTablesCannotStoreIsRefusedWithAHint) {
    TestDriver::typeInto("form_s", "t_name", "Zoë 😀€");
    EXPECT_EQ(TestDriver::read("form_s", "t_name").toString(), "Zoë €");
    EXPECT_EQ(Hint(), "Cannot be stored, left out: 😀");
    EXPECT_EQ(changes, 5);

    // Pasted text keeps what can be stored, at the cursor.
    kesp::SetUnstorableTextHint([](const QString& leftOut) { return "weggelassen: " + leftOut; });
    QApplication::clipboard()->setText("x→y ☃");
    static_cast<QLineEdit*>(TestDriver::widget("form_s", "t_name"))->paste();
    EXPECT_EQ(TestDriver::read("form_s", "t_name").toString(), "Zoë €xy ");
    EXPECT_EQ(Hint(), "weggelassen: →☃");

    // What the program sets is shown as it is.
    SETPROPERTY("form_s", "t_name", "Value", "Ω");
    EXPECT_EQ(TestDriver::read("form_s", "t_name").toString(), "Ω");

    TestDriver::typeInto("form_s", "free10", "Grüße 😀\nAçaí");
    EXPECT_EQ(TestDriver::read("form_s", "free10").toString(), "Grüße \r\nAçaí");
    EXPECT_EQ(Hint(), "weggelassen: 😀");
    static_cast<QPlainTextEdit*>(TestDriver::widget("form_s", "free10"))->paste();
    EXPECT_EQ(TestDriver::read("form_s", "free10").toString(), "Grüße \r\nAçaíxy ");
}

}  // namespace
