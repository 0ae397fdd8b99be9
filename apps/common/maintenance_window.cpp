#include "apps/common/maintenance_window.h"

#include "apps/common/trash_tables.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QHash>

namespace {

const QString kCutOffPicker = QStringLiteral("DatePicker_2");
const QString kUndoButton = QStringLiteral("Button_31");
const QString kCountLine = QStringLiteral("Label_15");

const QColor kWhite{255, 255, 255};

// The texts all three windows share.
const Texts kAfterPicker{"jetzt löschen.", "?", "?"};
const Texts kDeleteButton{"Löschen", "Delete", "Apagar"};
const Texts kCountBefore{"Insgesamt, ", "Total: ", "Total: "};
const Texts kUndo{"Rückgängig", "Undo", "Desfazer"};
const Texts kBack{"%1 Einträge sind zurück.", "%1 records are back.", "%1 registros voltaram."};
const Texts kInUse{"Die Einträge sind noch im Papierkorb: die Tabelle ist gerade in Gebrauch.",
                   "The records are still in the trash: the table is in use just now.",
                   "Os registros ainda estão na lixeira: a tabela está em uso agora."};

}  // namespace

constexpr int kRowEnd = 450;  // right edge of the picker's row inside the frame
constexpr int kPickerWidth = 90;

void BoldLabel(const QString& name, LabelProperties properties) {
    properties.bold = true;
    properties.background = kWhite;
    _DEFINELABEL(name, properties);
}

void UndoRemoval(const MaintenanceWindow& maintenance);

void DefineMaintenanceWindow(const MaintenanceWindow& maintenance) {
    _DEFINEMODALWINDOW(maintenance.window, {.title = TEXT(maintenance.title),
                                            .row = 132,
                                            .col = 235,
                                            .width = 485,
                                            .height = 325,
                                            .background = kWhite,
                                            .icon = maintenance.icon,
                                            .onInit = maintenance.begin});
    _DEFINEFRAME("Frame_3", {.row = 40,
                             .col = 20,
                             .width = 440,
                             .height = 240,
                             .caption = TEXT(maintenance.frame),
                             .bold = true,
                             .background = kWhite});
    const int pickerCol = maintenance.pickerCol;
    if (maintenance.dateCaption) {
        BoldLabel("Label_11", {.row = 70,
                               .col = pickerCol,
                               .width = kPickerWidth,
                               .height = 20,
                               .value = TEXT(*maintenance.dateCaption),
                               .centerAlign = true});
    }
    BoldLabel("Label_12", {.row = 90,
                           .col = 30,
                           .width = pickerCol - 30,
                           .height = 20,
                           .value = TEXT(maintenance.textBefore),
                           .rightAlign = true});
    _DEFINEDATEPICKER(kCutOffPicker,
                      {.row = 90, .col = pickerCol, .width = kPickerWidth, .height = 20});
    const int afterCol = pickerCol + kPickerWidth + 10;
    BoldLabel("Label_13", {.row = 90,
                           .col = afterCol,
                           .width = kRowEnd - afterCol,
                           .height = 20,
                           .value = TEXT(kAfterPicker)});
    BoldLabel("Label_14", {.row = 130,
                           .col = 30,
                           .width = 420,
                           .height = maintenance.twoLineWarning ? 50 : 30,
                           .value = TEXT(maintenance.warning),
                           .centerAlign = !maintenance.twoLineWarning});
    _DEFINEBUTTON("Button_30", {.row = maintenance.buttonRow,
                                .col = maintenance.buttonCol,
                                .width = 100,
                                .height = 28,
                                .caption = TEXT(kDeleteButton),
                                .action = maintenance.remove,
                                .flat = true});
    // The last removal of this opening, back from the trash in one step.
    _DEFINEBUTTON(kUndoButton, {.row = maintenance.buttonRow,
                                .col = maintenance.buttonCol + 110,
                                .width = 100,
                                .height = 28,
                                .caption = TEXT(kUndo),
                                .action = [&maintenance] { UndoRemoval(maintenance); },
                                .flat = true});
    DEFINEKEY(maintenance.window, "", "Ctrl+Z", [&maintenance] { UndoRemoval(maintenance); });
    BoldLabel(kCountLine, {.row = 240, .col = 30, .width = 420, .height = 20, .centerAlign = true});
    _ENDWINDOW();
}

void ShowCount(const MaintenanceWindow& maintenance, int count) {
    SETPROPERTY(maintenance.window, kCountLine, "value",
                TEXT(kCountBefore) + QString::number(count) + TEXT(maintenance.countAfter));
}

void OpenMaintenanceTable(const MaintenanceWindow& maintenance) {
    DBUSEAREA(false, THE_DATA_PATH + maintenance.table, maintenance.alias);
}

// An empty date stands for "no date": no day lies after it, so a record
// without a date is never old, and an emptied picker makes nothing old.
bool IsBefore(const QDate& date, const QDate& cutOff) {
    return date.isValid() && cutOff.isValid() && date < cutOff;
}

// The pack of each window's last removal, while it can be taken back.
QHash<QString, QString>& RemovalToUndo() {
    static QHash<QString, QString> packs;
    return packs;
}

void UndoRemoval(const MaintenanceWindow& maintenance) {
    const QString pack = RemovalToUndo().take(maintenance.window);
    if (pack.isEmpty()) return;
    SETPROPERTY(maintenance.window, kUndoButton, "enabled", false);
    T_CLOSE();
    const int back = RestorePack(maintenance.table, pack);
    OpenMaintenanceTable(maintenance);
    ShowCount(maintenance, LIVECOUNT());
    T_CLOSE();
    if (back < 0) {
        MSGEXCLAMATION(TEXT(kInUse), THE_APP_NAME);
    } else {
        MSGBOX(TEXT(kBack).arg(back), THE_APP_NAME);
    }

}  // namespace

void OpenMaintenanceWindow(const MaintenanceWindow& maintenance) {
    T_CLOSE();
    DefineMaintenanceWindow(maintenance);
    DOMETHOD(maintenance.window, "Center");
    _ACTIVATEWINDOW(maintenance.window);
}

void BeginMaintenance(const MaintenanceWindow& maintenance) {
    SETPROPERTY(maintenance.window, kCutOffPicker, "value", DATE().addDays(-7));
    OpenMaintenanceTable(maintenance);
    __DBPACK();
    DBGOTOP();
    const int count = LIVECOUNT();
    ShowCount(maintenance, count);
    RemovalToUndo().remove(maintenance.window);
    SETPROPERTY(maintenance.window, kUndoButton, "enabled", false);
    T_CLOSE();
}

void RemoveRecordsBeforeCutOff(const MaintenanceWindow& maintenance) {
    const QDate cutOff = GETPROPERTY(maintenance.window, kCutOffPicker, "value").toDate();
    OpenMaintenanceTable(maintenance);
    const int before = LIVECOUNT();
    const QString dateField = maintenance.alias + "->" + maintenance.dateField;
    DBEVAL([] { DBDELETE(); }, [&] { return IsBefore(FIELD(dateField).toDate(), cutOff); });
    __DBPACK();
    const int after = LIVECOUNT();
    ShowCount(maintenance, after);
    if (after < before) {
        RemovalToUndo().insert(maintenance.window, LastPackOf(maintenance.table));
        SETPROPERTY(maintenance.window, kUndoButton, "enabled", true);
    }
    T_CLOSE();
    MSGEXCLAMATION(TEXT(maintenance.removed).arg(before - after), THE_APP_NAME);
}
