#include "apps/agenda/details_window.h"

#include "apps/agenda/agenda_texts.h"
#include "apps/agenda/calendar_rules.h"
#include "apps/agenda/details_texts.h"
#include "apps/agenda/repeat_rule.h"
#include "apps/agenda/time_lists.h"
#include "apps/common/form_controls.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

namespace {

using namespace details_texts;

constexpr int kWeekdayBoxes = 7;

// The appointment the window was opened on, and its event then.
ChosenEvent shownEvent;

QString WeekdayBox(int day) {
    return QStringLiteral("Check_1%1").arg(day);  // Check_11 Monday … Check_17 Sunday
}

QStringList FrequencyItems(bool asImported) {
    QStringList items;
    for (const Texts& frequency : kFrequencies)
        items.append(TEXT(frequency));
    if (asImported) items.append(TEXT(kAsImported));
    return items;
}

QStringList MonthlyItems(const QDate& day) {
    const QString weekday = TEXT(kWeekdays[day.dayOfWeek() - 1]);
    const int position = (day.day() - 1) / 7 + 1;
    return {TEXT(kOnDayOfMonth).arg(day.day()), TEXT(kOnWeekdayInMonth).arg(position).arg(weekday),
            TEXT(kOnLastWeekday).arg(weekday)};
}

// The day a monthly rule picks, as the rule says it.
QString MonthlyText(const RepeatRule& rule, const QDate& start) {
    if (rule.positionedWeekday < 1 || rule.positionedWeekday > 7)
        return TEXT(kOnDayOfMonth).arg(start.day());
    const QString weekday = TEXT(kWeekdays[rule.positionedWeekday - 1]);
    return rule.position < 0 ? TEXT(kOnLastWeekday).arg(weekday)
                             : TEXT(kOnWeekdayInMonth).arg(rule.position).arg(weekday);
}

QStringList Translated(const QList<Texts>& texts) {
    QStringList items;
    for (const Texts& text : texts)
        items.append(TEXT(text));
    return items;
}

int Value(const QString& control) {
    return GETPROPERTY(kWindow, control, "value").toInt();
}

// The start of the shown event on the computer's clock.
QDateTime LocalStart(const CalendarItem& item) {
    return item.allDay ? item.start : LocalTimeOf(item.start, item.zone);
}

// Only what the chosen repetition asks for can be set: the weekdays of a
// weekly series, the day of a monthly one, the end a series has.
void ShowRelevantControls() {
    const int frequency = Value("Combo_3");
    const bool repeats = frequency > 1 && frequency <= int(kFrequencies.size());
    SETPROPERTY(kWindow, "Text_3", "enabled", repeats);
    for (int day = 1; day <= kWeekdayBoxes; ++day)
        SETPROPERTY(kWindow, WeekdayBox(day), "enabled", frequency == int(Frequency::Weekly) + 1);
    SETPROPERTY(kWindow, "Combo_4", "enabled", frequency == int(Frequency::Monthly) + 1);
    SETPROPERTY(kWindow, "Combo_5", "enabled", repeats);
    SETPROPERTY(kWindow, "DatePicker_2", "enabled", repeats && Value("Combo_5") == 2);
    SETPROPERTY(kWindow, "Text_4", "enabled", repeats && Value("Combo_5") == 3);
}

// The window's controls filled from the event; the repetition is the
// series' (`series`), the rest the chosen appointment's own.
void Show(const CalendarItem& item, const CalendarItem& series) {
    const QDateTime start = LocalStart(item);
    SETPROPERTY(kWindow, "Check_1", "value", item.allDay);
    QDateTime end = item.end.isValid()
                        ? (item.allDay ? item.end.addDays(-1) : LocalTimeOf(item.end, item.zone))
                        : start;
    SETPROPERTY(kWindow, "DatePicker_1", "value", end.date());
    SETPROPERTY(kWindow, "Combo_1", "value",
                item.end.isValid() && !item.allDay
                    ? ItemShowing(HourItems(),
                                  QStringLiteral("%1").arg(end.time().hour(), 2, 10, QChar(u'0')))
                    : 0);
    SETPROPERTY(
        kWindow, "Combo_2", "value",
        item.end.isValid() && !item.allDay
            ? ItemShowing(MinuteItems(),
                          QStringLiteral("%1").arg(end.time().minute() / 5 * 5, 2, 10, QChar(u'0')))
            : 0);
    SETPROPERTY(kWindow, "Text_1", "value", item.location);
    SETPROPERTY(kWindow, "Text_2", "value", item.description);
    const RepeatRule rule = ReadRepeatRule(series.rule, start.date());
    const bool asImported = !rule.otherParts.isEmpty();
    SETPROPERTY(kWindow, "Combo_3", "value",
                asImported ? int(kFrequencies.size()) + 1 : int(rule.frequency) + 1);
    SETPROPERTY(kWindow, "Text_3", "value", QString::number(rule.interval));
    for (int day = 1; day <= kWeekdayBoxes; ++day)
        SETPROPERTY(kWindow, WeekdayBox(day), "value",
                    rule.weekdays.contains(day) ||
                        (rule.weekdays.isEmpty() && day == start.date().dayOfWeek()));
    SETPROPERTY(kWindow, "Combo_4", "value", int(rule.monthlyBy) + 1);
    SETPROPERTY(kWindow, "Combo_5", "value", rule.until.isValid() ? 2 : rule.count > 0 ? 3 : 1);
    SETPROPERTY(kWindow, "DatePicker_2", "value",
                rule.until.isValid() ? rule.until : start.date().addMonths(3));
    SETPROPERTY(kWindow, "Text_4", "value", QString::number(rule.count > 0 ? rule.count : 10));
    ShowRelevantControls();
}

// 1 … 999 typed in `control`; nothing (and the user told) otherwise.
std::optional<int> NumberIn(const QString& control) {
    bool read = false;
    const int number = GETPROPERTY(kWindow, control, "value").toString().trimmed().toInt(&read);
    if (read && number >= 1 && number <= 999) return number;
    MSGEXCLAMATION(TEXT(kBadNumber), THE_APP_NAME);
    DOMETHOD(kWindow, control, "SetFocus");
    return std::nullopt;
}

// What the window says: the event, its rule said from the chosen
// occurrence's day, and the same rule said from the series' own first day.
struct Said {
    CalendarItem item;
    QString seriesRule;
};

// The event as the window says it; nothing when it says something impossible
// (the user is told).
std::optional<Said> Edited() {
    CalendarItem item = shownEvent.item();
    const QDateTime start = LocalStart(item);
    const bool allDay = GETPROPERTY(kWindow, "Check_1", "value").toBool();
    if (allDay && !item.allDay) {
        item.allDay = true;
        item.zone.clear();
        item.start = QDateTime(start.date(), QTime(0, 0));
    } else if (!allDay && item.allDay) {
        item.allDay = false;
        item.zone = ComputerZone();
        item.start = ZoneTimeOf(QDateTime(start.date(), QTime(9, 0)), item.zone);
    }
    const QDate endDay = GETPROPERTY(kWindow, "DatePicker_1", "value").toDate();
    if (item.allDay) {
        item.end = endDay.isValid() && endDay > item.start.date()
                       ? QDateTime(endDay.addDays(1), QTime(0, 0))
                       : QDateTime();
        if (endDay.isValid() && endDay < item.start.date()) {
            MSGEXCLAMATION(TEXT(kEndBeforeStart), THE_APP_NAME);
            return std::nullopt;
        }
    } else if (Value("Combo_1") > 0) {
        const QString hour = ChosenTimeText(HourItems(), Value("Combo_1"), QStringLiteral("00"));
        const QString minute =
            ChosenTimeText(MinuteItems(), Value("Combo_2"), QStringLiteral("00"));
        const QDateTime end(endDay, QTime(hour.toInt(), minute.toInt()));
        if (end < LocalStart(item)) {
            MSGEXCLAMATION(TEXT(kEndBeforeStart), THE_APP_NAME);
            return std::nullopt;
        }
        item.end = ZoneTimeOf(end, item.zone);
    } else {
        item.end = QDateTime();
    }
    item.location = GETPROPERTY(kWindow, "Text_1", "value").toString().trimmed();
    item.description = GETPROPERTY(kWindow, "Text_2", "value").toString().trimmed();

    const CalendarItem& series = shownEvent.event ? shownEvent.event->item : item;
    item.rule = series.rule;
    const int frequency = Value("Combo_3");
    if (frequency > int(kFrequencies.size())) return Said{item, item.rule};  // as imported
    RepeatRule rule = ReadRepeatRule(series.rule, start.date());
    rule.otherParts.clear();
    rule.frequency = static_cast<Frequency>(std::max(0, frequency - 1));
    if (rule.frequency == Frequency::None) {
        item.rule.clear();
        item.extraDates.clear();
        item.leftOutDates.clear();
        return Said{item, {}};
    }
    const std::optional<int> interval = NumberIn("Text_3");
    if (!interval) return std::nullopt;
    rule.interval = *interval;
    rule.weekdays.clear();
    for (int day = 1; day <= kWeekdayBoxes; ++day)
        if (GETPROPERTY(kWindow, WeekdayBox(day), "value").toBool()) rule.weekdays.append(day);
    rule.monthlyBy = static_cast<MonthlyBy>(std::max(0, Value("Combo_4") - 1));
    rule.until = QDate();
    rule.count = 0;
    if (Value("Combo_5") == 2) rule.until = GETPROPERTY(kWindow, "DatePicker_2", "value").toDate();
    if (Value("Combo_5") == 3) {
        const std::optional<int> count = NumberIn("Text_4");
        if (!count) return std::nullopt;
        rule.count = *count;
    }
    item.rule = RepeatRuleText(rule, item.start, item.zone, item.allDay);
    return Said{item, RepeatRuleText(rule, series.start, item.zone, item.allDay)};
}

void Caption(const QString& name, int row, int col, int width, const Texts& text) {
    CaptionLabel(name, row, col, width, TEXT(text));
}

void DefineDetailsWindow(const QDate& day, bool asImported) {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kTitle),
                                 .row = 150,
                                 .col = 300,
                                 .width = 450,
                                 .height = 440,
                                 .icon = "img/agenda.ico",
                                 .noMinimize = true,
                                 .noMaximize = true});
    _DEFINECHECKBOX("Check_1",
                    {.row = 15, .col = 15, .width = 200, .height = 20, .caption = TEXT(kAllDay)});
    Caption("Label_2", 47, 15, 90, kEnd);
    _DEFINEDATEPICKER("DatePicker_1",
                      {.row = 45, .col = 110, .width = 100, .height = 24, .allowsEmpty = false});
    _DEFINECOMBOBOX("Combo_1",
                    {.row = 45, .col = 220, .width = 45, .height = 100, .items = HourItems()});
    _DEFINECOMBOBOX("Combo_2",
                    {.row = 45, .col = 270, .width = 45, .height = 100, .items = MinuteItems()});
    Caption("Label_3", 82, 15, 90, kPlace);
    _DEFINETEXTBOX("Text_1", {.row = 80, .col = 110, .width = 320, .height = 22, .maxLength = 254});
    Caption("Label_4", 112, 15, 90, kDescription);
    _DEFINEEDITBOX("Text_2", {.row = 110, .col = 110, .width = 320, .height = 70});
    _DEFINEFRAME("Frame_1", {.row = 195,
                             .col = 10,
                             .width = 425,
                             .height = 160,
                             .caption = TEXT(kRepetition),
                             .bold = true});
    Caption("Label_5", 222, 20, 85, kRepeat);
    _DEFINECOMBOBOX(
        "Combo_3",
        {.row = 220, .col = 110, .width = 130, .height = 120, .items = FrequencyItems(asImported)});
    Caption("Label_6", 222, 250, 40, kEvery);
    _DEFINETEXTBOX("Text_3", {.row = 220, .col = 295, .width = 40, .height = 22, .maxLength = 3});
    const QStringList weekdays = Translated(kShortWeekdays);
    for (int day = 1; day <= kWeekdayBoxes; ++day)
        _DEFINECHECKBOX(WeekdayBox(day), {.row = 252,
                                          .col = 20 + (day - 1) * 58,
                                          .width = 56,
                                          .height = 20,
                                          .caption = weekdays[day - 1]});
    _DEFINECOMBOBOX(
        "Combo_4",
        {.row = 282, .col = 110, .width = 300, .height = 100, .items = MonthlyItems(day)});
    Caption("Label_7", 318, 20, 85, kSeriesEnds);
    _DEFINECOMBOBOX("Combo_5", {.row = 316,
                                .col = 110,
                                .width = 120,
                                .height = 100,
                                .items = Translated(kSeriesEndChoices),
                                .onChange = ShowRelevantControls});
    _DEFINEDATEPICKER("DatePicker_2",
                      {.row = 316, .col = 240, .width = 100, .height = 24, .allowsEmpty = false});
    _DEFINETEXTBOX("Text_4", {.row = 316, .col = 350, .width = 40, .height = 22, .maxLength = 3});
    _DEFINEBUTTON("Button_1", {.row = 370,
                               .col = 240,
                               .width = 90,
                               .height = 28,
                               .caption = TEXT(kOk),
                               .action = SAVE_AGENDA_DETAILS});
    _DEFINEBUTTON(
        "Button_2",
        {.row = 370, .col = 340, .width = 90, .height = 28, .caption = TEXT(kCancel), .action = [] {
             RELEASEWINDOW(kWindow);
         }});
    _ENDWINDOW();
}

}  // namespace

