// The agenda when the system refuses a write: Insert and Save before the
// appointment is stored (the table file: nothing changes) and after it (the
// index file: the views show it and the message says it was saved), and the
// iCalendar import, which stores all of a file's events or none of them,
// whether a write is refused part-way or the program is killed part-way.
// Messages are held against the table as python3-dbfread reads it.
#include "apps/agenda/agenda_operations.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/agenda_fixture.h"
#include "tests/apps/other_reader.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace {

using kesp::test::TestDriver;

const QDate kDay(2008, 1, 25);

class AgendaRefusedWrite : public AgendaFixture {
  protected:
    void SetUp() override {
        AgendaFixture::SetUp();
        INSTALL_PROBLEM_TEXTS();
        CreateAgenda({{kDay, "09", "05", "Zahnarzt"}});
        OpenAgenda(kDay);
    }
    void TearDown() override {
        kesp::store::RefuseChangesToFilesForTests({}, 0);
        kesp::store::LimitRoomForTests(-1);
        kesp::SetWriteFailureNotice({});
        AgendaFixture::TearDown();
    }
    static void Insert(const QString& text) {
        SETPROPERTY("agenda_frm", "DatePicker_2", "value", kDay);
        TestDriver::select("agenda_frm", "Combo_1", 12);  // 11:00
        TestDriver::select("agenda_frm", "Combo_2", 1);
        SETPROPERTY("agenda_frm", "Text_1", "value", text);
        TestDriver::click("agenda_frm", "Button_32");
    }
    static void SaveFirstAs(const QString& text) {
        TestDriver::select("agenda_frm", "Browse_1", 1);
        SETPROPERTY("agenda_frm", "Text_2", "value", text);
        TestDriver::click("agenda_frm", "Button_1");
    }
    QStringList Stored() const { return ReadWithDbfread(dataPath() + "agenda.dbf", "TERMIN"); }
    QString SavedAnyway() const {
        return "MSGEXCLAMATION: Der Eintrag ist gespeichert. Die Datei " +
               QDir::toNativeSeparators(dataPath() + "itindex.ntx") +
               " konnte danach aber nicht geschrieben werden: Kein Speicherplatz mehr auf dem "
               "Datenträger.\nDas Programm holt das beim nächsten Öffnen des Fensters nach. "
               "Bitte schaffen Sie Platz oder prüfen Sie den Datenträger.";
    }
    // The texts of the appointments not marked deleted, as the program
    // opens the table (finishing what an interrupted commit left).
    QStringList LiveTexts() {
        QStringList live;
        for (const QString& record : StoredRecords())
            if (!record.startsWith('-')) live.append(record.section(' ', 2).section('|', 0, 0));
        return live;
    }
    static bool ToldUnchanged(const QStringList& told) {
        return told.size() == 1 &&
               told[0].contains("Die Tabelle ist so, wie sie zuletzt gespeichert wurde");
    }
};

TEST_F(AgendaRefusedWrite, InsertWhoseIndexIsRefusedIsShownAndTheNextInsertWorks) {
    kesp::store::RefuseChangesToFilesForTests(".ntx", ENOSPC);
    Insert("Neu");
    kesp::store::RefuseChangesToFilesForTests({}, 0);
    EXPECT_EQ(TakeMessages(), QStringList{SavedAnyway()});
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt", "Neu"}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt", "11:00 Neu"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "2 Termin(e) für den 25.01.2008");

    Insert("Noch einer");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt", "Neu", "Noch einer"}));
    EXPECT_EQ(DayRows().size(), 3);
}

TEST_F(AgendaRefusedWrite, InsertWhoseRecordIsRefusedChangesNothingAndStoresOnceOnRetry) {
    kesp::store::LimitRoomForTests(0);
    Insert("Neu");
    kesp::store::LimitRoomForTests(-1);
    EXPECT_TRUE(ToldUnchanged(TakeMessages()));
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt"}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));

    Insert("Neu");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt", "Neu"}));
}

