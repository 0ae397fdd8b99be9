// Tips and tricks: their description and their named operations. Most are a
// step of the shared record window, working on the table shown (the
// collection, or the search results in its place); the word search, the
// searched part and the result view's Save new, Save and Delete are the
// tips' own (tip_search.h, tip_views.h).
#include "apps/tips/tips.h"

#include "apps/common/form_controls.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "apps/common/search_colours.h"
#include "apps/tips/tip_search.h"
#include "apps/tips/tip_views.h"
#include "kernel/t_close.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

const Texts kDescriptionCaption{"Beschreibung", "Description", "Descrição"};

constexpr char kSearchBox[] = "Text_s";
constexpr char kSearchedPart[] = "RadioGroup_2";
constexpr char kPartName[] = "Label_8";

// The searched part's name (Label_8) and the search hint (Label_2).
struct PartTexts {
    Texts name;
    Texts hint;
};
const PartTexts kTitlePart{{"Titel", "Title", "Título"},
                           {"nach Titel suchen", "search: title", "procurar em título"}};
const PartTexts kDescriptionPart{
    kDescriptionCaption,
    {"nach Beschreibung suchen", "search: description", "procurar em descrição"}};

// Page 1 of the tab, in the order the fields are written and exported.
FieldRows TipRows() {
    return {
        {.control = "Text_7",
         .field = "TITEL",
         .at = {140, 330, 330},
         .inputLimit = 254,
         .captionLabel = "Label_10",
         .captionAt = {120, 330, 330},
         .caption = {"Titel:", "Title:", "Título:"},
         .page = 1,
         .exportHeader = {"TITEL", "TITLE", "Titulo"}},
        {.control = "Edit_3",
         .field = "BEZ",
         .kind = FieldKind::Memo,
         .at = {190, 330, 330, 200},
         .captionLabel = "Label_3",
         .captionAt = {170, 330, 330},
         .caption = kDescriptionCaption,
         .page = 1,
         .exportHeader = {"BESCHREIBUNG", "DESCRIPTION", "Descrição"}},
    };
}

// The search controls beside the searched part's name and the result line.
void DefineSearchControls(int page) {
    if (page != 1) return;
    _DEFINERADIOGROUP(kSearchedPart, {.row = 50,
                                      .col = 330,
                                      .width = 140,
                                      .spacing = 20,
                                      .options = {kTitlePart.name.de, kDescriptionPart.name.de},
                                      .value = 1,
                                      .background = Qt::white,
                                      .onChange = SELECT_WAS_TIPPS});
    // Enter runs the search, as the button beside the box does.
    _DEFINETEXTBOX(kSearchBox,
                   {.row = 60, .col = 10, .width = 250, .height = 20, .onEnter = SUCHE_2_TIPPS});
    PictureButton("Button_1", {60, 270, 40, 20}, "img/find.bmp", SUCHE_2_TIPPS, "Suchen");
}

