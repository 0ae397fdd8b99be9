#include "shell/coming_up_window.h"

#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/coming_up.h"
#include "shell/desktop_notifications.h"
#include "shell/login_reminders.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>

#include <memory>

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

constexpr int kRecordRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole + 1;

// Enter opens the entry; the toolkit's window closes on Escape itself.
class EntryList : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
            emit itemActivated(currentItem());
            return;
        }
        QListWidget::keyPressEvent(event);
    }
};

EntryList* List() {
    return static_cast<EntryList*>(kesp::FormWindowNamed(kWindow)->control(kList)->widget());
}

// The own application's date is switched in its naming window.
ReminderSettings SettingsShown() {
    ReminderSettings settings = ReadReminderSettings();
    settings.days = GETPROPERTY(kWindow, kDaysBox, "value").toInt();
    settings.openAtStart = GETPROPERTY(kWindow, kAtStartBox, "value").toBool();
    return settings;
}

void FillList() {
    const ReminderSettings settings = SettingsShown();
    const QDate today = DATE();
    EntryList* list = List();
    list->clear();
    QString heading;
    for (const ComingUpEntry& entry : ComingUp(today, settings.days, settings.customDateReminds)) {
        const QString entryHeading = DayHeading(entry, today);
        if (entryHeading != heading) {
            auto* item = new QListWidgetItem(heading = entryHeading, list);
            QFont bold = list->font();
            bold.setBold(true);
            item->setFont(bold);
            item->setFlags(Qt::NoItemFlags);
            item->setForeground(entry.overdue ? QColor(255, 0, 0) : QColor(Qt::black));
            item->setBackground(QColor(228, 236, 246));
        }
        QString text = QStringLiteral("   ");
        if (entry.overdue) text += DTOC(entry.day) + QLatin1Char(' ');
        if (!entry.time.isEmpty()) text += entry.time + QLatin1Char(' ');
        text += entry.text + QStringLiteral("   (") + KindName(*entry.kind) + QLatin1Char(')');
        auto* item = new QListWidgetItem(text, list);
        item->setData(kRecordRole, entry.record);
        item->setData(kKindRole, entry.kind->id);
        if (entry.overdue) item->setForeground(QColor(255, 0, 0));
    }
    if (list->count() == 0) new QListWidgetItem(TEXT(kNothing), list);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->flags() & Qt::ItemIsSelectable) {
            list->setCurrentRow(row);
            break;
        }
    }
}

void KeepSettings() {
    WriteReminderSettings(SettingsShown());
}

void OpenEntry(QListWidgetItem* item) {
    if (!item || !item->data(kRecordRole).isValid()) return;
    const int row = List()->row(item);
    OpenRecordKindOn(RecordKindNamed(item->data(kKindRole).toString()),
                     item->data(kRecordRole).toInt());
    if (!ISWINDOWDEFINED(kWindow)) return;
    FillList();  // what the window changed shows at once
    List()->setCurrentRow(std::min(row, List()->count() - 1));
    List()->setFocus();
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
    EntryList* list = List();
    list->setAccessibleName(TEXT(kTitle));
    kesp::FormWindowNamed(kWindow)->control(kDaysBox)->widget()->setAccessibleName(TEXT(kDays));
    auto* atStart =
        qobject_cast<QCheckBox*>(kesp::FormWindowNamed(kWindow)->control(kAtStartBox)->widget());
    QObject::connect(atStart, &QCheckBox::toggled, list, [] { kesp::RunAction(KeepSettings); });
    QObject::connect(list, &QListWidget::itemActivated, list,
                     [](QListWidgetItem* item) { kesp::RunAction([item] { OpenEntry(item); }); });
    // Said once here: without a notification service the reminders stay in this list.
    SETPROPERTY(kWindow, kStatusLine, "value",
                NotificationServiceAvailable() ? QString() : TEXT(kNoNotifications));
    FillList();
    list->setFocus();
}

void DAYS_CHANGED() {
    KESP_OPERATION();
    if (!kesp::FindFormWindow(kWindow) || !kesp::FormWindowNamed(kWindow)->findControl(kList))
        return;  // still being defined
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
    auto* list = new EntryList(window);
    list->setUniformItemSizes(true);
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
    if (!SomethingDueNow(ComingUp(DATE(), settings.days, settings.customDateReminds), DATE()))
        return;
    OPENFORM_KOMMEND();
}