TEST_F(AgendaRefusedWrite, SaveWhoseIndexIsRefusedShowsTheNewVersionOnly) {
    kesp::store::RefuseChangesToFilesForTests(".ntx", ENOSPC);
    SaveFirstAs("Zahnarzt neu");
    kesp::store::RefuseChangesToFilesForTests({}, 0);
    EXPECT_EQ(TakeMessages(), QStringList{SavedAnyway()});
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt neu"}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt neu"}));
}

TEST_F(AgendaRefusedWrite, SaveWhoseRecordIsRefusedKeepsTheOldVersionAndStoresOneOnRetry) {
    for (const int osCode : {ENOSPC, EIO}) {
        SCOPED_TRACE(osCode);
        if (osCode == ENOSPC) {
            kesp::store::LimitRoomForTests(0);
        } else {
            kesp::store::RefuseChangesToFilesForTests("agenda.dbf", EIO);
        }
        SaveFirstAs("Zahnarzt neu");
        kesp::store::LimitRoomForTests(-1);
        kesp::store::RefuseChangesToFilesForTests({}, 0);
        const QStringList told = TakeMessages();
        EXPECT_TRUE(ToldUnchanged(told)) << told.join("|").toStdString();
        EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));
        EXPECT_EQ(Stored(), QStringList({"Zahnarzt"}));
    }
    SaveFirstAs("Zahnarzt neu");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt neu"}));
}

TEST_F(AgendaRefusedWrite, AWriteRefusedAtAnyChangeOfASaveIsToldAsTheTableIsLeft) {
    // The nth file change of the save fails once: the message matches what
    // the table holds when it is opened again, whatever n is.
    int unchanged = 0;
    for (int n = 1; n <= 12; ++n) {
        SCOPED_TRACE(n);
        kesp::store::FailOneFileChangeForTests(n, EIO);
        SaveFirstAs("Zahnarzt neu");
        kesp::store::FailFileChangesForTests(0, 0);
        const QStringList told = TakeMessages();
        TestDriver::closeWindow("agenda_frm");
        TakeMessages();  // a save left undone asks before the typed values are lost
        const QStringList stored = LiveTexts();
        if (ToldUnchanged(told)) {
            ++unchanged;
            EXPECT_EQ(stored, QStringList({"Zahnarzt"}));
        } else {
            EXPECT_TRUE(told.isEmpty() || told.join("").contains("Der Eintrag ist gespeichert"))
                << told.join("|").toStdString();
            EXPECT_EQ(stored, QStringList({"Zahnarzt neu"}));
        }
        CreateAgenda({{kDay, "09", "05", "Zahnarzt"}});
        OpenAgenda(kDay);
    }
    EXPECT_GT(unchanged, 3);
}

TEST_F(AgendaRefusedWrite, AnOldVersionThatCannotBeRemovedIsToldAndShownBesideTheNew) {
    // The drive fails once the new version is committed: neither version
    // can be marked deleted any more.
    kesp::store::FailFileChangesForTests(8, EIO);
    SaveFirstAs("Zahnarzt neu");
    kesp::store::FailFileChangesForTests(0, 0);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(
        told[0].startsWith("MSGEXCLAMATION: Der geänderte Termin ist gespeichert; der "
                           "alte steht noch daneben"))
        << told[0].toStdString();
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt", "09:05 Zahnarzt neu"}));
    TestDriver::closeWindow("agenda_frm");
    EXPECT_EQ(LiveTexts(), QStringList({"Zahnarzt", "Zahnarzt neu"}));
}

// ---- The iCalendar import: all of a file's events or none ----------------------------

class AgendaImportAllOrNothing : public AgendaRefusedWrite {
  protected:
    void SetUp() override {
        AgendaRefusedWrite::SetUp();
        QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
        for (int n = 0; n < kEvents; ++n) {
            ics += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(n) +
                   "\r\nDTSTART:20080126T100000\r\nSUMMARY:Termin " + QByteArray::number(n) +
                   "\r\nEND:VEVENT\r\n";
        }
        ics += "END:VCALENDAR\r\n";
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ics);
    }
    QString path() const { return folder_.path() + "/many.ics"; }
    void Import() {
        driver_.answerNextFile(path());
        TestDriver::click("agenda_frm", "Menu_2");
    }
    static constexpr int kEvents = 500;
};

