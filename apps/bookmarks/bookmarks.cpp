// The internet bookmarks: their description and their named operations, each
// a step of the shared record window.
#include "apps/bookmarks/bookmarks.h"

#include "apps/common/list_panel_window.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "toolkit/operation_trail.h"

namespace {

const Texts kCategoryCaption{"Kategorie", "Category", "Categoria"};
const Texts kTitleCaption{"Titel", "Title", "Título"};

// In the order the fields are written and exported.
FieldRows BookmarkRows() {
    return {
        CreatedDateRow({"ERSTELLT", "CREATED", "CRIADO EM"}),
        {.control = "Text_2",
         .field = "KATEG",
         .at = {120, 430, 240},
         .inputLimit = 30,
         .captionLabel = "Label_6",
         .captionAt = {100, 430, 240},
         .caption = kCategoryCaption,
         .exportHeader = {"KATEGORIE", "CATEGORY", "CATEGORIA"}},
        {.control = "Text_3",
         .field = "N_TITEL",
         .at = {180, 340, 330},
         .inputLimit = 250,
         .captionLabel = "Label_7",
         .captionAt = {160, 340, 330},
         .caption = kTitleCaption,
         .exportHeader = {"TITEL", "TITLE", "TITULO"}},
        {.control = "Text_4",
         .field = "N_HYPER",
         .at = {240, 340, 330},
         .inputLimit = 250,
         .captionLabel = "Label_8",
         .captionAt = {220, 340, 330},
         .caption = {"www Adresse (Hyperlink)", "Address www (Hyperlink)",
                     "Endereço www (Hyperlink)"},
         .exportHeader = {"HYPERLINK", "HYPERLINK", "HYPERLINK"}},
        {.control = "Edit_1",
         .field = "N_KOM",
         .kind = FieldKind::Memo,
         .at = {300, 340, 330, 100},
         .captionLabel = "Label_1",
         .captionAt = {280, 340, 330},
         .caption = {"Kommentar", "Commentary", "Comentário"},
         .exportHeader = {"KOMMENTAR", "COMMENTARY", "COMENTARIO"}},
    };
}

RecordWindow DescribeBookmarks() {
    RecordWindow bookmarks = DescribeListPanelWindow();
    bookmarks.window = "internet_frm";
    bookmarks.definitionTitle = "Internet Bookmarks";
    bookmarks.title = {"Internet - Bookmarks", "Internet - Bookmarks", "Internet - Bookmarks"};
    bookmarks.icon = "img/hyper.ico";
    bookmarks.frames[0].caption = {"Bookmark", "Bookmark", "Bookmark"};
    bookmarks.table = "internet.dbf";
    bookmarks.alias = "internet";
    bookmarks.indexes = {{"i_TIT", KeyForm::Upper, "N_TITEL"}, {"i_kat", KeyForm::Upper, "KATEG"}};
    bookmarks.normalOrder = "i_TIT";
    bookmarks.fields = BookmarkRows();
    // The headers are German in every language.
    bookmarks.list.columns = {
        {.field = "KATEG", .header = {"Kategorie", "Kategorie", "Kategorie"}, .width = 100},
        {.field = "N_TITEL", .header = {"Titel", "Titel", "Titel"}, .width = 190}};
    bookmarks.list.onOpen = OPEN_INTERNET_LINK;
    bookmarks.list.menu = {
        {{"Im Browser öffnen", "Open in browser", "Abrir no navegador"}, OPEN_INTERNET_LINK},
        {{"Alle als Browser-Lesezeichen exportieren", "Export all as browser bookmarks",
          "Exportar todos como favoritos do navegador"},
         EXPORT_HTML_INTERNET_P},
        {{"Browser-Lesezeichen importieren", "Import browser bookmarks",
          "Importar favoritos do navegador"},
         IMPORT_HTML_INTERNET_P}};
    bookmarks.searches = {{.box = "suche_kateg",
                           .at = {60, 20, 100, 20},
                           .inputLimit = 10,
                           .captionLabel = "Label_2",
                           .captionAt = {40, 20, 110, 20},
                           .caption = kCategoryCaption,
                           .index = "i_kat",
                           .run = SUCHE_INTERNET_KATEG},
                          {.box = "suche_titel",
                           .at = {60, 130, 190, 21},
                           .inputLimit = 50,
                           .captionLabel = "Label_3",
                           .captionAt = {40, 130, 190, 20},
                           .caption = kTitleCaption,
                           .index = "i_TIT",
                           .run = SUCHE_INTERNET_TITEL}};
    bookmarks.resultLine.hint = {"Suche nach Kategorie oder Titel", "Search: category and title",
                                 "Procurar em categoria ou título"};
    const Wording addressMissing{
        {"Mindestens Hyperlink eingeben", "Hyperlink cannot be empty", "Entre com um Hyperlink"}};
    bookmarks.required = {
        .control = "Text_4", .onSaveNew = addressMissing, .onSave = addressMissing};
    bookmarks.deleteQuestion = {
        .field = "N_HYPER",
        .wording = {.before = {"", "Delete: ", "Apagar: "}, .after = {" löschen?", " ?", " ?"}}};
    bookmarks.exportFile.fileName = {"Bookmarks.csv", "Bookmarks.csv", "Bookmarks.csv"};
    bookmarks.exportFile.createdMessage = {"Bookmarks.csv wurde erstellt.",
                                           "File Bookmarks.csv created.",
                                           "Arquivo Bookmarks.csv foi criado."};
    bookmarks.actions = {.open = OPENINTERNET,
                         .fill = INTERNET_AKTUALISIEREN,
                         .first = T_FIRST_INTERNET_P,
                         .previous = T_PREV_INTERNET_P,
                         .next = T_NEXT_INTERNET_P,
                         .last = T_LAST_INTERNET_P,
                         .newRecord = T_NEW_INTERNET_P,
                         .deleteRecord = T_DELETE_INTERNET_P,
                         .exportCsv = EXPORT_CSV_INTERNET_P,
                         .save = T_SAVE_INTERNET_P,
                         .saveNew = T_SAVENEW_INTERNET_P,
                         .cancel = T_CANCEL_INTERNET_P};
    return bookmarks;
}

}  // namespace

