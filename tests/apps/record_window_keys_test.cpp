// What every record window promises the keyboard, run over every record
// application: Escape and the close box never lose typed values without
// asking, and Ctrl+N, Ctrl+S, Delete on the list, Ctrl+E and F1 do what the
// toolbar and the help button do, wherever the focus is. Real key events
// throughout; the questions are answered by the test driver.
#include "apps/common/record_steps.h"
#include "data/installed_tables.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/apps/record_fixture.h"
#include "tests/apps/record_window_contract.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace {

using kesp::test::TestDriver;
using record_window_contract::Application;
using record_window_contract::kApplications;

class RecordWindowKeys : public RecordFixture, public ::testing::WithParamInterface<Application> {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        for (const kesp::TableDescription& table : kesp::InstalledTables())
            InstallTable(table.file);
    }

    const RecordWindow& window() const { return GetParam().describe(); }
    const QString& name() const { return window().window; }

    // The key goes where the focus is, as on the keyboard.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
    bool InEntryMode() const { return TestDriver::isShown(name(), window().entryButtons.save); }
    QString Required() const {
        return TestDriver::read(name(), window().required.control).toString();
    }
    int StoredRecords() {
        DBSELECTAREA(window().workArea);
        return RECCOUNT();
    }
    QStringList Messages() { return TakeMessages(*window().messageTitle); }
};

TEST_P(RecordWindowKeys, EscapeAndTheCloseBoxAskBeforeTypedValuesAreLost) {
    // Nothing changed: Escape closes at once, in view and in entry mode.
    GetParam().open();
    DOMETHOD(name(), window().list.name, "SetFocus");
    Press(Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen(name()));
    GetParam().open();
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(InEntryMode());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen(name()));
    EXPECT_TRUE(Messages().isEmpty());

    // A new record typed: No keeps the window with what was typed.
    GetParam().open();
    const int stored = StoredRecords();
    Press(Qt::Key_N, Qt::ControlModifier);
    TestDriver::typeInto(name(), window().required.control, "Neu");
    driver_.answerNext(false);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Messages(), QStringList{"MSGYESNO: Änderungen verwerfen?"});
    ASSERT_TRUE(TestDriver::isOpen(name()));
    EXPECT_TRUE(InEntryMode());
    EXPECT_EQ(Required(), "Neu");
    // The close box asks too; Yes closes without writing.
    UseLanguage("AM");
    driver_.answerNext(true);
    TestDriver::closeWindow(name());
    EXPECT_EQ(Messages(), QStringList{"MSGYESNO: Discard changes?"});
    EXPECT_FALSE(TestDriver::isOpen(name()));
    EXPECT_EQ(StoredRecords(), stored);

    // A shown record changed and not saved.
    UseLanguage("BR");
    GetParam().open();
    const QString before = Required();
    TestDriver::typeInto(name(), window().required.control, " mais");
    driver_.answerNext(false);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Messages(), QStringList{"MSGYESNO: Descartar alterações?"});
    EXPECT_EQ(Required(), before + " mais");
    // Changed back by hand: nothing to lose any more.
    TestDriver::clearText(name(), window().required.control);
    TestDriver::typeInto(name(), window().required.control, before);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(TestDriver::isOpen(name()));
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_P(RecordWindowKeys, TheToolbarKeysWorkWhereverTheFocusIsAndTheTipsNameThem) {
    int helpShown = 0;
    SET_HELP_ACTION([&helpShown] { ++helpShown; });
    GetParam().open();
    EXPECT_TRUE(GETPROPERTY(name(), "x5", "tooltip").toString().endsWith("(Strg+N)"));
    EXPECT_TRUE(GETPROPERTY(name(), "x6", "tooltip").toString().endsWith("(Entf)"));
    EXPECT_TRUE(GETPROPERTY(name(), "x7", "tooltip").toString().endsWith("(Strg+E)"));
    EXPECT_TRUE(GETPROPERTY(name(), "x8", "tooltip").toString().endsWith("(Strg+S)"));
    EXPECT_TRUE(
        GETPROPERTY(name(), window().entryButtons.save, "tooltip").toString().endsWith("(Strg+S)"));

    // Ctrl+N and Ctrl+S from a text box: the new record is saved.
    const int stored = StoredRecords();
    TestDriver::typeInto(name(), window().required.control, "");
    Press(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(InEntryMode());
    TestDriver::typeInto(name(), window().required.control, "Aaron");
    Press(Qt::Key_S, Qt::ControlModifier);
    Messages();
    EXPECT_FALSE(InEntryMode());
    EXPECT_EQ(StoredRecords(), stored + 1);

    // Ctrl+S in view mode saves the record shown.
    const int shown = TestDriver::read(name(), window().list.name).toInt();
    TestDriver::typeInto(name(), window().required.control, "X");
    const QString typed = Required();
    Press(Qt::Key_S, Qt::ControlModifier);
    DBSELECTAREA(window().workArea);
    DBGOTO(shown);
    EXPECT_EQ(FIELD(window().alias + "->" +
                    RowOfControl(window().fields, window().required.control).field)
                  .toString()
                  .trimmed(),
              typed.trimmed());
    Messages();

    // Delete on the list asks first; No leaves the record.
    DOMETHOD(name(), window().list.name, "SetFocus");
    driver_.answerNext(false);
    Press(Qt::Key_Delete);
    const QStringList asked = Messages();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().startsWith("MSGYESNO: "));
    EXPECT_EQ(StoredRecords(), stored + 1);

    // Ctrl+E even in a text box, which would otherwise take it for itself.
    TestDriver::typeInto(name(), window().required.control, "");
    Press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(Messages(),
              QStringList{"MSGEXCLAMATION: " + TEXT(window().exportFile.createdMessage) + "\n" +
                          exportPath()});

    Press(Qt::Key_F1);
    EXPECT_EQ(helpShown, 1);
    SET_HELP_ACTION({});
}

TEST_P(RecordWindowKeys, ShiftF10OpensTheListsMenuAsTheMenuKeyDoes) {
    GetParam().open();
    QWidget* list = TestDriver::widget(name(), window().list.name);
    if (list->actions().isEmpty()) GTEST_SKIP() << "this list has no menu";
    QApplication::setActiveWindow(list->window());
    DOMETHOD(name(), window().list.name, "SetFocus");
    // The menu waits for a choice: it is looked at and closed once it shows.
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* entry : menu->actions())
                entries.append(entry->text());
            menu->close();
        }
    });
    Press(Qt::Key_F10, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(entries.size(), list->actions().size());
    Messages();
}

INSTANTIATE_TEST_SUITE_P(EveryApplication, RecordWindowKeys, ::testing::ValuesIn(kApplications),
                         [](const ::testing::TestParamInfo<Application>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
