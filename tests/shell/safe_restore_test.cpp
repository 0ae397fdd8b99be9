// The trash and the backups under kills, damaged backups and a command run
// between a kill and the next start: the program always starts again, every
// record stands in exactly one place with its own memo text, and a damaged
// backup is refused before anything is replaced.
#include "tests/killed_child.h"
#include "tests/shell/installed_program.h"

#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "shell/backup_window.h"
#include "shell/backups.h"
#include "shell/data_folder.h"
#include "shell/record_kinds.h"
#include "shell/start_up.h"
#include "store/dbf_table.h"
#include "store/file_handle.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"
#include "toolkit/test_driver.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QThread>
#include <QTreeWidget>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>

namespace {

using kesp::store::DbfTable;
using kesp::test::TestDriver;

const QDateTime kMonday(QDate(2026, 12, 7), QTime(18, 0));

// Name and content of every file of a folder and its trash.
QStringList FolderState(const QString& path) {
    QStringList state;
    for (const QString& folder : {path, path + "/papierkorb"}) {
        for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            QFile content(file.filePath());
            content.open(QIODevice::ReadOnly);
            state
                << file.fileName() + " " +
                       QCryptographicHash::hash(content.readAll(), QCryptographicHash::Md5).toHex();
        }
    }
    return state;
}

void CopyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            CopyTree(entry.filePath(), to + "/" + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + "/" + entry.fileName());
    }
}

mode_t ModeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

class SafeRestore : public InstalledProgram {
  protected:
    // Notes with a title "Note k" and the memo "Text of note k".
    void AddNotes(int from, int to) {
        for (int k = from; k <= to; ++k)
            AddRecord("notiz.dbf", {{"N_TITEL", QString("Note %1").arg(k)},
                                    {"N_TEXT", QString("Text of note %1").arg(k)}});
    }
    void PackAway(const QString& table, const QString& title) {
        DeleteRecords(table, [&] { return FIELD("N_TITEL").toString().trimmed() == title; });
        DBUSEAREA(false, DataFile(table), "t");
        __DBPACK();
        DBCLOSEALL();
    }

    // How often each note stands in the notes and their trash, each with its
    // own memo text (a note with another's text counts under that text).
    std::map<QString, int> Notes() {
        std::map<QString, int> seen;
        for (const QString& path : {DataFile("notiz.dbf"), DataFile("papierkorb/notiz.dbf")}) {
            if (!QFile::exists(path)) continue;
            const auto table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
            const int title = table->FieldIndex("N_TITEL");
            const int text = table->FieldIndex("N_TEXT");
            const bool trash = path.contains("papierkorb");
            for (std::uint32_t r = 1; r <= table->RecordCount(); ++r) {
                if (trash && table->IsDeleted(r)) continue;
                const QString name = table->Read(r, title).toString().trimmed();
                const QString memo = table->Read(r, text).toString();
                ++seen[memo == "Text of note " + name.mid(5) ? name : name + " / " + memo];
            }
        }
        return seen;
    }
    static std::map<QString, int> Once(int from, int to) {
        std::map<QString, int> notes;
        for (int k = from; k <= to; ++k)
            notes[QString("Note %1").arg(k)] = 1;
        return notes;
    }

    // Every table of the data folder and its trash passes the check of kesp-dbf.
    void ExpectEveryTableSound(const QString& when) {
        for (const QString& folder : {DataFile(""), DataFile("papierkorb")}) {
            for (const QString& name : QDir(folder).entryList({"*.dbf"}, QDir::Files)) {
                const auto table = DbfTable::Open(folder + "/" + name, DbfTable::Purpose::Inspect);
                ASSERT_TRUE(table);
                EXPECT_EQ(table->Check(), std::vector<QString>{})
                    << name.toStdString() << when.toStdString();
            }
        }
    }

