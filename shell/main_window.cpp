#include "shell/main_window.h"

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "apps/agenda/agenda_maintenance.h"
#include "apps/biorhythm/biorhythm.h"
#include "apps/birthdays/birthdays.h"
#include "apps/common/window_texts.h"
#include "apps/common/wording.h"
#include "apps/custom/custom_database.h"
#include "apps/notes/notes_maintenance.h"
#include "apps/projects/projects_maintenance.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/backup_window.h"
#include "shell/coming_up_window.h"
#include "shell/everything_panel.h"
#include "shell/help.h"
#include "shell/language.h"
#include "shell/record_kinds.h"
#include "shell/statistics.h"
#include "shell/sync_schedule.h"
#include "shell/system_facts.h"
#include "shell/table_readers.h"
#include "shell/trash_window.h"
#include "toolkit/operation_trail.h"

namespace {

const QColor kWhite{255, 255, 255};
const QColor kBlack{0, 0, 0};
const QColor kOlive{128, 128, 0};
const QColor kGrey{192, 192, 192};

const Texts kOpenForm{"Formular öffnen", "Open form", "Abrir formulário"};
const Texts kNameFreeFields{"Freie Felder benennen", "Set free fields", "Definir campos livres"};
const Texts kAdministration{"Verwalten", "Administration", "Administrar"};

// The texts the definition gave, set again by HAUPT_TEXTE whenever the
// language changes.
WindowWording words;

}  // namespace

const QList<LaunchButton>& LAUNCH_BUTTONS() {
    // The applications' own buttons come from the catalogue; these are the
    // buttons of their further windows.
    static const QList<LaunchButton> buttons = [] {
        QList<LaunchButton> all;
        for (const PlacedKind& placed : PlacedKinds()) {
            all.append({placed.place.launchButton, placed.kind->open});
            all.append({placed.place.pictureButton, placed.kind->open});
        }
        all += QList<LaunchButton>{
            {"Button_7", FREE_ADRESSE_P},         // captions of the private extra fields
            {"Button_3", FREE_ADRESSE_G},         // captions of the business extra fields
            {"Button_8", PRINT_GEB},              // printed birthday list
            {"Button_29", OPEN_AG_VERW},          // agenda maintenance
            {"Button_30", OPEN_NOTIZ_VERW},       // notes maintenance
            {"Button_32", OPEN_PROJEKT_VERW},     // projects maintenance
            {"Button_28", OPENFORM_MYAPPCONFIG},  // the own application's field names
            {"Button_25", OPENBIO},               // biorhythm
            {"Button_35", OPENFORM_KOMMEND},      // the days ahead
            {"Button_36", OPENFORM_PAPIERKORB},   // the trash
            {"Button_37", OPENFORM_SICHERUNG},    // the backups
        };
        return all;
    }();
    return buttons;
}

namespace {

Action LaunchOf(const QString& control) {
    // The window's tables may be being read beside the loop a moment (the
    // days ahead at the start): it opens once they are free.
    for (const LaunchButton& button : LAUNCH_BUTTONS())
        if (button.control == control)
            return [open = button.open] {
                WaitForTableReaders();
                open();
            };
    return {};
}

// A button without a caption of its own (the own application's: the name
// the user gave it) has none kept.
void TextButton(const QString& name, int row, int col, int width, int height, const Texts& caption,
                const Texts& tooltip = kOpenForm) {
    _DEFINEBUTTON(name, {.row = row,
                         .col = col,
                         .width = width,
                         .height = height,
                         .caption = IsBlank(caption) ? QString() : words(name, "Caption", caption),
                         .action = LaunchOf(name),
                         .font = {"Arial", 9},
                         .bold = true,
                         .tooltip = words(name, "ToolTip", tooltip),
                         .flat = true});
}

void PictureButton(const QString& name, int row, int col, const QString& picture) {
    _DEFINEIMAGEBUTTON(name, {.row = row,
                              .col = col,
                              .width = 40,
                              .height = 25,
                              .picture = picture,
                              .action = LaunchOf(name),
                              .tooltip = words(name, "ToolTip", kOpenForm),
                              .flat = true});
}

// An application's launch buttons and the line of its count, where the
// catalogue places them. A name the user gives the application is its text
// button's caption (statistics.cpp): the definition keeps none for it.
void KindButtonsAndCount(const RecordKind& kind, const MainWindowPlace& place) {
    TextButton(place.launchButton, place.row, 100, 150, 25,
               TakesUserName(kind) ? Texts{} : kind.name);
    PictureButton(place.pictureButton, place.row, 40, kind.picture);
    _DEFINELABEL(place.countLabel, {.row = place.row,
                                    .col = 260,
                                    .width = place.countWidth,
                                    .height = place.countHeight,
                                    .font = {"Arial", 8},
                                    .background = kWhite});
}

void GroupFrame(const QString& name, int row, int col, int width, int height,
                const Texts& caption) {
    _DEFINEFRAME(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = height,
                        .caption = words(name, "Caption", caption),
                        .font = {"Arial", 12},
                        .bold = true,
                        .background = kWhite});
}

