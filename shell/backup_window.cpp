#include "shell/backup_window.h"

#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/backups.h"
#include "shell/statistics.h"
#include "store/xbase.h"
#include "toolkit/control.h"
#include "toolkit/focus_mark.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDateTime>
#include <QDir>
#include <QHeaderView>
#include <QTreeWidget>

#include <memory>

namespace {

const QString kWindow = QStringLiteral("sicherung");
const QString kList = QStringLiteral("List_1");

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
    return static_cast<QTreeWidget*>(kesp::FormWindowNamed(kWindow)->control(kList)->widget());
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
    SETPROPERTY(kWindow, "Label_1", "value",
                Shown().isEmpty() ? TEXT(kNone)
                                  : TEXT(kWhere).arg(QDir::toNativeSeparators(BackupsFolder())));
    SETPROPERTY(kWindow, "Button_1", "enabled", !Shown().isEmpty());
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
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kTitle),
                                 .row = 100,
                                 .col = 200,
                                 .width = 520,
                                 .height = 455,
                                 .icon = "img/kespico.ico",
                                 .onInit = OPENSICHERUNG});
    kesp::FormWindow* window = kesp::FormWindowNamed(kWindow);
    auto* list = new kesp::FocusMarkedTree(window);
    list->setColumnCount(2);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({TEXT(kMadeAt), TEXT(kRecords)});
    list->setAccessibleName(TEXT(kTitle));
    list->header()->resizeSection(0, 360);
    window->addControl(std::make_unique<kesp::Control>(kList, list));
    kesp::PlaceControl(list, 12, 10, 495, 330);
    _DEFINELABEL("Label_1",
                 {.row = 355, .col = 10, .width = 495, .height = 20, .background = Qt::white});
    _DEFINEBUTTON("Button_1", {.row = 390,
                               .col = 10,
                               .width = 160,
                               .height = 28,
                               .caption = TEXT(kRestore),
                               .action = RESTORE_CHOSEN});
    _DEFINEBUTTON("Button_2", {.row = 390,
                               .col = 385,
                               .width = 120,
                               .height = 28,
                               .caption = TEXT(kCloseCaption),
                               .action = [] { RELEASEWINDOW(kWindow); }});
    _ENDWINDOW();
}

}  // namespace

void OPENFORM_SICHERUNG() {
    KESP_OPERATION();
    T_CLOSE();
    DefineBackupWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}