TEST_F(AgendaImportAllOrNothing, AWriteRefusedPartWayStoresNoneAndSaysSo) {
    kesp::store::LimitRoomForTests(4000);  // room for some of the events
    Import();
    kesp::store::LimitRoomForTests(-1);
    const QStringList told = TakeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].endsWith("\nEs wurde keiner der Termine der Datei importiert."))
        << told[0].toStdString();
    EXPECT_EQ(Stored(), QStringList({"Zahnarzt"}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));

    Import();  // with room: every event once
    EXPECT_EQ(TakeMessages(), QStringList({"MSGBOX: 500 Termin(e) importiert."}));
    EXPECT_EQ(Stored().size(), 1 + kEvents);
}

TEST_F(AgendaImportAllOrNothing, ACancelPartWayStoresNoneAndTheNextImportStoresAll) {
    // The progress runs to 2000: reading the file is its first half, storing
    // the events its second.
    for (const int cancelledAt : {500, 1500}) {
        SCOPED_TRACE(cancelledAt);
        driver_.cancelNextWorkAt(cancelledAt);
        Import();
        EXPECT_EQ(TakeMessages(), QStringList({"MSGBOX: Der Import wurde abgebrochen. Es wurde "
                                               "nichts importiert."}));
        EXPECT_EQ(Stored(), QStringList({"Zahnarzt"}));
        EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));
    }

    Import();
    EXPECT_EQ(TakeMessages(), QStringList({"MSGBOX: 500 Termin(e) importiert."}));
    EXPECT_EQ(Stored().size(), 1 + kEvents);
}

// Imports the file in a child process that dies before its nth change of a
// file; true when it was killed before it finished.
bool ImportKilledAt(int n, const QString& path, kesp::test::TestDriver& driver) {
    DBCLOSEALL();
    const pid_t child = fork();
    if (child == 0) {
        try {
            AGENDA_AKTUALISIEREN();
            driver.answerNextFile(path);
            kesp::store::KillBeforeFileChangeForTests(n);
            IMPORT_ICS_AGENDA();
            DBCLOSEALL();
        } catch (...) {
            _exit(3);
        }
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return WTERMSIG(status) == SIGKILL;
    EXPECT_EQ(WEXITSTATUS(status), 0);
    return false;
}

TEST_F(AgendaImportAllOrNothing, ImportKilledAtAnyFileChangeLeavesNoneOrAllOfTheEvents) {
    int kills = 0;
    for (int n = 1; n < 40; ++n) {
        SCOPED_TRACE(n);
        const bool killed = ImportKilledAt(n, path(), driver_);
        // A reader that reads up to the end-of-file mark never finds records
        // the header does not count (it may see the old ones until the
        // program next opens the table and finishes the append).
        const QStringList readBefore = Stored();
        const QByteArray table = TableBytes();
        const auto counted = qFromLittleEndian<quint32>(table.constData() + 4);
        EXPECT_LE(readBefore.size(), qsizetype{counted});
        // As the program reads the table, and after that every reader alike.
        const QStringList stored = StoredRecords();
        EXPECT_EQ(Stored().size(), stored.size());
        if (!killed) {
            EXPECT_EQ(stored.size(), 1 + kEvents);
            break;
        }
        ++kills;
        EXPECT_TRUE(stored.size() == 1 || stored.size() == 1 + kEvents) << stored.size();
        // Back to the one appointment for the next round.
        TestDriver::closeWindow("agenda_frm");
        CreateAgenda({{kDay, "09", "05", "Zahnarzt"}});
        OpenAgenda(kDay);
    }
    EXPECT_GT(kills, 2);
}

}  // namespace