    // The data and backups as saved by KeepState, put back; the program
    // started anew on them.
    void KeepState() {
        kept_.reset(new QTemporaryDir);
        CopyTree(folder_.filePath("data"), kept_->filePath("data"));
        CopyTree(folder_.filePath("backups"), kept_->filePath("backups"));
    }
    void BackToKeptState() {
        DataFolderLock() = {};
        for (const char* name : {"data", "backups", ".data-neu", ".data-alt"})
            QDir(folder_.filePath(name)).removeRecursively();
        CopyTree(kept_->filePath("data"), folder_.filePath("data"));
        CopyTree(kept_->filePath("backups"), folder_.filePath("backups"));
        ASSERT_TRUE(START_UP(folder_.path()));
    }

    std::unique_ptr<QTemporaryDir> kept_;
};

TEST_F(SafeRestore, ARestoreKilledAtAnyFileChangeLeavesTheDataWholeAsItWasOrAsTheBackupWas) {
    AddNotes(1, 6);
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    AddNotes(7, 10);
    PackAway("notiz.dbf", "Note 1");
    ASSERT_EQ(Notes(), Once(1, 10));
    KeepState();
    const Snapshot backup = Snapshots().first();

    int killed = 0;
    for (int n = 1;; ++n) {
        BackToKeptState();
        const bool wasKilled = KilledBeforeFileChange(n, [&] {
            QString reason;
            if (!RestoreSnapshot(backup, kMonday.addDays(1), &reason)) throw reason;
        });
        // The next start.
        ASSERT_TRUE(START_UP(folder_.path())) << n;
        const std::map<QString, int> notes = Notes();
        EXPECT_TRUE(notes == Once(1, 10) || notes == Once(1, 6)) << "killed before change " << n;
        ExpectEveryTableSound(QString(" after a kill before change %1").arg(n));
        EXPECT_FALSE(QFile::exists(folder_.filePath(".data-neu")));
        EXPECT_FALSE(QFile::exists(folder_.filePath(".data-alt")));
        if (!wasKilled) {
            EXPECT_EQ(notes, Once(1, 6)) << "the backup's notes, its trash empty";
            break;
        }
        ++killed;
    }
    EXPECT_GT(killed, 20);
}

TEST_F(SafeRestore, ABackupKilledAtAnyFileChangeLeavesNoHalfBackupAndTheNextOneIsWhole) {
    AddNotes(1, 4);
    PackAway("notiz.dbf", "Note 2");
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    AddNotes(5, 6);
    KeepState();
    const QStringList data = FolderState(folder_.filePath("data"));

    int killed = 0;
    for (int n = 1;; ++n) {
        BackToKeptState();
        const bool wasKilled =
            KilledBeforeFileChange(n, [] { SNAPSHOT_AT_CLOSE(kMonday.addDays(1)); });
        ASSERT_TRUE(START_UP(folder_.path()));
        EXPECT_EQ(Notes(), Once(1, 6));
        for (const Snapshot& snapshot : Snapshots())
            EXPECT_EQ(SnapshotDamage(snapshot), "") << "killed before change " << n;
        if (!wasKilled) break;
        ++killed;
        if (Snapshots().size() == 1) {
            EXPECT_TRUE(TakeFailedSnapshotNote().contains("it was cut off")) << n;
        }
        // The next backup removes what the killed one left.
        ASSERT_FALSE(MakeSnapshot(kMonday.addDays(2)).isEmpty());
        EXPECT_EQ(QDir(BackupsFolder()).entryList({".neu-*"}, QDir::Dirs | QDir::Hidden),
                  QStringList{});
    }
    EXPECT_GT(killed, 10);
    // The backup holds the trash: restored, the packed note is in the trash
    // alone and each note once.
    QString reason;
    ASSERT_TRUE(RestoreSnapshot(Snapshots().first(), kMonday.addDays(3), &reason))
        << reason.toStdString();
    EXPECT_EQ(Notes(), Once(1, 6));
    EXPECT_EQ(TrashedRecordsOf("notiz.dbf", {}).size(), 1);
}

