// Backups of an installed copy: snapshots that link what did not change and
// copy what did, the rotation, a restore that can itself be taken back, a
// full disk, the window and the command.
#include "shell/backups.h"
#include "kernel/public_variables.h"
#include "shell/backup_window.h"
#include "shell/language.h"
#include "store/file_handle.h"
#include "tests/shell/installed_program.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QTreeWidget>

#include <sys/stat.h>

namespace {

using kesp::test::TestDriver;

class BackupsTest : public InstalledProgram {
  protected:
    static ino_t Inode(const QString& path) {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
    }
    static QStringList Names(const QList<Snapshot>& snapshots) {
        QStringList names;
        for (const Snapshot& snapshot : snapshots)
            names.append(QFileInfo(snapshot.folder).fileName());
        return names;
    }
    // The backups window once its counts are read.
    static QTreeWidget* CountedList() {
        for (int i = 0; i < 5000 && BACKUP_COUNTS_COMING(); ++i) {
            QApplication::processEvents();
            QThread::msleep(1);
        }
        EXPECT_FALSE(BACKUP_COUNTS_COMING());
        return qobject_cast<QTreeWidget*>(TestDriver::widget("sicherung", "List_1"));
    }
    QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

const QDateTime kMonday(QDate(2026, 12, 7), QTime(18, 0));

TEST_F(BackupsTest, ASnapshotCopiesWhatChangedLinksWhatDidNotAndRotationKeepsTenAndOnePerWeek) {
    AddRecord("notiz.dbf", {{"N_TITEL", "Erste"}});
    const QString first = MakeSnapshot(kMonday);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(QFile::exists(first + "/de_en.dbf"));
    EXPECT_TRUE(QFile::exists(first + "/notiz.fpt"));
    EXPECT_TRUE(QDir(first).entryList({"*.ntx"}).isEmpty());
    EXPECT_NE(Inode(first + "/notiz.dbf"), Inode(DataFile("notiz.dbf")))
        << "never a file the store writes in place";

    AddRecord("notiz.dbf", {{"N_TITEL", "Zweite"}});
    const QString second = MakeSnapshot(kMonday.addSecs(2 * 3600));
    EXPECT_EQ(Inode(second + "/de_en.dbf"), Inode(first + "/de_en.dbf")) << "unchanged: linked";
    EXPECT_NE(Inode(second + "/notiz.dbf"), Inode(first + "/notiz.dbf"));
    EXPECT_EQ(Bytes(second + "/notiz.dbf"), Bytes(DataFile("notiz.dbf")));
    EXPECT_EQ(SnapshotCounts(Snapshots().first()).value(3),
              (QPair<QString, long long>{"Notes", 2}));

    SNAPSHOT_AT_CLOSE(kMonday.addSecs(2 * 3600 + 600));
    EXPECT_EQ(Snapshots().size(), 2) << "at most one an hour";
    SNAPSHOT_AT_CLOSE(kMonday.addSecs(3 * 3600 + 1));
    EXPECT_EQ(Snapshots().size(), 3);

    // Twenty-five more over twelve weeks, every three and a half days.
    for (int n = 1; n <= 25; ++n)
        ASSERT_FALSE(MakeSnapshot(kMonday.addSecs(-n * 84 * 3600)).isEmpty());
    RotateSnapshots(kMonday.addSecs(4 * 3600));
    const QStringList kept = Names(Snapshots());
    QStringList expected = {
        "2026-12-07_21-00-01", "2026-12-07_20-00-00", "2026-12-07_18-00-00", "2026-12-04_06-00-00",
        "2026-11-30_18-00-00", "2026-11-27_06-00-00", "2026-11-23_18-00-00", "2026-11-20_06-00-00",
        "2026-11-16_18-00-00", "2026-11-13_06-00-00",
        // then the newest of each older week of the last eight
        "2026-11-06_06-00-00", "2026-10-30_06-00-00", "2026-10-23_06-00-00", "2026-10-16_06-00-00"};
    EXPECT_EQ(kept, expected);
}

TEST_F(BackupsTest, ARestoreBringsTheDataBackAndCanItselfBeTakenBack) {
    TestDriver driver;
    AddRecord("notiz.dbf", {{"N_TITEL", "Vorher"}});
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    AddRecord("notiz.dbf", {{"N_TITEL", "Nachher"}});
    OpenMainWindow();

    TestDriver::click("haupt", "Button_37");
    ASSERT_TRUE(TestDriver::isOpen("sicherung"));
    EXPECT_FALSE(TestDriver::read("sicherung", "Button_1", "enabled").toBool())
        << "not while the backups are read for their counts";
    CountedList();
    EXPECT_TRUE(TestDriver::read("sicherung", "Button_1", "enabled").toBool());
    driver.answerNext(true);
    TestDriver::click("sicherung", "Button_1");
    EXPECT_EQ(driver.messageBoxes().last().text, "The backup of 12/07/2026 18:00:00 is restored.");
    EXPECT_EQ(RecordCount("notiz.dbf"), 1);
    ASSERT_EQ(Snapshots().size(), 2) << "the state before the restore, kept first";

    // The restore taken back: the newest snapshot is the state before it.
    CountedList();
    driver.answerNext(true);
    TestDriver::click("sicherung", "Button_1");
    EXPECT_EQ(RecordCount("notiz.dbf"), 2);
    TestDriver::closeWindow("sicherung");

    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        CHANGE_LANG(code);
        TestDriver::click("haupt", "Button_37");
        CountedList();
        ASSERT_TRUE(
            kesp::SaveWindowScreenshot("sicherung", folder + "/sicherung_" + code + ".png"));
        TestDriver::closeWindow("sicherung");
    }
}

TEST_F(BackupsTest, TheWindowCountsBesideTheLoopWhatTheCountsOnTheLoopSay) {
    TestDriver driver;
    AddRecord("notiz.dbf", {{"N_TITEL", "Eins"}});
    AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}});
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    AddRecord("notiz.dbf", {{"N_TITEL", "Zwei"}});
    const QString damaged = MakeSnapshot(kMonday.addDays(1));
    ASSERT_FALSE(damaged.isEmpty());
    QFile::resize(damaged + "/notiz.dbf", 40);
    OpenMainWindow();

    TestDriver::click("haupt", "Button_37");
    const QTreeWidget* list = CountedList();
    ASSERT_TRUE(list);
    const QList<Snapshot> snapshots = Snapshots();
    ASSERT_EQ(list->topLevelItemCount(), snapshots.size());
    for (int at = 0; at < snapshots.size(); ++at) {
        const QString damage = SnapshotDamage(snapshots[at]);
        const QList<QPair<QString, long long>> counts = SnapshotCounts(snapshots[at]);
        const QTreeWidgetItem* item = list->topLevelItem(at);
        long long total = 0;
        ASSERT_EQ(item->childCount(), counts.size());
        for (int k = 0; k < counts.size(); ++k) {
            EXPECT_EQ(item->child(k)->text(0), counts[k].first);
            EXPECT_EQ(item->child(k)->text(1),
                      damage.isEmpty() ? QString::number(counts[k].second) : QString());
            total += counts[k].second;
        }
        EXPECT_EQ(item->text(1), damage.isEmpty() ? QString::number(total) : "damaged");
        EXPECT_EQ(damage.isEmpty(), at == 1) << "the newest is damaged";
    }
    EXPECT_EQ(list->topLevelItem(1)->text(1), "2") << "Eins and Anna";
    TestDriver::closeWindow("sicherung");
}

