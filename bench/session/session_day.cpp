#include "bench/session/session_day.h"

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/business_operations.h"
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/private_operations.h"
#include "apps/agenda/agenda.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/common/record_window.h"
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "bench/session/gap_watch.h"
#include "bench/session/paint_watch.h"
#include "bench/session/session_folder.h"
#include "kernel/public_variables.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"
#include "shell/backup_window.h"
#include "shell/backups.h"
#include "shell/coming_up_window.h"
#include "shell/everything_panel.h"
#include "shell/kept_figures.h"
#include "shell/main_window.h"
#include "shell/record_kinds.h"
#include "shell/reminders.h"
#include "shell/start_up.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/driver_seam.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/test_driver.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

using kesp::test::TestDriver;

namespace {

// Lets the loop run for `ms` milliseconds, as a user's pause does.
void Pause(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void WaitUntil(const std::function<bool()>& done) {
    while (!done())
        Pause(1);
}

class Day {
  public:
    explicit Day(const QString& folder) : folder_(folder) {}

    // One action: its work, then the loop until `done`, then a pause in
    // which what it left running still counts to its gaps.
    void Measure(
        const QString& name, const std::function<void()>& work,
        const std::function<bool()>& done = [] { return true; }) {
        watch_.Begin();
        work();
        WaitUntil(done);
        watch_.Done();
        Pause(150);
        watch_.End();
        figures_.actions.push_back({name, watch_.worstMs(), watch_.wholeMs()});
        std::fprintf(stderr, "%-34s %8.1f %9.1f\n", name.toUtf8().constData(), watch_.worstMs(),
                     watch_.wholeMs());
    }

    void Run();
    DayFigures figures() const { return figures_; }

  private:
    void Start();
    void OpenAndClose(const PlacedKind& placed);
    void TypeName(const RecordWindow& record, const Action& open, const QString& ownBox);
    void EditRecords();
    void SearchEverything(const QString& typed, const QString& name);
    void OpenShellWindow(
        const QString& button, const QString& name,
        const std::function<bool()>& shown = [] { return true; });
    void OpenFromComingUp();
    void PreviewAgenda();
    void RefreshStatistics();
    void Close();

    QString folder_;
    TestDriver driver_;
    GapWatch watch_;
    DayFigures figures_;
};

QString ModalWindowName() {
    kesp::FormWindow* window = kesp::OpenModalWindow();
    return window ? window->name() : QString();
}

void CloseModalWindows() {
    for (QString name = ModalWindowName(); !name.isEmpty(); name = ModalWindowName())
        TestDriver::closeWindow(name);
}

void Day::Start() {
    Measure(
        "start",
        [this] {
            START_UP(folder_);
            DEFINE_HAUPT();
            DOMETHOD("haupt", "Center");
            // As the program's start: the reminders due and the days ahead once
            // the main window shows its figures.
            AFTER_NEXT_STATISTICS([] {
                kesp::RunAction([] { PostDueReminders(QDateTime::currentDateTime(), false); });
                kesp::RunAction(OFFER_KOMMEND_AT_START);
                ReadAheadForEverythingSearch();
            });
            _ACTIVATEWINDOW("haupt");
        },
        // Until the days ahead read beside the loop are in, and their window
        // shown when something is due.
        [] { return !ComingUpBeingRead(); });
    // The days ahead may have opened at the start.
    Measure("close what opened at the start", CloseModalWindows);
}

void Day::OpenAndClose(const PlacedKind& placed) {
    QString name;
    Measure("open " + placed.kind->id,
            [&placed] { TestDriver::click("haupt", placed.place.launchButton); });
    Measure("close " + placed.kind->id, CloseModalWindows);
}

// Into the quick-search box of the title, else the first one, else the
// window's own box (the tips' word search).
void Day::TypeName(const RecordWindow& record, const Action& open, const QString& ownBox) {
    open();
    Pause(150);
    QString box = record.searches.isEmpty() ? ownBox : record.searches.first().box;
    for (const Search& search : record.searches)
        if (search.box.contains("titel")) box = search.box;
    watch_.Begin();
    double whole = 0;
    double worst = 0;
    for (const QChar letter : TypedName()) {
        watch_.Begin();
        TestDriver::typeInto(record.window, box, QString(letter));
        watch_.Done();
        Pause(30);
        watch_.End();
        whole += watch_.wholeMs();
        worst = std::max(worst, watch_.worstMs());
    }
    figures_.actions.push_back({"type a name in " + record.window, worst, whole});
    std::fprintf(stderr, "%-34s %8.1f %9.1f\n",
                 ("type a name in " + record.window).toUtf8().constData(), worst, whole);
    CloseModalWindows();
}

void Day::EditRecords() {
    const RecordWindow& book = PrivateAddressBook();
    OPENFORM_ADRESSE_P();
    Pause(150);
    Measure("new record", [&book] {
        TestDriver::click(book.window, "x5");
        TestDriver::typeInto(book.window, book.required.control, "Quirin");
    });
    Measure("save the new record",
            [&book] { TestDriver::click(book.window, book.entryButtons.save); });
    Measure("choose a record", [&book] { TestDriver::select(book.window, book.list.name, 3); });
    Measure("save a change", [&book] {
        TestDriver::typeInto(book.window, book.required.control, "a");
        TestDriver::click(book.window, "x8");
    });
    Measure("delete a record", [&book] { TestDriver::click(book.window, "x6"); });
    Measure("undo the deletion", [&book] {
        DOMETHOD(book.window, book.list.name, "SetFocus");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    });
    CloseModalWindows();
}

QLineEdit* EverythingBox() {
    return qobject_cast<QLineEdit*>(kesp::FormWindowNamed("haupt")->control("s_alles")->widget());
}

QAbstractItemView* EverythingList() {
    return qobject_cast<QAbstractItemView*>(
        kesp::FormWindowNamed("haupt")->control("List_alles")->widget());
}

void Day::SearchEverything(const QString& typed, const QString& name) {
    EverythingBox()->clear();
    EverythingBox()->setFocus();
    Pause(30);
    QElapsedTimer screen;
    double firstScreen = -1;
    Measure(
        name,
        [&screen, &typed] {
            screen.start();
            EverythingBox()->setText(typed);
        },
        [&screen, &firstScreen] {
            if (firstScreen < 0 &&
                (EverythingList()->model()->rowCount() >= 25 || !EverythingSearchRunning()))
                firstScreen = static_cast<double>(screen.nsecsElapsed()) / 1e6;
            return !EverythingSearchRunning();
        });
    figures_.firstScreensMs.push_back(firstScreen);
}

void Day::OpenShellWindow(const QString& button, const QString& name,
                          const std::function<bool()>& shown) {
    Measure(
        "open " + name, [&button] { TestDriver::click("haupt", button); }, shown);
    Measure("close " + name, CloseModalWindows);
}

// Enter on the first entry opens its record; closing that window reads the
// list anew, and so does another number of days.
void Day::OpenFromComingUp() {
    const auto read = [] { return !ComingUpBeingRead(); };
    TestDriver::click("haupt", "Button_35");
    WaitUntil(read);
    Measure(
        "open and close a record from coming up",
        [] {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            const auto* record = qobject_cast<kesp::FormWindow*>(QApplication::activeModalWidget());
            if (record && record->name() != "kommend") TestDriver::closeWindow(record->name());
        },
        read);
    const int days = GETPROPERTY("kommend", "Combo_1", "value").toInt();
    Measure(
        "change the days ahead to 30", [] { TestDriver::select("kommend", "Combo_1", 30); }, read);
    TestDriver::select("kommend", "Combo_1", days);  // as the folder had it
    WaitUntil(read);
    CloseModalWindows();
}

void Day::PreviewAgenda() {
    OPENFORM_AGENDA();
    Pause(150);
    // The preview is built in full; its dialog is not shown.
    CurrentReportDialogs().runPreview = [](PrintPreview&) {};
    Measure("print-preview the agenda's days", [] { TestDriver::click("agenda_frm", "Button_4"); });
    CurrentReportDialogs() = DefaultReportDialogs();
    CloseModalWindows();
}

void Day::RefreshStatistics() {
    QStringList files;
    for (const PlacedKind& placed : PlacedKinds())
        for (const QString& file : {placed.kind->table, placed.kind->memoFile})
            if (!file.isEmpty() && !files.contains(THE_DATA_PATH + file))
                files.append(THE_DATA_PATH + file);
    QElapsedTimer clock;
    clock.start();
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) continue;
        while (file.read(block.data(), block.size()) > 0) {
        }
    }
    figures_.readTenFilesOnceMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    Measure("refresh the statistics", [] { TestDriver::click("haupt", "Button_31"); });
    figures_.statisticsMs = figures_.actions.back().wholeMs;
    // The same with every table counted: the figures kept from earlier counts gone.
    QFile::remove(THE_DATA_PATH + kKeptFiguresFile);
    Measure("refresh the statistics, nothing kept",
            [] { TestDriver::click("haupt", "Button_31"); });
    figures_.statisticsCountedMs = figures_.actions.back().wholeMs;
}

