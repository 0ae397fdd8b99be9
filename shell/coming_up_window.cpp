#include "shell/coming_up_window.h"

#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/coming_up.h"
#include "shell/coming_up_beside_the_loop.h"
#include "shell/coming_up_list.h"
#include "shell/desktop_notifications.h"
#include "shell/login_reminders.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QApplication>
#include <QCheckBox>
#include <QTimer>

#include <memory>
#include <optional>
#include <utility>

namespace {

const QString kWindow = QStringLiteral("kommend");
const QString kList = QStringLiteral("List_1");
const QString kDaysBox = QStringLiteral("Combo_1");
const QString kAtStartBox = QStringLiteral("Check_1");
const QString kAtLoginBox = QStringLiteral("Check_3");
const QString kStatusLine = QStringLiteral("Label_2");

const Texts kTitle{"Demnächst", "Coming up", "Próximos dias"};
const Texts kDays{"Tage voraus:", "Days ahead:", "Dias à frente:"};
const Texts kAtStart{"Beim Start öffnen, wenn heute etwas fällig ist",
                     "Open at the start when something is due today",
                     "Abrir ao iniciar quando algo vence hoje"};
const Texts kNoNotifications{
    "Keine Benachrichtigungen: auf dem Desktop läuft kein Benachrichtigungsdienst.",
    "No notifications: no notification service runs on the desktop.",
    "Sem notificações: não há serviço de notificações na área de trabalho."};
const Texts kAtLogin{"Auch ohne offenes Programm bei der Anmeldung erinnern",
                     "Remind at login too, when the program is not open",
                     "Lembrar também ao entrar na sessão, sem o programa aberto"};
const Texts kAtLoginNotWritten{
    "Der Eintrag für den Start bei der Anmeldung kann nicht geschrieben werden.",
    "The entry that starts the reminders at login cannot be written.",
    "Não é possível gravar a entrada que inicia os lembretes ao entrar na sessão."};
const Texts kNothing{"In diesen Tagen steht nichts an.", "Nothing is due in these days.",
                     "Nada previsto para estes dias."};

const Texts kReading{"Wird gelesen, was ansteht …", "Reading what is due …",
                     "Lendo o que está previsto …"};
// Read anew, the list keeps what it showed for a moment; longer, it says
// why it waits.
constexpr int kReadingShownAfterMs = 200;

// The days ahead being read for the window, or at the start; kept until the
// next reading or the window's end, so that its hand-over never outlives it.
std::unique_ptr<ComingUpBesideTheLoop>& Reading() {
    static std::unique_ptr<ComingUpBesideTheLoop> reading;
    return reading;
}
// Read at the start, for the window opened then.
std::optional<std::vector<ComingUpEntry>>& ReadAtStart() {
    static std::optional<std::vector<ComingUpEntry>> entries;
    return entries;
}
// The start's reading done, the window about to open.
bool offerPending = false;

ComingUpList* List() {
    return static_cast<ComingUpList*>(kesp::FormWindowNamed(kWindow)->control(kList)->widget());
}

bool ListShown() {
    return kesp::FindFormWindow(kWindow) && kesp::FormWindowNamed(kWindow)->findControl(kList);
}

// The own application's date is switched in its naming window.
ReminderSettings SettingsShown() {
    ReminderSettings settings = ReadReminderSettings();
    settings.days = GETPROPERTY(kWindow, kDaysBox, "value").toInt();
    settings.openAtStart = GETPROPERTY(kWindow, kAtStartBox, "value").toBool();
    return settings;
}

// Stands on `row` (the first entry when none is given or it is a heading).
void ShowEntries(std::vector<ComingUpEntry> entries, const QDate& today, int row) {
    ComingUpList* list = List();
    ComingUpModel* model = list->entries();
    model->Show(std::move(entries), today, list->font());
    if (!model->holdsEntries()) model->ShowOnly(TEXT(kNothing));
    if (row < 0 ||
        !(model->flags(model->index(std::min(row, model->rowCount() - 1))) & Qt::ItemIsSelectable))
        row = model->FirstEntryRow();
    if (row >= 0) list->setCurrentIndex(model->index(std::min(row, model->rowCount() - 1)));
}

// Reads the days ahead beside the loop; the list shows what it showed until
// they are in, then stands on `row`.
void FillList(int row = -1) {
    const ReminderSettings settings = SettingsShown();
    const QDate today = DATE();
    Reading().reset();  // the tables it holds are read anew
    Reading() =
        std::make_unique<ComingUpBesideTheLoop>(today, settings.days, settings.customDateReminds,
                                                [today, row](std::vector<ComingUpEntry> entries) {
                                                    if (ListShown())
                                                        ShowEntries(std::move(entries), today, row);
                                                });
    // A list that shows nothing yet says at once that it reads; one that
    // shows entries keeps them a moment.
    if (List()->entries()->rowCount() == 0) {
        List()->entries()->ShowOnly(TEXT(kReading));
        return;
    }
    QTimer::singleShot(kReadingShownAfterMs, List(), [] {
        if (Reading() && Reading()->running()) List()->entries()->ShowOnly(TEXT(kReading));
    });
}

void KeepSettings() {
    WriteReminderSettings(SettingsShown());
}

// Read anew once the record's window is gone: it holds its table until
// then, and what it changed shows. Its opening returns when it is closed,
// or at once where the toolkit is driven.
void OpenEntry(const QModelIndex& index) {
    const ComingUpEntry* entry = List()->entries()->EntryAt(index.row());
    if (!entry) return;
    const RecordKind& kind = *entry->kind;
    const int record = entry->record;
    const int row = index.row();
    // The record's window opens its table, which a reading may hold.
    Reading().reset();
    OpenRecordKindOn(kind, record);
    if (!ISWINDOWDEFINED(kWindow)) return;
    const auto readAnew = [row] {
        if (!ListShown()) return;
        FillList(row);
        List()->setFocus();
    };
    auto* recordWindow = qobject_cast<kesp::FormWindow*>(QApplication::activeModalWidget());
    if (recordWindow && recordWindow->name() != kWindow) {
        QObject::connect(recordWindow, &kesp::FormWindow::closed, List(),
                         [readAnew] { kesp::RunAction(readAnew); });
        return;
    }
    readAnew();
}

void OPENKOMMEND() {
    KESP_OPERATION();
    const ReminderSettings settings = ReadReminderSettings();
    SETPROPERTY(kWindow, kDaysBox, "value", settings.days);
    SETPROPERTY(kWindow, kAtStartBox, "value", settings.openAtStart);
    // Offered where an install wrote the autostart entry.
    const std::optional<bool> atLogin = RemindersAtLogin();
    SETPROPERTY(kWindow, kAtLoginBox, "value", atLogin.value_or(false));
    SETPROPERTY(kWindow, kAtLoginBox, "enabled", atLogin.has_value());
    auto* login =
        qobject_cast<QCheckBox*>(kesp::FormWindowNamed(kWindow)->control(kAtLoginBox)->widget());
    QObject::connect(login, &QCheckBox::toggled, login, [](bool on) {
        if (!SetRemindersAtLogin(on)) MSGEXCLAMATION(TEXT(kAtLoginNotWritten), THE_APP_NAME);
    });
    ComingUpList* list = List();
    list->setAccessibleName(TEXT(kTitle));
    kesp::FormWindowNamed(kWindow)->control(kDaysBox)->widget()->setAccessibleName(TEXT(kDays));
    auto* atStart =
        qobject_cast<QCheckBox*>(kesp::FormWindowNamed(kWindow)->control(kAtStartBox)->widget());
    QObject::connect(atStart, &QCheckBox::toggled, list, [] { kesp::RunAction(KeepSettings); });
    QObject::connect(list, &QAbstractItemView::activated, list, [](const QModelIndex& index) {
        kesp::RunStep(List(), [index] { OpenEntry(index); });
    });
    // The window's end ends its reading (not its deletion, which may come
    // after the next window has begun one).
    QObject::connect(kesp::FormWindowNamed(kWindow), &kesp::FormWindow::closed, list,
                     [] { Reading().reset(); });
    // Said once here: without a notification service the reminders stay in this list.
    SETPROPERTY(kWindow, kStatusLine, "value",
                NotificationServiceAvailable() ? QString() : TEXT(kNoNotifications));
    if (ReadAtStart()) {
        ShowEntries(*std::exchange(ReadAtStart(), std::nullopt), DATE(), -1);
    } else {
        FillList();
    }
    list->setFocus();
}

void DAYS_CHANGED() {
    KESP_OPERATION();
    if (!ListShown()) return;  // still being defined
    KeepSettings();
    FillList();
}

void DefineComingUpWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kTitle),
                                 .row = 100,
                                 .col = 200,
                                 .width = 560,
                                 .height = 520,
                                 .icon = "img/kespico.ico",
                                 .onInit = OPENKOMMEND});
    _DEFINELABEL("Label_1", {.row = 14,
                             .col = 10,
                             .width = 110,
                             .height = 20,
                             .value = TEXT(kDays),
                             .bold = true,
                             .background = Qt::white});
    QStringList days;
    for (int n = 1; n <= 60; ++n)
        days.append(QString::number(n));
    _DEFINECOMBOBOX(kDaysBox, {.row = 12,
                               .col = 125,
                               .width = 60,
                               .height = 22,
                               .items = days,
                               .value = 7,
                               .onChange = DAYS_CHANGED});
    kesp::FormWindow* window = kesp::FormWindowNamed(kWindow);
    auto* list = new ComingUpList(window);
    window->addControl(std::make_unique<kesp::Control>(kList, list));
    kesp::PlaceControl(list, 45, 10, 535, 360);
    _DEFINELABEL(kStatusLine,
                 {.row = 410, .col = 10, .width = 535, .height = 20, .background = Qt::white});
    _DEFINECHECKBOX(kAtStartBox, {.row = 435,
                                  .col = 10,
                                  .width = 535,
                                  .height = 20,
                                  .caption = TEXT(kAtStart),
                                  .background = Qt::white});
    _DEFINECHECKBOX(kAtLoginBox, {.row = 460,
                                  .col = 10,
                                  .width = 535,
                                  .height = 20,
                                  .caption = TEXT(kAtLogin),
                                  .background = Qt::white});
    _ENDWINDOW();
}

}  // namespace

void OPENFORM_KOMMEND() {
    KESP_OPERATION();
    T_CLOSE();
    DefineComingUpWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void OFFER_KOMMEND_AT_START() {
    KESP_OPERATION();
    const ReminderSettings settings = ReadReminderSettings();
    if (!settings.openAtStart) return;
    const QDate today = DATE();
    Reading().reset();
    Reading() = std::make_unique<ComingUpBesideTheLoop>(
        today, settings.days, settings.customDateReminds,
        [today](std::vector<ComingUpEntry> entries) {
            if (!SomethingDueNow(entries, today)) return;
            ReadAtStart() = std::move(entries);
            offerPending = true;
            // Opened once the reading is over; not over a window the user
            // opened meanwhile.
            QTimer::singleShot(0, [] {
                offerPending = false;
                if (kesp::OpenModalWindow() || ISWINDOWDEFINED(kWindow)) {
                    ReadAtStart().reset();
                    return;
                }
                kesp::RunAction(OPENFORM_KOMMEND);
            });
        });
}

bool ComingUpBeingRead() {
    return offerPending || (Reading() && Reading()->running());
}
