// The three maintenance windows (agenda, notes, projects) over the tables the
// build installs, with "today" fixed: what the cut-off removes, what it keeps,
// what the window counts and reports, and what is left in the file. Pictures
// of every window in every language go to the build's screenshots folder.
#include "apps/agenda/agenda_maintenance.h"
#include "apps/notes/notes_maintenance.h"
#include "apps/projects/projects_maintenance.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "tests/shell/installed_program.h"
#include "toolkit/forms.h"
#include "toolkit/screenshot.h"
#include "toolkit/test_driver.h"

#include <QLineEdit>
#include <QTest>

#include <ostream>
#include <utility>

namespace {

using kesp::test::TestDriver;
using Fields = QList<std::pair<QString, QVariant>>;

struct Maintenance {
    const char* name;
    void (*open)();
    QString window;
    QString table;
    QString dateField;
    Fields datesThatPlayNoPart;  // written into every record
    QString oneRemoved;          // the German result after removing one record
    QString threeLeft;           // the German count line of three records
    QString englishWarning;
    QString englishNoneRemoved;
};

void PrintTo(const Maintenance& maintenance, std::ostream* out) {
    *out << maintenance.name;
}

const Maintenance kAgenda{"Agenda",
                          OPEN_AG_VERW,
                          "agenda_del",
                          "agenda.dbf",
                          "DATUM",
                          {{"TERMIN", "Zahnarzt"}},
                          "1 Termin(e) wurde(n) gelöscht",
                          "Insgesamt, 3 Termine in der Datenbank.",
                          "Attention: appointments are deleted without confirmation!",
                          "Deleted: 0 appointment(s)"};
const Maintenance kNotes{"Notes",
                         OPEN_NOTIZ_VERW,
                         "notiz_del",
                         "notiz.dbf",
                         "DATUM",
                         {{"ERSTELLT", QDate(1999, 1, 1)}},
                         "1 Notiz(en) wurde(n) gelöscht",
                         "Insgesamt, 3 Notiz(en) in der Datenbank.",
                         "Attention: notes are deleted without confirmation!",
                         "Deleted: 0 record(s)"};
const Maintenance kProjects{
    "Projects",
    OPEN_PROJEKT_VERW,
    "projekt_del",
    "projekt.dbf",
    "DATUME",
    {{"ERSTELLT", QDate(1999, 1, 1)}, {"DATUMA", QDate(2030, 1, 1)}, {"FERTIG", false}},
    "1 Projekt(e) wurde(n) gelöscht",
    "Insgesamt, 3 Projekte in der Datenbank.",
    "Attention: projects are deleted without confirmation, also projects "
    "not marked as done!",
    "0 Project(s) deleted"};

const QDate kToday(2008, 5, 15);

class MaintenanceWindows : public InstalledProgram,
                           public ::testing::WithParamInterface<Maintenance> {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        SET_TODAY_FOR_TESTS(kToday);
        UseLanguage("DE");
    }
    void TearDown() override {
        if (TestDriver::isOpen(GetParam().window)) TestDriver::closeWindow(GetParam().window);
        InstalledProgram::TearDown();
    }

    static void UseLanguage(const QString& code) {
        THE_LANG = code;
        SET_DATEFORMAT(code == "AM" ? "mm/dd/yyyy" : code == "DE" ? "dd.mm.yyyy" : "dd/mm/yyyy");
    }

    // Records dated today-10, today-7, today+3 and one without a date.
    void AddFourRecords() {
        for (const QDate& date :
             {kToday.addDays(-10), kToday.addDays(-7), kToday.addDays(3), QDate()}) {
            Fields fields = GetParam().datesThatPlayNoPart;
            fields.append({GetParam().dateField, date});
            AddRecord(GetParam().table, fields);
        }
    }

