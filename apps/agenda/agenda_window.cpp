// The agenda window agenda_frm: the chosen day on the left above the two
// editing panels, the day table and the eleven-day list on the right, each
// with its export and print buttons and a context menu for iCalendar files;
// each control with its texts in the three languages.
#include "apps/agenda/agenda.h"
#include "apps/agenda/agenda_controls.h"
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_sync.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/details_texts.h"
#include "apps/agenda/details_window.h"
#include "apps/agenda/time_lists.h"
#include "apps/common/form_controls.h"
#include "apps/common/record_steps.h"
#include "apps/common/window_texts.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

namespace {

using namespace agenda_controls;

using agenda_texts::kWindow;

const Texts kExportCsv{"Export CSV", "Export CSV", "Exportar CSV"};
const Texts kPreview{"Druckvorschau", "Print preview", "Imprimir"};

void Button(const QString& name, int row, int col, int width, int height, const Texts& caption,
            const Action& action, const Texts& tooltip = {}) {
    _DEFINEBUTTON(name, {.row = row,
                         .col = col,
                         .width = width,
                         .height = height,
                         .caption = TEXT(caption),
                         .action = action,
                         .tooltip = TEXT(tooltip),
                         .flat = true});
}

void Frame(const QString& name, int row, const Texts& caption) {
    _DEFINEFRAME(name, {.row = row,
                        .col = 10,
                        .width = 220,
                        .height = 170,
                        .caption = TEXT(caption),
                        .bold = true,
                        .background = Qt::white});
}

void TimeList(const QString& name, int row, int col, const QStringList& items, int value) {
    _DEFINECOMBOBOX(
        name, {.row = row, .col = col, .width = 40, .height = 100, .items = items, .value = value});
}

// A panel of date, hour, minute and text: the captions at `row`, the
// choices 20 pixels below, the text caption and box under them.
struct PanelNames {
    QString frame, dateCaption, hourCaption, minuteCaption, date, hour, minute, textCaption, text;
};

void Panel(const PanelNames& n, int row, const Texts& frameCaption, int firstTimeItem) {
    Frame(n.frame, row, frameCaption);
    CaptionLabel(n.dateCaption, row + 30, 20, 110, TEXT({"Datum", "Date", "Data"}));
    CaptionLabel(n.hourCaption, row + 30, 130, 50, TEXT({"Stunde", "Hour", "Hora"}));
    CaptionLabel(n.minuteCaption, row + 30, 180, 40, TEXT({"Min.", "Min.", "Min."}));
    // An appointment without a date would show on no day: the pickers keep
    // their date when someone tries to empty them.
    _DEFINEDATEPICKER(n.date, {.row = row + 50,
                               .col = 20,
                               .width = 90,
                               .height = 24,
                               .value = DATE(),
                               .allowsEmpty = false});
    TimeList(n.hour, row + 50, 130, HourItems(), firstTimeItem);
    TimeList(n.minute, row + 50, 180, MinuteItems(), firstTimeItem);
    CaptionLabel(n.textCaption, row + 80, 20, 200, TEXT({"Termin", "Appointment", "Compromisso"}));
    _DEFINETEXTBOX(n.text,
                   {.row = row + 100, .col = 20, .width = 200, .height = 20, .maxLength = 99});
}

void IcsMenu(const QString& control, const QString& exportItem, const Action& exportView,
             const QString& importItem, const QString& undoItem) {
    _DEFINECONTEXTMENU(control);
    _DEFINEMENUITEM(exportItem,
                    {.caption = TEXT({"Als iCalendar exportieren", "Export as iCalendar",
                                      "Exportar como iCalendar"}),
                     .action = exportView});
    _DEFINEMENUITEM(importItem,
                    {.caption = TEXT(agenda_texts::kImportTitle), .action = IMPORT_ICS_AGENDA});
    _DEFINEMENUITEM(undoItem, {.caption = UndoCaption(), .action = UNDO_DELETE_TERMIN});
    _ENDMENU();
    SETPROPERTY(kWindow, control, "tooltip", TEXT(kContextMenuTip));
    DEFINEKEY(kWindow, control, "Ctrl+Z", UNDO_DELETE_TERMIN);
}

}  // namespace

void DefineAgendaWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = "Agenda",
                                 .row = 133,
                                 .col = 234,
                                 .width = 700,
                                 .height = 470,
                                 .icon = "img/agenda.ico",
                                 .onInit = OPENAGENDA,
                                 .mayClose = MayCloseAgenda});
    _DEFINEDATEPICKER(kChosenDay, {.row = 20,
                                   .col = 20,
                                   .width = 90,
                                   .height = 20,
                                   .value = DATE(),
                                   .onChange = AGENDA_AKTUALISIEREN,
                                   .allowsEmpty = false});
    CaptionLabel("Label_7", 20, 110, 130,
                 TEXT({"Datum auswählen", "Select date", "Selecionar data"}));

    // The selected appointment: no time is chosen before one is shown.
    Panel({"Frame_2", "Label_9", "Label_10", "Label_11", kEditDate, kEditHour, kEditMinute,
           "Label_8", kEditText},
          50, {"Termin bearbeiten", "Edit appointment", "Alterar compromisso"}, 0);
    Button("Button_1", 180, 20, 62, 28, {"Speichern", "Save", "Salvar"}, AGENDA_SAVE);
    Button("Button_7", 180, 86, 70, 28, details_texts::kButton, OPEN_AGENDA_DETAILS,
           details_texts::kButtonTip);
    Button("Button_2", 180, 160, 60, 28, {"Löschen", "Delete", "Apagar"}, DELETE_TERMIN,
           {"Termin löschen", "Delete appointment", "Apagar compromisso"});

    Panel({"Frame_1", "Label_3", "Label_4", "Label_5", kNewDate, kNewHour, kNewMinute, "Label_6",
           kNewText},
          240, {"Termin hinzufügen", "Insert appointment", "Inserir compromisso"}, 1);
    Button("Button_32", 370, 80, 90, 28, {"Hinzufügen", "Insert", "Inserir"}, AGENDA_NEW);

    CaptionLabel("Label_1", 20, 240, 230);
    Button("Button_5", 20, 470, 100, 20, kExportCsv, EXPORT_CSV_AGENDA1);
    Button("Button_3", 20, 580, 100, 20, kPreview, OPEN_RPT_AGENDA1);
    _DEFINEBROWSE(kDayTable, {.row = 40,
                              .col = 240,
                              .width = 440,
                              .height = 170,
                              .headers = {"HH", "MM", "Termin"},
                              .widths = {30, 30, 360},
                              .fields = {"agenda->STUN", "agenda->MINU", "agenda->TERMIN"},
                              .workArea = "agenda",
                              .onChange = AGENDA_EDIT,
                              .rowCells = DayRowCells});
    IcsMenu(kDayTable, "Menu_1", EXPORT_ICS_AGENDA1, "Menu_2", "Menu_5");

    CaptionLabel("Label_2", 220, 240, 230);
    Button("Button_6", 220, 470, 100, 20, kExportCsv, EXPORT_CSV_AGENDA2);
    Button("Button_4", 220, 580, 100, 20, kPreview, OPEN_RPT_AGENDA2);
    _DEFINELISTBOX(kRangeList,
                   {.row = 240, .col = 240, .width = 440, .height = 170, .items = {"Termine"}});
    IcsMenu(kRangeList, "Menu_3", EXPORT_ICS_AGENDA2, "Menu_4", "Menu_6");
    // What the chosen appointment is beyond its day, time and text.
    _DEFINELABEL("Label_12", {.row = 418, .col = 20, .width = 660, .height = 20});
    _ENDWINDOW();
}

const RecordKind& AgendaKind() {
    static const RecordKind kind{
        .id = "agenda",
        .table = kAgendaTable,
        .otherTables = {kAgendaLinksTable, kAgendaEventsTable, kAgendaSyncLinksTable},
        .name = {"Agenda", "Agenda", "Agenda"},
        .picture = "img/agenda.bmp",
        .open = OPENFORM_AGENDA,
        .nameTemplate = "{DATUM} {STUN}:{MINU} {TERMIN}",
        .nameBesideItsDay = "{TERMIN}",
        .searchFields = {"TERMIN"},
        .dates = {{.field = "DATUM",
                   .meaning = DateMeaning::Appointment,
                   .hourField = "STUN",
                   .minuteField = "MINU"}},
        .statistics = {
            {.status = {"Termine [heute] wird aktualisiert", "Update appointments [today]",
                        "Compromissos [Hoje] estão sendo atualizados"},
             .suffix = {" Termine [heute]", " Appointments [today]", " Compromissos [Hoje]"},
             .today = DateMeaning::Appointment}}};
    return kind;
}
