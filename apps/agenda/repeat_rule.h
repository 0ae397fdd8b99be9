// An RRULE value as the agenda's details window edits it: the parts it
// knows (how often, every how many, on which weekdays, which day of the
// month, until when or how many times) read from and written into the rule
// text, every other part kept as it was.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

enum class Frequency { None, Daily, Weekly, Monthly, Yearly };

// How a monthly series picks its day.
enum class MonthlyBy { DayOfMonth, WeekdayInMonth, LastWeekdayInMonth };

struct RepeatRule {
    Frequency frequency = Frequency::None;
    int interval = 1;
    QList<int> weekdays;  // 1 Monday … 7 Sunday, for a weekly series
    MonthlyBy monthlyBy = MonthlyBy::DayOfMonth;
    int position = 0;  // of a rule read: "2TU" 2, "-1FR" -1, with its weekday (1 … 7)
    int positionedWeekday = 0;
    QDate until;    // the last day; invalid: none
    int count = 0;  // 0: not limited by a count
    // Parts the window does not show ("BYSETPOS=2", "WKST=SU"); the rule is
    // then written back as it came unless the user changes it.
    QStringList otherParts;
};

// Reads the rule text ("FREQ=WEEKLY;BYDAY=TU,TH;UNTIL=20271231T225959Z");
// `start` is the series' first start (for the weekday a monthly series is on).
RepeatRule ReadRepeatRule(const QString& rule, const QDate& start);

// The rule text for a series starting at `start` (wall clock in `zone`;
// `allDay`: a date). An UNTIL is written as the format requires: a date for
// an all-day series, the end of that day in UTC for a series in a zone, the
// end of that day as it is for floating times. Frequency::None gives "".
QString RepeatRuleText(const RepeatRule& rule, const QDateTime& start, const QString& zone,
                       bool allDay);

// The rule ended before the occurrence starting on `day`: its UNTIL the day
// before, its COUNT dropped.
QString RuleEndingBefore(const QString& rule, const QDate& day, const QDateTime& start,
                         const QString& zone, bool allDay);

// The rule with its COUNT lowered by the `before` occurrences that went
// before (a series split at its occurrence number `before` + 1).
QString RuleWithoutFirst(const QString& rule, int before);
