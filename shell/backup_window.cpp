#include "shell/backup_window.h"

#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "shell/list_window.h"
#include "shell/snapshot_summaries.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDateTime>
#include <QDir>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

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
const Texts kCounting{"Die Einträge der Sicherungen werden gezählt …",
                      "Counting the records of the backups …",
                      "Contando os registros das cópias …"};
// The counts of a few backups come at once; longer, the line says why they wait.
constexpr int kCountingShownAfterMs = 200;

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

// The counts of the last opening's snapshots, read on a worker thread.
std::unique_ptr<SnapshotSummaries>& Summaries() {
    static std::unique_ptr<SnapshotSummaries> summaries;
    return summaries;
}

QString WhereText() {
    return Shown().isEmpty() ? TEXT(kNone)
                             : TEXT(kWhere).arg(QDir::toNativeSeparators(BackupsFolder()));
}

// A snapshot's line and its applications' lines, once its summary is read.
void ShowSummary(int at, const SnapshotSummary& summary) {
    QTreeWidgetItem* item = List()->topLevelItem(at);
    if (!item) return;
    const QList<const RecordKind*> kinds = KindsWithTablesOfTheirOwn();
    long long total = 0;
    // A damaged backup's header counts mean nothing: it says so instead.
    for (int k = 0; k < kinds.size() && k < summary.counts.size(); ++k) {
        new QTreeWidgetItem(
            item,
            QStringList{KindName(*kinds[k]),
                        summary.damage.isEmpty() ? QString::number(summary.counts[k]) : QString()});
        total += summary.counts[k];
    }
    item->setText(1, summary.damage.isEmpty() ? QString::number(total) : TEXT(kDamaged));
    if (!summary.damage.isEmpty()) item->setToolTip(0, QDir::toNativeSeparators(summary.damage));
}

// The snapshots at once, their counts as the worker reads them; the line
// under the list says so while it takes longer than a moment.
void FillList() {
    Shown() = Snapshots();
    QTreeWidget* list = List();
    list->clear();
    for (int at = 0; at < Shown().size(); ++at) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, TEXT(kMadeAt) + QLatin1Char(' ') + WhenText(Shown()[at].madeAt));
        item->setText(1, QStringLiteral("…"));
        item->setData(0, kSnapshotRole, at);
    }
    if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    SETPROPERTY(kWindow, kWhereLine, "value", WhereText());
    // A restore waits for the counts: the worker reads the very tables it checks.
    SETPROPERTY(kWindow, kRestoreButton, "enabled", false);
    auto* counting = new QTimer(list);
    counting->setSingleShot(true);
    QObject::connect(counting, &QTimer::timeout, list,
                     [] { SETPROPERTY(kWindow, kWhereLine, "value", TEXT(kCounting)); });
    counting->start(kCountingShownAfterMs);
    Summaries() = std::make_unique<SnapshotSummaries>(Shown(), list, ShowSummary, [counting] {
        counting->stop();
        SETPROPERTY(kWindow, kWhereLine, "value", WhereText());
        SETPROPERTY(kWindow, kRestoreButton, "enabled", !Shown().isEmpty());
        Summaries().reset();
    });
    // Closing the window cancels what is left to count.
    QObject::connect(list, &QObject::destroyed, [] { Summaries().reset(); });
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

bool BACKUP_COUNTS_COMING() {
    return Summaries() != nullptr;
}

void OPENFORM_SICHERUNG() {
    KESP_OPERATION();
    T_CLOSE();
    DefineBackupWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}
