// The projects: their description and their named operations, each a step of
// the shared record window.
#include "apps/projects/projects.h"

#include "apps/common/list_panel_window.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "apps/projects/project_sync.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

namespace {

const Texts kProjectsName{"Projekte", "Projects", "Projetos"};

const Texts kDueCaption{"Fertig bis", "Ready until", "Pronto até"};
const Texts kTitleCaption{"Titel", "Title", "Título"};

// In the order the fields are exported.
FieldRows ProjectRows() {
    return {
        CreatedDateRow({"ERSTELLT", "CREDATED", "CRIADO"}),
        {.control = "DatePicker_1",
         .field = "DATUMA",
         .kind = FieldKind::Date,
         .at = {120, 430, 120},
         .captionLabel = "Label_6",
         .captionAt = {100, 430, 130},
         .caption = {"Beginnt am", "Start", "Início em"},
         .onNew = OnNew::Today,
         .exportHeader = {"BEGINNT_AM", "START", "INICIO"}},
        {.control = "DatePicker_2",
         .field = "DATUME",
         .kind = FieldKind::Date,
         .at = {120, 560, 110},
         .captionLabel = "Label_9",
         .captionAt = {100, 560, 110},
         .caption = kDueCaption,
         .onNew = OnNew::Today,
         .exportHeader = {"FERTIG_BIS", "READY UNTIL", "PRONTO ATE"}},
        {.control = "Text_3",
         .field = "N_TITEL",
         .at = {170, 340, 330},
         .inputLimit = 50,
         .captionLabel = "Label_7",
         .captionAt = {150, 340, 330},
         .caption = kTitleCaption,
         .exportHeader = {"TITEL", "TITLE", "TITULO"}},
        {.control = "Edit_2",
         .field = "N_TEIL",
         .kind = FieldKind::Memo,
         .at = {220, 340, 330, 50},
         .captionLabel = "Label_10",
         .captionAt = {200, 340, 330},
         .caption = {"Teilnehmern", "Participants", "Participantes"},
         .exportHeader = {"TEILNEHMERN", "PARTICIPANTS", "PARTICIPANTES"}},
        {.control = "Edit_1",
         .field = "N_TEXT",
         .kind = FieldKind::Memo,
         .at = {300, 340, 330, 100},
         .captionLabel = "Label_8",
         .captionAt = {280, 340, 330},
         .caption = {"Projektbeschreibung", "Project description", "Descrição do projeto"},
         .exportHeader = {"PROJEKT", "PROJECT", "PROJETO"}},
        {.control = "Check_1",
         .field = "FERTIG",
         .kind = FieldKind::Logical,
         .at = {60, 340, 80, 24},
         .caption = {"Erledigt", "Ready", "Pronto"},
         .bold = true,
         .exportHeader = {"ERLEDIGT", "READY", "PRONTO"}},
    };
}

bool IsDone() {
    return FIELD("projekt->FERTIG").toBool();
}

// Open, and due before today; a project without a due date is never overdue.
QColor OverdueColour() {
    const QDate due = FIELD("projekt->DATUME").toDate();
    const bool overdue = !IsDone() && due.isValid() && due < DATE();
    return overdue ? QColor(255, 0, 0) : QColor();
}

void DefineFilterButtons() {
    _DEFINEBUTTON("Button_34", {.row = 80,
                                .col = 150,
                                .width = 70,
                                .height = 20,
                                .caption = "erledigt",
                                .action = SUCHE_PROJEKT_FERTIG,
                                .flat = true});
    _DEFINEBUTTON("Button_33", {.row = 80,
                                .col = 230,
                                .width = 90,
                                .height = 20,
                                .caption = "nicht erledigt",
                                .action = SUCHE_PROJEKT_OFFEN,
                                .flat = true});
}

RecordWindow DescribeProjects() {
    RecordWindow projects = DescribeListPanelWindow();
    projects.window = "projekt_frm";
    projects.title = kProjectsName;
    projects.icon = "img/besprech.ico";
    projects.frames[0].caption = {"Projekt", "Project", "Projeto"};
    projects.table = "projekt.dbf";
    projects.alias = "projekt";
    projects.indexes = {{"iN_TITELP", KeyForm::Upper, "N_TITEL"},
                        {"indatumac", KeyForm::DateValue, "DATUME"},
                        {"indatuma", KeyForm::Descending, "DATUMA"}};
    projects.normalOrder = "indatumac";
    projects.fields = ProjectRows();
    projects.list.columns = {{.field = "DATUME", .width = 80}, {.field = "N_TITEL", .width = 320}};
    projects.list.rowColour = OverdueColour;
    projects.searches = {{.box = "suche_datum",
                          .at = {60, 20, 80, 20},
                          .inputLimit = 10,
                          .captionLabel = "Label_2",
                          .captionAt = {40, 20, 90, 20},
                          .caption = kDueCaption,
                          .index = "indatumac",
                          .run = SUCHE_PROJEKT_DATUM},
                         {.box = "suche_titel",
                          .at = {60, 106, 214, 21},
                          .inputLimit = 50,
                          .captionLabel = "Label_3",
                          .captionAt = {40, 110, 210, 20},
                          .caption = kTitleCaption,
                          .index = "iN_TITELP",
                          .run = SUCHE_PROJEKT_TITEL}};
    projects.resultLine.at = {80, 20, 130, 20};
    projects.resultLine.hint = {"Suche", "Search", "Procura"};
    projects.texts = {{"Button_34", "caption", 0, {"erledigt", "ready", "pronto"}},
                      {"Button_33", "caption", 0, {"nicht erledigt", "not ready", "em andamento"}}};
    projects.defineOwnControls = DefineFilterButtons;
    const Wording titleMissing{
        {"Mindestens Titel eingeben", "Title cannot be empty", "Insira um título"}};
    projects.required = {.control = "Text_3", .onSaveNew = titleMissing, .onSave = titleMissing};
    projects.deleteQuestion = {
        .field = "N_TITEL",
        .wording = {.before = {"", "Delete: ", "Apagar: "}, .after = {" löschen?", " ?", " ?"}}};
    projects.exportFile.fileName = {"Projekt.csv", "Project.csv", "Projeto.csv"};
    projects.exportFile.createdMessage = {"Projekt.csv wurde erstellt.", "Project.csv created.",
                                          "Arquivo Projeto.csv foi gerado."};
    projects.actions = {.open = OPENPROJEKT,
                        .fill = PROJEKT_AKTUALISIEREN,
                        .first = T_FIRST_PROJEKT_P,
                        .previous = T_PREV_PROJEKT_P,
                        .next = T_NEXT_PROJEKT_P,
                        .last = T_LAST_PROJEKT_P,
                        .newRecord = T_NEW_PROJEKT_P,
                        .deleteRecord = T_DELETE_PROJEKT_P,
                        .exportCsv = EXPORT_CSV_PROJEKT_P,
                        .save = T_SAVE_PROJEKT_P,
                        .saveNew = T_SAVENEW_PROJEKT_P,
                        .cancel = T_CANCEL_PROJEKT_P};
    return projects;
}

}  // namespace

