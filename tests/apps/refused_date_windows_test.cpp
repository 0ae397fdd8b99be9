// Every window with a date picker, over the tables the build installs: with
// a date that does not exist typed into a picker, the window's step (Insert,
// Save, Save new, Delete, Save birthday) pressed as a screen reader presses
// it, by the program's click and by a mnemonic stores and removes nothing on
// the date the picker had; the picker keeps the focus and shows the text
// refused. With a date typed instead, the step runs on that date. And no
// button or menu item of such a window does anything while the text is there.
#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_operations.h"
#include "apps/agenda/agenda.h"
#include "apps/agenda/agenda_maintenance.h"
#include "apps/biorhythm/biorhythm.h"
#include "apps/common/field_rows.h"
#include "apps/custom/custom_operations.h"
#include "apps/notes/notes_maintenance.h"
#include "apps/projects/projects_maintenance.h"
#include "kernel/public_variables.h"
#include "shell/language.h"
#include "store/xbase.h"
#include "tests/apps/record_applications.h"
#include "tests/shell/installed_program.h"
#include "toolkit/date_picker.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using kesp::test::TestDriver;
using Fields = QList<std::pair<QString, QVariant>>;

const QDate kToday(2026, 3, 10);
const QDate kTyped(2026, 3, 8);  // the date typed once the impossible one is mended

struct Language {
    const char* code;
    const char* impossible;  // 31 February 2026 in the language's order
    const char* typed;       // kTyped
};
const Language kLanguages[] = {{"DE", "31.02.2026", "08.03.2026"},
                               {"AM", "02/31/2026", "03/08/2026"},
                               {"BR", "31/02/2026", "08/03/2026"}};

enum class Outcome {
    StoresTheDate,       // a record of the table holds the date
    RemovesWhatIsOlder,  // no record of the table lies before the date
    ExportsTheDay,       // the export holds the day's appointment, no other
    DrawsTheChart,       // the chart is the one of the date
};

// One picker of a window and the step that works with its date.
struct PickerStep {
    std::string name;
    Action open;  // as the main window opens the window
    QString window;
    QString picker;
    QString button;
    QString table;      // where the step keeps or removes records
    QString dateField;  // the field the picker's date goes to, or is compared with
    Outcome outcome = Outcome::StoresTheDate;
    // The records the table holds before the window opens (asked in the
    // language of the test: the agenda's key holds the date as text).
    std::function<QList<Fields>()> records;
    // After opening, what the step would store besides the date, so that a
    // step run on the previous date changes the table.
    Action prepare;
};

void PrintTo(const PickerStep& step, std::ostream* out) {
    *out << step.name;
}
void PrintTo(const Language& language, std::ostream* out) {
    *out << language.code;
}

// ---- The windows ---------------------------------------------------------------

Fields Appointment(const QDate& date, const QString& text) {
    return {{"DATUM", date},
            {"STUN", "09"},
            {"MINU", "05"},
            {"TERMIN", text},
            {"TINDEX", DTOC(date) + "0905"}};
}

std::vector<PickerStep> AgendaSteps() {
    return {{.name = "AgendaInsert",
             .open = OPENFORM_AGENDA,
             .window = "agenda_frm",
             .picker = "DatePicker_2",
             .button = "Button_32",
             .table = "agenda.dbf",
             .dateField = "DATUM",
             .records = [] { return QList<Fields>(); },
             .prepare = [] { TestDriver::typeInto("agenda_frm", "Text_1", "Zahnarzt"); }},
            {.name = "AgendaSave",
             .open = OPENFORM_AGENDA,
             .window = "agenda_frm",
             .picker = "DatePicker_1",
             .button = "Button_1",
             .table = "agenda.dbf",
             .dateField = "DATUM",
             .records = [] { return QList<Fields>{Appointment(kToday, "Zahnarzt")}; },
             .prepare = [] { TestDriver::typeInto("agenda_frm", "Text_2", " Dr. Sommer"); }},
            // The day chosen above the panels: its export is of the day typed.
            {.name = "AgendaDayExport",
             .open = OPENFORM_AGENDA,
             .window = "agenda_frm",
             .picker = "MonthCal_1",
             .button = "Button_5",
             .table = "agenda.dbf",
             .dateField = "DATUM",
             .outcome = Outcome::ExportsTheDay,
             .records =
                 [] {
                     return QList<Fields>{Appointment(kToday, "Friseur"),
                                          Appointment(kTyped, "Zahnarzt")};
                 },
             .prepare = [] {}}};
}