const RecordWindow& Bookmarks() {
    static const RecordWindow bookmarks = DescribeBookmarks();
    return bookmarks;
}

void OPENFORM_INTERNET() {
    KESP_OPERATION();
    ShowRecordWindow(Bookmarks());
}

void OPENINTERNET() {
    KESP_OPERATION();
    OpenRecordWindow(Bookmarks());
}

void INTERNET_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(Bookmarks());
}

void T_FIRST_INTERNET_P() {
    KESP_OPERATION();
    GoFirstRecord(Bookmarks());
}

void T_PREV_INTERNET_P() {
    KESP_OPERATION();
    GoPreviousRecord(Bookmarks());
}

void T_NEXT_INTERNET_P() {
    KESP_OPERATION();
    GoNextRecord(Bookmarks());
}

void T_LAST_INTERNET_P() {
    KESP_OPERATION();
    GoLastRecord(Bookmarks());
}

void T_NEW_INTERNET_P() {
    KESP_OPERATION();
    EnterNewRecord(Bookmarks());
}

void T_CANCEL_INTERNET_P() {
    KESP_OPERATION();
    CancelNewRecord(Bookmarks());
}

void T_SAVENEW_INTERNET_P() {
    KESP_OPERATION();
    SaveNewRecord(Bookmarks());
}

void T_SAVE_INTERNET_P() {
    KESP_OPERATION();
    SaveCurrentRecord(Bookmarks());
}

void T_DELETE_INTERNET_P() {
    KESP_OPERATION();
    DeleteCurrentRecord(Bookmarks());
}

void SUCHE_INTERNET_KATEG() {
    KESP_OPERATION();
    QuickSearchRecords(Bookmarks(), "suche_kateg");
}

void SUCHE_INTERNET_TITEL() {
    KESP_OPERATION();
    QuickSearchRecords(Bookmarks(), "suche_titel");
}

void EXPORT_CSV_INTERNET_P() {
    KESP_OPERATION();
    ExportVisibleRecords(Bookmarks());
}

const RecordKind& BookmarksKind() {
    static const RecordKind kind{
        .id = "bookmarks",
        .table = Bookmarks().table,
        .memoFile = MemoFileOf(Bookmarks().table),
        .name = {"Internet Bookmarks", "Internet Bookmarks", "Internet Bookmarks"},
        .picture = "img/hyper.bmp",
        .open = OPENFORM_INTERNET,
        .nameTemplate = "{N_TITEL}",
        .searchFields = {"N_TITEL", "KATEG", "N_HYPER", "N_KOM"},
        .statistics = {{.status = {"[Bookmarks] wird aktualisiert", "Update [bookmarks]",
                                   "[Bookmarks] estão sendo atualizados"},
                        .suffix = {" [Bookmarks]", " [bookmarks]", " [Bookmarks]"}}}};
    return kind;
}
