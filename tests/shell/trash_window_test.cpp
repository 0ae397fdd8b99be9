// The trash window over an installed copy: what the start's packs removed is
// listed from every application under its name, found by a search, brought
// back into its table, and the trash emptied after a question.
#include "kernel/public_variables.h"
#include "shell/language.h"
#include "shell/record_kinds.h"
#include "shell/trash.h"
#include "store/dbf_table.h"
#include "store/file_handle.h"
#include "tests/shell/installed_program.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTreeWidget>

#include <cerrno>

namespace {

using kesp::test::TestDriver;

class TrashWindowTest : public InstalledProgram {};

QStringList Rows(QTreeWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        rows.append(item->text(0) + " | " + item->text(1));
    }
    return rows;
}

TEST_F(TrashWindowTest, ListsFindsRestoresAndEmptiesWhatThePacksRemoved) {
    TestDriver driver;
    AddRecord("notiz.dbf", {{"N_TITEL", "Einkauf"}, {"N_TEXT", "Brot\r\nMilch"}});
    AddRecord("notiz.dbf", {{"N_TITEL", "Bleibt"}});
    AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}, {"NACHNAME", "Groß"}});
    DeleteRecords("notiz.dbf", [] { return FIELD("N_TITEL").toString().startsWith("Einkauf"); });
    DeleteRecords("adressen_p.dbf", [] { return true; });
    OpenMainWindow();  // its statistics pack every table
    ASSERT_EQ(RecordCount("notiz.dbf"), 1);

    TestDriver::click("haupt", "Button_36");
    ASSERT_TRUE(TestDriver::isOpen("papierkorb"));
    auto* list = qobject_cast<QTreeWidget*>(TestDriver::widget("papierkorb", "List_1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Rows(list).size(), 2);
    EXPECT_TRUE(Rows(list).contains("Notes | Einkauf"));
    EXPECT_TRUE(Rows(list).contains("Contacts(friends) | Anna Groß"));
    EXPECT_EQ(TestDriver::read("papierkorb", "Label_2").toString(),
              "2 records of the last 30 days");

    TestDriver::typeInto("papierkorb", "s_papier", "gross");
    ASSERT_EQ(Rows(list), QStringList{"Contacts(friends) | Anna Groß"});
    TestDriver::clearText("papierkorb", "s_papier");
    TestDriver::typeInto("papierkorb", "s_papier", "einkauf");
    ASSERT_EQ(Rows(list), QStringList{"Notes | Einkauf"});
    list->topLevelItem(0)->setSelected(true);
    // Enter on the focused button presses it, as Space does.
    QWidget* restore = TestDriver::widget("papierkorb", "Button_1");
    QApplication::setActiveWindow(restore->window());
    restore->setFocus();
    QTest::keyClick(restore, Qt::Key_Return);
    ASSERT_FALSE(driver.messageBoxes().isEmpty());
    EXPECT_EQ(driver.messageBoxes().last().text, "1 record is back in its application.");
    EXPECT_EQ(RecordCount("notiz.dbf"), 2);
    {
        const auto notes = kesp::store::DbfTable::Open(DataFile("notiz.dbf"),
                                                       kesp::store::DbfTable::Purpose::Inspect);
        const int title = notes->FieldIndex("N_TITEL");
        const int text = notes->FieldIndex("N_TEXT");
        ASSERT_EQ(notes->Read(2, title).toString().trimmed(), "Einkauf");
        EXPECT_EQ(notes->Read(2, text).toString(), "Brot\r\nMilch");
    }
    EXPECT_TRUE(Rows(list).isEmpty());
    TestDriver::clearText("papierkorb", "s_papier");
    EXPECT_EQ(Rows(list), QStringList{"Contacts(friends) | Anna Groß"});

    driver.answerNext(false);
    TestDriver::click("papierkorb", "Button_2");
    EXPECT_EQ(Rows(list).size(), 1);
    driver.answerNext(true);
    TestDriver::click("papierkorb", "Button_2");
    EXPECT_TRUE(Rows(list).isEmpty());
    TestDriver::closeWindow("papierkorb");

    AddRecord("projekt.dbf", {{"N_TITEL", "Umzug"}});
    DeleteRecords("projekt.dbf", [] { return true; });
    TestDriver::click("haupt", "Button_31");  // the statistics pack it away
    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        CHANGE_LANG(code);
        TestDriver::click("haupt", "Button_36");
        ASSERT_TRUE(
            kesp::SaveWindowScreenshot("papierkorb", folder + "/papierkorb_" + code + ".png"));
        TestDriver::closeWindow("papierkorb");
    }
    ASSERT_TRUE(kesp::SaveWindowScreenshot("haupt", folder + "/haupt_trash_BR.png"));
}