// A caption of the system-facts panel: bold olive text on black.
void FactCaption(const QString& name, int row, int width, const QString& caption, bool centred,
                 int pointSize = 9) {
    _DEFINELABEL(name, {.row = row,
                        .col = 410,
                        .width = width,
                        .height = 15,
                        .value = caption,
                        .font = {"Arial", pointSize},
                        .bold = true,
                        .background = kBlack,
                        .fontColor = kOlive,
                        .centerAlign = centred,
                        .rightAlign = !centred});
}

void FactValue(const QString& name, int row) {
    _DEFINELABEL(name, {.row = row,
                        .col = 560,
                        .width = 80,
                        .height = 15,
                        .font = {"Arial", 9},
                        .background = LEVEL_COLOUR(Level::Low),
                        .centerAlign = true});
}

void LegendLabel(const QString& name, int col, int width, Level level, const Texts& text) {
    _DEFINELABEL(name, {.row = 570,
                        .col = col,
                        .width = width,
                        .height = 15,
                        .value = words(name, "Value", text),
                        .font = {"Arial", 8},
                        .background = LEVEL_COLOUR(level),
                        .centerAlign = true});
}

void LanguageButton(const QString& name, int col, const QString& picture, const QString& code,
                    const Texts& tooltip) {
    _DEFINEIMAGEBUTTON(name, {.row = 435,
                              .col = col,
                              .width = 40,
                              .height = 25,
                              .picture = picture,
                              .action = [code] { CHANGE_LANG(code); },
                              .tooltip = words(name, "ToolTip", tooltip),
                              .flat = true});
}

}  // namespace

