// Save new and Save in every record window when the system refuses a write:
// before the record is stored (the table file) the table stays as it was and
// the form keeps what was typed; after it is stored (the index files) the
// window shows the saved record, counts it and says that it was saved and
// which file could not be written. What the message says is held against the
// table as another program (python3-dbfread) reads it, and saving again never
// stores a second copy.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/private_operations.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "data/installed_tables.h"
#include "kernel/problem_texts.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/other_reader.h"
#include "tests/apps/record_applications.h"
#include "tests/apps/record_fixture.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"

#include <QDir>

#include <cerrno>

namespace {

using kesp::test::TestDriver;

using Application = RecordApplication;
inline const auto& kApplications = kRecordApplications;

class RefusedWrite : public RecordFixture, public ::testing::WithParamInterface<Application> {
  protected:
    void SetUp() override {
        RecordFixture::SetUp();
        for (const kesp::TableDescription& table : kesp::InstalledTables())
            InstallTable(table.file, false);
        WriteRecords({"Anna Alt", "Bert Alt"});
        INSTALL_PROBLEM_TEXTS();
        GetParam().open();
        stored_ = Stored();
        ASSERT_EQ(stored_, QStringList({"Anna Alt", "Bert Alt"}));
    }
    void TearDown() override {
        kesp::store::RefuseChangesToFilesForTests({}, 0);
        kesp::store::LimitRoomForTests(-1);
        kesp::SetWriteFailureNotice({});
        RecordFixture::TearDown();
    }

    // Records with only the required field given, after those installed.
    void WriteRecords(const QStringList& values) {
        DBUSEAREA(false, dataPath() + window().table, "samples");
        for (const QString& value : values) {
            DBAPPEND();
            REPLACE(RowOfControl(window().fields, window().required.control).field, value);
        }
        DBCOMMIT();
        DBCLOSEALL();
    }

    const RecordWindow& window() const { return GetParam().describe(); }
    const QString& name() const { return window().window; }
    // The required field of every record, as python3-dbfread reads the table.
    QStringList Stored() const {
        const FieldRow& row = RowOfControl(window().fields, window().required.control);
        return ReadWithDbfread(dataPath() + window().table, row.field);
    }
    void Click(const QString& control) { TestDriver::click(name(), control); }
    void Enter(const QString& value) {
        SETPROPERTY(name(), window().required.control, "value", value);
    }
    bool InEntryMode() const {
        return TestDriver::isShown(name(), window().entryButtons.save) &&
               !TestDriver::isShown(name(), "ToolBar_1");
    }
    QString CountLine(int count) const {
        return QString::number(count) + TEXT(window().countLine.words);
    }
    QString Shown(const QString& control) const {
        return TestDriver::read(name(), control).toString();
    }
    QStringList Messages() { return TakeMessages(*window().messageTitle); }
    // The warning that the record is saved but `file` (in the data folder) is not.
    QString SavedAnyway(const QString& file) const {
        return "MSGEXCLAMATION: Der Eintrag ist gespeichert. Die Datei " +
               QDir::toNativeSeparators(dataPath() + file) +
               " konnte danach aber nicht geschrieben werden: Kein Speicherplatz mehr auf dem "
               "Datenträger.\nDas Programm holt das beim nächsten Öffnen des Fensters nach. "
               "Bitte schaffen Sie Platz oder prüfen Sie den Datenträger.";
    }
    // Exactly the warning that the record is saved, naming one of the
    // window's index files (the first whose writing was refused).
    bool ToldSavedAnyway(const QStringList& told) const {
        for (const IndexFile& index : window().indexes)
            if (told == QStringList{SavedAnyway(index.file + ".ntx")}) return true;
        ADD_FAILURE() << told.join("|").toStdString();
        return false;
    }

