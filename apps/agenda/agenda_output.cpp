// The printed lists and the semicolon files of the day view and of the
// eleven days after it.
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/common/record_export.h"
#include "kernel/public_variables.h"
#include "reports/extreport.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

using agenda_texts::kWindow;

// The columns of both files: date, hour, minute, text.
const QList<ExportColumn> kCsvColumns = {
    {.field = "DATUM", .kind = FieldKind::Date, .header = {"Datum", "Date", "Data"}},
    {.field = "STUN", .kind = FieldKind::Text, .header = {"St.", "HH", "HH"}},
    {.field = "MINU", .kind = FieldKind::Text, .header = {"Min.", "Min.", "Min."}},
    {.field = "TERMIN",
     .kind = FieldKind::Text,
     .header = {"Termin", "Appointment", "Compromisso"}}};

void PrintView(const Texts& report) {
    const ReportInProgress guard;
    QDir::setCurrent(THE_APP_PATH);
    EXTREPORT(TEXT(report));
    QDir::setCurrent(THE_DATA_PATH);
}

// Writes the view open in work area "a" under `alias` with the shared
// export step, which reads of the description only the alias, the work area,
// the file, its columns and the step that shows the view again; the views are
// refreshed afterwards whether or not the file could be written.
void ExportView(const QString& alias, const Texts& file, const Texts& written, int selected) {
    bool refreshed = false;
    const auto refresh = [&refreshed, selected] {
        refreshed = true;
        RefreshViewsSelecting(selected);
    };
    RecordWindow view;
    view.alias = alias;
    view.exportFile = {.fileName = file, .createdMessage = written, .columns = kCsvColumns};
    view.actions.fill = refresh;
    ExportVisibleRecords(view);
    if (!refreshed) refresh();
}

}  // namespace

void OPEN_RPT_AGENDA1() {
    KESP_OPERATION();
    THE_RECNO = STR(SelectedAppointment());
    DBGOTOP();
    PrintView(agenda_texts::kDayReport);
    if (!ISWINDOWDEFINED(kWindow)) return;
    RefreshViewsSelecting(THE_RECNO.trimmed().toInt());
}

void OPEN_RPT_AGENDA2() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QDate day = ChosenDay();
    OpenRangeView(RangeStart(day), RangeEnd(day));
    PrintView(agenda_texts::kRangeReport);
    if (!ISWINDOWDEFINED(kWindow)) return;
    RefreshViewsSelecting(selected);
}

void EXPORT_CSV_AGENDA1() {
    KESP_OPERATION();
    ExportView("agenda", agenda_texts::kDayCsv, agenda_texts::kDayCsvWritten,
               SelectedAppointment());
}

void EXPORT_CSV_AGENDA2() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QDate day = ChosenDay();
    OpenRangeView(RangeStart(day), RangeEnd(day));
    ExportView("agenda2", agenda_texts::kRangeCsv, agenda_texts::kRangeCsvWritten, selected);
}