RecordWindow DescribeTips() {
    RecordWindow tips;
    tips.window = "tipps";
    tips.title = {"Tipps und Tricks", "Tips and tricks", "Macetes"};
    tips.icon = "img/tipps.ico";
    tips.place = {.row = 147, .col = 175, .width = 700, .height = 490, .centred = false};
    tips.table = "Tricks.dbf";
    tips.alias = "Konto_de";
    tips.shownArea = [] { return KOPIERT ? kResultArea : QStringLiteral("a"); };
    tips.indexes = {{"iTITEL", KeyForm::Upper, "TITEL"}};
    tips.normalOrder = "iTITEL";
    tips.fields = TipRows();
    tips.tab = TabControl{.at = {40, 10, 680, 410}, .pages = {tips.title}};
    tips.listPage = 1;
    tips.list.name = "Browse_2";
    tips.list.at = {100, 10, 300, 280};
    tips.list.columns = {{.field = "TITEL", .header = {"Titel", "Title", "Titulo"}, .width = 280}};
    tips.resultLine = {.name = "Label_2",
                       .at = {80, 10, 300, 20},
                       .found = {" gefunden", " found", " encontrado(s)"},
                       .hint = kTitlePart.hint};
    tips.countLine = {
        .name = "Label_1",
        .at = {380, 10, 300, 20},
        .words = {" Tipps in der Datenbank", " tips in the database",
                  " macete(s) no banco de dados"},
        .afterDeletion = {" Tipps & Tricks in der Datenbank.", " Tips & tricks in the database.",
                          " macete(s) no banco de dados."}};
    tips.frames = {{.name = "Frame_1",
                    .at = {35, 320, 160, 65},
                    .caption = {"Suche", "Search", "Procura"},
                    .page = 1,
                    .bold = true},
                   {.name = "Frame_3",
                    .at = {100, 320, 350, 300},
                    .caption = {"Tipp", "Tip", "Macete"},
                    .page = 1,
                    .bold = true}};
    tips.labels = {
        {.name = kPartName, .at = {40, 10, 300, 20}, .text = kTitlePart.name, .page = 1}};
    tips.texts = {{kSearchedPart, "caption", 1, kTitlePart.name},
                  {kSearchedPart, "caption", 2, kDescriptionPart.name},
                  {"Button_1", "tooltip", 0, {"Suchen", "Search", "Procura"}}};
    tips.entryButtons = {.save = "btn_save",
                         .cancel = "btn_cancel",
                         .saveAt = {40, 420, 60, 20},
                         .cancelAt = {40, 520, 60, 20},
                         .savePicture = "img/save.bmp"};
    tips.required = {.control = "Text_7",
                     .onSaveNew = {{"Geben Sie mindestens Titel ein.", "Title is empty.",
                                    "Entre com um título."}},
                     .checkedOnSave = false};
    tips.deleteQuestion = {.field = "TITEL",
                           .wording = {.before = {"Titel: ", "Delete title: ", "Apagar título: "},
                                       .after = {" löschen?", " ?", " ?"}}};
    tips.exportFile.fileName = {"Tipps.csv", "Tips.csv", "Macetes.csv"};
    tips.exportFile.createdMessage = {"Datei Tipps.csv wurde erstellt.", "File Tips.csv created.",
                                      "Arquivo Macetes.csv foi criado."};
    tips.actions = {.open = OPENDB_TIPPS,
                    .fill = TIPPS_AKTUALISIEREN,
                    .first = T_FIRST_TIPPS,
                    .previous = T_PREV_TIPPS,
                    .next = T_NEXT_TIPPS,
                    .last = T_LAST_TIPPS,
                    .newRecord = T_NEW_TIPPS,
                    .deleteRecord = T_DELETE_TIPPS,
                    .exportCsv = EXPORT_TIPPS,
                    .save = T_SAVE_TIPPS,
                    .saveNew = T_SAVENEW_TIPPS,
                    .cancel = T_CANCEL_TIPPS,
                    .release = T_CLOSE};
    tips.defineOwnPageControls = DefineSearchControls;
    return tips;
}

const PartTexts& SearchedPartTexts() {
    return WAS == 1 ? kTitlePart : kDescriptionPart;
}

void ShowResultCount(int found) {
    SETPROPERTY(Tips().window, Tips().resultLine.name, "value",
                QString::number(found) + TEXT(Tips().resultLine.found));
}

// After a deletion: the search box emptied and white, the labels naming the
// searched part again.
void ClearSearch() {
    const QString& window = Tips().window;
    SETPROPERTY(window, kSearchBox, "backcolor", kNoSearch);
    SETPROPERTY(window, kSearchBox, "value", QString());
    SETPROPERTY(window, kPartName, "value", TEXT(SearchedPartTexts().name));
    SETPROPERTY(window, Tips().resultLine.name, "value", TEXT(SearchedPartTexts().hint));
}

}  // namespace

const RecordWindow& Tips() {
    static const RecordWindow tips = DescribeTips();
    return tips;
}

void OPENFORM_TIPPS() {
    KESP_OPERATION();
    WAS = 1;
    KOPIERT = false;
    ShowRecordWindow(Tips());
}

void OPENDB_TIPPS() {
    KESP_OPERATION();
    QDir::setCurrent(THE_DATA_PATH);
    PackResultTable();
    OpenRecordWindow(Tips());
}

void TIPPS_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(Tips());
}

