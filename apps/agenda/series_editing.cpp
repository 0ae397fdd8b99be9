#include "apps/agenda/series_editing.h"

#include "apps/agenda/agenda_controls.h"
#include "apps/agenda/agenda_operations.h"
#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/agenda_views.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/event_appointments.h"
#include "apps/agenda/pack_without_trash.h"
#include "apps/agenda/repeat_rule.h"
#include "apps/common/steps_to_the_end.h"
#include "apps/common/window_texts.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QHash>

namespace {

using namespace agenda_texts;

const QString kScopeWindow = QStringLiteral("agenda_serie");

std::optional<QTime> TimeOf(const Appointment& appointment) {
    bool hourRead = false;
    bool minuteRead = false;
    const int hour = appointment.hour.trimmed().toInt(&hourRead);
    const int minute = appointment.minute.trimmed().toInt(&minuteRead);
    if (!hourRead || !minuteRead || hour > 23 || minute > 59) return std::nullopt;
    return QTime(hour, minute);
}

// `item` moved as the appointment moved from `before` to `after` (day and
// time on the computer), its text taken when it changed.
CalendarItem Moved(CalendarItem item, const Appointment& before, const Appointment& after) {
    const std::optional<QTime> from = TimeOf(before);
    const std::optional<QTime> to = TimeOf(after);
    if (item.allDay || !from || !to) {
        const qint64 days = before.date.daysTo(after.date);
        item.start = item.start.addDays(days);
        if (item.end.isValid()) item.end = item.end.addDays(days);
    } else {
        const qint64 seconds = QDateTime(before.date, *from).secsTo(QDateTime(after.date, *to));
        const QDateTime start = LocalTimeOf(item.start, item.zone).addSecs(seconds);
        if (item.end.isValid())
            item.end = ZoneTimeOf(LocalTimeOf(item.end, item.zone).addSecs(seconds), item.zone);
        item.start = ZoneTimeOf(start, item.zone);
    }
    if (after.text.trimmed() != before.text.trimmed()) item.summary = after.text.trimmed();
    return item;
}

// The start the occurrence had in its series (its RECID), as wall clock in
// the series' zone.
QDateTime OriginalStart(const ChosenEvent& chosen) {
    const QString id = chosen.link->recurrenceId;
    if (id.size() == 8)
        return QDateTime(QDate::fromString(id, QStringLiteral("yyyyMMdd")), QTime(0, 0));
    return QDateTime::fromString(id.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
}

// The records of the event from the chosen occurrence on (all: every one).
QList<int> RecordsFrom(const ChosenEvent& chosen, bool onlyFollowing) {
    QList<int> records;
    const QHash<int, QString> all = RecordsOfEvent(THE_DATA_PATH, chosen.link->uid);
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        if (!onlyFollowing || it.value() >= chosen.link->recurrenceId) records.append(it.key());
    return records;
}

// Stores `events` anew in place of `oldRecords`, then opens the agenda again
// on `day`. Their appointments in the trash are theirs no more.
void StoreAnew(const QList<int>& oldRecords, const QList<EventToStore>& events, const QDate& day) {
    DBSELECTAREA("a");
    for (const EventToStore& event : events)
        ForgetTrashedLinksOf(THE_DATA_PATH, event.item.uid);
    StoreEvents(THE_DATA_PATH, events, StoreHorizon(DATE()));
    for (const int record : oldRecords) {
        DBGOTO(record);
        DBDELETE();
    }
    DropLinks(THE_DATA_PATH, oldRecords);
    StepsToTheEnd after;
    {
        PackWithoutTrash noTrash;
        ReopenAgendaAfterChange(true, after);
    }
    SETPROPERTY(kWindow, agenda_controls::kChosenDay, "value", day);
    after.Run([] { AGENDA_AKTUALISIEREN(); });
    after.TellSavedAnyway(THE_APP_NAME);
}

EventToStore WithChangedOccurrences(const CalendarItem& series) {
    EventToStore event{series, {}};
    for (const StoredEvent& changed : ChangedOccurrencesOf(THE_DATA_PATH, series.uid))
        event.changed.append(changed.item);
    return event;
}

// The series ended before the chosen occurrence, and a new one (a new UID)
// starting there as `from` says.
QList<EventToStore> SplitAtChosen(const ChosenEvent& chosen, const CalendarItem& from) {
    const CalendarItem& series = chosen.event->item;
    CalendarItem before = series;
    const QDateTime original = OriginalStart(chosen);
    before.rule =
        RuleEndingBefore(series.rule, original.date(), series.start, series.zone, series.allDay);
    int earlier = 0;
    for (const QDateTime& start : OccurrenceStarts(series, original.date().addDays(-1)))
        if (start < original) ++earlier;
    CalendarItem after = from;
    after.uid = NewEventUid();
    after.recurrenceId.clear();
    after.rule = RuleWithoutFirst(from.rule, earlier);
    after.extraDates.clear();
    EventToStore untilThen = WithChangedOccurrences(before);
    RemoveEventRows(THE_DATA_PATH, series.uid);
    return {untilThen, {after, {}}};
}

// The chosen occurrence as its series gives it: the original start, the
// series' length.
CalendarItem OccurrenceOf(const ChosenEvent& chosen) {
    CalendarItem at = chosen.event->item;
    const qint64 length = at.end.isValid() ? at.start.secsTo(at.end) : -1;
    at.start = OriginalStart(chosen);
    if (length >= 0) at.end = at.start.addSecs(length);
    at.rule.clear();
    at.extraDates.clear();
    at.leftOutDates.clear();
    return at;
}

// The chosen occurrence's series with `own` as that occurrence, changed on its own.
EventToStore WithOwnOccurrence(const ChosenEvent& chosen, CalendarItem own) {
    own.rule.clear();
    own.extraDates.clear();
    own.leftOutDates.clear();
    own.recurrenceId = chosen.link->recurrenceId;
    EventToStore event = WithChangedOccurrences(chosen.event->item);
    event.changed.removeIf(
        [&own](const CalendarItem& c) { return c.recurrenceId == own.recurrenceId; });
    event.changed.append(own);
    RemoveEventRows(THE_DATA_PATH, chosen.link->uid);
    return event;
}

// The RECIDs of the changed occurrences of `uid` other than `but`.
QStringList ChangedIdsBut(const QString& uid, const QString& but) {
    QStringList ids;
    for (const StoredEvent& changed : ChangedOccurrencesOf(THE_DATA_PATH, uid))
        if (changed.item.recurrenceId != but) ids.append(changed.item.recurrenceId);
    return ids;
}

std::function<void(ChangeScope)> pendingScopeAnswer;

void AnswerScope(ChangeScope scope) {
    const auto then = pendingScopeAnswer;
    pendingScopeAnswer = nullptr;
    RELEASEWINDOW(kScopeWindow);
    if (then) then(scope);
}

}  // namespace

CalendarItem ChosenEvent::item() const {
    if (own) return own->item;
    if (isOccurrence()) return OccurrenceOf(*this);
    if (event) return event->item;
    return ItemOfAppointment(shown, link ? link->uid : ContentUid(shown));
}

ChosenEvent EventOfChosenAppointment() {
    ChosenEvent chosen;
    if (!AppointmentSelected()) return chosen;
    chosen.record = RECNO();
    chosen.shown = ReadAppointment("agenda");
    chosen.link = LinkOf(THE_DATA_PATH, chosen.record, chosen.shown);
    if (!chosen.link) return chosen;
    chosen.event = StoredEventOf(THE_DATA_PATH, chosen.link->uid);
    if (!chosen.link->recurrenceId.isEmpty())
        chosen.own = StoredEventOf(THE_DATA_PATH, chosen.link->uid, chosen.link->recurrenceId);
    return chosen;
}

void AskChangeScope(bool deleting, const std::function<void(ChangeScope)>& then) {
    pendingScopeAnswer = then;
    DefineChangeScopeWindow(deleting);
    DOMETHOD(kScopeWindow, "Center");
    _ACTIVATEWINDOW(kScopeWindow);
}

void SaveChosenOccurrence(const ChosenEvent& chosen, const Appointment& after, ChangeScope scope) {
    const CalendarItem& series = chosen.event->item;
    const QList<int> old = RecordsFrom(chosen, false);
    if (scope == ChangeScope::All) {
        EventToStore event = WithChangedOccurrences(Moved(series, chosen.shown, after));
        RemoveEventRows(THE_DATA_PATH, series.uid);
        StoreAnew(old, {event}, after.date);
        return;
    }
    CalendarItem moved =
        Moved(chosen.own ? chosen.own->item : OccurrenceOf(chosen), chosen.shown, after);
    if (scope == ChangeScope::OnlyThis) {
        StoreAnew(old, {WithOwnOccurrence(chosen, moved)}, after.date);
        return;
    }
    moved.rule = series.rule;
    moved.extraDates.clear();
    moved.leftOutDates.clear();
    StoreAnew(old, SplitAtChosen(chosen, moved), after.date);
}

void SaveChosenEvent(const ChosenEvent& chosen, const Appointment& after) {
    const CalendarItem moved = Moved(chosen.item(), chosen.shown, after);
    QList<int> old = chosen.link ? RecordsFrom(chosen, false) : QList<int>{};
    if (old.isEmpty()) old.append(chosen.record);
    RemoveEventRows(THE_DATA_PATH, moved.uid);
    StoreAnew(old, {{moved, {}}}, after.date);
}

void ReplaceChosenEvent(const ChosenEvent& chosen, const CalendarItem& item,
                        const QString& seriesRule, ChangeScope scope) {
    const QDate day = chosen.shown.date;
    QList<int> old = chosen.link ? RecordsFrom(chosen, false) : QList<int>{};
    if (old.isEmpty()) old.append(chosen.record);
    if (!chosen.isOccurrence()) {
        CalendarItem whole = item;
        whole.recurrenceId.clear();
        RemoveEventRows(THE_DATA_PATH, whole.uid);
        StoreAnew(old, {{whole, {}}}, day);
        return;
    }
    if (scope == ChangeScope::OnlyThis) {
        StoreAnew(old, {WithOwnOccurrence(chosen, item)}, day);
        return;
    }
    // The series takes what the window says of the occurrence: all day, the
    // length, the place, the description, the repetition.
    CalendarItem series = chosen.event->item;
    series.allDay = item.allDay;
    series.zone = item.zone;
    if (item.allDay != chosen.event->item.allDay)
        series.start =
            item.allDay ? QDateTime(series.start.date(), QTime(0, 0))
                        : ZoneTimeOf(QDateTime(series.start.date(), item.start.time()), item.zone);
    series.end =
        item.end.isValid() ? series.start.addSecs(item.start.secsTo(item.end)) : QDateTime();
    series.location = item.location;
    series.description = item.description;
    series.rule = seriesRule;
    if (scope == ChangeScope::All) {
        EventToStore event = WithChangedOccurrences(series);
        RemoveEventRows(THE_DATA_PATH, series.uid);
        StoreAnew(old, {event}, day);
        return;
    }
    CalendarItem from = series;
    from.start = item.start;
    from.end = item.end;
    from.rule = item.rule;
    StoreAnew(old, SplitAtChosen(chosen, from), day);
}

QList<int> NoteChosenDeletion(const ChosenEvent& chosen, ChangeScope scope) {
    if (!chosen.link) return {chosen.record};
    const QString uid = chosen.link->uid;
    if (!chosen.isOccurrence() || scope == ChangeScope::All) {
        MarkEventDeleted(THE_DATA_PATH, uid, true);
        const QList<int> all = RecordsFrom(chosen, false);
        return all.isEmpty() ? QList<int>{chosen.record} : all;
    }
    StoredEvent series = *chosen.event;
    const QDateTime original = OriginalStart(chosen);
    if (scope == ChangeScope::OnlyThis) {
        series.item.leftOutDates.append(original);
        QList<StoredEvent> rows{series};
        WriteEventRows(THE_DATA_PATH, rows);
        ForgetChangedOccurrences(THE_DATA_PATH, uid, ChangedIdsBut(uid, chosen.link->recurrenceId));
        return {chosen.record};
    }
    series.item.rule = RuleEndingBefore(series.item.rule, original.date(), series.item.start,
                                        series.item.zone, series.item.allDay);
    QList<StoredEvent> rows{series};
    WriteEventRows(THE_DATA_PATH, rows);
    return RecordsFrom(chosen, true);
}

void DefineChangeScopeWindow(bool deleting) {
    _DEFINEMODALWINDOW(kScopeWindow, {.title = TEXT(kSeriesTitle),
                                      .row = 200,
                                      .col = 300,
                                      .width = 430,
                                      .height = 170,
                                      .icon = "img/agenda.ico",
                                      .noMinimize = true,
                                      .noMaximize = true});
    _DEFINELABEL("Label_1",
                 {.row = 15,
                  .col = 15,
                  .width = 400,
                  .height = 40,
                  .value = TEXT(deleting ? kSeriesDeleteQuestion : kSeriesChangeQuestion)});
    const auto button = [](const QString& name, int row, int col, int width, const Texts& caption,
                           const Action& action) {
        _DEFINEBUTTON(name, {.row = row,
                             .col = col,
                             .width = width,
                             .height = 28,
                             .caption = TEXT(caption),
                             .action = action});
    };
    button("Button_1", 65, 15, 125, kOnlyThisOne, [] { AnswerScope(ChangeScope::OnlyThis); });
    button("Button_2", 65, 145, 165, kThisAndFollowing,
           [] { AnswerScope(ChangeScope::ThisAndFollowing); });
    button("Button_3", 65, 320, 95, kAllOfTheSeries, [] { AnswerScope(ChangeScope::All); });
    button("Button_4", 105, 320, 95, kCancel, [] {
        pendingScopeAnswer = nullptr;
        RELEASEWINDOW(kScopeWindow);
    });
    _ENDWINDOW();
}
