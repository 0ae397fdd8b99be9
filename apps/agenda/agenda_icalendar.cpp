// The agenda's iCalendar files: a view's appointments written to
// "Agenda.ics" in the export folder, and the events of a file the user
// chooses added as new appointments.
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment.h"
#include "apps/agenda/icalendar.h"
#include "apps/common/export_file.h"
#include "apps/common/lost_characters.h"
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
#include <QSet>

#include <algorithm>

namespace {

using namespace agenda_texts;

constexpr int kTextLength = 99;
// Beyond these the user is asked first: the import takes a while.
constexpr qint64 kAskAboveBytes = 20 * 1024 * 1024;
constexpr qsizetype kAskAboveEvents = 100'000;
// The steps of each half of an import's progress (reading, storing).
constexpr int kProgressHalf = 1000;
constexpr int kMinuteStep = 5;

CalendarEvent EventOf(const Appointment& appointment) {
    bool hourRead = false;
    bool minuteRead = false;
    const int hour = appointment.hour.trimmed().toInt(&hourRead);
    const int minute = appointment.minute.trimmed().toInt(&minuteRead);
    // A time another program stored unreadably makes a whole-day event
    // rather than an invented hour.
    const QTime time = hourRead && minuteRead ? QTime(hour, minute) : QTime();
    return {.date = appointment.date, .time = time, .summary = appointment.text};
}

// The text as the table can hold it, letters it has not replaced by the
// nearest it has (LostCharacters counts the texts that needed it).
Appointment AppointmentOf(const CalendarEvent& event) {
    const QTime time = event.time.isValid() ? event.time : QTime(0, 0);
    QString text = kesp::store::NearestStorable(event.summary);
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text = text.trimmed().left(kTextLength).trimmed();
    const auto twoDigits = [](int value) {
        return QStringLiteral("%1").arg(value, 2, 10, QChar(u'0'));
    };
    return {.date = event.date,
            .hour = twoDigits(time.hour()),
            .minute = twoDigits(time.minute() - time.minute() % kMinuteStep),
            .text = text};
}

// The appointments of the view open in work area "a", in its order.
QList<CalendarEvent> EventsOfView(const QString& alias) {
    QList<CalendarEvent> events;
    DBSELECTAREA("a");
    DBGOTOP();
    while (!DBEOF()) {
        events.append(EventOf(ReadAppointment(alias)));
        DBSKIP(1);
    }
    return events;
}

// What makes two appointments the same: day, hour, minute and text.
QString SameAppointmentKey(const Appointment& appointment) {
    return appointment.date.toString(Qt::ISODate) + u'|' + appointment.hour.trimmed() + u'|' +
           appointment.minute.trimmed() + u'|' + appointment.text.trimmed();
}

// Every appointment of the table in work area "a" not marked deleted,
// whatever view is open; the record pointer stays where it was.
QSet<QString> StoredAppointments() {
    DBSELECTAREA("a");
    const QString alias = ALIAS();
    const int here = RECNO();
    QSet<QString> stored;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        if (!DELETED()) stored.insert(SameAppointmentKey(ReadAppointment(alias)));
    }
    DBGOTO(here);
    return stored;
}

void Export(const QList<CalendarEvent>& events) {
    WriteExportFileAndReport(TEXT(kIcsFile),
                             WriteICalendar(events, QDateTime::currentDateTimeUtc()),
                             {kIcsWritten, kIcsNotWritten, THE_APP_NAME});
}

}  // namespace

void EXPORT_ICS_AGENDA1() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QList<CalendarEvent> events = EventsOfView("agenda");
    RefreshViewsSelecting(selected);
    Export(events);
}

void EXPORT_ICS_AGENDA2() {
    KESP_OPERATION();
    const int selected = SelectedAppointment();
    const QDate day = ChosenDay();
    OpenRangeView(RangeStart(day), RangeEnd(day));
    const QList<CalendarEvent> events = EventsOfView("agenda2");
    RefreshViewsSelecting(selected);
    Export(events);
}

