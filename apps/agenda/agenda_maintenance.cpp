#include "apps/agenda/agenda_maintenance.h"

#include "apps/agenda/agenda_views.h"
#include "apps/common/maintenance_window.h"
#include "toolkit/operation_trail.h"

namespace {

const MaintenanceWindow& AgendaMaintenance() {
    static const MaintenanceWindow maintenance{
        .window = "agenda_del",
        .table = kAgendaTable,
        .alias = "agenda",
        .dateField = "DATUM",
        .icon = "img/agenda.ico",
        .pickerCol = 250,
        .buttonRow = 186,
        .buttonCol = 188,
        .title = {"Agenda - Verwaltung", "Appointment - Administration", "Agenda - Administração"},
        .frame = {"Termine löschen", "Delete appointments", "Apagar compromissos"},
        .textBefore = {"Alle Termine vor ", "Delete appointments older then ",
                       "Apagar compromissos anteriores a "},
        .warning = {"Achtung, Termine werden ohne Nachfrage gelöscht!",
                    "Attention: appointments are deleted without confirmation!",
                    "Atenção, os compromissos serão apagados imediatamente."},
        .countAfter = {" Termine in der Datenbank.", " appointment(s) in the database.",
                       " compromisso(s) no banco de dados."},
        .removed = {"%1 Termin(e) wurde(n) gelöscht", "Deleted: %1 appointment(s)",
                    "%1 compromisso(s) foram apagados"},
        .begin = BEGIN_AG_FRM,
        .remove = DEL_TERMINE_AG_FRM};
    return maintenance;
}

}  // namespace

void OPEN_AG_VERW() {
    KESP_OPERATION();
    OpenMaintenanceWindow(AgendaMaintenance());
}

void BEGIN_AG_FRM() {
    KESP_OPERATION();
    BeginMaintenance(AgendaMaintenance());
}

void DEL_TERMINE_AG_FRM() {
    KESP_OPERATION();
    RemoveRecordsBeforeCutOff(AgendaMaintenance());
}