TEST_F(SafeRestore, TheFirstPackOfEachApplicationKilledAtAnyFileChangeKeepsEachRecordOnce) {
    KeepState();
    for (const RecordKind* kind : KindsWithTablesOfTheirOwn()) {
        // Two records told apart by their bytes; the first is packed away.
        std::vector<kesp::store::Field> fields =
            DbfTable::Open(DataFile(kind->table), DbfTable::Purpose::Inspect)->fields();
        const auto fill = [&](int k) {
            DBUSEAREA(false, DataFile(kind->table), "t");
            DBAPPEND();
            for (const auto& field : fields) {
                if (field.type == 'C' || field.type == 'M')
                    REPLACE(field.name, QString("%1%2").arg(k).arg(field.name));
            }
            if (k == 1) DBDELETE();
            DBCOMMIT();
            DBCLOSEALL();
        };
        const auto occurrences = [&] {
            std::map<QByteArray, int> seen;
            for (const QString& path :
                 {DataFile(kind->table), DataFile("papierkorb/" + kind->table)}) {
                if (!QFile::exists(path)) continue;
                const auto table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
                for (std::uint32_t r = 1; r <= table->RecordCount(); ++r) {
                    if (path.contains("papierkorb") && table->IsDeleted(r)) continue;
                    QByteArray bytes;
                    for (const auto& field : fields)
                        bytes += table->ReadBytes(r, table->FieldIndex(field.name)) + '|';
                    ++seen[bytes];
                }
            }
            return seen;
        };
        int killed = 0;
        for (int n = 1;; ++n) {
            BackToKeptState();
            fill(1);
            fill(2);
            const std::map<QByteArray, int> expected = occurrences();
            const bool wasKilled = KilledBeforeFileChange(n, [&] {
                DBUSEAREA(false, DataFile(kind->table), "t");
                __DBPACK();
                DBCLOSEALL();
            });
            ASSERT_TRUE(START_UP(folder_.path()));
            EXPECT_EQ(occurrences(), expected)
                << kind->table.toStdString() << " killed before change " << n;
            ExpectEveryTableSound(" " + kind->table);
            if (!wasKilled) break;
            ++killed;
        }
        EXPECT_GT(killed, 5) << kind->table.toStdString();
    }
}

