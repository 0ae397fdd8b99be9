// The printed lists and the semicolon files of the day view and of the
// eleven days after it.
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/common/export_file.h"
#include "apps/common/record_export.h"
#include "kernel/current_folder.h"
#include "kernel/public_variables.h"
#include "reports/extreport.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

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
    const CurrentFolderGuard reportsBesideTheProgram(THE_APP_PATH);
    EXTREPORT(TEXT(report));
}

// Writes the view open in work area "a" under `alias`; the views are
// refreshed before the file is written, whether or not it can be.
void ExportView(const QString& alias, const Texts& file, const Texts& written, int selected) {
    DBSELECTAREA("a");
    const QByteArray bytes =
        SemicolonFileOfView(alias, ExportHeadersOf(kCsvColumns, {}), kCsvColumns);
    RefreshViewsSelecting(selected);
    WriteExportFileAndReport(TEXT(file), bytes,
                             {written, RecordExport{}.cannotWrite, THE_APP_NAME});
}

}  // namespace

void OPEN_RPT_AGENDA1() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    DBGOTOP();
    PrintView(agenda_texts::kDayReport);
    if (!ISWINDOWDEFINED(kWindow)) return;
    RefreshViewsSelecting(selected);
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
