#include "shell/calendar_commands.h"

#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/agenda/event_appointments.h"
#include "apps/common/export_file.h"
#include "apps/common/import_file.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/command_steps.h"
#include "shell/language.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

int CalendarUsage(const QString& command) {
    PEEK_STORED_LANG();
    Err() << TEXT({"Aufruf: kesp %1 DATEI", "Usage: kesp %1 FILE", "Uso: kesp %1 ARQUIVO"})
                 .arg(command)
          << Qt::endl;
    return 2;
}

// The agenda's table in the first work area, as the agenda window opens it:
// appointments back from the trash tied to their events again, the series
// without end stored up to the day they are stored ahead to.
void OpenAgendaTable() {
    DBSELECTAREA("a");
    OpenAgendaStoringAhead(QStringLiteral("agenda"));
}

}  // namespace

int ExportCalendarCommand(const QStringList& arguments) {
    if (arguments.size() != 1 || arguments[0].isEmpty())
        return CalendarUsage(QStringLiteral("--export-ics"));
    const QString path = QFileInfo(arguments[0]).absoluteFilePath();
    if (!PrepareCommand()) return 1;
    QByteArray bytes;
    int events = 0;
    try {
        OpenAgendaTable();
        QList<NumberedAppointment> all;
        DBEVALLIVE([&all] { all.append({RECNO(), ReadAppointment(QStringLiteral("agenda"))}); });
        bytes = CalendarFileOf(THE_DATA_PATH, all, &events);
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << Qt::endl;
        return 1;
    }
    DBCLOSEALL();
    if (!WriteCommandFile(path, bytes,
                          TEXT({"Die iCalendar-Datei konnte nicht geschrieben werden:",
                                "The iCalendar file could not be written:",
                                "Não foi possível gravar o arquivo iCalendar:"})))
        return 1;
    Out() << TEXT({"%1 Ereignis(se) geschrieben: %2", "%1 event(s) written: %2",
                   "%1 evento(s) gravado(s): %2"})
                 .arg(events)
                 .arg(QDir::toNativeSeparators(path))
          << '\n';
    Out().flush();
    return 0;
}

int ImportCalendarCommand(const QStringList& arguments) {
    if (arguments.size() != 1 || arguments[0].isEmpty())
        return CalendarUsage(QStringLiteral("--import-ics"));
    const QString path = QFileInfo(arguments[0]).absoluteFilePath();
    if (!PrepareCommand()) return 1;
    const ImportFileReading file = ReadImportFile(path);
    if (file.problem != ImportFileProblem::None) {
        Err() << Lines(ImportRefusalText(path, file.problem)) << Qt::endl;
        return 1;
    }
    CalendarImport imported;
    try {
        OpenAgendaTable();
        imported = ImportCalendarBytes(THE_DATA_PATH, file.bytes);
        DBCLOSEALL();
    } catch (const kesp::WriteFailure& failure) {
        Err() << Lines(WRITE_FAILURE_TEXT(failure)) << '\n'
              << TEXT(agenda_texts::kNoneImported) << Qt::endl;
        return 1;
    }
    if (!imported.read) {
        Err() << Lines(imported.problem) << '\n' << QDir::toNativeSeparators(path) << Qt::endl;
        return 1;
    }
    Out() << Lines(CalendarImportSummary(imported)) << '\n';
    Out().flush();
    return 0;
}
