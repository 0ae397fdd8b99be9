// The window of the birthday list: its controls, each with its texts in the
// three languages.
#include "apps/birthdays/birthday_operations.h"
#include "apps/common/form_controls.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"

namespace {

const QString kWindow = "form3";
const Font kArial9{"Arial", 9};

const Texts kMonths[12] = {
    {"Jan", "Jan", "Jan"}, {"Feb", "Feb", "Fev"}, {"Mär", "Mar", "Mar"}, {"Apr", "Apr", "Abr"},
    {"Mai", "May", "Mai"}, {"Jun", "Jun", "Jun"}, {"Jul", "Jul", "Jul"}, {"Aug", "Aug", "Ago"},
    {"Sep", "Sep", "Set"}, {"Okt", "Oct", "Out"}, {"Nov", "Nov", "Nov"}, {"Dez", "Dec", "Dez"},
};
const Texts kFirstName{"Vorname", "First name", "Nome"};
const Texts kBirthDate{"Geburtsdatum", "Birthday", "Aniversário"};

QString MonthButton(int month) {
    return "Button_" + QString::number(month + 3);
}

void BoldLabel(const QString& name, int row, int col, int width, const Texts& text = {}) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = TEXT(text),
                        .font = kArial9,
                        .bold = true,
                        .background = Qt::white});
}

void FlatButton(const QString& name, int col, const Texts& caption, const Action& action) {
    _DEFINEBUTTON(name, {.row = 60,
                         .col = col,
                         .width = 30,
                         .height = 20,
                         .caption = TEXT(caption),
                         .action = action,
                         .font = kArial9,
                         .flat = true});
}

// A caption above a read-only box of the details.
// The caption is as wide as its box.
void Detail(const QString& label, const Texts& caption, const QString& box, int row, int width) {
    CaptionLabel(label, row, 420, width, TEXT(caption));
    _DEFINETEXTBOX(box, {.row = row + 20,
                         .col = 420,
                         .width = width,
                         .height = 20,
                         .font = kArial9,
                         .readOnly = true});
}

}  // namespace

void DefineBirthdayWindow() {
    _DEFINEMODALWINDOW(
        kWindow, {.title = TEXT({"Geburtstagsliste", "Birthday - List", "Aniversários - Lista"}),
                  .row = 133,
                  .col = 233,
                  .width = 700,
                  .height = 450,
                  .icon = "img/hauptfiesta.ico",
                  .onInit = OPENGEBURT});
    _DEFINEIMAGEBUTTON("Button_16",
                       {.row = 10,
                        .col = 320,
                        .width = 40,
                        .height = 24,
                        .picture = "img/printer.bmp",
                        .action = OPEN_RPT_GEB,
                        .tooltip = TEXT({"Druckvorschau", "Print preview", "Imprimir"})});
    BoldLabel("Label_24", 40, 20, 660,
              {"Suche (Vorname)", "Search (first name)", "Procura (nome)"});
    _DEFINETEXTBOX("s_geburt", {.row = 60,
                                .col = 20,
                                .width = 130,
                                .height = 20,
                                .font = kArial9,
                                .onChange = SUCHE_GEBURT});
    FlatButton("Button_3", 160, {"Alle", "All", "All"}, SUCHE_ALLE);
    for (int month = 1; month <= 12; ++month) {
        const QString number = QString::number(month).rightJustified(2, u'0');
        FlatButton(MonthButton(month), 210 + 40 * (month - 1), kMonths[month - 1],
                   [number] { SUCHE_ANY(number); });
    }
    BoldLabel("lbl_filter", 80, 20, 660);
    _DEFINEBROWSE("Browse_1", {.row = 100,
                               .col = 20,
                               .width = 370,
                               .height = 280,
                               .headers = {TEXT(kFirstName), TEXT(kBirthDate)},
                               .widths = {250, 100},
                               .fields = {"geburt->vorname", "geburt->geburtstag"},
                               .workArea = "geburt",
                               .font = kArial9,
                               .onChange = GEBURT_AKTUALISIEREN});
    _DEFINEFRAME("Frame_3", {.row = 100,
                             .col = 400,
                             .width = 280,
                             .height = 300,
                             .caption = TEXT({"Details", "Details", "Detalhes"}),
                             .font = kArial9,
                             .background = Qt::white});
    Detail("Label_19", kFirstName, "t_vorname", 140, 240);
    Detail("Label_20", {"Nachname", "Name", "Sobrenome"}, "t_nachname", 190, 240);
    Detail("Label_21", kBirthDate, "t_geburtstag", 240, 80);
    Detail("Label_22", {"Telefon", "Telephon", "Telefone"}, "t_tel", 290, 150);
    Detail("Label_23", {"Email", "Email", "Email"}, "t_email", 340, 240);
    BoldLabel("label_anzahl", 380, 20, 370);
    _ENDWINDOW();
}
