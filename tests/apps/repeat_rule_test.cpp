// The repetition as the details window reads and writes it: the parts it
// shows go in and out unchanged, the rest is kept, an end is written as the
// format wants it for the kind of start, and a split series ends or counts
// on correctly.
#include "apps/agenda/repeat_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(RepeatRule, ThePartsTheWindowShowsGoInAndOutAndTheRestIsKept) {
    const QDateTime start(QDate(2027, 1, 26), QTime(9, 30));  // a Tuesday
    const RepeatRule weekly =
        ReadRepeatRule("FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH;COUNT=8", start.date());
    EXPECT_EQ(weekly.frequency, Frequency::Weekly);
    EXPECT_EQ(weekly.interval, 2);
    EXPECT_EQ(weekly.weekdays, QList<int>({2, 4}));
    EXPECT_EQ(weekly.count, 8);
    EXPECT_EQ(RepeatRuleText(weekly, start, "", false),
              "FREQ=WEEKLY;INTERVAL=2;BYDAY=TU,TH;COUNT=8");

    const RepeatRule last = ReadRepeatRule("FREQ=MONTHLY;BYDAY=-1FR", start.date());
    EXPECT_EQ(last.monthlyBy, MonthlyBy::LastWeekdayInMonth);
    EXPECT_EQ(last.position, -1);
    EXPECT_EQ(last.positionedWeekday, 5);
    // Written again from a start on the last Tuesday of its month.
    EXPECT_EQ(RepeatRuleText(last, start, "", false), "FREQ=MONTHLY;BYDAY=-1TU");
    RepeatRule second = last;
    second.monthlyBy = MonthlyBy::WeekdayInMonth;
    EXPECT_EQ(RepeatRuleText(second, QDateTime(QDate(2027, 1, 12), QTime(9, 0)), "", false),
              "FREQ=MONTHLY;BYDAY=2TU");

    const RepeatRule other =
        ReadRepeatRule("FREQ=MONTHLY;BYSETPOS=2;BYDAY=MO,TU;WKST=SU", start.date());
    EXPECT_EQ(other.otherParts, QStringList({"BYSETPOS=2", "BYDAY=MO,TU", "WKST=SU"}));
    EXPECT_EQ(ReadRepeatRule("", start.date()).frequency, Frequency::None);
}

TEST(RepeatRule, AnEndIsWrittenForItsKindOfStartAndASplitSeriesEndsBeforeItsOccurrence) {
    RepeatRule daily;
    daily.frequency = Frequency::Daily;
    daily.until = QDate(2027, 3, 31);
    EXPECT_EQ(RepeatRuleText(daily, QDateTime(QDate(2027, 3, 1), QTime(0, 0)), "", true),
              "FREQ=DAILY;UNTIL=20270331");
    EXPECT_EQ(RepeatRuleText(daily, QDateTime(QDate(2027, 3, 1), QTime(8, 0)), "", false),
              "FREQ=DAILY;UNTIL=20270331T235959");
    // The end of the last day in Berlin (summer time by then) in UTC.
    EXPECT_EQ(
        RepeatRuleText(daily, QDateTime(QDate(2027, 3, 1), QTime(8, 0)), "Europe/Berlin", false),
        "FREQ=DAILY;UNTIL=20270331T215959Z");

    EXPECT_EQ(RuleEndingBefore("FREQ=WEEKLY;COUNT=10;BYDAY=TU", QDate(2027, 2, 9), {}, "", true),
              "FREQ=WEEKLY;BYDAY=TU;UNTIL=20270208");
    EXPECT_EQ(RuleWithoutFirst("FREQ=WEEKLY;COUNT=10;BYDAY=TU", 3), "FREQ=WEEKLY;COUNT=7;BYDAY=TU");
    EXPECT_EQ(RuleWithoutFirst("FREQ=WEEKLY;BYDAY=TU", 3), "FREQ=WEEKLY;BYDAY=TU");
}

}  // namespace