void Day::Close() {
    Measure("close with the backup", [] {
        TestDriver::closeWindow("haupt");
        END_RUN();
    });
}

void Day::Run() {
    Start();
    for (const PlacedKind& placed : PlacedKinds())
        OpenAndClose(placed);
    struct RecordApplication {
        const RecordWindow& (*describe)();
        Action open;
        QString ownBox;
    };
    const RecordApplication records[] = {{PrivateAddressBook, OPENFORM_ADRESSE_P, {}},
                                         {BusinessAddressBook, OPENFORM_ADRESSE_G, {}},
                                         {Projects, OPENFORM_PROJEKT, {}},
                                         {Tips, OPENFORM_TIPPS, "Text_s"},
                                         {MyApp, OPENFORM_MYAPP, {}},
                                         {Notes, OPENFORM_NOTIZ, {}},
                                         {Bookmarks, OPENFORM_INTERNET, {}}};
    for (const RecordApplication& application : records)
        TypeName(application.describe(), application.open, application.ownBox);
    EditRecords();
    SearchEverything("müller", "first search over everything");
    int n = 1;
    for (const QString typed : {"garten", "köln 12", "sommerfeld", "zahnarzt urlaub", "a"})
        SearchEverything(typed, QString("search over everything %1").arg(++n));
    OpenShellWindow("Button_35", "coming up", [] { return !ComingUpBeingRead(); });
    OpenFromComingUp();
    OpenShellWindow("Button_36", "trash");
    OpenShellWindow("Button_37", "backups", [] { return !BACKUP_COUNTS_COMING(); });
    PreviewAgenda();
    RefreshStatistics();
    Measure("reminders of a minute",
            [] { kesp::RunAction([] { PostDueReminders(QDateTime::currentDateTime(), false); }); });
    Close();
}

}  // namespace

DayFigures RunDay(const QString& folder) {
    kesp::seam::activationReturnsAtOnce = true;
    Day day(folder);
    day.Run();
    return day.figures();
}

void StartAndShowMainWindow(const QString& folder) {
    kesp::seam::activationReturnsAtOnce = true;
    START_UP(folder);
    DEFINE_HAUPT();
    DOMETHOD("haupt", "Center");
    PaintWatch watch;
    kesp::FormWindowNamed("haupt")->installEventFilter(&watch);
    // Returns once the window shows and its initialisation, the statistics, ran.
    _ACTIVATEWINDOW("haupt");
    while (!watch.painted)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
