#include "shell/backup_window.h"

#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "shell/list_window.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDateTime>
#include <QDir>
#include <QTreeWidget>

namespace {

const QString kWindow = QStringLiteral("sicherung");
const QString kWhereLine = QStringLiteral("Label_1");
const QString kRestoreButton = QStringLiteral("Button_1");

const Texts kTitle{"Sicherung wiederherstellen", "Restore backup", "Restaurar cópia"};
const Texts kMadeAt{"Sicherung vom", "Backup of", "Cópia de"};
const Texts kRecords{"Einträge", "Records", "Registros"};
const Texts kRestore{"Wiederherstellen", "Restore", "Restaurar"};
const Texts kWhere{"Die Sicherungen liegen in %1", "The backups are kept in %1",
                   "As cópias ficam em %1"};
const Texts kNone{"Noch keine Sicherung: sie entsteht beim Beenden des Programms.",
                  "No backup yet: one is made when the program closes.",
                  "Ainda não há cópia: ela é feita ao fechar o programa."};
const Texts kAsk{
    "Die Daten durch die Sicherung vom %1 ersetzen?\rDer jetzige Stand wird vorher "
    "gesichert und kann ebenso zurückgeholt werden.",
    "Replace the data with the backup of %1?\rThe present state is backed up first "
    "and can be brought back the same way.",
    "Substituir os dados pela cópia de %1?\rO estado atual é copiado antes e pode "
    "ser recuperado da mesma forma."};
const Texts kDamaged{"beschädigt", "damaged", "danificada"};

constexpr int kSnapshotRole = Qt::UserRole;

QList<Snapshot>& Shown() {
    static QList<Snapshot> snapshots;
    return snapshots;
}

QTreeWidget* List() {
    return ListOf(kWindow);
}

QString WhenText(const QDateTime& when) {
    return DTOC(when.date()) + when.toString(QStringLiteral(" HH:mm:ss"));
}

void FillList() {
    Shown() = Snapshots();
    QTreeWidget* list = List();
    list->clear();
    for (int at = 0; at < Shown().size(); ++at) {
        long long total = 0;
        auto* item = new QTreeWidgetItem(list);
        // A damaged backup's header counts mean nothing: it says so instead.
        const QString damage = SnapshotDamage(Shown()[at]);
        for (const auto& [application, count] : SnapshotCounts(Shown()[at])) {
            new QTreeWidgetItem(
                item,
                QStringList{application, damage.isEmpty() ? QString::number(count) : QString()});
            total += count;
        }
        item->setText(0, TEXT(kMadeAt) + QLatin1Char(' ') + WhenText(Shown()[at].madeAt));
        item->setText(1, damage.isEmpty() ? QString::number(total) : TEXT(kDamaged));
        if (!damage.isEmpty()) item->setToolTip(0, QDir::toNativeSeparators(damage));
        item->setData(0, kSnapshotRole, at);
    }
    if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    SETPROPERTY(kWindow, kWhereLine, "value",
                Shown().isEmpty() ? TEXT(kNone)
                                  : TEXT(kWhere).arg(QDir::toNativeSeparators(BackupsFolder())));
    SETPROPERTY(kWindow, kRestoreButton, "enabled", !Shown().isEmpty());
}

void RESTORE_CHOSEN() {
    KESP_OPERATION();
    QTreeWidgetItem* item = List()->currentItem();
    if (!item) return;
    while (item->parent())
        item = item->parent();
    const Snapshot snapshot = Shown().value(item->data(0, kSnapshotRole).toInt());
    // A damaged backup is refused before the question, not after it.
    const QString refusal = SnapshotRefusal(snapshot);
    if (!refusal.isEmpty()) {
        MSGEXCLAMATION(refusal, THE_APP_NAME);
        List()->setFocus();
        return;
    }
    if (!MSGYESNO(TEXT(kAsk).arg(WhenText(snapshot.madeAt)), THE_APP_NAME)) return;
    T_CLOSE();
    QString reason;
    if (RestoreSnapshot(snapshot, QDateTime::currentDateTime(), &reason)) {
        MSGBOX(SnapshotRestoredText(snapshot), THE_APP_NAME);
    } else {
        MSGEXCLAMATION(reason, THE_APP_NAME);
    }
    if (ISWINDOWDEFINED("haupt")) HAUPT_STATISTIK();
    FillList();
    List()->setFocus();
}

void OPENSICHERUNG() {
    KESP_OPERATION();
    FillList();
    List()->setFocus();
}

// Defined anew at every opening, in the language in force.
void DefineBackupWindow() {
    DefineListWindow(
        {.window = kWindow,
         .title = kTitle,
         .width = 520,
         .height = 455,
         .onInit = OPENSICHERUNG,
         .headers = {TEXT(kMadeAt), TEXT(kRecords)},
         .sectionWidths = {360},
         .line = kWhereLine,
         .lineRow = 355,
         .buttonRow = 390,
         .buttons = {{.name = kRestoreButton, .caption = kRestore, .action = RESTORE_CHOSEN},
                     {.name = "Button_2"}}});
}

}  // namespace

void OPENFORM_SICHERUNG() {
    KESP_OPERATION();
    T_CLOSE();
    DefineBackupWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}