PickerStep Maintenance(const std::string& name, void (*open)(), const QString& window,
                       const QString& table, const QString& dateField, const Fields& others) {
    // The cut-off the window opens with is a week ago: the first record lies
    // before it, the second only before the date typed.
    return {.name = name,
            .open = open,
            .window = window,
            .picker = "DatePicker_2",
            .button = "Button_30",
            .table = table,
            .dateField = dateField,
            .outcome = Outcome::RemovesWhatIsOlder,
            .records =
                [others, dateField] {
                    QList<Fields> records;
                    for (const QDate& date : {QDate(2026, 2, 28), QDate(2026, 3, 5)})
                        records.append(others + Fields{{dateField, date}});
                    return records;
                },
            .prepare = [] {}};
}

std::vector<PickerStep> MaintenanceSteps() {
    return {Maintenance("AgendaMaintenance", OPEN_AG_VERW, "agenda_del", "agenda.dbf", "DATUM",
                        {{"TERMIN", "Zahnarzt"}}),
            Maintenance("NotesMaintenance", OPEN_NOTIZ_VERW, "notiz_del", "notiz.dbf", "DATUM",
                        {{"N_TITEL", "Steuer"}}),
            Maintenance("ProjectsMaintenance", OPEN_PROJEKT_VERW, "projekt_del", "projekt.dbf",
                        "DATUME", {{"N_TITEL", "Umzug"}, {"DATUMA", QDate(2026, 1, 1)}})};
}

std::vector<PickerStep> BiorhythmSteps() {
    return {{.name = "BiorhythmSaveBirthday",
             .open = OPENBIO,
             .window = "bioform",
             .picker = "Text_3",
             .button = "Button_5",
             .table = "geburt.dbf",
             .dateField = "DATUM",
             .records = [] { return QList<Fields>(); },
             .prepare = [] {}},
            // Another birth date, so that a chart of the previous start differs
            // from the one shown.
            {.name = "BiorhythmChart",
             .open = OPENBIO,
             .window = "bioform",
             .picker = "Text_2",
             .button = "Button_1",
             .table = "geburt.dbf",
             .dateField = "DATUM",
             .outcome = Outcome::DrawsTheChart,
             .records = [] { return QList<Fields>(); },
             .prepare = [] { SETPROPERTY("bioform", "Text_3", "value", QDate(1975, 6, 15)); }}};
}

// Each date picker of each record window, with Save on a shown record and
// Save new on a new one.
std::vector<PickerStep> RecordWindowSteps() {
    std::vector<PickerStep> steps;
    for (const RecordApplication& application : kRecordApplications) {
        const RecordWindow& record = application.describe();
        for (const FieldRow& row : record.fields) {
            if (row.kind != FieldKind::Date) continue;
            const QString window = record.window;
            const QString required = record.required.control;
            const QString name = QString(application.name) + row.control;
            QString page;
            if (row.page > 0) page = record.tab->name;
            // The picker's page in front, and a change of the required text.
            const auto changeText = [window, required, page, pageNumber = row.page] {
                if (!page.isEmpty()) TestDriver::select(window, page, pageNumber);
                TestDriver::typeInto(window, required, "x");
            };
            const auto records = [&record] {
                Fields fields{{RowOfControl(record.fields, record.required.control).field, "Anna"}};
                for (const FieldRow& date : record.fields)
                    if (date.kind == FieldKind::Date)
                        fields.append({date.field, QDate(1970, 5, 17)});
                return QList<Fields>{fields};
            };
            steps.push_back({.name = name.toStdString() + "Save",
                             .open = application.open,
                             .window = window,
                             .picker = row.control,
                             .button = "x8",
                             .table = record.table,
                             .dateField = row.field,
                             .records = records,
                             .prepare = changeText});
            steps.push_back({.name = name.toStdString() + "SaveNew",
                             .open = application.open,
                             .window = window,
                             .picker = row.control,
                             .button = record.entryButtons.save,
                             .table = record.table,
                             .dateField = row.field,
                             .records = records,
                             .prepare = [window, changeText] {
                                 TestDriver::click(window, "x5");
                                 changeText();
                             }});
        }
    }
    return steps;
}

