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
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/reminder_settings.h"
#include "shell/record_kinds.h"

#include <QDate>
#include <QString>
#include <QStringList>

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
// application's date in.
std::vector<ComingUpEntry> ComingUp(const QDate& today, int days, bool customDateReminds);

// Whether any entry falls on `today` or is overdue.
bool SomethingDueNow(const std::vector<ComingUpEntry>& entries, const QDate& today);

// The heading of a day in THE_LANG: "Heute", "Morgen", then "Donnerstag,
// 10.12.2026"; overdue entries go under "Überfällig".
QString DayHeading(const ComingUpEntry& entry, const QDate& today);

// The list as lines of text: each heading, then "  18:30 Bescherung (Agenda)".
QStringList ComingUpLines(const std::vector<ComingUpEntry>& entries, const QDate& today);