void OPEN_AGENDA_DETAILS() {
    KESP_OPERATION();
    shownEvent = EventOfChosenAppointment();
    if (shownEvent.record == 0) return;
    const CalendarItem item = shownEvent.item();
    const CalendarItem& series = shownEvent.event ? shownEvent.event->item : item;
    const bool asImported = !ReadRepeatRule(series.rule, item.start.date()).otherParts.isEmpty();
    // The monthly choices name the day of the series, as its repetition shows.
    DefineDetailsWindow(LocalStart(series).date(), asImported);
    Show(item, series);
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void SAVE_AGENDA_DETAILS() {
    KESP_OPERATION();
    const std::optional<Said> said = Edited();
    if (!said) return;
    const ChosenEvent chosen = shownEvent;
    RELEASEWINDOW(kWindow);
    if (chosen.isOccurrence()) {
        AskChangeScope(false, [chosen, said](ChangeScope scope) {
            ReplaceChosenEvent(chosen, said->item, said->seriesRule, scope);
        });
        return;
    }
    ReplaceChosenEvent(chosen, said->item, said->seriesRule, ChangeScope::All);
}

QString DetailsLine(const ChosenEvent& chosen) {
    if (!chosen.event && !chosen.own) return {};
    const CalendarItem item = chosen.item();
    const CalendarItem& series = chosen.event ? chosen.event->item : item;
    QStringList parts;
    if (series.repeats()) {
        const RepeatRule rule = ReadRepeatRule(series.rule, series.start.date());
        QString repeat =
            rule.otherParts.isEmpty() ? TEXT(kFrequencies[int(rule.frequency)]) : TEXT(kAsImported);
        if (rule.frequency == Frequency::Weekly && !rule.weekdays.isEmpty()) {
            QStringList days;
            for (const int day : rule.weekdays)
                days.append(TEXT(kShortWeekdays[day - 1]));
            repeat += " (" + days.join(", ") + ")";
        }
        if (rule.frequency == Frequency::Monthly && rule.otherParts.isEmpty())
            repeat += " (" + MonthlyText(rule, LocalStart(series).date()) + ")";
        if (rule.until.isValid()) repeat += " " + TEXT(kUntil).arg(DTOC(rule.until));
        if (rule.count > 0) repeat += ", " + TEXT(kTimes).arg(rule.count);
        parts.append(repeat);
    }
    if (chosen.own) parts.append(TEXT(kChangedOnItsOwn));
    if (item.end.isValid()) {
        const QDateTime end = item.allDay ? item.end.addDays(-1) : LocalTimeOf(item.end, item.zone);
        const bool sameDay = !item.allDay && end.date() == LocalStart(item).date();
        parts.append(TEXT(kEndsAt).arg(
            sameDay ? end.toString("HH:mm")
                    : DTOC(end.date()) + (item.allDay ? QString() : " " + end.toString("HH:mm"))));
    }
    if (!item.location.isEmpty()) parts.append(TEXT(kPlaceIs).arg(item.location));
    if (!item.allDay && !item.zone.isEmpty() && item.zone != ComputerZone() &&
        item.zone != QLatin1String("UTC"))
        parts.append(TEXT(kZoneIs).arg(item.zone));
    return parts.join(QStringLiteral(" \u00B7 "));
}
