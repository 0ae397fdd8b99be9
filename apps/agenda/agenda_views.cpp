// Opening the agenda and refreshing its two views.
#include "apps/agenda/agenda_views.h"

#include "apps/agenda/agenda.h"
#include "apps/agenda/agenda_controls.h"
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/appointment.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/event_appointments.h"
#include "apps/common/opening_record.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "apps/common/trash_tables.h"
#include "apps/common/window_texts.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDir>
#include <QFileInfo>

namespace {

using namespace agenda_controls;

using agenda_texts::kWindow;

// The controls a user can act on while a report is laid out.
const QStringList kInputControls = {kChosenDay, kEditDate,   kEditHour,  kEditMinute, kEditText,
                                    "Button_1", "Button_2",  kNewDate,   kNewHour,    kNewMinute,
                                    kNewText,   "Button_32", "Button_7", "Button_5",  "Button_3",
                                    kDayTable,  "Button_6",  "Button_4", kRangeList};

// Closing writes the index file of the view closed. A refusal is kept in
// `steps`: the table is unchanged, and the new view opens all the same.
void OpenAgenda(const QString& alias, StepsToTheEnd& steps) {
    steps.Run([] { T_CLOSE(); });
    FollowAgendaPacks();
    DBSELECTAREA("a");
    DBUSEAREA(false, THE_DATA_PATH + kAgendaTable, alias);
}

void FilterOnDay(const QDate& day) {
    const QString key = DTOS(day);
    DBSETFILTER([day] { return FIELD("agenda->DATUM").toDate() == day; },
                "DTOS(DATUM) == '" + key + "'", [key] { return key; });
}

void FilterOnRange(const QDate& first, const QDate& last) {
    DBSETFILTER(
        [first, last] {
            const QDate day = FIELD("agenda2->DATUM").toDate();
            return day.isValid() && day >= first && day <= last;
        },
        "DTOS(DATUM) >= '" + DTOS(first) + "' .AND. DTOS(DATUM) <= '" + DTOS(last) + "'",
        [first, last] {
            return KeySpan{DTOS(first), DTOS(last)};
        });
}

void OpenView(const QString& alias, StepsToTheEnd& steps) {
    OpenAgenda(alias, steps);
    ORDLISTADD(THE_DATA_PATH + kAgendaIndex.file);
}

void OpenDayView(const QDate& day, StepsToTheEnd& steps) {
    OpenView("agenda", steps);
    FilterOnDay(day);
    DBGOTOP();
}

void OpenRangeView(const QDate& first, const QDate& last, StepsToTheEnd& steps) {
    OpenView("agenda2", steps);
    FilterOnRange(first, last);
    DBGOTOP();
}

// Creates the index anew over the table open in work area "a".
void CreateAgendaIndex(StepsToTheEnd& steps) {
    steps.Run([] {
        DBCREATEINDEX(THE_DATA_PATH + kAgendaIndex.file, KeyText(kAgendaIndex));
        ORDLISTREBUILD();
    });
    DBGOTOP();
}

QString Count(double count) {
    return QString::number(static_cast<long long>(count));
}

void FillElevenDayList() {
    DOMETHOD(kWindow, kRangeList, "DeleteAllItems");
    QList<LinkedRecord> shown;
    while (!DBEOF()) {
        shown.append({RECNO(), ReadAppointment("agenda2"), {}});
        DBSKIP(1);
    }
    FillLinks(THE_DATA_PATH, shown);
    for (const LinkedRecord& one : shown) {
        const Appointment& appointment = one.appointment;
        const QString time = appointment.hour.trimmed().isEmpty()
                                 ? TEXT(agenda_texts::kAllDay)
                                 : appointment.hour + ":" + appointment.minute;
        DOMETHOD(kWindow, kRangeList, "AddItem",
                 DTOC(appointment.date) + " " + time + " " + MarkedText(one));
    }
}

}  // namespace