const RecordWindow& Projects() {
    static const RecordWindow projects = DescribeProjects();
    return projects;
}

void OPENFORM_PROJEKT() {
    KESP_OPERATION();
    ShowRecordWindow(Projects());
}

void OPENPROJEKT() {
    KESP_OPERATION();
    OpenRecordWindow(Projects());
}

void PROJEKT_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(Projects());
}

void T_FIRST_PROJEKT_P() {
    KESP_OPERATION();
    GoFirstRecord(Projects());
}

void T_PREV_PROJEKT_P() {
    KESP_OPERATION();
    GoPreviousRecord(Projects());
}

void T_NEXT_PROJEKT_P() {
    KESP_OPERATION();
    GoNextRecord(Projects());
}

void T_LAST_PROJEKT_P() {
    KESP_OPERATION();
    GoLastRecord(Projects());
}

void T_NEW_PROJEKT_P() {
    KESP_OPERATION();
    EnterNewRecord(Projects());
}

void T_CANCEL_PROJEKT_P() {
    KESP_OPERATION();
    CancelNewRecord(Projects());
}

void T_SAVENEW_PROJEKT_P() {
    KESP_OPERATION();
    SaveNewRecord(Projects());
}

void T_SAVE_PROJEKT_P() {
    KESP_OPERATION();
    SaveCurrentRecord(Projects());
}

void T_DELETE_PROJEKT_P() {
    KESP_OPERATION();
    DeleteCurrentRecord(Projects());
}

void SUCHE_PROJEKT_DATUM() {
    KESP_OPERATION();
    QuickSearchRecords(Projects(), "suche_datum");
}

void SUCHE_PROJEKT_TITEL() {
    KESP_OPERATION();
    QuickSearchRecords(Projects(), "suche_titel");
}

void SUCHE_PROJEKT_FERTIG() {
    KESP_OPERATION();
    ShowOnlyRecords(Projects(), IsDone, "projekt->FERTIG = .t.");
}

void SUCHE_PROJEKT_OFFEN() {
    KESP_OPERATION();
    ShowOnlyRecords(
        Projects(), [] { return !IsDone(); }, "projekt->FERTIG = .f.");
}

void EXPORT_CSV_PROJEKT_P() {
    KESP_OPERATION();
    ExportVisibleRecords(Projects());
}

const RecordKind& ProjectsKind() {
    static const RecordKind kind{
        .id = "projects",
        .table = Projects().table,
        .otherTables = {kProjectsSyncLinksTable},
        .memoFile = MemoFileOf(Projects().table),
        .name = kProjectsName,
        .picture = "img/besprech.bmp",
        .open = OPENFORM_PROJEKT,
        .nameTemplate = "{N_TITEL}",
        .searchFields = {"N_TITEL", "N_TEIL", "N_TEXT"},
        .dates = {{.field = "DATUME", .meaning = DateMeaning::Due, .doneField = "FERTIG"}},
        .statistics = {{.status = {"Projekte [heute fertig] wird aktualisiert",
                                   "Update projects [deadline today]",
                                   "Projetos [Prontos p/ hoje] estão sendo atualizados"},
                        .suffix = {" Projekte [heute fertig]", " Projects [deadline today]",
                                   " Projetos [Prontos p/ hoje]"},
                        .today = DateMeaning::Due}}};
    return kind;
}