std::vector<PickerStep> EveryPickerStep() {
    std::vector<PickerStep> steps = AgendaSteps();
    for (const auto& more : {MaintenanceSteps(), RecordWindowSteps(), BiorhythmSteps()})
        steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// ---- Pressing ----------------------------------------------------------------------

// Some presses (a mnemonic) show the button down first and click when it
// comes up again.
void UntilUp(QAbstractButton* button) {
    EXPECT_TRUE(QTest::qWaitFor([button] { return !button->isDown(); }, 2000));
}

void PressAsAScreenReader(QAbstractButton* button) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(face, nullptr);
    ASSERT_NE(face->actionInterface(), nullptr);
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

struct Way {
    const char* name;
    void (*press)(QAbstractButton* button);
};

const Way kWays[] = {
    {"ScreenReader",
     [](QAbstractButton* button) {
         PressAsAScreenReader(button);
         UntilUp(button);
     }},
    {"ProgramsClick", [](QAbstractButton* button) { button->click(); }},
    // A caption with a mnemonic, as a desktop that gives buttons mnemonics
    // of its own makes it: Alt and its first letter. Picture buttons have none.
    {"Mnemonic",
     [](QAbstractButton* button) {
         const QString caption = button->text();
         if (caption.isEmpty()) return;
         button->setText("&" + caption);
         QTest::keyClick(QApplication::focusWidget(),
                         static_cast<Qt::Key>(caption.at(0).toUpper().unicode()), Qt::AltModifier);
         UntilUp(button);
         button->setText(caption);
     }},
};

// ---- The fixture ----------------------------------------------------------------

// The contents of every file of the data and export folders.
QMap<QString, QByteArray> FolderContents(const QString& folder) {
    QMap<QString, QByteArray> contents;
    for (const char* below : {"data", "export"}) {
        QDirIterator files(folder + "/" + below, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (file.open(QIODevice::ReadOnly))
                contents.insert(file.fileName(),
                                QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5));
        }
    }
    return contents;
}

class RefusedDateWindow : public InstalledProgram {
  protected:
    void SetUp() override {
        InstalledProgram::SetUp();
        SET_TODAY_FOR_TESTS(kToday);
        kesp::seam::answerFileQuestion = [this](const kesp::seam::FileQuestion& question) {
            fileQuestions_.append(question.title);
            return QString();  // cancelled
        };
        // A fault stops the test with its stop box, not the whole program.
        kesp::seam::endProcess = [](int) {};
    }
    void TearDown() override {
        for (kesp::FormWindow* window : kesp::FormWindows())
            window->release();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kesp::seam::answerFileQuestion = nullptr;
        InstalledProgram::TearDown();
    }

    void UseLanguage(const Language& language) {
        StoreLanguage(language.code);
        APPLY_STORED_LANG();
    }

    // The dates of the live records of the table, "none" for an empty one.
    QStringList StoredDates(const QString& table, const QString& field) {
        DBUSEAREA(false, DataFile(table), "t");
        QStringList dates;
        DBEVAL([&] {
            const QDate date = FIELD(field).toDate();
            dates.append(date.isValid() ? date.toString(Qt::ISODate) : "none");
        });
        DBCLOSEALL();
        return dates;
    }