    QStringList stored_;  // as the window opened
};

TEST_P(RefusedWrite, SaveNewWhoseIndexIsRefusedIsSavedShownCountedAndToldSo) {
    Click("x5");
    Enter("Zora Neu");
    kesp::store::RefuseChangesToFilesForTests(".ntx", ENOSPC);
    Click(window().entryButtons.save);
    kesp::store::RefuseChangesToFilesForTests({}, 0);

    EXPECT_TRUE(ToldSavedAnyway(Messages()));
    EXPECT_EQ(Stored(), stored_ + QStringList{"Zora Neu"});
    EXPECT_FALSE(InEntryMode()) << "a saved record leaves entry mode";
    EXPECT_EQ(Shown(window().countLine.name), CountLine(stored_.size() + 1));
    EXPECT_EQ(TestDriver::browseRows(name(), window().list.name), stored_.size() + 1);

    // The window goes on working, and the next record is stored once.
    Click("x5");
    Enter("Yvonne Neu");
    Click(window().entryButtons.save);
    Messages();
    EXPECT_EQ(Stored(), stored_ + QStringList({"Zora Neu", "Yvonne Neu"}));
    EXPECT_EQ(Shown(window().countLine.name), CountLine(stored_.size() + 2));
}

TEST_P(RefusedWrite, SaveWhoseIndexIsRefusedKeepsTheChangeShownAndToldSo) {
    Click("x4");
    const int edited = TestDriver::read(name(), window().list.name).toInt();
    Enter("Zeta Neu");
    kesp::store::RefuseChangesToFilesForTests(".ntx", ENOSPC);
    Click("x8");
    kesp::store::RefuseChangesToFilesForTests({}, 0);

    EXPECT_TRUE(ToldSavedAnyway(Messages()));
    QStringList expected = stored_;
    expected[edited - 1] = "Zeta Neu";
    EXPECT_EQ(Stored(), expected);
    EXPECT_EQ(TestDriver::read(name(), window().list.name).toInt(), edited);
    EXPECT_EQ(Shown(window().countLine.name), CountLine(stored_.size()));

    Click("x8");  // again, the disk with room: no second copy, nothing to tell
    EXPECT_TRUE(Messages().isEmpty());
    EXPECT_EQ(Stored(), expected);
}

TEST_P(RefusedWrite, SaveNewWhoseRecordIsRefusedLeavesTheTableAndStoresOnceOnRetry) {
    Click("x5");
    Enter("Zora Neu");
    kesp::store::LimitRoomForTests(0);
    Click(window().entryButtons.save);
    kesp::store::LimitRoomForTests(-1);

    const QStringList told = TakeMessages();  // a write failure's box carries the program's name
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains("Die Tabelle ist so, wie sie zuletzt gespeichert wurde"))
        << told[0].toStdString();
    EXPECT_EQ(Stored(), stored_);
    EXPECT_TRUE(InEntryMode());
    EXPECT_EQ(Shown(window().required.control), "Zora Neu");

    Click(window().entryButtons.save);
    Messages();
    EXPECT_EQ(Stored(), stored_ + QStringList{"Zora Neu"});
    EXPECT_FALSE(InEntryMode());
}

TEST_P(RefusedWrite, SaveNewWithAnyOneFileChangeRefusedIsToldAsTheTableIsLeft) {
    // The nth file change of Save new fails once (the drive recovers): the
    // message and the window match the table as another program reads it.
    int unchanged = 0;
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        Click("x5");
        Enter("Zora Neu");
        kesp::store::FailOneFileChangeForTests(n, EIO);
        Click(window().entryButtons.save);
        kesp::store::FailFileChangesForTests(0, 0);
        // A write failure's box carries the program's name, the window's own
        // boxes the window's title: read regardless of the title.
        QString all;
        for (const kesp::test::MessageBoxRecord& box : driver_.messageBoxes())
            all += box.kind + ": " + box.text + "|";
        driver_.clearMessageBoxes();
        if (all.contains("Die Tabelle ist so, wie sie zuletzt gespeichert wurde")) {
            ++unchanged;
            EXPECT_EQ(Stored(), stored_);
            EXPECT_TRUE(InEntryMode());
            Click(window().entryButtons.cancel);
        } else {
            EXPECT_FALSE(InEntryMode());
            // Once the tables are closed every reader finds the record, even
            // when its mark could not be put in place at once.
            TestDriver::closeWindow(name());
            DBCLOSEALL();
            EXPECT_EQ(Stored(), stored_ + QStringList{"Zora Neu"}) << all.toStdString();
            // Back to the records the window opened with, for the next round.
            InstallTable(window().table, false);
            WriteRecords(stored_);
            GetParam().open();
        }
    }
    EXPECT_GT(unchanged, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryRecordWindow, RefusedWrite, ::testing::ValuesIn(kApplications),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