TEST_F(BackupsTest, ClosingTheWindowBeforeTheCountsAreReadDropsThem) {
    TestDriver driver;
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    OpenMainWindow();
    TestDriver::click("haupt", "Button_37");
    EXPECT_TRUE(BACKUP_COUNTS_COMING());
    TestDriver::closeWindow("sicherung");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(BACKUP_COUNTS_COMING()) << "cancelled with the window";
    // What the worker still posts finds no list to fill.
    for (int i = 0; i < 200; ++i) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
    EXPECT_FALSE(TestDriver::isOpen("sicherung"));
}

TEST_F(BackupsTest, AFullDiskLeavesNoSnapshotDamagesNothingAndIsToldAtTheNextStart) {
    const QString earlier = MakeSnapshot(kMonday);
    ASSERT_FALSE(earlier.isEmpty());
    const QByteArray kept = Bytes(earlier + "/adressen_p.dbf");
    AddRecord("adressen_p.dbf", {{"VORNAME", "Anna"}});
    const QByteArray data = Bytes(DataFile("adressen_p.dbf"));

    kesp::store::LimitRoomForTests(100);
    SNAPSHOT_AT_CLOSE(kMonday.addDays(1));
    kesp::store::LimitRoomForTests(-1);
    EXPECT_EQ(Names(Snapshots()), QStringList{"2026-12-07_18-00-00"});
    EXPECT_EQ(QDir(BackupsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1)
        << "no half-written snapshot";
    EXPECT_EQ(Bytes(earlier + "/adressen_p.dbf"), kept);
    EXPECT_EQ(Bytes(DataFile("adressen_p.dbf")), data);

    const QString told = TakeFailedSnapshotNote();
    EXPECT_EQ(told, "The backup of " + DTOC(QDate(2026, 12, 8)) +
                        " 18:00 could not be written: No space left on the drive.\rThe data "
                        "are unchanged.");
    EXPECT_TRUE(TakeFailedSnapshotNote().isEmpty()) << "told once";
}

TEST_F(BackupsTest, TheCommandBacksUpNowAndRefusesWhileTheProgramRuns) {
    StoreLanguage("EN");
    const CommandRun refused = RunProgram({"--backup"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Snapshots().isEmpty());
    LetGoOfTheDataFolder();
    const CommandRun made = RunProgram({"--backup"});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    ASSERT_EQ(Snapshots().size(), 1);
    EXPECT_EQ(made.out,
              "Backed up in " + QDir::toNativeSeparators(Snapshots().first().folder) + "\n");
}

}  // namespace