TEST_F(SafeRestore, ACommandBetweenAKilledPackAndTheNextStartNeitherDoublesNorLosesTheContacts) {
    StoreLanguage("EN");
    for (int k = 1; k <= 6; ++k)
        AddRecord("adressen_p.dbf", {{"VORNAME", QString("Packed%1").arg(k)}, {"NACHNAME", "Old"}});
    AddRecord("adressen_p.dbf", {{"VORNAME", "Kept"}, {"NACHNAME", "Old"}});
    KeepState();
    const auto names = [&] {
        std::map<QString, int> seen;
        for (const QString& path :
             {DataFile("adressen_p.dbf"), DataFile("papierkorb/adressen_p.dbf")}) {
            if (!QFile::exists(path)) continue;
            const auto table = DbfTable::Open(path, DbfTable::Purpose::Inspect);
            // A record marked deleted and not yet packed is still in its table.
            const bool trash = path.contains("papierkorb");
            for (std::uint32_t r = 1; r <= table->RecordCount(); ++r)
                if (!trash || !table->IsDeleted(r))
                    ++seen[table->Read(r, table->FieldIndex("VORNAME")).toString().trimmed()];
        }
        return seen;
    };
    int killed = 0;
    for (int n = 1;; ++n) {
        BackToKeptState();
        const int before = RecordCount("adressen_p.dbf");
        DeleteRecords("adressen_p.dbf",
                      [] { return FIELD("VORNAME").toString().startsWith("Packed"); });
        const bool wasKilled = KilledBeforeFileChange(n, [&] {
            DBUSEAREA(false, DataFile("adressen_p.dbf"), "t");
            __DBPACK();
            DBCLOSEALL();
        });
        // As many cards as make the table's count what it was before the pack
        // when the pack replaced it, else three.
        const int after = static_cast<int>(
            DbfTable::Open(DataFile("adressen_p.dbf"), DbfTable::Purpose::Inspect)->RecordCount());
        const int cards = after < before ? before - after : 3;
        QFile file(folder_.filePath("cards.vcf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        for (int k = 1; k <= cards; ++k)
            file.write(QString("BEGIN:VCARD\r\nVERSION:3.0\r\nN:New;Card%1;;;\r\nFN:Card%1 New\r\n"
                               "END:VCARD\r\n")
                           .arg(k)
                           .toUtf8());
        file.close();
        LetGoOfTheDataFolder();
        const CommandRun imported = RunProgram({"--import-vcard", "private", file.fileName()});
        EXPECT_EQ(imported.exitCode, 0)
            << imported.err.toStdString() << " killed before change " << n;
        ASSERT_TRUE(START_UP(folder_.path()));
        std::map<QString, int> expected = {{"Kept", 1}};
        for (int k = 1; k <= 6; ++k)
            expected[QString("Packed%1").arg(k)] = 1;
        for (int k = 1; k <= cards; ++k)
            expected[QString("Card%1").arg(k)] = 1;
        const std::map<QString, int> seen = names();
        for (const auto& [name, count] : expected)
            EXPECT_EQ(seen.count(name) ? seen.at(name) : 0, count)
                << name.toStdString() << ", killed before change " << n;
        if (!wasKilled) break;
        ++killed;
    }
    EXPECT_GT(killed, 5);
}

// The damaged backups a careful tester made, each refused with the file named.
struct Damage {
    const char* name;
    const char* file;  // the file named in the refusal
    std::function<void(const QString& backup)> make;
};

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

QList<Damage> Damages() {
    return {
        {"a garbage header", "notiz.dbf",
         [](const QString& b) { Write(b + "/notiz.dbf", QByteArray(600, '\x7F')); }},
        {"an empty table", "notiz.dbf", [](const QString& b) { Write(b + "/notiz.dbf", {}); }},
        {"a garbage settings table", "startlang.dbf",
         [](const QString& b) {
             Write(b + "/startlang.dbf", QByteArray("garbage\n").repeated(40));
         }},
        {"a link to a system file", "adressen_p.dbf",
         [](const QString& b) {
             QFile::remove(b + "/adressen_p.dbf");
             QFile::link("/etc/passwd", b + "/adressen_p.dbf");
         }},
        {"a cut table", "notiz.dbf",
         [](const QString& b) {
             QFile table(b + "/notiz.dbf");
             table.resize(table.size() - 40);
         }},
        {"a missing memo file", "notiz.fpt",
         [](const QString& b) { QFile::remove(b + "/notiz.fpt"); }},
        {"a memo file replaced by a folder", "notiz.fpt",
         [](const QString& b) {
             QFile::remove(b + "/notiz.fpt");
             QDir().mkpath(b + "/notiz.fpt");
         }},
    };
}

TEST_F(SafeRestore, EveryKindOfDamagedBackupIsRefusedByTheWindowAndTheCommandChangingNothing) {
    TestDriver driver;
    StoreLanguage("EN");
    AddNotes(1, 3);
    for (const Damage& damage : Damages()) {
        for (const QString& name :
             QDir(BackupsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            QDir(BackupsFolder() + name).removeRecursively();
        const QString backup = MakeSnapshot(kMonday);
        ASSERT_FALSE(backup.isEmpty());
        damage.make(backup);
        // As the main window leaves it: its statistics keep their figures there.
        OpenMainWindow();
        const QStringList before = FolderState(folder_.filePath("data"));

        TestDriver::click("haupt", "Button_37");
        ASSERT_TRUE(TestDriver::isOpen("sicherung"));
        auto* list = qobject_cast<QTreeWidget*>(
            kesp::FormWindowNamed("sicherung")->control("List_1")->widget());
        ASSERT_TRUE(list);
        for (int i = 0; i < 5000 && BACKUP_COUNTS_COMING(); ++i) {
            QApplication::processEvents();
            QThread::msleep(1);
        }
        EXPECT_EQ(list->topLevelItem(0)->text(1), "damaged") << damage.name;
        const int shown = driver.messageBoxes().size();
        TestDriver::click("sicherung", "Button_1");
        // Refused at once: the user is not asked to replace the data first.
        ASSERT_EQ(driver.messageBoxes().size(), shown + 1);
        const QString told = driver.messageBoxes().last().text;
        EXPECT_TRUE(
            told.startsWith("The backup of 12/07/2026 18:00:00 is damaged and was not restored:"))
            << damage.name << ": " << told.toStdString();
        EXPECT_TRUE(told.contains(damage.file)) << damage.name << ": " << told.toStdString();
        EXPECT_EQ(FolderState(folder_.filePath("data")), before) << damage.name;
        EXPECT_EQ(Snapshots().size(), 1) << "nothing backed up for a refused restore";
        TestDriver::closeWindow("sicherung");
        RELEASEWINDOW("haupt");

        LetGoOfTheDataFolder();
        const CommandRun listed = RunProgram({"--list-backups"});
        EXPECT_EQ(listed.exitCode, 0);
        EXPECT_TRUE(listed.out.startsWith("2026-12-07_18-00-00  12/07/2026 18:00:00  damaged: "))
            << listed.out.toStdString();
        const CommandRun refused = RunProgram({"--restore-backup", "2026-12-07_18-00-00"});
        EXPECT_EQ(refused.exitCode, 1) << damage.name;
        EXPECT_TRUE(refused.err.contains(damage.file)) << refused.err.toStdString();
        EXPECT_EQ(FolderState(folder_.filePath("data")), before) << damage.name;
        ASSERT_TRUE(START_UP(folder_.path()));
    }
}

TEST_F(SafeRestore, TheCommandRestoresABackupWhenATableKeepsTheProgramFromStarting) {
    StoreLanguage("EN");
    AddNotes(1, 3);
    ASSERT_FALSE(MakeSnapshot(kMonday).isEmpty());
    // The notes damaged past reading: the program would stop at every start.
    Write(DataFile("notiz.dbf"), QByteArray(100, '\x01'));
    EXPECT_TRUE(BACK_TO_A_BACKUP_TEXT().contains("kesp --restore-backup NAME"));

    LetGoOfTheDataFolder();
    const CommandRun usage = RunProgram({"--restore-backup"});
    EXPECT_EQ(usage.exitCode, 2);
    const CommandRun unknown = RunProgram({"--restore-backup", "2020-01-01_00-00-00"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err,
              "No backup is named 2020-01-01_00-00-00; kesp --list-backups shows the names.\n");
    const CommandRun restored = RunProgram({"--restore-backup", "2026-12-07_18-00-00"});
    EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_EQ(restored.out, "The backup of 12/07/2026 18:00:00 is restored.\n");
    ASSERT_TRUE(START_UP(folder_.path()));
    EXPECT_EQ(Notes(), Once(1, 3));
    // The damaged state was backed up first and can be looked at.
    EXPECT_EQ(Snapshots().size(), 2);
}

TEST_F(SafeRestore, TablesTheUserMadePrivateStayPrivateThroughABackupAndARestore) {
    AddNotes(1, 2);
    ASSERT_EQ(::chmod(QFile::encodeName(DataFile("")).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(DataFile("notiz.dbf")).constData(), 0600), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(DataFile("notiz.fpt")).constData(), 0600), 0);
    const QString backup = MakeSnapshot(kMonday);
    ASSERT_FALSE(backup.isEmpty());
    EXPECT_EQ(ModeOf(backup), 0700u);
    EXPECT_EQ(ModeOf(backup + "/notiz.dbf"), 0600u);
    EXPECT_EQ(ModeOf(backup + "/notiz.fpt"), 0600u);

    AddNotes(3, 3);
    QString reason;
    ASSERT_TRUE(RestoreSnapshot(Snapshots().last(), kMonday.addDays(1), &reason));
    EXPECT_EQ(ModeOf(DataFile("")), 0700u);
    EXPECT_EQ(ModeOf(DataFile("notiz.dbf")), 0600u);
    EXPECT_EQ(ModeOf(DataFile("notiz.fpt")), 0600u);
    // A table or index made new in the private folder is private too.
    kesp::store::FileHandle::Open(DataFile("neu.ntx"), true);
    EXPECT_EQ(ModeOf(DataFile("neu.ntx")) & 0077, 0u);
}

}  // namespace
