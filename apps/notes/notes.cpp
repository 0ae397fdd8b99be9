// The notes: their description and their named operations, each a step of
// the shared record window.
#include "apps/notes/notes.h"

#include "apps/common/list_panel_window.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "toolkit/operation_trail.h"

namespace {

const Texts kTitleCaption{"Titel", "Title", "Título"};

// In the order the fields are written and exported.
FieldRows NoteRows() {
    return {
        CreatedDateRow({"ERSTELLT", "CREATED", "CRIADO"}),
        {.control = "Text_3",
         .field = "N_TITEL",
         .at = {190, 340, 330},
         .inputLimit = 50,
         .captionLabel = "Label_7",
         .captionAt = {170, 340, 330},
         .caption = kTitleCaption,
         .exportHeader = {"TITEL", "TITLE", "TITULO"}},
        {.control = "Edit_1",
         .field = "N_TEXT",
         .kind = FieldKind::Memo,
         .at = {260, 340, 330, 130},
         .captionLabel = "Label_8",
         .captionAt = {240, 340, 330},
         .caption = {"Notiz", "Note", "Lembrete"},
         .exportHeader = {"NOTIZ", "NOTES", "LEMBRETE"}},
        // The reminder day stays as it was when a new note is started.
        {.control = "DatePicker_1",
         .field = "DATUM",
         .kind = FieldKind::Date,
         .at = {120, 430, 120},
         .captionLabel = "Label_6",
         .captionAt = {100, 430, 120},
         .caption = {"Erinnern am", "Remember", "Lembrar em"},
         .onNew = OnNew::Keep,
         .exportHeader = {"DATUM", "DATE", "DATA"}},
    };
}

RecordWindow DescribeNotes() {
    RecordWindow notes = DescribeListPanelWindow();
    notes.window = "notiz_frm";
    notes.title = {"Notiz", "Notes", "Lembrete"};
    notes.icon = "img/notiz.ico";
    notes.frames[0].caption = notes.title;
    notes.table = "notiz.dbf";
    notes.alias = "notiz";
    notes.indexes = {{"iN_TITEL", KeyForm::Upper, "N_TITEL"},
                     {"indatumc", KeyForm::DateText, "DATUM"},
                     {"indatum", KeyForm::Descending, "DATUM"}};
    notes.normalOrder = "indatum";
    notes.fields = NoteRows();
    notes.list.columns = {{.field = "DATUM", .width = 80}, {.field = "N_TITEL", .width = 320}};
    notes.searches = {{.box = "suche_datum",
                       .at = {60, 20, 80, 20},
                       .inputLimit = 10,
                       .captionLabel = "Label_2",
                       .captionAt = {40, 20, 90, 20},
                       .caption = {"Datum", "Date", "Data"},
                       .index = "indatumc",
                       .run = SUCHE_NOTIZ_DATUM},
                      {.box = "suche_titel",
                       .at = {60, 106, 214, 21},
                       .inputLimit = 50,
                       .captionLabel = "Label_3",
                       .captionAt = {40, 110, 210, 20},
                       .caption = kTitleCaption,
                       .index = "iN_TITEL",
                       .run = SUCHE_NOTIZ_TITEL}};
    notes.resultLine.hint = {"Suche nach Datum oder Titel", "Search: Date and Title",
                             "Procurar em Data e Título"};
    notes.required = {
        .control = "Text_3",
        .onSaveNew = {{"Mindestens Titel eingeben", "Title cannot be empty.", "Insira um Título."}},
        .onSave = {{"Mindestens Titel eingeben", "Title cannot be empty", "Entre com um Título"}}};
    notes.deleteQuestion = {
        .field = "N_TITEL",
        .wording = {.after = {" löschen?", " delete notes?", " apagar este lembrete?"}}};
    notes.exportFile.fileName = {"Notiz.csv", "Notes.csv", "Lembrete.csv"};
    notes.exportFile.createdMessage = {"Notiz.csv wurde erstellt.", "File Notes.csv created.",
                                       "Arquivo Lembrete.csv foi criado."};
    notes.actions = {.open = OPENNOTIZ,
                     .fill = NOTIZ_AKTUALISIEREN,
                     .first = T_FIRST_NOTIZ_P,
                     .previous = T_PREV_NOTIZ_P,
                     .next = T_NEXT_NOTIZ_P,
                     .last = T_LAST_NOTIZ_P,
                     .newRecord = T_NEW_NOTIZ_P,
                     .deleteRecord = T_DELETE_NOTIZ_P,
                     .exportCsv = EXPORT_CSV_NOTIZ_P,
                     .save = T_SAVE_NOTIZ_P,
                     .saveNew = T_SAVENEW_NOTIZ_P,
                     .cancel = T_CANCEL_NOTIZ_P};
    return notes;
}

}  // namespace

const RecordWindow& Notes() {
    static const RecordWindow notes = DescribeNotes();
    return notes;
}

void OPENFORM_NOTIZ() {
    KESP_OPERATION();
    ShowRecordWindow(Notes());
}

void OPENNOTIZ() {
    KESP_OPERATION();
    OpenRecordWindow(Notes());
}

void NOTIZ_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(Notes());
}

void T_FIRST_NOTIZ_P() {
    KESP_OPERATION();
    GoFirstRecord(Notes());
}

void T_PREV_NOTIZ_P() {
    KESP_OPERATION();
    GoPreviousRecord(Notes());
}

void T_NEXT_NOTIZ_P() {
    KESP_OPERATION();
    GoNextRecord(Notes());
}

void T_LAST_NOTIZ_P() {
    KESP_OPERATION();
    GoLastRecord(Notes());
}

void T_NEW_NOTIZ_P() {
    KESP_OPERATION();
    EnterNewRecord(Notes());
}

void T_CANCEL_NOTIZ_P() {
    KESP_OPERATION();
    CancelNewRecord(Notes());
}

void T_SAVENEW_NOTIZ_P() {
    KESP_OPERATION();
    SaveNewRecord(Notes());
}

void T_SAVE_NOTIZ_P() {
    KESP_OPERATION();
    SaveCurrentRecord(Notes());
}

void T_DELETE_NOTIZ_P() {
    KESP_OPERATION();
    DeleteCurrentRecord(Notes());
}

void SUCHE_NOTIZ_DATUM() {
    KESP_OPERATION();
    QuickSearchRecords(Notes(), "suche_datum");
}

void SUCHE_NOTIZ_TITEL() {
    KESP_OPERATION();
    QuickSearchRecords(Notes(), "suche_titel");
}

void EXPORT_CSV_NOTIZ_P() {
    KESP_OPERATION();
    ExportVisibleRecords(Notes());
}

const RecordKind& NotesKind() {
    static const RecordKind kind{
        .id = "notes",
        .table = Notes().table,
        .memoFile = MemoFileOf(Notes().table),
        .name = {"Notizen", "Notes", "Lembretes"},
        .picture = "img/notiz.bmp",
        .open = OPENFORM_NOTIZ,
        .nameTemplate = "{N_TITEL}",
        .searchFields = {"N_TITEL", "N_TEXT"},
        .dates = {{.field = "DATUM", .meaning = DateMeaning::Reminder}},
        .statistics = {{.status = {"Notizen [heute] wird aktualisiert", "Update notes [today]",
                                   "Lembretes [Hoje] estão sendo atualizados"},
                        .suffix = {" Notizen [heute]", " Notes [today]", " Lembretes [Hoje]"},
                        .today = DateMeaning::Reminder}}};
    return kind;
}
