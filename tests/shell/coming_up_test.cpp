// The days ahead over the installed tables: every kind of entry at the edges
// of the range, across a year's end, 29 February, and the settings.
#include "shell/coming_up.h"
#include "kernel/public_variables.h"
#include "shell/coming_up_window.h"
#include "shell/language.h"
#include "shell/reminders.h"
#include "tests/shell/installed_program.h"
#include "toolkit/form_window.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QTest>

#include <ostream>

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << "{" << texts.join("|").toStdString() << "}";
}

namespace {

class ComingUpTest : public InstalledProgram {
  protected:
    void Birthday(const QString& name, const QDate& born, bool listed = true) {
        AddRecord("adressen_p.dbf", {{"VORNAME", name}, {"GEBURTSTAG", born}, {"LISTE", listed}});
    }
    // The list's rows as they read.
    static QStringList Rows(const QAbstractItemView* list) {
        QStringList rows;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            rows.append(list->model()->index(row, 0).data().toString().trimmed());
        return rows;
    }
    static void WaitForTheEntries() {
        while (ComingUpBeingRead())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    static QStringList Texts(const std::vector<ComingUpEntry>& entries) {
        QStringList texts;
        for (const ComingUpEntry& entry : entries)
            texts.append(DTOC(entry.day) + (entry.time.isEmpty() ? "" : " " + entry.time) + " " +
                         entry.text + (entry.overdue ? " !" : ""));
        return texts;
    }
};

TEST_F(ComingUpTest, EveryKindOfEntryFromTodayToTheLastDayAcrossTheYearsEnd) {
    OpenMainWindow();                              // English: mm/dd/yyyy
    Birthday("Anna", QDate(1986, 12, 29));         // today
    Birthday("Bert", QDate(1990, 1, 5));           // the last day
    Birthday("Carl", QDate(1990, 1, 6));           // the day after
    Birthday("Dora", QDate(1980, 12, 30), false);  // not on the birthday list
    AddRecord(
        "agenda.dbf",
        {{"DATUM", QDate(2026, 12, 31)}, {"STUN", "18"}, {"MINU", "30"}, {"TERMIN", "Silvester"}});
    AddRecord("agenda.dbf",
              {{"DATUM", QDate(2026, 12, 31)}, {"STUN", "09"}, {"MINU", "00"}, {"TERMIN", "Arzt"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2026, 12, 28)}, {"TERMIN", "Gestern"}});
    AddRecord("agenda.dbf", {{"DATUM", QDate(2027, 1, 6)}, {"TERMIN", "Zu spät"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2027, 1, 1)}, {"N_TITEL", "Neujahr"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 29)}, {"N_TITEL", "Gelöscht"}});
    DeleteRecords("notiz.dbf", [] { return FIELD("N_TITEL").toString().startsWith("Gel"); });
    AddRecord("projekt.dbf", {{"DATUME", QDate(2026, 12, 30)}, {"N_TITEL", "Bericht"}});
    AddRecord("projekt.dbf",
              {{"DATUME", QDate(2026, 12, 30)}, {"N_TITEL", "Fertig"}, {"FERTIG", true}});
    AddRecord("projekt.dbf", {{"DATUME", QDate(2026, 11, 1)}, {"N_TITEL", "Alt"}});
    AddRecord("projekt.dbf", {{"N_TITEL", "Ohne Datum"}});
    AddRecord("kespfree.dbf", {{"FREE01", "Faust"}, {"FREE09", QDate(2027, 1, 2)}});

    const QDate today(2026, 12, 29);
    const QStringList expected{"11/01/2026 Alt !",           "12/29/2026 Anna – turns 40",
                               "12/30/2026 Bericht",         "12/31/2026 09:00 Arzt",
                               "12/31/2026 18:30 Silvester", "01/01/2027 Neujahr",
                               "01/05/2027 Bert – turns 37"};
    EXPECT_EQ(Texts(ComingUp(today, 7, false)), expected);

    QStringList withCustom = expected;
    withCustom.insert(6, "01/02/2027 Title: Faust (Date)");
    EXPECT_EQ(Texts(ComingUp(today, 7, true)), withCustom);
    EXPECT_TRUE(SomethingDueNow(ComingUp(today, 7, false), today));
    EXPECT_EQ(
        Texts(ComingUp(today, 1, false)),
        (QStringList{"11/01/2026 Alt !", "12/29/2026 Anna – turns 40", "12/30/2026 Bericht"}));

    const QStringList lines = ComingUpLines(ComingUp(today, 2, false), today);
    EXPECT_EQ(lines, (QStringList{"Overdue", "  11/01/2026 Alt (Projects)", "Today",
                                  "  Anna – turns 40 (Contacts(friends))", "Tomorrow",
                                  "  Bericht (Projects)", "Thursday, 12/31/2026",
                                  "  09:00 Arzt (Agenda)", "  18:30 Silvester (Agenda)"}));
    CHANGE_LANG("DE");
    EXPECT_EQ(ComingUpLines(ComingUp(today, 2, false), today).at(6), "Donnerstag, 31.12.2026");
}

