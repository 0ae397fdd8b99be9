#include "apps/projects/projects_maintenance.h"

#include "apps/common/maintenance_window.h"
#include "apps/projects/projects.h"
#include "toolkit/operation_trail.h"

namespace {

const MaintenanceWindow& ProjectsMaintenance() {
    static const MaintenanceWindow maintenance{
        .window = "projekt_del",
        .table = Projects().table,
        .alias = Projects().alias,
        .dateField = "DATUME",
        .icon = "img/besprech.ico",
        .pickerCol = 270,
        .buttonRow = 200,
        .buttonCol = 190,
        .twoLineWarning = true,
        .dateCaption = Texts{"(Fertig bis)", "(ready until)", "(pronto até)"},
        .title = {"Projekte - Verwaltung", "Project - Administration", "Projeto - Administração"},
        .frame = {"Projekte löschen", "Delete projects", "Apagar projetos"},
        .textBefore = {"Alle Projekte vor ", "Delete projects older then ",
                       "Apagar projetos anteriores a "},
        .warning = {"Achtung, Projekte werden ohne Nachfrage gelöscht! Auch Projekte die nicht "
                    "als Erledigt markiert wurden werden gelöscht.",
                    "Attention: projects are deleted without confirmation, also projects not "
                    "marked as done!",
                    "Atenção, os projetos serão apagados imediatamente."},
        .countAfter = {" Projekte in der Datenbank.", " project(s) in the database.",
                       " projeto(s) no banco de dados."},
        .removed = {"%1 Projekt(e) wurde(n) gelöscht", "%1 Project(s) deleted",
                    "%1 Projeto(s) foram apagados"},
        .begin = BEGIN_PROJEKT_FRM,
        .remove = DEL_PROJEKTE_AG_FRM};
    return maintenance;
}

}  // namespace

void OPEN_PROJEKT_VERW() {
    KESP_OPERATION();
    OpenMaintenanceWindow(ProjectsMaintenance());
}

void BEGIN_PROJEKT_FRM() {
    KESP_OPERATION();
    BeginMaintenance(ProjectsMaintenance());
}

void DEL_PROJEKTE_AG_FRM() {
    KESP_OPERATION();
    RemoveRecordsBeforeCutOff(ProjectsMaintenance());
}
