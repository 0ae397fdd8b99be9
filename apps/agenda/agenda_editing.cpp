// Adding, changing and deleting appointments. Every change is written at
// once; the table is then opened afresh with its index and both views are
// redrawn.
#include "apps/agenda/agenda_controls.h"
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/details_window.h"
#include "apps/agenda/series_editing.h"
#include "apps/agenda/time_lists.h"
#include "apps/common/field_rows.h"
#include "apps/common/steps_to_the_end.h"
#include "apps/common/trash_tables.h"
#include "apps/common/unsaved_changes.h"
#include "apps/common/window_texts.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

using namespace agenda_controls;

using agenda_texts::kWindow;

int ListValue(const QString& control) {
    return GETPROPERTY(kWindow, control, "value").toInt();
}

QDate PickedDate(const QString& control) {
    return GETPROPERTY(kWindow, control, "value").toDate();
}

// The edit panel's controls, as far as a change of them is a change of the appointment.
const FieldRows& EditPanel() {
    static const FieldRows rows{{.control = kEditDate, .kind = FieldKind::Date},
                                {.control = kEditHour},
                                {.control = kEditMinute},
                                {.control = kEditText}};
    return rows;
}

bool TextGiven(const QString& control) {
    if (!TrimmedValue(kWindow, control).isEmpty()) return true;
    MSGEXCLAMATION(TEXT(agenda_texts::kWriteText), THE_APP_NAME);
    return false;
}

// A refused write can have left work area "a" without the agenda (an
// opening stopped half-way): it is opened again before anything is added.
void OpenAgendaIfClosed() {
    DBSELECTAREA("a");
    if (ALIAS().compare("agenda", Qt::CaseInsensitive) == 0) return;
    OpenAgendaIndexed("agenda", false);
    AGENDA_AKTUALISIEREN();
    DBSELECTAREA("a");
}

// The new version is stored and neither the old one nor the new one could be
// marked deleted: both stay, the views show them, and the message says so.
void TellBothVersionsKept(const kesp::WriteFailure& failure) {
    StepsToTheEnd steps;
    ReopenAgendaAfterChange(false, steps);
    steps.Run([] { AGENDA_AKTUALISIEREN(); });
    const kesp::Fault& fault = failure.fault();
    MSGEXCLAMATION(
        TEXT(agenda_texts::kBothVersionsKept)
            .arg(QDir::toNativeSeparators(fault.fileName), WRITE_FAILURE_REASON(fault.osCode)),
        THE_APP_NAME);
}

}  // namespace

// The edit panel shows the chosen appointment; without one (a day without
// appointments) it is empty and switched off, so that nothing typed there
// waits for a Save that has nothing to change.
void AGENDA_EDIT() {
    KESP_OPERATION();
    const bool chosen = AppointmentSelected();
    for (const QString& control :
         {kEditDate, kEditHour, kEditMinute, kEditText, QStringLiteral("Button_1"),
          QStringLiteral("Button_7"), QStringLiteral("Button_2")})
        SETPROPERTY(kWindow, control, "enabled", chosen);
    SETPROPERTY(kWindow, "Label_12", "value",
                chosen ? DetailsLine(EventOfChosenAppointment()) : QString());
    if (!chosen) {
        SETPROPERTY(kWindow, kEditText, "value", QString());
        SETPROPERTY(kWindow, kEditDate, "allowempty", true);
        SETPROPERTY(kWindow, kEditDate, "value", QDate());
        SETPROPERTY(kWindow, kEditHour, "value", 0);
        SETPROPERTY(kWindow, kEditMinute, "value", 0);
        RememberShownValues(kWindow, EditPanel());
        return;
    }
    const Appointment shown = ReadAppointment("agenda");
    SETPROPERTY(kWindow, kEditText, "value", shown.text);
    SETPROPERTY(kWindow, kEditDate, "value", shown.date);
    // An appointment without a date would show on no day.
    SETPROPERTY(kWindow, kEditDate, "allowempty", false);
    SETPROPERTY(kWindow, kEditHour, "value", ItemShowing(HourItems(), shown.hour));
    SETPROPERTY(kWindow, kEditMinute, "value", ItemShowing(MinuteItems(), shown.minute));
    RememberShownValues(kWindow, EditPanel());
}

bool MayCloseAgenda() {
    return MayDiscardShownValues(kWindow, EditPanel(), THE_APP_NAME);
}

void AGENDA_NEW() {
    KESP_OPERATION();
    if (!TextGiven(kNewText)) return;
    const QString first = QStringLiteral("00");
    const Appointment added{.date = PickedDate(kNewDate),
                            .hour = ChosenTimeText(HourItems(), ListValue(kNewHour), first),
                            .minute = ChosenTimeText(MinuteItems(), ListValue(kNewMinute), first),
                            .text = TrimmedValue(kWindow, kNewText)};
    OpenAgendaIfClosed();
    const int selected = RECNO();
    try {
        AppendAppointment(added);
    } catch (const kesp::WriteFailure&) {
        DBGOTO(selected);  // the failed append is gone; the selection stays
        throw;
    }
    // The UID it keeps through every change; without one (the write refused)
    // it is an appointment as the table alone says.
    StepsToTheEnd identity;
    identity.Run([record = RECNO(), &added] {
        AddLinks(THE_DATA_PATH, {{record, added, {NewEventUid(), {}}}});
    });
    // Stored: from here on a refused write is told, and the window goes on.
    StepsToTheEnd after;
    ReopenAgendaAfterChange(false, after);
    // The view stays on the chosen day; the insert panel keeps its values,
    // so the same text can go to several days.
    after.Run([] { AGENDA_AKTUALISIEREN(); });
    after.TellSavedAnyway(THE_APP_NAME);
}

