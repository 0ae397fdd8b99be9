// The snapshot at close made beside the event loop: the same snapshot and
// the same reason as made on the loop, and a cancel that leaves nothing.
#include "shell/snapshot_beside_the_loop.h"

#include "kernel/public_variables.h"
#include "shell/backups.h"
#include "shell/language.h"
#include "store/file_handle.h"
#include "tests/shell/installed_program.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>

namespace {

class SnapshotBesideTheLoop : public InstalledProgram {
  protected:
    static QMap<QString, QByteArray> Files(const QString& folder) {
        QMap<QString, QByteArray> files;
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            QFile in(file.filePath());
            files[file.fileName()] = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        }
        return files;
    }
};

const QDateTime kMonday(QDate(2026, 12, 7), QTime(18, 0));

TEST_F(SnapshotBesideTheLoop, MakesTheSnapshotTheLoopMadeAndFailsForTheSameReason) {
    AddRecord("notiz.dbf", {{"N_TITEL", "Erste"}});
    const QString onTheLoop = MakeSnapshot(kMonday);
    ASSERT_FALSE(onTheLoop.isEmpty());
    AddRecord("agenda.dbf", {{"TERMIN", "changed since"}});
    QString reason = "untouched";
    const QString beside = MakeSnapshotBesideTheLoop(kMonday.addSecs(60), &reason);
    ASSERT_FALSE(beside.isEmpty());
    EXPECT_TRUE(reason.isEmpty());
    EXPECT_EQ(Files(beside), Files(DataFile("")));
    EXPECT_EQ(Files(beside).keys(), Files(onTheLoop).keys());

    // A full disk: the same reason either way, and no snapshot left.
    AddRecord("agenda.dbf", {{"TERMIN", "changed again"}});
    kesp::store::LimitRoomForTests(0);
    QString onTheLoopReason;
    EXPECT_TRUE(MakeSnapshot(kMonday.addSecs(120), &onTheLoopReason).isEmpty());
    EXPECT_TRUE(MakeSnapshotBesideTheLoop(kMonday.addSecs(120), &reason).isEmpty());
    kesp::store::LimitRoomForTests(-1);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(reason, onTheLoopReason);
    EXPECT_EQ(Snapshots().size(), 2);
}

TEST_F(SnapshotBesideTheLoop, ACancelledSnapshotLeavesNothingAndIsNoFailureToTell) {
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    AddRecord("notiz.dbf", {{"N_TITEL", "Erste"}});
    SnapshotProgress progress;
    progress.cancel = true;
    QString reason = "untouched";
    EXPECT_TRUE(MakeSnapshot(kMonday.addDays(1), &reason, &progress).isEmpty());
    EXPECT_TRUE(reason.isEmpty());
    EXPECT_EQ(Snapshots().size(), 1);
    EXPECT_EQ(QDir(BackupsFolder()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QFileInfo(Snapshots().first().folder).fileName()});

    // The window's one button is the cancel.
    SnapshotProgress shown;
    const auto window = SnapshotProgressWindow(shown);
    window->findChild<QPushButton*>()->click();
    EXPECT_TRUE(shown.cancel);

    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        StoreLanguage(code);
        APPLY_STORED_LANG();
        SnapshotProgress later;
        later.files = 24;
        later.copied = 9;
        const auto inLanguage = SnapshotProgressWindow(later);
        inLanguage->setMaximum(later.files);
        inLanguage->setValue(later.copied);
        inLanguage->show();
        EXPECT_TRUE(inLanguage->grab().save(folder + "/sicherung_beim_beenden_" + code + ".png"));
    }
}

}  // namespace