void DEFINE_HAUPT() {
    KESP_OPERATION();
    words.Clear();
    ListenToKindRenames([](const RecordKind& renamed, const QString& name) {
        if (!ISWINDOWDEFINED("haupt")) return;
        for (const PlacedKind& placed : PlacedKinds())
            if (placed.kind->id == renamed.id)
                SETPROPERTY("haupt", placed.place.launchButton, "caption", name);
    });
    _DEFINEWINDOW("haupt", WindowKind::Main,
                  {.title = "Varnel Kesp 2.0 - multi language",
                   .width = 674,
                   .height = 737,
                   .background = kWhite,
                   .icon = "img/kespico.ico",
                   .noMinimize = true,
                   .noMaximize = true,
                   .onInit = HAUPT_STATISTIK});

    // The header and footer bands go first, so that the logo and every other
    // control lie on top of them.
    _DEFINEIMAGE("Image_3", {.row = 0,
                             .col = 0,
                             .width = 674,
                             .height = 138,
                             .picture = "img/02.bmp",
                             .stretch = true});
    _DEFINEIMAGE("Image_4", {.row = 670,
                             .col = 0,
                             .width = 674,
                             .height = 40,
                             .picture = "img/03.bmp",
                             .stretch = true});

    GroupFrame("Frame_2", 145, 20, 630, 115, {"Kontakte", "Contacts", "Contatos"});
    GroupFrame("Frame_3", 265, 20, 630, 115, {"Organisation", "Organization", "Organização"});
    GroupFrame("Frame_4", 465, 20, 371, 115, {"Utils", "Utility", "Utilidades"});
    GroupFrame("Frame_5", 420, 400, 250, 250, {"System", "System", "Sistema"});
    GroupFrame("Frame_1", 585, 20, 370, 85,
               {"Eigene Anwendung", "My own application", "Meu próprio aplicativo"});

    for (const PlacedKind& placed : PlacedKinds())
        KindButtonsAndCount(*placed.kind, placed.place);
    TextButton("Button_3", 230, 480, 150, 25, kNameFreeFields);
    TextButton("Button_7", 170, 480, 150, 25, kNameFreeFields);
    _DEFINEIMAGEBUTTON(
        "Button_8",
        {.row = 200,
         .col = 530,
         .width = 40,
         .height = 25,
         .picture = "img/printer.bmp",
         .action = LaunchOf("Button_8"),
         .tooltip = words("Button_8", "ToolTip",
                          {"Vorschau", "Print preview", "Imprimir lista em modo preview"}),
         .flat = true});
    TextButton("Button_25", 620, 450, 150, 28, {"Biorhythmus", "Biorhythm", "Bioritmo"});
    TextButton("Button_28", 640, 100, 150, 25, kNameFreeFields);
    TextButton("Button_29", 290, 480, 150, 25, kAdministration);
    TextButton("Button_30", 320, 480, 150, 25, kAdministration);
    TextButton("Button_32", 350, 480, 150, 25, kAdministration);

    _DEFINEBUTTON("Button_31", {.row = 390,
                                .col = 480,
                                .width = 150,
                                .height = 25,
                                .caption = words("Button_31", "Caption",
                                                 {"Statistik aktualisieren", "Update statistics",
                                                  "Atualizar estatística"}),
                                .action = HAUPT_STATISTIK,
                                .font = {"Arial", 9},
                                .bold = true,
                                .flat = true});
    _DEFINEPROGRESSBAR("ProgressBar_4", {.row = 390,
                                         .col = 20,
                                         .width = 230,
                                         .height = 28,
                                         .rangeMin = 1,
                                         .rangeMax = 100,
                                         .value = 0,
                                         .background = kWhite,
                                         .barColor = QColor(0, 255, 0)});
    // The status line holds "Zuletzt aktualisiert: " with date and time in its
    // 190 pixels only at seven points.
    _DEFINELABEL("Label_36", {.row = 400,
                              .col = 260,
                              .width = 190,
                              .height = 12,
                              .font = {"Arial", 7},
                              .background = kWhite});

    LanguageButton(
        "Button_22", 40, "img/en.bmp", "AM",
        {"Auf englisch umschalten", "Set language = english", "Mudar idioma para inglês"});
    LanguageButton("Button_23", 120, "img/de.bmp", "DE",
                   {"Auf deutsch umschalten", "Set language = german", "Mudar idioma para alemão"});
    LanguageButton("Button_26", 200, "img/br.bmp", "BR",
                   {"Auf portugiesisch umschalten", "Set language = portuguese",
                    "Mudar idioma para português"});
    _DEFINEIMAGE("Image_1",
                 {.row = 442, .col = 260, .width = 16, .height = 11, .picture = "img/de.bmp"});
    _DEFINELABEL("Label_1", {.row = 440,
                             .col = 280,
                             .width = 75,
                             .height = 15,
                             .value = words("Label_1", "Value", {"Sprache", "Language", "Idioma"}),
                             .font = {"Arial", 9},
                             .bold = true,
                             .background = kWhite});

    _DEFINEBUTTON("Button_33", {.row = 445,
                                .col = 410,
                                .width = 230,
                                .height = 20,
                                .caption = "REFRESH",
                                .action = HOLE_SYS,
                                .font = {"Arial", 9},
                                .bold = true,
                                .flat = true});
    // The name of a Linux system with its kernel is longer than a Windows
    // version: one point smaller, it fits the panel.
    FactCaption("Label_12", 465, 230, "OS", true, 8);
    FactCaption("Label_13", 480, 230, "NETNAME", true);
    FactCaption("Label_15", 495, 150, "Free space :", false);
    FactValue("Label_14", 495);
    FactCaption("Label_8", 510, 150, "Total memory :", false);
    FactValue("Label_4", 510);
    FactCaption("Label_9", 525, 150, "Available memory :", false);
    FactValue("Label_5", 525);
    FactCaption("Label_10", 540, 150, "Total page memory :", false);
    FactValue("Label_6", 540);
    FactCaption("Label_11", 555, 150, "Available virtual memory :", false);
    FactValue("Label_7", 555);
    LegendLabel("Label_3", 410, 70, Level::Low, {"niedrig", "low", "baixo"});
    _DEFINELABEL("Label_16", {.row = 570,
                              .col = 485,
                              .width = 10,
                              .height = 15,
                              .background = LEVEL_COLOUR(Level::Sufficient)});
    LegendLabel("Label_17", 480, 80, Level::Sufficient,
                {"ausreichend", "sufficient", "suficiente"});
    LegendLabel("Label_20", 560, 80, Level::VeryGood, {"sehr gut", "very good", "muito bom"});
    _DEFINELABEL("Label_22",
                 {.row = 590, .col = 400, .width = 250, .height = 2, .background = kGrey});
    _DEFINELABEL("Label_21", {.row = 600,
                              .col = 450,
                              .width = 160,
                              .height = 12,
                              .value = words("Label_21", "Value",
                                             {"Biologischen Zyklen", "check your biological cycles",
                                              "verifique seu ritmo biológico"}),
                              .font = {"Arial", 8},
                              .background = kWhite});
    _DEFINELABEL("Label_19", {.row = 650,
                              .col = 450,
                              .width = 160,
                              .height = 15,
                              .font = {"Arial", 8},
                              .background = kWhite});

    _DEFINEIMAGEBUTTON("Button_34",
                       {.row = 640,
                        .col = 40,
                        .width = 40,
                        .height = 25,
                        .picture = "img/helpme1.bmp",
                        .action = IEXPLORER,
                        .tooltip = words("Button_34", "ToolTip", {"Hilfe", "Help", "Ajuda"}),
                        .flat = true});
    _DEFINEIMAGE("Image_2",
                 {.row = 0, .col = 20, .width = 49, .height = 30, .picture = "img/kesplogo.bmp"});
    TextButton("Button_36", 100, 20, 100, 22, {"Papierkorb", "Trash", "Lixeira"},
               {"Gelöschte Einträge der letzten 30 Tage zurückholen",
                "Bring back records deleted in the last 30 days",
                "Recuperar registros excluídos nos últimos 30 dias"});
    TextButton(
        "Button_37", 100, 125, 200, 22,
        {"Sicherung wiederherstellen", "Restore backup", "Restaurar cópia"},
        {"Die Daten auf den Stand einer Sicherung zurücksetzen",
         "Bring the data back to the state of a backup", "Voltar os dados ao estado de uma cópia"});
    TextButton("Button_35", 100, 330, 110, 22, {"Demnächst", "Coming up", "Próximos dias"},
               {"Was heute und in den nächsten Tagen ansteht",
                "What is due today and in the days ahead", "O que vence hoje e nos próximos dias"});
    DefineEverythingSearch();
    DefineSyncControls();
    _ENDWINDOW();

    for (const LaunchButton& button : LAUNCH_BUTTONS())
        if (!button.open) SETPROPERTY("haupt", button.control, "Enabled", false);
}

void HAUPT_TEXTE() {
    KESP_OPERATION();
    // The own application's button bears the name the user gave it
    // (statistics.cpp): the definition keeps no caption for it.
    words.Apply("haupt");
    SETPROPERTY("haupt", "Image_1", "Picture", LANG_FLAG());
    SetEverythingSearchTexts();
    SetSyncTexts();
}