void T_FIRST_TIPPS() {
    KESP_OPERATION();
    GoFirstRecord(Tips());
}

void T_PREV_TIPPS() {
    KESP_OPERATION();
    GoPreviousRecord(Tips());
}

void T_NEXT_TIPPS() {
    KESP_OPERATION();
    GoNextRecord(Tips());
}

void T_LAST_TIPPS() {
    KESP_OPERATION();
    GoLastRecord(Tips());
}

void T_NEW_TIPPS() {
    KESP_OPERATION();
    EnterNewRecord(Tips());
}

void T_CANCEL_TIPPS() {
    KESP_OPERATION();
    CancelNewRecord(Tips());
}

void T_SAVENEW_TIPPS() {
    KESP_OPERATION();
    const RecordWindow& tips = Tips();
    if (!RequiredFieldGiven(tips, tips.required.onSaveNew)) return;
    if (KOPIERT) OpenCollection(tips);  // a new tip ends the result view
    SaveNewRecord(tips);
    ShowResultCount(static_cast<int>(THE_ANZAHL));
    SETPROPERTY(tips.window, kSearchBox, "backcolor", kNoSearch);
}

void T_SAVE_TIPPS() {
    KESP_OPERATION();
    if (KOPIERT) {
        SaveResultAndItsTip(Tips());
    } else {
        SaveCurrentRecord(Tips());
    }
}

void T_DELETE_TIPPS() {
    KESP_OPERATION();
    if (KOPIERT) {
        if (!ConfirmDeletion(Tips())) return;
        DeleteTipOfResult(Tips());
    } else if (!DeleteCurrentRecord(Tips())) {
        return;
    }
    ClearSearch();
    ShowCountAfterDeletion(Tips());
}

void SELECT_WAS_TIPPS() {
    KESP_OPERATION();
    WAS = GETPROPERTY(Tips().window, kSearchedPart, "value").toInt() == 1 ? 1 : 2;
    SETPROPERTY(Tips().window, kPartName, "value", TEXT(SearchedPartTexts().name));
    SETPROPERTY(Tips().window, Tips().resultLine.name, "value", TEXT(SearchedPartTexts().hint));
}

void SUCHE_2_TIPPS() {
    KESP_OPERATION();
    const RecordWindow& tips = Tips();
    SETPROPERTY(tips.window, kSearchBox, "backcolor", kNoSearch);
    T_CLOSE();
    EmptyResultTable();
    OpenCollection(tips);
    int found = static_cast<int>(THE_ANZAHL);
    const QString typed = TrimBlanks(GETPROPERTY(tips.window, kSearchBox, "value").toString());
    CPESQ = UPPER(typed) + " ";
    if (!typed.isEmpty()) {
        const QList<TipCopy> copies =
            TipsContaining(tips.alias, SearchWords(CPESQ),
                           WAS == 1 ? SearchedPart::Title : SearchedPart::Description);
        found = copies.size();
        if (copies.isEmpty()) {
            SETPROPERTY(tips.window, kSearchBox, "backcolor", kSearchMiss);
        } else {
            OpenResults(tips, copies);
            SETPROPERTY(tips.window, kSearchBox, "backcolor", kSearchHit);
        }
    }
    GoFirstRecord(tips);
    ShowResultCount(found);
}

void EXPORT_TIPPS() {
    KESP_OPERATION();
    ExportVisibleRecords(Tips());
}

const RecordKind& TipsKind() {
    static const RecordKind kind{
        .id = "tips",
        .table = Tips().table,
        .otherTables = {kResultTable},
        .memoFile = MemoFileOf(Tips().table),
        .name = {"Tipps und Tricks", "Tips and Tricks", "Macetes"},
        .picture = "img/tipps.bmp",
        .open = OPENFORM_TIPPS,
        .nameTemplate = "{TITEL}",
        .searchFields = {"TITEL", "BEZ"},
        .statistics = {{.status = {"[Tipps und Tricks] wird aktualisiert", "Update [Tips & Tricks]",
                                   "[Macetes] estão sendo atualizados"},
                        .suffix = {" [Tipps und Tricks]", " [Tips and Tricks]", " [Macetes]"}}}};
    return kind;
}