void TieAppointmentsBack() {
    // Without a row waiting, the appointments after the last linked one
    // (all of them in an agenda without series) need not be read.
    if (!LinksAwaitTheirRecords(THE_DATA_PATH)) return;
    const int last = LastLinkedRecord(THE_DATA_PATH);
    QHash<int, Appointment> appended;
    for (int number = last + 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        appended.insert(number, ReadAppointment(ALIAS()));
    }
    // An occurrence deleted on its own comes back with its date in the series.
    QHash<QString, QStringList> back;
    for (const AppointmentLink& link : TieRecordsBackFromTheTrash(THE_DATA_PATH, appended))
        back[link.uid].append(link.recurrenceId);
    for (auto it = back.cbegin(); it != back.cend(); ++it) {
        MarkEventDeleted(THE_DATA_PATH, it.key(), false);
        TakeBackLeftOutDates(THE_DATA_PATH, it.key(), it.value());
    }
}

namespace {

// The links of appointments that left the trash for good go.
void ForgetLinksOfEmptiedTrash() {
    QSet<QString> keys;
    for (const TrashedRecord& record :
         TrashedRecordsOf(kAgendaTable, {"DATUM", "STUN", "MINU", "TERMIN"}))
        keys.insert(AppointmentKey({.date = record.values["DATUM"].toDate(),
                                    .hour = record.values["STUN"].toString(),
                                    .minute = record.values["MINU"].toString(),
                                    .text = record.values["TERMIN"].toString()})
                        .trimmed());
    DropLinksOfEmptiedTrash(THE_DATA_PATH, keys);
}

// The day up to which every series without end is stored; invalid: none.
QDate seriesStoredUntil;

// The user looks beyond what is stored of the series without end.
void StoreSeriesFurther(const QDate& horizon, StepsToTheEnd& steps) {
    OpenAgenda("agenda", steps);
    steps.Run([&horizon] { StoreOpenSeriesUntil(THE_DATA_PATH, horizon); });
    CreateAgendaIndex(steps);
    seriesStoredUntil = OpenSeriesStoredUntil(THE_DATA_PATH);
}

}  // namespace