void IMPORT_ICS_AGENDA() {
    KESP_OPERATION();
    const QString path =
        GETFILE({TEXT(kIcsFilter), TEXT(kAnyFile)}, TEXT(kImportTitle), THE_EXPORT_PATH);
    if (path.isEmpty()) return;
    // A pipe or a device would keep the reading waiting, perhaps for ever.
    const QFileInfo chosen(path);
    QFile file(path);
    if (!chosen.isFile() || !file.open(QIODevice::ReadOnly)) {
        MSGEXCLAMATION(TEXT(kCannotRead) + "\r" + path, THE_APP_NAME);
        return;
    }
    if (chosen.size() > kAskAboveBytes &&
        !MSGYESNO(TEXT(kLargeFile).arg(chosen.size() / (1024 * 1024)), THE_APP_NAME))
        return;
    // One progress for the whole import: reading the file is its first half,
    // storing the events its second.
    kesp::WorkProgress progress(TEXT(kImporting), TEXT(kCancel), 2 * kProgressHalf);
    const auto readingGoesOn = [&progress](qsizetype read, qsizetype lines) {
        return progress.Advance(
            static_cast<int>(kProgressHalf * read / std::max<qsizetype>(1, lines)));
    };
    const CalendarReading calendar = ReadICalendar(file.readAll(), readingGoesOn);
    file.close();
    if (calendar.cancelled) {
        MSGBOX(TEXT(kImportCancelled), THE_APP_NAME);
        return;
    }
    if (!calendar.problem.isEmpty()) {
        MSGEXCLAMATION(TEXT(kNotICalendar) + "\r" + path, THE_APP_NAME);
        return;
    }
    if (calendar.events.size() > kAskAboveEvents &&
        !MSGYESNO(TEXT(kManyEvents).arg(calendar.events.size()), THE_APP_NAME))
        return;
    const int selected = SelectedAppointment();
    QSet<QString> known = StoredAppointments();
    LostCharacters lost;
    QList<Appointment> appointments;
    appointments.reserve(calendar.events.size());
    for (const CalendarEvent& event : calendar.events) {
        const Appointment appointment = AppointmentOf(event);
        // The same file read twice, or an event the agenda has already.
        if (known.contains(SameAppointmentKey(appointment))) continue;
        known.insert(SameAppointmentKey(appointment));
        lost.kept(event.summary, event.summary.trimmed());
        appointments.append(appointment);
    }
    const auto storingGoesOn = [&progress, &appointments](int stored) {
        return progress.Advance(kProgressHalf +
                                static_cast<int>(qsizetype{kProgressHalf} * stored /
                                                 std::max<qsizetype>(1, appointments.size())));
    };
    bool stored = false;
    try {
        stored = AppendAppointments(appointments, storingGoesOn);
    } catch (const kesp::WriteFailure& failure) {
        // The table is back at its last commit: none of the file's events.
        StepsToTheEnd steps;
        steps.Run([selected] { RefreshViewsSelecting(selected); });
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure) + "\r" + TEXT(kNoneImported), THE_APP_NAME);
        return;
    }
    if (!stored) {
        RefreshViewsSelecting(selected);
        MSGBOX(TEXT(kImportCancelled), THE_APP_NAME);
        return;
    }
    StepsToTheEnd after;
    ReopenAgendaAfterChange(false, after);
    after.Run([selected] { RefreshViewsSelecting(selected); });
    // An event without a summary is an appointment without a text: said, not hidden.
    const auto untitled = std::count_if(appointments.begin(), appointments.end(),
                                        [](const Appointment& a) { return a.text.isEmpty(); });
    QString summary = QString::number(appointments.size()) + TEXT(kImported) +
                      (untitled > 0 ? TEXT(kWithoutTitle).arg(untitled) : QString());
    const qsizetype present = calendar.events.size() - appointments.size();
    if (present > 0) summary += "\r" + TEXT(kAlreadyPresent).arg(present);
    if (lost.count() > 0) summary += "\r" + lost.summaryLine();
    MSGBOX(summary, THE_APP_NAME);
    after.TellSavedAnyway(THE_APP_NAME);
}
