#include "apps/notes/notes_maintenance.h"

#include "apps/common/maintenance_window.h"
#include "apps/notes/notes.h"
#include "toolkit/operation_trail.h"

namespace {

const MaintenanceWindow& NotesMaintenance() {
    static const MaintenanceWindow maintenance{
        .window = "notiz_del",
        .table = Notes().table,
        .alias = Notes().alias,
        .dateField = "DATUM",
        .icon = "img/notiz.ico",
        .pickerCol = 270,
        .buttonRow = 190,
        .buttonCol = 180,
        .title = {"Notiz - Verwaltung", "Notes - Administration", "Lembretes - Administração"},
        .frame = {"Notizen löschen", "Delete notes", "Apagar lembretes"},
        .textBefore = {"Alle Notizen vor ", "Delete notes older then ",
                       "Apagar lembretes anteriores a "},
        .warning = {"Achtung, Notizen werden ohne Nachfrage gelöscht!",
                    "Attention: notes are deleted without confirmation!",
                    "Atenção, os lembretes serão apagados imediatamente."},
        .countAfter = {" Notiz(en) in der Datenbank.", " notes in the database.",
                       " lembrete(s) no banco de dados."},
        .removed = {"%1 Notiz(en) wurde(n) gelöscht", "Deleted: %1 record(s)",
                    "%1 lembrete(s) foram apagado(s)"},
        .begin = BEGIN_NOTIZ_FRM,
        .remove = DEL_NOTIZE_AG_FRM};
    return maintenance;
}

}  // namespace

void OPEN_NOTIZ_VERW() {
    KESP_OPERATION();
    OpenMaintenanceWindow(NotesMaintenance());
}

void BEGIN_NOTIZ_FRM() {
    KESP_OPERATION();
    BeginMaintenance(NotesMaintenance());
}

void DEL_NOTIZE_AG_FRM() {
    KESP_OPERATION();
    RemoveRecordsBeforeCutOff(NotesMaintenance());
}