    // The compared date of every record in the file, "-" before one marked
    // deleted, "none" for an empty date.
    QStringList StoredDates() {
        SET_DELETED(false);
        DBUSEAREA(false, DataFile(GetParam().table), "t");
        QStringList dates;
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            const QDate date = FIELD(GetParam().dateField).toDate();
            dates.append((DELETED() ? "-" : "") + (date.isValid() ? DTOC(date) : "none"));
        }
        DBCLOSEALL();
        SET_DELETED(true);
        return dates;
    }

    static bool AnyTableOpen() {
        bool open = false;
        for (int area = 1; area <= 10; ++area) {
            DBSELECTAREA(area);
            open = open || USED();
        }
        DBSELECTAREA(1);
        return open;
    }

    QString Read(const QString& control) const {
        return TestDriver::read(GetParam().window, control).toString();
    }
    QString CutOffShown() const {
        const auto* picker =
            qobject_cast<QLineEdit*>(TestDriver::widget(GetParam().window, "DatePicker_2"));
        return picker ? picker->text() : QString();
    }
    QStringList TakeMessages() {
        QStringList texts;
        for (const kesp::seam::MessageBoxShown& box : boxes_) {
            EXPECT_EQ(box.kind, "MSGEXCLAMATION");
            EXPECT_EQ(box.title, "Varnel Kesp 2.0");
            texts.append(box.text);
        }
        boxes_.clear();
        return texts;
    }
};

TEST_P(MaintenanceWindows, DefaultCutOffRemovesOnlyWhatIsOlderThanAWeekAndLeavesNoTraceInTheFile) {
    const Maintenance& maintenance = GetParam();
    AddFourRecords();
    maintenance.open();
    EXPECT_FALSE(AnyTableOpen());
    EXPECT_EQ(TestDriver::read(maintenance.window, "DatePicker_2").toDate(), kToday.addDays(-7));
    EXPECT_EQ(Read("Label_15").section(' ', 0, 1), "Insgesamt, 4");

    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{maintenance.oneRemoved});
    EXPECT_EQ(Read("Label_15"), maintenance.threeLeft);
    EXPECT_FALSE(AnyTableOpen());
    EXPECT_EQ(StoredDates(), (QStringList{"08.05.2008", "18.05.2008", "none"}));

    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{"0" + maintenance.oneRemoved.mid(1)});
    EXPECT_EQ(Read("Label_15"), maintenance.threeLeft);
    EXPECT_EQ(StoredDates(), (QStringList{"08.05.2008", "18.05.2008", "none"}));
}

TEST_P(MaintenanceWindows, ChosenDayStaysAnEmptiedPickerRemovesNothing) {
    const Maintenance& maintenance = GetParam();
    AddFourRecords();
    maintenance.open();
    SETPROPERTY(maintenance.window, "DatePicker_2", "Value", QDate());  // the picker emptied
    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{"0" + maintenance.oneRemoved.mid(1)});
    EXPECT_EQ(StoredDates().size(), 4);

    SETPROPERTY(maintenance.window, "DatePicker_2", "Value", kToday.addDays(3));
    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{"2" + maintenance.oneRemoved.mid(1)});
    EXPECT_EQ(StoredDates(), (QStringList{"18.05.2008", "none"}));
}

TEST_P(MaintenanceWindows, ReportsWhatThisPressRemovedNotWhatWasMarkedDeletedBefore) {
    const Maintenance& maintenance = GetParam();
    AddFourRecords();
    maintenance.open();
    // Between opening and pressing, a record of the future is marked deleted
    // (as an interrupted change leaves it).
    const QString field = maintenance.dateField;
    DeleteRecords(maintenance.table, [field] { return FIELD(field).toDate() > kToday; });
    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{maintenance.oneRemoved});
    EXPECT_EQ(Read("Label_15").section(' ', 0, 1), "Insgesamt, 2");
    EXPECT_EQ(StoredDates(), (QStringList{"08.05.2008", "none"}));
}