    // The message boxes and file questions shown since the last clearing.
    QStringList Messages() {
        QStringList texts;
        for (const kesp::seam::MessageBoxShown& box : boxes_)
            texts.append(box.kind + ": " + box.text);
        for (const QString& question : fileQuestions_)
            texts.append("GETFILE: " + question);
        return texts;
    }
    void ClearMessages() {
        boxes_.clear();
        fileQuestions_.clear();
    }

    QMap<QString, QByteArray> Folders() const { return FolderContents(folder_.path()); }

    // Everything the export folder holds, file after file.
    QString Exported() const {
        QString all;
        for (const QFileInfo& file : QDir(folder_.filePath("export")).entryInfoList(QDir::Files)) {
            QFile exported(file.absoluteFilePath());
            if (exported.open(QIODevice::ReadOnly)) all += QString::fromLatin1(exported.readAll());
        }
        return all;
    }

    QStringList fileQuestions_;
};

// The picker refuses the text where it was typed: it has the focus, the text
// stays on red and the hint under it names it.
void ExpectRefused(const QString& window, const QString& picker, const QString& typed) {
    auto* shown = qobject_cast<kesp::DatePicker*>(TestDriver::widget(window, picker));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), shown);
    EXPECT_EQ(shown->text(), typed);
    EXPECT_EQ(shown->palette().color(QPalette::Base), QColor(255, 0, 0));
    auto* hint = TestDriver::widget(window)->findChild<QLabel*>(kesp::kNoDateHintName);
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(typed)) << hint->text().toStdString();
}

// ---- Each window's step ----------------------------------------------------------

using StepInLanguage = std::tuple<PickerStep, Language>;

class RefusedDateStep : public RefusedDateWindow,
                        public ::testing::WithParamInterface<StepInLanguage> {
  protected:
    const PickerStep& step() const { return std::get<0>(GetParam()); }
    const Language& language() const { return std::get<1>(GetParam()); }

    QAbstractButton* Button() const {
        auto* button =
            qobject_cast<QAbstractButton*>(TestDriver::widget(step().window, step().button));
        EXPECT_NE(button, nullptr);
        return button;
    }

    // The chart a chart button drew; nothing for the other steps.
    QImage Chart() const {
        if (step().outcome != Outcome::DrawsTheChart) return {};
        return TestDriver::widget(step().window, "Graph")->grab().toImage();
    }
    void PressWithTheDateSet(const QDate& date) const {
        SETPROPERTY(step().window, step().picker, "value", date);
        Button()->click();
    }

    void OpenPrepared() {
        UseLanguage(language());
        for (const Fields& record : step().records())
            AddRecord(step().table, record);
        step().open();
        ASSERT_TRUE(TestDriver::isOpen(step().window));
        step().prepare();
        ClearMessages();
    }
};

TEST_P(RefusedDateStep, StoresNothingOnThePreviousDateHoweverItIsPressed) {
    OpenPrepared();
    const QMap<QString, QByteArray> before = Folders();
    const QImage chart = Chart();
    TestDriver::typeInto(step().window, step().picker, language().impossible);
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.name);
        way.press(Button());
        ExpectRefused(step().window, step().picker, language().impossible);
        EXPECT_EQ(Messages(), QStringList());
        EXPECT_TRUE(Folders() == before) << "a file of the data or export folder changed";
        EXPECT_TRUE(Chart() == chart) << "the chart was drawn again";
    }
}

