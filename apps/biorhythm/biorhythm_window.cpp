// The biorhythm window: its controls, each with its texts in the three
// languages, and its operations.
#include "apps/biorhythm/biorhythm.h"

#include "apps/biorhythm/biorhythm_operations.h"
#include "apps/biorhythm/biorhythm_values.h"
#include "kernel/public_variables.h"
#include "kernel/settings_record.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "reports/printgraph.h"
#include "store/xbase.h"
#include "toolkit/chart.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

const QString kWindow = "bioform";
const QString kBirthDateBox = QStringLiteral("Text_3");
const QString kStartDateBox = QStringLiteral("Text_2");
constexpr int kDays = 10;
const QColor kHeadingGrey{192, 192, 192};
constexpr int kHeadingRow = 415;
constexpr int kInputRow = 430;

struct SeriesLook {
    Texts name;
    QColor colour;
};
// In the order of kBiorhythmCycles.
const SeriesLook kSeries[] = {
    {{"Physisch", "Physical", "Físico"}, QColor(128, 128, 255)},
    {{"Emotional", "Emotional", "Emocional"}, QColor(255, 102, 10)},
    {{"Intellektuell", "Intellectual", "Intelectual"}, QColor(55, 201, 48)},
};

const Texts kTitle{"Biorhythmus", "Biorhythm", "Bioritmo"};
const Texts kSaved{
    "Geburtsdatum wurde gespeichert.\rAnalyse noch nicht aktualisiert "
    "(Diagrammtyp auswählen).",
    "Birthday updated.\rPlease run analysis again. (Select diagram)",
    "Data de aniversário foi atualizada.\rFaça nova análise do seu bioritmo. "
    "(Clique em um tipo de diagrama.)"};

void Heading(const QString& name, int col, int width, const Texts& text) {
    _DEFINELABEL(name, {.row = kHeadingRow,
                        .col = col,
                        .width = width,
                        .height = 15,
                        .value = TEXT(text),
                        .font = {"Arial", 9},
                        .bold = true,
                        .background = kHeadingGrey});
}

// allowsEmpty false: a picker that keeps its date when the user empties it.
void DateInput(const QString& name, int col, bool allowsEmpty) {
    _DEFINEDATEPICKER(name, {.row = kInputRow,
                             .col = col,
                             .width = 100,
                             .height = 24,
                             .font = {"Arial", 9},
                             .allowsEmpty = allowsEmpty});
}

void ChartButton(const QString& name, int col, const QString& caption, const Action& action) {
    _DEFINEBUTTON(name, {.row = kInputRow,
                         .col = col,
                         .width = 50,
                         .height = 24,
                         .caption = caption,
                         .action = action,
                         .font = {"Arial", 9}});
}

void DefineBiorhythmWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kTitle),
                                 .width = 660,
                                 .height = 507,
                                 .icon = "img/bior.ico",
                                 .onInit = XSTANDAR});
    Heading("Label_2", 70, 100, {"Geburtstag", "Birthday", "Aniversário"});
    DateInput(kBirthDateBox, 70, true);
    Heading("Label_1", 170, 70, {"Speichern", "Save", "Salvar"});
    _DEFINEIMAGEBUTTON("Button_5", {.row = kInputRow,
                                    .col = 180,
                                    .width = 50,
                                    .height = 24,
                                    .picture = "img/save.bmp",
                                    .action = SAVE_GEBUR,
                                    .tooltip = TEXT({"Geburtsdatum speichern", "Save birthday",
                                                     "Salvar a data de aniversário"})});
    Heading("Label_3", 240, 110, {"Analyse ab Datum", "Analysis starting", "Análise a partir"});
    DateInput(kStartDateBox, 240, false);  // the chart needs a start date
    Heading("Label_4", 350, 180, {"Diagrammtyp", "Diagram type", "Tipo de diagrama"});
    ChartButton("Button_1", 350, "3D", DRAWLINESGRAPH);
    ChartButton("Button_2", 410, "Säulen", DRAWBARGRAPH);
    ChartButton("Button_3", 470, "Punkte", DRAWPOINTSGRAPH);
    Heading("Label_5", 530, 60, {"Vorschau", "Preview", "Preview"});
    ChartButton("Button_4", 540, "Drucken", PRINT_ME);
    _ENDWINDOW();
}

QDate DateIn(const QString& picker) {
    return GETPROPERTY(kWindow, picker, "value").toDate();
}

// The chart of the ten days from the start date, in the kind asked for.
void DrawBiorhythm(ChartKind kind) {
    const QDate start = DateIn(kStartDateBox);
    const QDate birth = DateIn(kBirthDateBox);
    const QList<QList<double>> values = BiorhythmValues(birth, start, kDays);

    ChartRequest chart{.top = 20, .left = 20, .bottom = 300, .right = 610};
    for (int cycle = 0; cycle < values.size(); ++cycle)
        chart.series.append({TEXT(kSeries[cycle].name), kSeries[cycle].colour, values[cycle]});
    for (int k = 0; k < kDays; ++k)
        chart.categories.append(DayLabel(start.addDays(k)));
    chart.title = kTitle.de;  // the same in every language
    chart.kind = kind;
    chart.view3d = true;
    chart.depth = 15;
    chart.divisions = 5;
    chart.grid = true;
    chart.valueLabels = true;
    chart.categoryLabels = true;
    chart.legend = true;
    chart.emptyMagnitude = 100;  // the cycles' own range, for a chart without values

    ERASEWINDOW(kWindow);
    DRAWGRAPH(kWindow, chart);
}

}  // namespace

void OPENBIO() {
    KESP_OPERATION();
    T_CLOSE();
    DefineBiorhythmWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void XSTANDAR() {
    KESP_OPERATION();
    QDir::setCurrent(THE_DATA_PATH);
    DBUSEAREA(false, THE_DATA_PATH + "geburt.dbf", "geburt");
    DBGOTOP();
    SETPROPERTY(kWindow, kBirthDateBox, "value", FIELD("geburt->DATUM").toDate());
    SETPROPERTY(kWindow, kStartDateBox, "value", DATE());
    DBCLOSEAREA();
    DRAWLINESGRAPH();
}

void DRAWLINESGRAPH() {
    KESP_OPERATION();
    DrawBiorhythm(ChartKind::Lines);
}

void DRAWBARGRAPH() {
    KESP_OPERATION();
    DrawBiorhythm(ChartKind::Bars);
}

void DRAWPOINTSGRAPH() {
    KESP_OPERATION();
    DrawBiorhythm(ChartKind::Points);
}

void SAVE_GEBUR() {
    KESP_OPERATION();
    const QDate birth = DateIn(kBirthDateBox);
    QDir::setCurrent(THE_DATA_PATH);
    WriteSettingsRecord("geburt.dbf", "geburt", [&birth] { REPLACE("geburt->DATUM", birth); });
    MSGBOX(TEXT(kSaved), THE_APP_NAME);
}

void PRINT_ME() {
    KESP_OPERATION();
    PRINTGRAPH(kWindow, true, true);
}
