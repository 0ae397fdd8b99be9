// Changing and deleting an appointment that belongs to an event of more than
// one appointment: an occurrence of a series, or a day of an all-day event
// over several days. For an occurrence the user chooses, in the window
// "agenda_serie", whether the change or deletion is for only this one, this
// and all following, or all; "only this one" keeps the change as a changed
// occurrence (a deletion as a date left out), "this and all following" ends
// the series before it and starts a new one there, "all" changes the series
// and stores its appointments anew.
//
// A deleted series goes to the trash whole, in one pack, so that Ctrl+Z and
// the trash bring it back whole. Appointments stored anew for a changed
// series replace the old ones without filling the trash with them.
//
// Single-threaded: all calls come from the event loop, with the agenda
// window open and the day view's appointment chosen.
#pragma once

#include "apps/agenda/appointment.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_item.h"

#include <functional>
#include <optional>

enum class ChangeScope { OnlyThis, ThisAndFollowing, All };

// The chosen appointment of the day view and the event it belongs to.
struct ChosenEvent {
    int record = 0;
    Appointment shown;
    std::optional<AppointmentLink> link;
    std::optional<StoredEvent> event;  // the event's own row
    std::optional<StoredEvent> own;    // the occurrence's row, when it was changed on its own

    bool isOccurrence() const {
        return link && !link->recurrenceId.isEmpty() && event && event->item.repeats();
    }
    // The event as the details window shows it: the occurrence's own when it
    // has one, else the event's, else what the appointment alone says.
    CalendarItem item() const;
};

ChosenEvent EventOfChosenAppointment();

// Opens the window that asks which occurrences (`deleting`: for a
// deletion); its buttons run `then` with the answer, Cancel runs nothing.
void AskChangeScope(bool deleting, const std::function<void(ChangeScope)>& then);

// The edit panel's values over the chosen appointment.
void SaveChosenOccurrence(const ChosenEvent& chosen, const Appointment& after, ChangeScope scope);
void SaveChosenEvent(const ChosenEvent& chosen, const Appointment& after);

// Notes a deletion in the event's rows (a date left out, the series' end
// moved, or the whole event marked deleted) and returns the records the
// caller deletes, in one pack, to the trash.
QList<int> NoteChosenDeletion(const ChosenEvent& chosen, ChangeScope scope);

// The chosen event becomes `item` (the details window's OK): its
// appointments are stored anew. For an occurrence, `scope` says which; its
// series takes `seriesRule` for all of them (the repetition said from the
// series' own first day, as "the 15th" of a monthly one), and the rule of
// `item` from the occurrence on.
void ReplaceChosenEvent(const ChosenEvent& chosen, const CalendarItem& item,
                        const QString& seriesRule, ChangeScope scope);

// The window "agenda_serie".
void DefineChangeScopeWindow(bool deleting);
