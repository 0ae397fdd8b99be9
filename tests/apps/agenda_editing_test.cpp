// Adding, changing and deleting appointments in the agenda window.
#include "apps/agenda/agenda_operations.h"
#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "store/file_handle.h"
#include "store/xbase.h"
#include "tests/apps/agenda_fixture.h"
#include "toolkit/forms.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace {

using kesp::test::TestDriver;

class AgendaEditing : public AgendaFixture {
  protected:
    // Fills the insert panel as the user does.
    static void EnterNew(const QDate& date, int hourItem, int minuteItem, const QString& text) {
        SETPROPERTY("agenda_frm", "DatePicker_2", "value", date);
        TestDriver::select("agenda_frm", "Combo_1", hourItem);
        TestDriver::select("agenda_frm", "Combo_2", minuteItem);
        TestDriver::clearText("agenda_frm", "Text_1");
        TestDriver::typeInto("agenda_frm", "Text_1", text);
    }
};

TEST_F(AgendaEditing, AddingStoresTwoDigitTimesAndTheKeyOfTheLanguage) {
    OpenAgenda(QDate(2007, 12, 24));
    EnterNew(QDate(2007, 12, 24), 10, 2, "  Bescherung  ");  // 09:05
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(DayRows(), QStringList({"09:05 Bescherung"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "1 Termin(e) für den 24.12.2007");

    // The insert panel keeps its values: the same text goes to another day by
    // changing only the date; the view stays on the chosen day.
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_1").toString(), "  Bescherung  ");
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_1").toInt(), 10);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_2").toInt(), 2);
    SETPROPERTY("agenda_frm", "DatePicker_2", "value", QDate(2007, 12, 26));
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(TestDriver::read("agenda_frm", "MonthCal_1").toDate(), QDate(2007, 12, 24));
    EXPECT_EQ(ElevenDayItems(), QStringList({"26.12.2007 09:05 Bescherung"}));

    UseLanguage("BR");
    EnterNew(QDate(2007, 12, 24), 19, 7, "Ceia");  // 18:30
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(StoredRecords(), QStringList({"24.12.2007 09:05 Bescherung|24.12.20070905",
                                            "26.12.2007 09:05 Bescherung|26.12.20070905",
                                            "24.12.2007 18:30 Ceia|24/12/20071830"}));
}

TEST_F(AgendaEditing, ATextOfBlanksIsRefusedWithTheWarningAndNothingIsWritten) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}});
    OpenAgenda(QDate(2008, 1, 25));
    const QByteArray before = TableBytes();
    EnterNew(QDate(2008, 1, 25), 1, 1, "   ");
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Bitte Text eingeben"}));
    TestDriver::clearText("agenda_frm", "Text_2");
    TestDriver::typeInto("agenda_frm", "Text_2", "  ");
    TestDriver::click("agenda_frm", "Button_1");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Bitte Text eingeben"}));
    EXPECT_EQ(TableBytes(), before);

    UseLanguage("AM");
    TestDriver::click("agenda_frm", "Button_32");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Please write your appointment"}));
    UseLanguage("BR");
    TestDriver::click("agenda_frm", "Button_1");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGEXCLAMATION: Favor escrever um compromisso"}));
}

