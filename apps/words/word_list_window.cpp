// The window woerter_frm: the status line and progress bar on top, the two
// lookup boxes with their buttons, the list of pairs, and beside it the edit
// frame of the selected pair and the add frame of a new pair; each control
// with its texts in the three languages.
#include "apps/common/field_rows.h"
#include "apps/common/record_steps.h"
#include "apps/words/learn_marks.h"
#include "apps/words/word_list_frames.h"
#include "apps/words/word_list_operations.h"
#include "apps/words/word_list_texts.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"

namespace {

constexpr char kWindow[] = "woerter_frm";
const QColor kWhite{255, 255, 255};
const QColor kGreen{0, 255, 0};
constexpr int kWordLength = 50;
const Texts kGerman{"Deutsch", "German", "Alemão"};
const Texts kEnglish{"Englisch", "English", "Ingles"};
const Texts kSearch{"suchen", "search", "procurar"};
const Texts kSave{"Speichern", "Save", "Salvar"};
const QString kMark = QStringLiteral("★");

// A word of a frame: its caption label above a text box of 50 characters.
FieldRow Word(const QString& label, const QString& box, const QString& field, int row,
              const Texts& caption) {
    return {.control = box,
            .field = field,
            .at = {row + 20, 460, 210, 20},
            .inputLimit = kWordLength,
            .captionLabel = label,
            .captionAt = {row, 460, 210, 20},
            .caption = caption};
}

void WordLabel(const QString& name, int row, int col, int width, const Texts& text = {}) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = TEXT(text),
                        .font = {"Arial", 9},
                        .bold = true,
                        .background = kWhite});
}

// Enter in the box runs its search, as the search button beside it does.
void LookupBox(const QString& name, int col, int width, const Action& search) {
    _DEFINETEXTBOX(name, {.row = 70, .col = col, .width = width, .height = 24, .onEnter = search});
}

void PictureButton(const QString& name, int row, int col, int width, const QString& picture,
                   const Action& action, const Texts& tooltip = {}) {
    _DEFINEIMAGEBUTTON(name, {.row = row,
                              .col = col,
                              .width = width,
                              .height = 24,
                              .picture = picture,
                              .action = action,
                              .tooltip = TEXT(tooltip)});
}

void WordFrame(const QString& name, int row, const Texts& caption) {
    _DEFINEFRAME(name, {.row = row,
                        .col = 450,
                        .width = 230,
                        .height = 170,
                        .caption = TEXT(caption),
                        .font = {"Arial", 9},
                        .bold = true,
                        .background = kWhite});
}

}  // namespace

const FieldRows& EditFrameRows() {
    static const FieldRows rows = {Word("Label_13", "Text_14", "De", 90, kGerman),
                                   Word("Label_14", "Text_15", "En", 140, kEnglish)};
    return rows;
}

const FieldRows& AddFrameRows() {
    static const FieldRows rows = {Word("Label_15", "Text_16", "De", 270, kGerman),
                                   Word("Label_16", "Text_17", "En", 320, kEnglish)};
    return rows;
}

void DefineWordListWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT({"Wörterbuch [deutsch] <--> [englisch]",
                                                "Dictionary [german] <--> [english]",
                                                "Dicionário [alemão] <--> [ingles]"}),
                                 .width = 700,
                                 .height = 450,
                                 .background = kWhite,
                                 .icon = "img/woerter.ico",
                                 .onInit = OPENWOERTER});
    _DEFINELABEL("Label_12", {.row = 10,
                              .col = 10,
                              .width = 430,
                              .height = 40,
                              .font = {"Arial", 12},
                              .bold = true,
                              .background = kWhite});
    _DEFINEPROGRESSBAR("ProgressBar_1", {.row = 10,
                                         .col = 450,
                                         .width = 230,
                                         .height = 30,
                                         .rangeMin = 1,
                                         .rangeMax = 100,
                                         .background = kWhite,
                                         .barColor = kGreen});

    WordLabel("Label_17", 50, 10, 140, {"Eingabe auf deutsch", "German", "Alemão"});
    LookupBox("Text_12", 10, 140, SUCHE_DE_1);
    WordLabel("Label_18", 50, 150, 60, kSearch);
    PictureButton("Button_3", 70, 150, 60, "img/page_find.bmp", SUCHE_DE_1);
    WordLabel("Label_19", 50, 210, 10);
    WordLabel("Label_20", 50, 220, 160, {"Eingabe auf englisch", "English", "Ingles"});
    LookupBox("Text_13", 220, 160, SUCHE_EN_2);
    WordLabel("Label_21", 50, 380, 60, kSearch);
    PictureButton("Button_4", 70, 380, 60, "img/page_find.bmp", SUCHE_EN_2);

    _DEFINEBROWSE("Browse_2",
                  {.row = 100,
                   .col = 10,
                   .width = 430,
                   .height = 310,
                   .headers = {TEXT(kGerman), TEXT(kEnglish), TEXT(word_texts::kLearnColumn)},
                   .widths = {180, 170, 60},
                   .fields = {"eng1->de", "eng1->en"},
                   .workArea = "eng1",
                   .value = 0,
                   .font = {"Arial", 9},
                   .onChange = WOERTER_AKT,
                   .menu = {MenuEntry{UndoCaption(), T_UNDO_WOERTER, WordDeletionToUndo},
                            MenuEntry{TEXT(word_texts::kMarkToLearn) + QStringLiteral("\tCtrl+L"),
                                      T_LEARN_WOERTER, [] { return LearnMarkOnSelected() == 0; }},
                            MenuEntry{TEXT(word_texts::kUnmarkToLearn) + QStringLiteral("\tCtrl+L"),
                                      T_LEARN_WOERTER, [] { return LearnMarkOnSelected() == 1; }},
                            MenuEntry{TEXT(word_texts::kExportToLearn) + QStringLiteral("\tCtrl+E"),
                                      EXPORT_LEARN_WOERTER}},
                   .rowCells = [](QStringList cells) {
                       return cells << (MarkedToLearn(PairOfRecord()) ? kMark : QString());
                   }});
    DEFINEKEY(kWindow, "Browse_2", "Ctrl+Z", T_UNDO_WOERTER);
    DEFINEKEY(kWindow, "Browse_2", "Ctrl+L", T_LEARN_WOERTER);
    DEFINEKEY(kWindow, {}, "Ctrl+E", EXPORT_LEARN_WOERTER);

    // Offered when a lookup finds nothing; Enter looks up the one chosen.
    _DEFINELABEL("Label_22", {.row = 300,
                              .col = 10,
                              .width = 430,
                              .height = 20,
                              .value = TEXT(word_texts::kDidYouMean),
                              .font = {"Arial", 9},
                              .bold = true,
                              .background = QColor(255, 255, 225)});
    _DEFINELISTBOX("List_1",
                   {.row = 320, .col = 10, .width = 430, .height = 90, .font = {"Arial", 9}});
    DEFINEKEY(kWindow, "List_1", "Return", SUGGESTION_WOERTER);
    DEFINEKEY(kWindow, "List_1", "Enter", SUGGESTION_WOERTER);

    WordFrame("Frame_4", 60, {"Bearbeiten", "Edit", "Editar"});
    DefineFieldControls(EditFrameRows(), 0);
    PictureButton("Button_5", 190, 460, 100, "img/save.bmp", T_SAVE_WOERTER, kSave);
    PictureButton("Button_6", 190, 570, 100, "img/del.bmp", T_DELETE_WOERTER,
                  {"Datensatz löschen", "Delete", "Apagar"});

    WordFrame("Frame_5", 240, {"Hinzufügen", "Insert", "Inserir"});
    DefineFieldControls(AddFrameRows(), 0);
    PictureButton("Button_7", 370, 460, 100, "img/save.bmp", T_SAVENEW_WOERTER, kSave);
    _ENDWINDOW();
}

void SetWordListTexts() {
    SetFieldCaptions(kWindow, EditFrameRows(), {});
    SetFieldCaptions(kWindow, AddFrameRows(), {});
    ShowSuggestions({});
}

void ShowSuggestions(const QStringList& suggestions) {
    DOMETHOD(kWindow, "List_1", "DeleteAllItems");
    for (const QString& suggestion : suggestions)
        DOMETHOD(kWindow, "List_1", "AddItem", suggestion);
    if (!suggestions.isEmpty()) SETPROPERTY(kWindow, "List_1", "value", 1);
    SETPROPERTY(kWindow, "Label_22", "value", TEXT(word_texts::kDidYouMean));
    SETPROPERTY(kWindow, "Label_22", "visible", !suggestions.isEmpty());
    SETPROPERTY(kWindow, "List_1", "visible", !suggestions.isEmpty());
}

void ShowSuggestionsComing() {
    DOMETHOD(kWindow, "List_1", "DeleteAllItems");
    SETPROPERTY(kWindow, "Label_22", "value", TEXT(word_texts::kSuggestionsComing));
    SETPROPERTY(kWindow, "Label_22", "visible", true);
    SETPROPERTY(kWindow, "List_1", "visible", false);
}