TEST_F(ComingUpTest, ABirthdayOn29FebruaryFallsOn28FebruaryInCommonYears) {
    OpenMainWindow();
    Birthday("Leap", QDate(2000, 2, 29));
    EXPECT_EQ(Texts(ComingUp(QDate(2027, 2, 27), 3, false)),
              QStringList{"02/28/2027 Leap – turns 27"});
    EXPECT_EQ(Texts(ComingUp(QDate(2028, 2, 27), 3, false)),
              QStringList{"02/29/2028 Leap – turns 28"});
    EXPECT_TRUE(ComingUp(QDate(2000, 2, 27), 3, false).empty()) << "not before being born";
}

TEST_F(ComingUpTest, ABirthYearBefore1900OrWithoutAYearStatesNoAgeInTheListOrTheReminders) {
    OpenMainWindow();
    Birthday("Year one", QDate(1, 3, 15));
    Birthday("Old", QDate(1899, 3, 16));
    Birthday("Oldest", QDate(1900, 3, 17));
    Birthday("Yearless", QDate(1904, 3, 18));  // as a card without a year comes in
    EXPECT_EQ(Texts(ComingUp(QDate(2026, 3, 14), 5, false)),
              (QStringList{"03/15/2026 Year one", "03/16/2026 Old", "03/17/2026 Oldest – turns 126",
                           "03/18/2026 Yearless"}));
    QStringList reminded;
    for (const Reminder& reminder : DueReminders(QDateTime(QDate(2026, 3, 15), QTime(9, 0))))
        reminded.append(reminder.body);
    EXPECT_EQ(reminded, QStringList{"Year one"});
}

TEST_F(ComingUpTest, TheSettingsAreKeptAndAFolderWithoutThemGetsThemAsInstalled) {
    OpenMainWindow();
    QFile::remove(DataFile("erinnern.dbf"));
    const ReminderSettings missing = ReadReminderSettings();
    EXPECT_EQ(missing.days, 7) << "the defaults without the table";
    EXPECT_FALSE(missing.customDateReminds);
    MakeSureReminderSettingsExist();
    ASSERT_TRUE(QFile::exists(DataFile("erinnern.dbf")));
    const ReminderSettings installed = ReadReminderSettings();
    EXPECT_EQ(installed.days, 7);
    EXPECT_TRUE(installed.openAtStart);
    EXPECT_FALSE(installed.customDateReminds);
    WriteReminderSettings({.days = 99, .openAtStart = false, .customDateReminds = true});
    const ReminderSettings kept = ReadReminderSettings();
    EXPECT_EQ(kept.days, 60) << "at most 60 days";
    EXPECT_FALSE(kept.openAtStart);
    EXPECT_TRUE(kept.customDateReminds);
    WriteCustomDateReminds(false);
    EXPECT_FALSE(ReadReminderSettings().customDateReminds);
    EXPECT_EQ(ReadReminderSettings().days, 60) << "the other settings stay";
}