TEST_F(AgendaEditing, SavingToAnotherDateMovesTheDayViewThereAndLeavesNoDeletedRecord) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"},
                  {QDate(2008, 1, 25), "11", "00", "Bleibt"},
                  {QDate(2008, 1, 30), "08", "00", "Schon da"}});
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::select("agenda_frm", "Browse_1", 1);
    SETPROPERTY("agenda_frm", "DatePicker_1", "value", QDate(2008, 1, 30));
    TestDriver::select("agenda_frm", "Combo_3", 15);  // 14
    TestDriver::select("agenda_frm", "Combo_4", 12);  // 55
    TestDriver::clearText("agenda_frm", "Text_2");
    TestDriver::typeInto("agenda_frm", "Text_2", "Zahnarzt, verlegt ");
    TestDriver::click("agenda_frm", "Button_1");

    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(TestDriver::read("agenda_frm", "MonthCal_1").toDate(), QDate(2008, 1, 30));
    EXPECT_EQ(DayRows(), QStringList({"08:00 Schon da", "14:55 Zahnarzt, verlegt"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(),
              "2 Termin(e) für den 30.01.2008");
    // A change is an append: the appointment moved to the end of the table.
    EXPECT_EQ(StoredRecords(), QStringList({"25.01.2008 11:00 Bleibt|25.01.20081100",
                                            "30.01.2008 08:00 Schon da|30.01.20080800",
                                            "30.01.2008 14:55 Zahnarzt, verlegt|30.01.20081455"}));
}

TEST_F(AgendaEditing, SavingKeepsAStoredTimeTheListsCannotShow) {
    CreateAgenda({{QDate(2008, 1, 25), "7", "07", "Von anderswo", "irgendwas"}});
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::typeInto("agenda_frm", "Text_2", " geändert");
    TestDriver::click("agenda_frm", "Button_1");
    EXPECT_EQ(StoredRecords(),
              QStringList({"25.01.2008 7 :07 Von anderswo geändert|25.01.20087 07"}));

    // Once the user chooses, the choice is written.
    AGENDA_AKTUALISIEREN();
    TestDriver::select("agenda_frm", "Combo_4", 3);  // 10
    TestDriver::click("agenda_frm", "Button_1");
    EXPECT_EQ(StoredRecords(),
              QStringList({"25.01.2008 7 :10 Von anderswo geändert|25.01.20087 10"}));
}

// A day without appointments shows an empty edit panel whose Save and
// Delete are off, instead of the last appointment's date and time.
TEST_F(AgendaEditing, ADayWithoutAppointmentsEmptiesTheEditPanelAndSwitchesItOff) {
    CreateAgenda(
        {{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}, {QDate(2008, 1, 26), "18", "30", "Kino"}});
    OpenAgenda(QDate(2008, 1, 26));
    EXPECT_EQ(TestDriver::read("agenda_frm", "DatePicker_1").toDate(), QDate(2008, 1, 26));
    EXPECT_TRUE(TestDriver::read("agenda_frm", "Button_1", "enabled").toBool());
    const QByteArray before = TableBytes();

    SETPROPERTY("agenda_frm", "MonthCal_1", "value", QDate(2008, 1, 27));
    EXPECT_EQ(DayRows(), QStringList());
    EXPECT_FALSE(TestDriver::read("agenda_frm", "DatePicker_1").toDate().isValid());
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_3").toInt(), 0);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Combo_4").toInt(), 0);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "");
    for (const char* control : {"Button_1", "Button_2", "Text_2", "DatePicker_1"})
        EXPECT_FALSE(TestDriver::read("agenda_frm", control, "enabled").toBool()) << control;
    TestDriver::click("agenda_frm", "Button_1");
    TestDriver::click("agenda_frm", "Button_2");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_EQ(TableBytes(), before);

    // Back on a day with an appointment the panel shows it and works again.
    SETPROPERTY("agenda_frm", "MonthCal_1", "value", QDate(2008, 1, 25));
    EXPECT_EQ(TestDriver::read("agenda_frm", "DatePicker_1").toDate(), QDate(2008, 1, 25));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Zahnarzt");
    EXPECT_TRUE(TestDriver::read("agenda_frm", "Button_1", "enabled").toBool());
    EXPECT_FALSE(TestDriver::read("agenda_frm", "DatePicker_1", "allowempty").toBool());
}

// The edit panel changed and not saved: closing asks first.
TEST_F(AgendaEditing, ClosingWithAChangedAppointmentAsksFirst) {
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}});
    OpenAgenda(QDate(2008, 1, 25));
    TestDriver::typeInto("agenda_frm", "Text_2", " um neun");
    driver_.answerNext(false);
    TestDriver::closeWindow("agenda_frm");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Änderungen verwerfen?"}));
    ASSERT_TRUE(TestDriver::isOpen("agenda_frm"));
    TestDriver::click("agenda_frm", "Button_1");
    TestDriver::closeWindow("agenda_frm");
    EXPECT_EQ(TakeMessages(), QStringList());
    EXPECT_FALSE(TestDriver::isOpen("agenda_frm"));
}

TEST_F(AgendaEditing, DeletingAsksFirstAndNoLeavesTheFileAsItWas) {
    CreateAgenda(
        {{QDate(2008, 1, 25), "09", "05", "Zahnarzt"}, {QDate(2008, 1, 25), "18", "30", "Kino"}});
    OpenAgenda(QDate(2008, 1, 25));
    const QByteArray before = TableBytes();
    TestDriver::select("agenda_frm", "Browse_1", 2);
    driver_.answerNext(false);
    TestDriver::click("agenda_frm", "Button_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Termin am: 25.01.2008 um 18:30 löschen?"}));
    EXPECT_EQ(TableBytes(), before);
    EXPECT_EQ(DayRows().size(), 2);
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Kino");

    UseLanguage("AM");
    driver_.answerNext(true);
    TestDriver::click("agenda_frm", "Button_2");
    EXPECT_EQ(TakeMessages(),
              QStringList({"MSGYESNO: Delete the appointment: 01/25/2008 18:30 ?"}));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Label_1").toString(), "1 appointment(s): 01/25/2008");

    UseLanguage("BR");
    driver_.answerNext(false);
    TestDriver::click("agenda_frm", "Button_2");
    EXPECT_EQ(TakeMessages(), QStringList({"MSGYESNO: Apagar o compromisso: 25/01/2008 09:05 ?"}));
    EXPECT_EQ(StoredRecords(), QStringList({"25.01.2008 09:05 Zahnarzt|25.01.20080905"}));
}