TEST_P(RefusedDateStep, RunsOnTheDateTypedInstead) {
    OpenPrepared();
    TestDriver::typeInto(step().window, step().picker, language().impossible);
    PressAsAScreenReader(Button());
    UntilUp(Button());
    TestDriver::typeInto(step().window, step().picker, language().typed);
    PressAsAScreenReader(Button());
    UntilUp(Button());
    const QStringList dates = StoredDates(step().table, step().dateField);
    switch (step().outcome) {
        case Outcome::StoresTheDate:
            EXPECT_TRUE(dates.contains(kTyped.toString(Qt::ISODate)))
                << dates.join(' ').toStdString();
            break;
        case Outcome::RemovesWhatIsOlder:
            EXPECT_EQ(dates, QStringList()) << "both records lie before the date typed";
            break;
        case Outcome::ExportsTheDay:
            EXPECT_TRUE(Exported().contains("Zahnarzt")) << Exported().toStdString();
            EXPECT_FALSE(Exported().contains("Friseur")) << Exported().toStdString();
            break;
        case Outcome::DrawsTheChart: {
            // The chart of the typed date, as the program draws it for that
            // date, and not the one of the previous date.
            const QImage typed = Chart();
            PressWithTheDateSet(kToday);
            EXPECT_FALSE(Chart() == typed);
            PressWithTheDateSet(kTyped);
            EXPECT_TRUE(Chart() == typed);
            break;
        }
    }
}

std::string NameOf(const ::testing::TestParamInfo<StepInLanguage>& info) {
    return std::get<0>(info.param).name + "_" + std::get<1>(info.param).code;
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, RefusedDateStep,
                         ::testing::Combine(::testing::ValuesIn(EveryPickerStep()),
                                            ::testing::ValuesIn(kLanguages)),
                         NameOf);

// ---- Every button of every such window ----------------------------------------

// The launch buttons of the main window open these windows with date
// pickers; each picker stands in the table above.
TEST_F(RefusedDateWindow, NoButtonOrMenuItemOfAWindowWithAPickerActsOnARefusedText) {
    UseLanguage(kLanguages[0]);
    OpenMainWindow();
    QStringList found;
    QStringList walked;  // a window two launch buttons open is walked once
    LookAtEveryWindow([this, &found, &walked](QWidget* shown) {
        auto* window = qobject_cast<kesp::FormWindow*>(shown);
        if (walked.contains(window->name())) return;
        walked << window->name();
        const QList<kesp::DatePicker*> pickers = window->findChildren<kesp::DatePicker*>();
        for (kesp::DatePicker* picker : pickers)
            found << window->name() + "/" + picker->objectName();
        if (pickers.isEmpty()) return;
        SCOPED_TRACE(window->name().toStdString());
        const QString picker = pickers.first()->objectName();
        DOMETHOD(window->name(), picker, "SetFocus");
        TestDriver::typeInto(window->name(), picker, "31.02.2026");
        const QMap<QString, QByteArray> before = Folders();
        const int windows = kesp::FormWindows().size();
        ClearMessages();
        QList<QAbstractButton*> pressed;
        for (kesp::Control* control : window->controls()) {
            auto* button = qobject_cast<QAbstractButton*>(control->widget());
            if (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)) {
                PressAsAScreenReader(button);
                pressed << button;
            } else if (control->widget() == nullptr) {
                TestDriver::click(window->name(), control->name());  // a menu item
            }
        }
        for (auto* list : window->findChildren<QAbstractItemView*>())
            for (QAction* entry : list->actions())
                entry->trigger();
        for (QAbstractButton* button : pressed)
            UntilUp(button);
        ExpectRefused(window->name(), picker, "31.02.2026");
        EXPECT_EQ(Messages(), QStringList());
        EXPECT_EQ(kesp::FormWindows().size(), windows);
        EXPECT_TRUE(Folders() == before) << "a file of the data or export folder changed";
        QTest::keyClick(pickers.first(), Qt::Key_Escape);
    });
    // Each picker found has its step in the table above, and each there was found.
    QStringList covered;
    for (const PickerStep& step : EveryPickerStep())
        covered << step.window + "/" + step.picker;
    covered.removeDuplicates();
    covered.sort();
    found.sort();
    EXPECT_EQ(found.join(' ').toStdString(), covered.join(' ').toStdString());
}

}  // namespace