TEST_P(MaintenanceWindows, CtrlZBringsBackEveryRecordOfTheLastRemovalInOneStep) {
    const Maintenance& maintenance = GetParam();
    AddFourRecords();
    maintenance.open();
    EXPECT_FALSE(TestDriver::read(maintenance.window, "Button_31", "enabled").toBool());
    SETPROPERTY(maintenance.window, "DatePicker_2", "Value", kToday.addDays(3));
    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{"2" + maintenance.oneRemoved.mid(1)});
    EXPECT_TRUE(TestDriver::read(maintenance.window, "Button_31", "enabled").toBool());

    QTest::keyClick(TestDriver::widget(maintenance.window), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_EQ(boxes_.takeFirst().text, "2 Einträge sind zurück.");
    EXPECT_EQ(StoredDates(), (QStringList{"18.05.2008", "none", "05.05.2008", "08.05.2008"}));
    EXPECT_EQ(Read("Label_15").section(' ', 0, 1), "Insgesamt, 4");
    EXPECT_FALSE(TestDriver::read(maintenance.window, "Button_31", "enabled").toBool());
    TestDriver::click(maintenance.window, "Button_31");
    EXPECT_TRUE(boxes_.isEmpty()) << "nothing more to take back";
}

TEST_P(MaintenanceWindows, CutOffOnOpeningCrossesMonthAndYearEnds) {
    const Maintenance& maintenance = GetParam();
    const struct {
        QDate today;
        const char* language;
        QDate cutOff;
        QString shown;
    } cases[] = {
        {QDate(2008, 1, 3), "DE", QDate(2007, 12, 27), "27.12.2007"},
        {QDate(2008, 1, 3), "AM", QDate(2007, 12, 27), "12/27/2007"},
        {QDate(2008, 3, 5), "BR", QDate(2008, 2, 27), "27/02/2008"},
        {QDate(2007, 3, 5), "DE", QDate(2007, 2, 26), "26.02.2007"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        SET_TODAY_FOR_TESTS(c.today);
        UseLanguage(c.language);
        maintenance.open();
        EXPECT_EQ(TestDriver::read(maintenance.window, "DatePicker_2").toDate(), c.cutOff);
        EXPECT_EQ(CutOffShown(), c.shown);
        TestDriver::closeWindow(maintenance.window);
    }
}

TEST_P(MaintenanceWindows, EnglishWindowWarnsAndReports) {
    const Maintenance& maintenance = GetParam();
    UseLanguage("AM");
    maintenance.open();
    EXPECT_EQ(Read("Label_14"), maintenance.englishWarning);
    EXPECT_EQ(Read("Label_13"), "?");
    EXPECT_EQ(TestDriver::read(maintenance.window, "Button_30", "Caption").toString(), "Delete");
    EXPECT_TRUE(Read("Label_15").startsWith("Total: 0 "));
    TestDriver::click(maintenance.window, "Button_30");
    EXPECT_EQ(TakeMessages(), QStringList{maintenance.englishNoneRemoved});
}

TEST_P(MaintenanceWindows, IsPicturedInEveryLanguage) {
    const Maintenance& maintenance = GetParam();
    AddFourRecords();
    const QString folder = KESP_SCREENSHOT_DIR;
    QDir().mkpath(folder);
    for (const char* code : {"DE", "AM", "BR"}) {
        UseLanguage(code);
        maintenance.open();
        EXPECT_TRUE(kesp::SaveWindowScreenshot(
            maintenance.window, folder + "/" + maintenance.window + "_" + code + ".png"));
        TestDriver::closeWindow(maintenance.window);
    }
}

INSTANTIATE_TEST_SUITE_P(AllThree, MaintenanceWindows,
                         ::testing::Values(kAgenda, kNotes, kProjects),
                         [](const auto& info) { return std::string(info.param.name); });

// The main window opens the three windows with its "Verwalten" buttons.
class MaintenanceLaunch : public InstalledProgram {};

TEST_F(MaintenanceLaunch, AdministrationButtonsOpenTheirWindows) {
    OpenMainWindow();
    const std::pair<const char*, const char*> buttons[] = {
        {"Button_29", "agenda_del"}, {"Button_30", "notiz_del"}, {"Button_32", "projekt_del"}};
    for (const auto& [button, window] : buttons) {
        SCOPED_TRACE(button);
        EXPECT_EQ(Property(button, "Caption"), "Administration");
        TestDriver::click("haupt", button);
        ASSERT_TRUE(TestDriver::isOpen(window));
        EXPECT_TRUE(TestDriver::read(window, "Label_15").toString().startsWith("Total: 0 "));
        TestDriver::closeWindow(window);
    }
}

}  // namespace
