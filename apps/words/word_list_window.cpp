// The window woerter_frm: the status line and progress bar on top, the two
// lookup boxes with their buttons, the list of pairs, and beside it the edit
// frame of the selected pair and the add frame of a new pair; its texts in
// the three languages.
#include "apps/common/window_texts.h"
#include "apps/words/word_list_operations.h"
#include "toolkit/forms.h"

namespace {

constexpr char kWindow[] = "woerter_frm";
const QColor kWhite{255, 255, 255};
const QColor kGreen{0, 255, 0};
constexpr int kWordLength = 50;

void WordLabel(const QString& name, int row, int col, int width, const QString& text) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = text,
                        .font = {"Arial", 9},
                        .bold = true,
                        .background = kWhite});
}

void WordBox(const QString& name, int row, int col, int width, int height, int maxLength = 0) {
    _DEFINETEXTBOX(name, {.row = row,
                          .col = col,
                          .width = width,
                          .height = height,
                          .font = {"Arial", 9},
                          .maxLength = maxLength});
}

void PictureButton(const QString& name, int row, int col, int width, const QString& picture,
                   const Action& action, const QString& tooltip = {}) {
    _DEFINEIMAGEBUTTON(name, {.row = row,
                              .col = col,
                              .width = width,
                              .height = 24,
                              .picture = picture,
                              .action = action,
                              .tooltip = tooltip});
}

void WordFrame(const QString& name, int row, const QString& caption) {
    _DEFINEFRAME(name, {.row = row,
                        .col = 450,
                        .width = 230,
                        .height = 170,
                        .caption = caption,
                        .font = {"Arial", 9},
                        .bold = true,
                        .background = kWhite});
}

const QList<ControlText>& WordListTexts() {
    static const QList<ControlText> texts = {
        {"",
         "",
         0,
         {"Wörterbuch [deutsch] <--> [englisch]", "Dictionary [german] <--> [english]",
          "Dicionário [alemão] <--> [ingles]"}},
        {"Label_17", "value", 0, {"Eingabe auf deutsch", "German", "Alemão"}},
        {"Label_18", "value", 0, {"suchen", "search", "procurar"}},
        {"Label_21", "value", 0, {"suchen", "search", "procurar"}},
        {"Label_20", "value", 0, {"Eingabe auf englisch", "English", "Ingles"}},
        {"Frame_4", "caption", 0, {"Bearbeiten", "Edit", "Editar"}},
        {"Frame_5", "caption", 0, {"Hinzufügen", "Insert", "Inserir"}},
        {"Label_13", "value", 0, {"Deutsch", "German", "Alemão"}},
        {"Label_15", "value", 0, {"Deutsch", "German", "Alemão"}},
        {"Browse_2", "header", 1, {"Deutsch", "German", "Alemão"}},
        {"Label_14", "value", 0, {"Englisch", "English", "Ingles"}},
        {"Label_16", "value", 0, {"Englisch", "English", "Ingles"}},
        {"Browse_2", "header", 2, {"Englisch", "English", "Ingles"}},
        {"Button_5", "tooltip", 0, {"Speichern", "Save", "Salvar"}},
        {"Button_7", "tooltip", 0, {"Speichern", "Save", "Salvar"}},
        {"Button_6", "tooltip", 0, {"Datensatz löschen", "Delete", "Apagar"}},
    };
    return texts;
}

}  // namespace

void DefineWordListWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = "Wörterbuch [deutsch] <--> [englisch]",
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

    WordLabel("Label_17", 50, 10, 140, "Eingabe auf deutsch");
    WordBox("Text_12", 70, 10, 140, 24);
    WordLabel("Label_18", 50, 150, 60, "suchen");
    PictureButton("Button_3", 70, 150, 60, "img/page_find.bmp", SUCHE_DE_1);
    WordLabel("Label_19", 50, 210, 10, "");
    WordLabel("Label_20", 50, 220, 160, "Eingabe auf englisch");
    WordBox("Text_13", 70, 220, 160, 24);
    WordLabel("Label_21", 50, 380, 60, "suchen");
    PictureButton("Button_4", 70, 380, 60, "img/page_find.bmp", SUCHE_EN_2);

    _DEFINEBROWSE("Browse_2", {.row = 100,
                               .col = 10,
                               .width = 430,
                               .height = 310,
                               .headers = {"Deutsch", "Englisch"},
                               .widths = {210, 200},
                               .fields = {"eng1->de", "eng1->en"},
                               .workArea = "eng1",
                               .value = 0,
                               .font = {"Arial", 9},
                               .onChange = WOERTER_AKT});

    WordFrame("Frame_4", 60, "Bearbeiten");
    WordLabel("Label_13", 90, 460, 210, "Deutsch");
    WordBox("Text_14", 110, 460, 210, 20, kWordLength);
    WordLabel("Label_14", 140, 460, 210, "Englisch");
    WordBox("Text_15", 160, 460, 210, 20, kWordLength);
    PictureButton("Button_5", 190, 460, 100, "img/save.bmp", T_SAVE_WOERTER, "Speichern");
    PictureButton("Button_6", 190, 570, 100, "img/del.bmp", T_DELETE_WOERTER, "Datensatz löschen");

    WordFrame("Frame_5", 240, "Hinzufügen");
    WordLabel("Label_15", 270, 460, 210, "Deutsch");
    WordBox("Text_16", 290, 460, 210, 20, kWordLength);
    WordLabel("Label_16", 320, 460, 210, "Englisch");
    WordBox("Text_17", 340, 460, 210, 20, kWordLength);
    PictureButton("Button_7", 370, 460, 100, "img/save.bmp", T_SAVENEW_WOERTER, "Speichern");
    _ENDWINDOW();
}

void SetWordListTexts() {
    SetWindowTexts(kWindow, WordListTexts());
}
