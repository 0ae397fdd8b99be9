// The agenda's iCalendar files: a view's appointments written to
// "Agenda.ics" in the export folder, and the events of a file the user
// chooses added as new appointments.
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/common/export_file.h"
#include "apps/common/import_file.h"
#include "apps/common/steps_to_the_end.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/codec.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"
#include "toolkit/work_progress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using namespace agenda_texts;

// Beyond this the user is asked first: the imported takes a while.
constexpr qint64 kAskAboveBytes = 20 * 1024 * 1024;
constexpr int kProgressSteps = 2000;

// The appointments of the view open in work area "a", in its order.
QList<NumberedAppointment> AppointmentsOfView(const QString& alias) {
    QList<NumberedAppointment> shown;
    DBSELECTAREA("a");
    DBGOTOP();
    while (!DBEOF()) {
        shown.append({RECNO(), ReadAppointment(alias)});
        DBSKIP(1);
    }
    return shown;
}

void Export(const QList<NumberedAppointment>& shown) {
    WriteExportFileAndReport(TEXT(kIcsFile), CalendarFileOf(THE_DATA_PATH, shown),
                             {kIcsWritten, kIcsNotWritten, THE_APP_NAME});
}

}  // namespace

void EXPORT_ICS_AGENDA1() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QList<NumberedAppointment> shown = AppointmentsOfView("agenda");
    RefreshViewsSelecting(selected);
    Export(shown);
}

void EXPORT_ICS_AGENDA2() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QDate day = ChosenDay();
    OpenRangeView(RangeStart(day), RangeEnd(day));
    const QList<NumberedAppointment> shown = AppointmentsOfView("agenda2");
    RefreshViewsSelecting(selected);
    Export(shown);
}

void IMPORT_ICS_AGENDA() {
    KESP_OPERATION();
    const QString path =
        GETFILE({TEXT(kIcsFilter), TEXT(kAnyFile)}, TEXT(kImportTitle), THE_EXPORT_PATH);
    if (path.isEmpty()) return;
    const std::optional<QByteArray> bytes = OpenImportFile(path, THE_APP_NAME);
    if (!bytes) return;
    const int selected = SelectedAppointment();
    kesp::WorkProgress progress(TEXT(kImporting), TEXT(kCancel), kProgressSteps);
    CalendarImport imported;
    try {
        DBSELECTAREA("a");
        imported = ImportCalendarBytes(
            THE_DATA_PATH, *bytes, [&progress](int done) { return progress.Advance(done); },
            [](qsizetype events) { return MSGYESNO(TEXT(kManyEvents).arg(events), THE_APP_NAME); });
    } catch (const kesp::WriteFailure& failure) {
        // The table is back at its last commit: none of the file's events.
        StepsToTheEnd steps;
        ReopenAgendaAfterChange(false, steps);
        steps.Run([selected] { RefreshViewsSelecting(selected); });
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure) + "\r" + TEXT(kNoneImported), THE_APP_NAME);
        return;
    }
    if (imported.declined) return;
    if (!imported.read && !imported.cancelled) {
        MSGEXCLAMATION(imported.problem + "\r" + path, THE_APP_NAME);
        return;
    }
    StepsToTheEnd after;
    ReopenAgendaAfterChange(false, after);
    after.Run([selected] { RefreshViewsSelecting(selected); });
    if (imported.cancelled) {
        MSGBOX(TEXT(kImportCancelled), THE_APP_NAME);
        return;
    }
    MSGBOX(CalendarImportSummary(imported), THE_APP_NAME);
    after.TellSavedAnyway(THE_APP_NAME);
}