void AGENDA_SAVE() {
    KESP_OPERATION();
    if (!AppointmentSelected()) return;
    if (!TextGiven(kEditText)) return;
    const int stored = RECNO();
    const Appointment before = ReadAppointment("agenda");
    const ChosenEvent chosen = EventOfChosenAppointment();
    // A time the lists cannot show keeps its stored text unless the user
    // chooses another.
    const Appointment after{
        .date = PickedDate(kEditDate),
        .hour = ChosenTimeText(HourItems(), ListValue(kEditHour), before.hour),
        .minute = ChosenTimeText(MinuteItems(), ListValue(kEditMinute), before.minute),
        .text = TrimmedValue(kWindow, kEditText)};
    if (chosen.isOccurrence()) {
        AskChangeScope(false, [chosen, after](ChangeScope scope) {
            SaveChosenOccurrence(chosen, after, scope);
        });
        return;
    }
    if (chosen.event) {
        SaveChosenEvent(chosen, after);
        return;
    }
    // The new version is written before the old one is marked: an
    // interruption in between leaves both, never neither.
    DBSELECTAREA("a");
    try {
        AppendAppointment(after);
    } catch (const kesp::WriteFailure&) {
        DBGOTO(stored);  // the failed append is gone; the old version stays selected
        throw;
    }
    const int added = RECNO();
    // The new version keeps the UID of the old one.
    StepsToTheEnd identity;
    identity.Run([&chosen, added, &after, stored] {
        const QString uid = chosen.link ? chosen.link->uid : ContentUid(chosen.shown);
        AddLinks(THE_DATA_PATH, {{added, after, {uid, {}}}});
        DropLinks(THE_DATA_PATH, {stored});
    });
    DBSELECTAREA("a");
    DBGOTO(stored);
    try {
        DBDELETE();
    } catch (const kesp::WriteFailure& failure) {
        // The old version stays: the new one goes, so that the table is as
        // the message says and saving again stores one version.
        DBGOTO(added);
        try {
            DBDELETE();
        } catch (const kesp::WriteFailure&) {
            TellBothVersionsKept(failure);
            return;
        }
        DBGOTO(stored);
        throw;
    }
    StepsToTheEnd steps;
    ReopenAgendaAfterChange(true, steps);
    // The day view follows the appointment to its day.
    SETPROPERTY(kWindow, kChosenDay, "value", after.date);
    steps.Run([] { AGENDA_AKTUALISIEREN(); });
    steps.TellSavedAnyway(THE_APP_NAME);
}

namespace {

// The deletions of this opening of the window, newest last. The agenda packs
// at once, so each is the pack that took the appointment to the trash.
struct AgendaDeletion {
    QString pack;
    QDate day;
};
QList<AgendaDeletion> agendaDeletions;

// The undo entries of both lists' menus, on while there is one to take back.
void ShowAgendaUndo() {
    for (const char* item : {"Menu_5", "Menu_6"})
        SETPROPERTY(kWindow, item, "enabled", !agendaDeletions.isEmpty());
}

// Deletes the records in one pack, which takes them to the trash, and keeps
// that pack for Ctrl+Z.
void DeleteAppointments(const QList<int>& records, const QDate& day) {
    const QString packBefore = LastPackOf(kAgendaTable);
    DBSELECTAREA("a");
    for (const int record : records) {
        DBGOTO(record);
        DBDELETE();
    }
    StepsToTheEnd after;
    ReopenAgendaAfterChange(true, after);
    const QString pack = LastPackOf(kAgendaTable);
    if (pack != packBefore) agendaDeletions.append({pack, day});
    ShowAgendaUndo();
    SETPROPERTY(kWindow, kChosenDay, "value", day);
    after.Run([] { AGENDA_AKTUALISIEREN(); });
    after.TellSavedAnyway(THE_APP_NAME);
}

}  // namespace

void DELETE_TERMIN() {
    KESP_OPERATION();
    if (!AppointmentSelected()) return;
    const ChosenEvent chosen = EventOfChosenAppointment();
    if (chosen.isOccurrence()) {
        AskChangeScope(true, [chosen](ChangeScope scope) {
            DeleteAppointments(NoteChosenDeletion(chosen, scope), chosen.shown.date);
        });
        return;
    }
    const Appointment& doomed = chosen.shown;
    using namespace agenda_texts;
    const QString question = TEXT(kDeleteStart) + DTOC(doomed.date) + TEXT(kDeleteAt) +
                             TrimBlanks(doomed.hour) + ":" + TrimBlanks(doomed.minute) +
                             TEXT(kDeleteEnd);
    if (!MSGYESNO(question, THE_APP_NAME)) return;
    DeleteAppointments(NoteChosenDeletion(chosen, ChangeScope::All), doomed.date);
}

void ForgetAgendaDeletions() {
    agendaDeletions.clear();
    ShowAgendaUndo();
}

void UNDO_DELETE_TERMIN() {
    KESP_OPERATION();
    if (agendaDeletions.isEmpty()) return;
    const AgendaDeletion deletion = agendaDeletions.takeLast();
    ShowAgendaUndo();
    T_CLOSE();
    RestorePack(kAgendaTable, deletion.pack);
    StepsToTheEnd after;
    ReopenAgendaAfterChange(false, after);
    after.Run([] { TieAppointmentsBack(); });
    const int restored = static_cast<int>(RECCOUNT());  // appended: the last record
    SETPROPERTY(kWindow, kChosenDay, "value", deletion.day);
    after.Run([restored] { RefreshViewsSelecting(restored); });
    after.TellSavedAnyway(THE_APP_NAME);
}
