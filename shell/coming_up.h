// The days ahead: what falls on today and the next days in every
// application, read through the catalogue's dates. Birthdays recur every year
// (29 February on 28 February in the other years, as the statistics count
// it) and say the age the person turns, unless the year of birth is before
// 1900 (no year of a birth, but a stand-in); appointments come with their time;
// notes by their reminder day; open projects by their due day, and every open
// project already past its due day as overdue; the own application's date
// when the user has made it a reminder. Records marked deleted are left out.
//
// The settings (how many days, whether the list opens at the start, whether
// the own application's date counts) are the kernel's reminder settings.
//
// Called from the event loop, but for ReadComingUp, which runs on any thread
// (coming_up_beside_the_loop.h reads on threads of their own).
#pragma once

#include "kernel/reminder_settings.h"
#include "shell/record_kinds.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

// A data folder from before the reminders gets their settings table as
// installed; called when the program takes the data folder.
void MakeSureReminderSettingsExist();

struct ComingUpEntry {
    QDate day;     // when it falls; the due day of an overdue project
    QString time;  // "18:30" for an appointment, else empty
    bool overdue = false;
    DateMeaning meaning = DateMeaning::Reminder;
    const RecordKind* kind = nullptr;
    int record = 0;  // its number in the kind's table
    QString text;    // the record's name, and for a birthday the age turned
};

// Everything from `today` to `today + days` (both included), by day and time,
// the overdue projects first; `customDateReminds` takes the own
// application's date in. Read on the caller's thread, once no table is
// being read beside the loop (table_readers.h).
std::vector<ComingUpEntry> ComingUp(const QDate& today, int days, bool customDateReminds);

// ComingUp in its steps, for reading beside the event loop. What one kind
// gives, and the days, are taken on the event loop's thread (the data
// folder, the user's captions, the language); ReadComingUp reads a kind's
// table on any thread, a fault raised as FaultException off the event
// loop's thread, and stops early once `cancelled` is set; InTheirOrder
// makes ComingUp's list of what each kind gave.
struct KindComingUp {
    const RecordKind* kind = nullptr;
    QString path;           // its table
    QList<KindDate> dates;  // the dates that count
    QStringList captions;   // the user's captions of its fields
};
struct ComingUpDays {
    QDate first;
    QDate last;
    QString turns;  // "turns %1" in THE_LANG
};
ComingUpDays DaysComingUp(const QDate& today, int days);
std::vector<KindComingUp> KindsComingUp(bool customDateReminds);
std::vector<ComingUpEntry> ReadComingUp(const KindComingUp& kind, const ComingUpDays& days,
                                        const std::atomic<bool>* cancelled = nullptr);
// Each kind's entries, in the catalogue's order.
std::vector<ComingUpEntry> InTheirOrder(std::vector<std::vector<ComingUpEntry>> ofKinds);

// Whether any entry falls on `today` or is overdue.
bool SomethingDueNow(const std::vector<ComingUpEntry>& entries, const QDate& today);

// The heading of a day in THE_LANG: "Heute", "Morgen", then "Donnerstag,
// 10.12.2026"; overdue entries go under "Überfällig".
QString DayHeading(const ComingUpEntry& entry, const QDate& today);

// The list as lines of text: each heading, then "  18:30 Bescherung (Agenda)".
QStringList ComingUpLines(const std::vector<ComingUpEntry>& entries, const QDate& today);