TEST_F(AgendaEditing, CtrlZBringsBackTheDeletionsOfThisOpeningNewestFirstFromTheTrash) {
    KeepPackedRecordsOf({"agenda.dbf"});
    CreateAgenda({{QDate(2008, 1, 25), "09", "05", "Zahnarzt"},
                  {QDate(2008, 1, 25), "18", "30", "Kino"},
                  {QDate(2008, 1, 26), "10", "00", "Markt"}});
    OpenAgenda(QDate(2008, 1, 25));
    EXPECT_FALSE(TestDriver::read("agenda_frm", "Menu_5", "enabled").toBool());
    for (const int row : {2, 1}) {
        TestDriver::select("agenda_frm", "Browse_1", row);
        driver_.answerNext(true);
        TestDriver::click("agenda_frm", "Button_2");
    }
    TakeMessages();
    EXPECT_TRUE(DayRows().isEmpty());
    EXPECT_TRUE(TestDriver::read("agenda_frm", "Menu_5", "enabled").toBool());
    SETPROPERTY("agenda_frm", "MonthCal_1", "value", QDate(2008, 1, 26));

    const auto ctrlZ = [] {
        DOMETHOD("agenda_frm", "Browse_1", "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    };
    ctrlZ();
    EXPECT_EQ(TestDriver::read("agenda_frm", "MonthCal_1").toDate(), QDate(2008, 1, 25));
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt"}));
    ctrlZ();
    EXPECT_EQ(DayRows(), QStringList({"09:05 Zahnarzt", "18:30 Kino"}));
    EXPECT_EQ(TestDriver::read("agenda_frm", "Text_2").toString(), "Kino");
    EXPECT_FALSE(TestDriver::read("agenda_frm", "Menu_5", "enabled").toBool());
    ctrlZ();
    EXPECT_EQ(StoredRecords().size(), 3);
    EXPECT_TRUE(TakeMessages().isEmpty());
    KeepPackedRecordsOf({});
}

// Runs the save of `text` over the day's first appointment in a child
// process that dies before its nth change of a file; true when it was
// killed before it finished. The table is closed here first: the child opens
// it again, as a table is opened by one process at a time.
bool SaveKilledAt(int n, const QString& text) {
    DBCLOSEALL();
    const pid_t child = fork();
    if (child == 0) {
        try {
            AGENDA_AKTUALISIEREN();
            SETPROPERTY("agenda_frm", "Text_2", "value", text);
            kesp::store::KillBeforeFileChangeForTests(n);
            AGENDA_SAVE();
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

TEST_F(AgendaEditing, ASaveInterruptedAnywhereLosesNoAppointment) {
    const QList<StoredAppointment> base = {{QDate(2008, 1, 25), "09", "05", "Zahnarzt"},
                                           {QDate(2008, 1, 25), "11", "00", "Bleibt"}};
    int interruptions = 0;
    for (int n = 1; n < 100; ++n) {
        SCOPED_TRACE(n);
        for (const char* leftover : {"agenda.dbf.pack", "agenda.dbf.packing"})
            QFile::remove(dataPath() + leftover);
        CreateAgenda(base);
        OpenAgenda(QDate(2008, 1, 25));
        const bool killed = SaveKilledAt(n, "Zahnarzt neu");
        TestDriver::closeWindow("agenda_frm");
        // What an interruption leaves is opened the next time: it must hold
        // the old version or the new one, or both, besides the other one.
        OpenAgenda(QDate(2008, 1, 25));
        const QStringList rows = DayRows();
        EXPECT_TRUE(rows.contains("09:05 Zahnarzt") || rows.contains("09:05 Zahnarzt neu"))
            << rows.join(", ").toStdString();
        EXPECT_TRUE(rows.contains("11:00 Bleibt"));
        TestDriver::closeWindow("agenda_frm");
        if (!killed) {
            EXPECT_EQ(rows, QStringList({"09:05 Zahnarzt neu", "11:00 Bleibt"}));
            break;
        }
        ++interruptions;
    }
    EXPECT_GT(interruptions, 3);
}

}  // namespace