TEST_F(ComingUpTest, TheWindowListsOpensByKeyboardAndKeepsItsSettings) {
    kesp::test::TestDriver driver;
    driver.setToday(QDate(2026, 12, 29));
    OpenMainWindow();
    AddRecord("projekt.dbf", {{"DATUME", QDate(2026, 11, 1)}, {"N_TITEL", "Alt"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 29)}, {"N_TITEL", "Anrufen"}});
    AddRecord("notiz.dbf", {{"DATUM", QDate(2027, 1, 20)}, {"N_TITEL", "Später"}});
    kesp::test::TestDriver::click("haupt", "Button_35");
    ASSERT_TRUE(kesp::test::TestDriver::isOpen("kommend"));
    auto* list =
        qobject_cast<QAbstractItemView*>(kesp::test::TestDriver::widget("kommend", "List_1"));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Rows(list), QStringList{"Reading what is due …"}) << "until the entries are in";
    WaitForTheEntries();
    EXPECT_EQ(Rows(list), (QStringList{"Overdue", "11/01/2026 Alt   (Projects)", "Today",
                                       "Anrufen   (Notes)"}));
    const QAbstractItemModel& rows = *list->model();
    EXPECT_EQ(rows.index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(rows.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(rows.index(2, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    EXPECT_FALSE(rows.index(3, 0).data(Qt::ForegroundRole).isValid()) << "the list's colour";
    EXPECT_TRUE(rows.index(2, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(rows.index(2, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(228, 236, 246));
    EXPECT_FALSE(rows.index(3, 0).data(Qt::FontRole).isValid());
    EXPECT_EQ(rows.flags(rows.index(2, 0)), Qt::NoItemFlags) << "a heading is not chosen";
    EXPECT_EQ(rows.index(3, 0).data(Qt::AccessibleTextRole).toString().trimmed(),
              "Anrufen   (Notes)");
    EXPECT_EQ(list->currentIndex().row(), 1) << "the first entry, under its heading";
    EXPECT_EQ(QApplication::focusWidget(), list);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 3) << "over the heading";
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(kesp::test::TestDriver::isOpen("notiz_frm"));
    EXPECT_EQ(FIELD("notiz->N_TITEL").toString().trimmed(), "Anrufen");
    kesp::test::TestDriver::closeWindow("notiz_frm");
    WaitForTheEntries();
    EXPECT_EQ(list->currentIndex().row(), 3) << "read anew, on the entry opened";
    EXPECT_EQ(Rows(list).size(), 4);

    kesp::test::TestDriver::select("kommend", "Combo_1", 30);
    WaitForTheEntries();
    EXPECT_EQ(Rows(list).size(), 6) << "a later note within 30 days";
    kesp::test::TestDriver::click("kommend", "Check_1");
    kesp::test::TestDriver::closeWindow("kommend");
    EXPECT_EQ(ReadReminderSettings().days, 30);
    EXPECT_FALSE(ReadReminderSettings().openAtStart);

    // Reminders at login: offered only where an install wrote its entry.
    kesp::test::TestDriver::click("haupt", "Button_35");
    EXPECT_FALSE(GETPROPERTY("kommend", "Check_3", "enabled").toBool());
    kesp::test::TestDriver::closeWindow("kommend");
    const QString entry = folder_.filePath("reminders.desktop");
    {
        QFile file(entry);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nExec=kesp --remind\nHidden=true\n");
        QFile pointer(folder_.filePath(".autostart-entry"));
        ASSERT_TRUE(pointer.open(QIODevice::WriteOnly));
        pointer.write(entry.toUtf8() + "\n");
    }
    const auto entryText = [&entry] {
        QFile file(entry);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    kesp::test::TestDriver::click("haupt", "Button_35");
    EXPECT_TRUE(GETPROPERTY("kommend", "Check_3", "enabled").toBool());
    kesp::test::TestDriver::click("kommend", "Check_3");
    EXPECT_EQ(entryText(), "[Desktop Entry]\nExec=kesp --remind\nHidden=false\n");
    kesp::test::TestDriver::click("kommend", "Check_3");
    EXPECT_EQ(entryText(), "[Desktop Entry]\nExec=kesp --remind\nHidden=true\n");
    kesp::test::TestDriver::closeWindow("kommend");

    const QString folder = QString(KESP_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        CHANGE_LANG(code);
        kesp::test::TestDriver::click("haupt", "Button_35");
        // As it shows before the entries are in.
        ASSERT_TRUE(kesp::FindFormWindow("kommend")->grab().save(
            folder + "/kommend_reading_" + code + ".png", "PNG"));
        WaitForTheEntries();
        EXPECT_EQ(Rows(qobject_cast<QAbstractItemView*>(
                           kesp::test::TestDriver::widget("kommend", "List_1")))
                      .size(),
                  6)
            << "filled in every language";
        ASSERT_TRUE(kesp::SaveWindowScreenshot("kommend", folder + "/kommend_" + code + ".png"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(kesp::test::TestDriver::isOpen("kommend")) << "Escape closes it";
    }
}

TEST_F(ComingUpTest, ARecordWindowClosedAfterTheListsWindowLeavesItClosed) {
    kesp::test::TestDriver driver;
    driver.setToday(QDate(2026, 12, 29));
    OpenMainWindow();
    AddRecord("notiz.dbf", {{"DATUM", QDate(2026, 12, 29)}, {"N_TITEL", "Anrufen"}});
    kesp::test::TestDriver::click("haupt", "Button_35");
    WaitForTheEntries();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(kesp::test::TestDriver::isOpen("notiz_frm"));
    kesp::test::TestDriver::closeWindow("kommend");
    kesp::test::TestDriver::closeWindow("notiz_frm");
    EXPECT_FALSE(kesp::test::TestDriver::isOpen("kommend"));
    EXPECT_FALSE(ComingUpBeingRead());
}

}  // namespace