void OPENFORM_AGENDA() {
    KESP_OPERATION();
    T_CLOSE();
    ReadAheadIndexFiles({kAgendaIndex});
    DefineAgendaWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void OPENAGENDA() {
    KESP_OPERATION();
    QDir::setCurrent(THE_DATA_PATH);
    ForgetAgendaDeletions();
    const int asked = OpenAgendaIndexed("agenda", true);
    // The time lists are filled at definition: "00" ... "23", "00" ... "55".
    if (asked > 0) {
        // Opened on an appointment: its day becomes the chosen one.
        DBGOTO(asked);
        SETPROPERTY(kWindow, kChosenDay, "value", FIELD("agenda->DATUM").toDate());
        RefreshViewsSelecting(asked);
    } else {
        AGENDA_AKTUALISIEREN();
    }
}

void AGENDA_AKTUALISIEREN() {
    KESP_OPERATION();
    StepsToTheEnd steps;
    steps.Run([] { T_CLOSE(); });
    const Texts appointment{"Termin", "Appointment", "Compromisso"};
    SetWindowTexts(kWindow, {{kDayTable, "header", 1, {"HH", "HH", "HH"}},
                             {kDayTable, "header", 2, {"MM", "MM", "MM"}},
                             {kDayTable, "header", 3, appointment}});
    const QDate day = ChosenDay();
    if (seriesStoredUntil.isValid() && RangeEnd(day) > seriesStoredUntil)
        StoreSeriesFurther(StoreHorizon(RangeEnd(day)), steps);

    OpenRangeView(RangeStart(day), RangeEnd(day), steps);
    FillElevenDayList();

    OpenDayView(day, steps);
    THE_ANZAHL = CountPresentedRecords();
    DBGOTOP();
    DOMETHOD(kWindow, kDayTable, "refresh");
    SETPROPERTY(kWindow, kDayTable, "value", RECNO());

    SETPROPERTY(kWindow, "Label_1", "value",
                Count(THE_ANZAHL) + TEXT(agenda_texts::kDayHeading) + DTOC(day));
    SETPROPERTY(kWindow, "Label_2", "value",
                TEXT(agenda_texts::kRangeFrom) + DTOC(RangeStart(day)) +
                    TEXT(agenda_texts::kRangeTo) + DTOC(RangeEnd(day)));
    // The list may keep its (empty) selection without a word: the edit panel follows anyway.
    AGENDA_EDIT();
    steps.ThrowRefusal();
}

void OpenAgendaStoringAhead(const QString& alias, bool newArea) {
    FollowAgendaPacks();
    DBUSEAREA(newArea, THE_DATA_PATH + kAgendaTable, alias);
    TieAppointmentsBack();
    StoreOpenSeriesUntil(THE_DATA_PATH, StoreHorizon(DATE()));
}

void STORE_SERIES_AHEAD() {
    if (!QFileInfo::exists(THE_DATA_PATH + kAgendaEventsTable)) return;
    // Every start but a day's first finds nothing to tie back or store: the
    // agenda, the largest table of many, is then left closed. Its packs are
    // followed all the same.
    FollowAgendaPacks();
    if (!LinksAwaitTheirRecords(THE_DATA_PATH) &&
        !OpenSeriesAwaitStoring(THE_DATA_PATH, StoreHorizon(DATE())))
        return;
    const int previous = SELECT();
    OpenAgendaStoringAhead(QStringLiteral("agendaahead"), true);
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

QString MarkedText(const LinkedRecord& shown) {
    const bool occurrence = !shown.link.recurrenceId.isEmpty();
    return occurrence ? agenda_texts::kSeriesMark + shown.appointment.text : shown.appointment.text;
}

QStringList DayRowCells(const QStringList& cells) {
    if (cells.size() < 3) return cells;
    LinkedRecord shown{RECNO(), ReadAppointment(ALIAS()), {}};
    if (const std::optional<AppointmentLink> link =
            LinkOf(THE_DATA_PATH, shown.record, shown.appointment))
        shown.link = *link;
    QString text = MarkedText(shown);
    if (cells[0].trimmed().isEmpty()) text = TEXT(agenda_texts::kAllDay) + " \u00B7 " + text;
    return {cells[0], cells[1], text};
}

QDate ChosenDay() {
    return GETPROPERTY(kWindow, kChosenDay, "value").toDate();
}

int OpenAgendaIndexed(const QString& alias, bool pack) {
    StepsToTheEnd steps;
    OpenAgenda(alias, steps);
    steps.ThrowRefusal();
    int asked = 0;
    if (pack) {
        asked = TakeRecordToOpenOn();
        __DBPACK();
        TieAppointmentsBack();
        ForgetLinksOfEmptiedTrash();
        StoreOpenSeriesUntil(THE_DATA_PATH, StoreHorizon(DATE()));
        seriesStoredUntil = OpenSeriesStoredUntil(THE_DATA_PATH);
    }
    CreateAgendaIndex(steps);
    steps.ThrowRefusal();
    return asked;
}

void ReopenAgendaAfterChange(bool pack, StepsToTheEnd& after) {
    OpenAgenda("agenda", after);
    if (pack) after.Run([] { __DBPACK(); });
    CreateAgendaIndex(after);
}

void OpenDayView(const QDate& day) {
    StepsToTheEnd steps;
    OpenDayView(day, steps);
    steps.ThrowRefusal();
}

void OpenRangeView(const QDate& first, const QDate& last) {
    StepsToTheEnd steps;
    OpenRangeView(first, last, steps);
    steps.ThrowRefusal();
}

QDate RangeStart(const QDate& day) {
    return day.addDays(1);
}

QDate RangeEnd(const QDate& day) {
    return day.addDays(11);
}

bool AppointmentSelected() {
    DBSELECTAREA("a");
    return ALIAS().compare("agenda", Qt::CaseInsensitive) == 0 && !DBEOF() && !DELETED() &&
           DBRECORDVISIBLE();
}

int SelectedAppointment() {
    DBSELECTAREA("a");
    return RECNO();
}

void RefreshViewsSelecting(int recordNumber) {
    AGENDA_AKTUALISIEREN();
    DBSELECTAREA("a");
    DBGOTO(recordNumber);
    if (AppointmentSelected()) {
        SETPROPERTY(kWindow, kDayTable, "value", recordNumber);
    } else {
        DBGOTOP();
    }
}

ReportInProgress::ReportInProgress() {
    for (const QString& control : kInputControls) {
        if (GETPROPERTY(kWindow, control, "enabled").toBool()) switchedOff_.append(control);
        SETPROPERTY(kWindow, control, "enabled", false);
    }
}

ReportInProgress::~ReportInProgress() {
    if (!ISWINDOWDEFINED(kWindow)) return;  // closed while the report was laid out
    for (const QString& control : switchedOff_)
        SETPROPERTY(kWindow, control, "enabled", true);
}