// A table that refuses the write keeps its records in the trash, while the
// other applications' records come back: the count says how many did, and
// the application whose records stayed is named.
TEST_F(TrashWindowTest, ARestoreOneTableRefusesSaysHowManyCameBackAndWhichStayed) {
    TestDriver driver;
    AddRecord("notiz.dbf", {{"N_TITEL", "Einkauf"}});
    AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}});
    DeleteRecords("notiz.dbf", [] { return true; });
    DeleteRecords("adressen_p.dbf", [] { return true; });
    OpenMainWindow();
    TestDriver::click("haupt", "Button_36");
    auto* list = qobject_cast<QTreeWidget*>(TestDriver::widget("papierkorb", "List_1"));
    ASSERT_EQ(list->topLevelItemCount(), 2);
    for (int row = 0; row < 2; ++row)
        list->topLevelItem(row)->setSelected(true);
    kesp::store::RefuseChangesToFilesForTests("notiz.", ENOSPC);
    TestDriver::click("papierkorb", "Button_1");
    kesp::store::RefuseChangesToFilesForTests({}, 0);
    ASSERT_EQ(driver.messageBoxes().size(), 2);
    EXPECT_EQ(driver.messageBoxes()[0].kind, "MSGEXCLAMATION");
    EXPECT_EQ(driver.messageBoxes()[1].text,
              "1 record is back in its application.\nStayed in the trash, as their table could "
              "not be written: Notes (1)");
    EXPECT_EQ(RecordCount("adressen_p.dbf"), 1);
    EXPECT_EQ(Rows(list), QStringList{"Notes | Einkauf"});
}

// Every application with a table of its own: a record deleted there is in
// the trash after the start's packs, named as the catalogue names it, and
// goes back into its table.
TEST_F(TrashWindowTest, EveryApplicationsDeletedRecordComesBackFromTheTrash) {
    QStringList tables;
    for (const RecordKind* each : KindsWithTablesOfTheirOwn()) {
        const RecordKind& kind = *each;
        QString field;
        {
            const auto table = kesp::store::DbfTable::Open(DataFile(kind.table),
                                                           kesp::store::DbfTable::Purpose::Inspect);
            int widest = 0;  // the name's widest text field
            for (const QString& named : NameFields(kind)) {
                const int at = table->FieldIndex(named);
                if (at < 0) continue;
                const kesp::store::Field& f = table->fields()[static_cast<std::size_t>(at)];
                if (f.type == 'C' && f.length > widest) {
                    widest = f.length;
                    field = named;
                }
            }
        }
        ASSERT_FALSE(field.isEmpty()) << kind.id.toStdString();
        AddRecord(kind.table, {{field, "Probe " + kind.id}});
        DeleteRecords(kind.table, [] { return true; });
        tables.append(kind.table);
    }
    OpenMainWindow();
    const QList<TrashEntry> entries = TrashEntries();
    ASSERT_EQ(entries.size(), tables.size());
    for (const TrashEntry& entry : entries) {
        EXPECT_TRUE(entry.name.contains("Probe " + entry.kind->id)) << entry.name.toStdString();
        EXPECT_EQ(RecordCount(entry.kind->table), 0);
    }
    DBCLOSEALL();
    const TrashRestore restore = RestoreTrashEntries(entries);
    EXPECT_EQ(restore.restored, tables.size());
    EXPECT_FALSE(restore.inUse);
    for (const QString& table : tables)
        EXPECT_EQ(RecordCount(table), 1) << table.toStdString();
    EXPECT_TRUE(TrashEntries().isEmpty());
}

}  // namespace
