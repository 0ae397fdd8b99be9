#include "shell/sync_schedule.h"

#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/address_sync.h"
#include "shell/keyring.h"
#include "shell/server_account.h"
#include "shell/server_window.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDateTime>
#include <QEventLoop>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

#include <optional>

namespace {

const QString kServerButton = QStringLiteral("Button_38");
const QString kSyncButton = QStringLiteral("Button_39");
const QString kStatusLine = QStringLiteral("Label_40");
constexpr int kCloseWaitMs = 10000;

const Texts kServer{"Serverkonto…", "Server…", "Servidor…"};
const Texts kSyncNow{"Jetzt abgleichen", "Sync now", "Sincronizar agora"};
const Texts kSyncing{"Abgleich läuft…", "Syncing…", "Sincronizando…"};
const Texts kSynced{"Abgeglichen: %1", "Synced: %1", "Sincronizado: %1"};
const Texts kNoServer{"Kein Server eingerichtet", "No server set up",
                      "Nenhum servidor configurado"};

struct Schedule {
    BackgroundSync sync;
    QTimer timer;
    std::optional<QString> password;
    QString lastTold;  // the problem last told in a message
};

Schedule& TheSchedule() {
    static Schedule* schedule = new Schedule;  // lives until the process ends
    return *schedule;
}

void ShowStatus(const QString& text) {
    if (ISWINDOWDEFINED("haupt")) SETPROPERTY("haupt", kStatusLine, "value", text);
}

QString StatusOf(const ServerAccount& account) {
    if (account.server.isEmpty()) return TEXT(kNoServer);
    if (account.lastSync.isEmpty()) return {};
    // Kept as "yyyy-MM-dd HH:mm", shown in the user's date format.
    const QDateTime when =
        QDateTime::fromString(account.lastSync, QStringLiteral("yyyy-MM-dd HH:mm"));
    QString text = TEXT(kSynced).arg(when.isValid() ? DTOC(when.date()) +
                                                          when.toString(QStringLiteral(" HH:mm"))
                                                    : account.lastSync);
    if (!account.lastProblem.isEmpty())
        text += QStringLiteral(" – ") + account.lastProblem.section(u'\r', 0, 0);
    return text;
}

std::optional<QString> Password(const ServerAccount& account) {
    Schedule& schedule = TheSchedule();
    if (schedule.password) return schedule.password;
    const KeyringReading keyring = ReadServerPassword(account.server, account.user);
    if (keyring.answer == KeyringAnswer::Found) return keyring.password;
    bool given = false;
    const QString typed = QInputDialog::getText(
        nullptr, THE_APP_NAME,
        TEXT({"Kennwort für %1 auf %2 (es wird nur bis zum Beenden behalten):",
              "Password of %1 on %2 (kept only until the program closes):",
              "Senha de %1 em %2 (guardada só até o programa ser fechado):"})
            .arg(account.user, account.server.host()),
        QLineEdit::Password, {}, &given);
    if (!given) return std::nullopt;
    schedule.password = typed;
    return typed;
}

void Finished(const SyncRun& run) {
    Schedule& schedule = TheSchedule();
    const ServerAccount account = ReadServerAccount();
    ShowStatus(StatusOf(account));
    if (ISWINDOWDEFINED("haupt")) SETPROPERTY("haupt", kSyncButton, "enabled", true);
    // The counts of the main window follow what the sync brought.
    if (run.changedHere > 0 && ISWINDOWDEFINED("haupt")) HAUPT_STATISTIK();
    // Told once: the same problem at the next syncs stays in the status line.
    if (!run.problem.isEmpty() && run.problem != schedule.lastTold && ISWINDOWDEFINED("haupt"))
        MSGEXCLAMATION(run.summary.join(u'\r') + u'\r' + run.problem, THE_APP_NAME);
    schedule.lastTold = run.problem;
}

void Restart(const ServerAccount& account) {
    Schedule& schedule = TheSchedule();
    schedule.timer.stop();
    if (!account.server.isEmpty() && account.minutes > 0)
        schedule.timer.start(account.minutes * 60 * 1000);
}

}  // namespace

void DefineSyncControls() {
    _DEFINEBUTTON(kServerButton, {.row = 680,
                                  .col = 20,
                                  .width = 90,
                                  .height = 22,
                                  .caption = TEXT(kServer),
                                  .action = OPENFORM_SERVER,
                                  .font = {"Arial", 9},
                                  .bold = true,
                                  .flat = true});
    _DEFINEBUTTON(kSyncButton, {.row = 680,
                                .col = 115,
                                .width = 130,
                                .height = 22,
                                .caption = TEXT(kSyncNow),
                                .action = SYNC_NOW,
                                .font = {"Arial", 9},
                                .bold = true,
                                .flat = true});
    _DEFINELABEL(kStatusLine, {.row = 684,
                               .col = 250,
                               .width = 310,
                               .height = 15,
                               .value = StatusOf(ReadServerAccount()),
                               .font = {"Arial", 8},
                               .fontColor = Qt::white,
                               .transparent = true});
}

void SetSyncTexts() {
    SETPROPERTY("haupt", kServerButton, "caption", TEXT(kServer));
    SETPROPERTY("haupt", kSyncButton, "caption", TEXT(kSyncNow));
    ShowStatus(StatusOf(ReadServerAccount()));
}

void START_SYNC_SCHEDULE() {
    KESP_OPERATION();
    Schedule& schedule = TheSchedule();
    static const bool connected = [&schedule] {
        QObject::connect(&schedule.sync, &BackgroundSync::finished, &Finished);
        QObject::connect(&schedule.timer, &QTimer::timeout, [] { kesp::RunAction(SYNC_NOW); });
        return true;
    }();
    (void)connected;
    const ServerAccount account = ReadServerAccount();
    Restart(account);
    if (!account.server.isEmpty()) SYNC_NOW();
}

void SYNC_NOW() {
    KESP_OPERATION();
    const ServerAccount account = ReadServerAccount();
    if (account.server.isEmpty()) {
        OPENFORM_SERVER();
        return;
    }
    Restart(account);
    if (TheSchedule().sync.running()) return;
    const std::optional<QString> password = Password(account);
    if (!password) return;
    if (!TheSchedule().sync.start(*password)) return;
    ShowStatus(TEXT(kSyncing));
    if (ISWINDOWDEFINED("haupt")) SETPROPERTY("haupt", kSyncButton, "enabled", false);
}

void SYNC_AT_CLOSE() {
    KESP_OPERATION();
    Schedule& schedule = TheSchedule();
    schedule.timer.stop();
    const ServerAccount account = ReadServerAccount();
    if (account.server.isEmpty()) return;
    if (!schedule.sync.running()) {
        // The keyring is asked only when the run has no password of its own:
        // closing does not wait on it without need, and never asks the user.
        std::optional<QString> password = schedule.password;
        if (!password) {
            const KeyringReading keyring = ReadServerPassword(account.server, account.user);
            if (keyring.answer == KeyringAnswer::Found) password = keyring.password;
        }
        if (!password || !schedule.sync.start(*password)) return;
    }
    QEventLoop loop;
    QObject::connect(&schedule.sync, &BackgroundSync::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(kCloseWaitMs, &loop, &QEventLoop::quit);
    if (schedule.sync.running()) loop.exec();
}

void KeepPasswordForThisRun(const QString& password) {
    TheSchedule().password = password;
}
