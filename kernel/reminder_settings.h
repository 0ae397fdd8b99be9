// The settings of the reminders, kept in the one record of "erinnern.dbf" in
// the data folder: how many days the days-ahead list covers, whether it opens
// at the start, whether the own application's date reminds (switched in that
// application's naming window), and how long before an appointment its
// notification comes.
//
// Reading never fails: a folder without the table, or a table without its
// record, gives the defaults. Writing goes through the one write path of the
// settings tables, so the table must be there (the program makes sure of it
// when it takes the data folder).
//
// Single-threaded: all calls come from the event loop.
#pragma once

struct ReminderSettings {
    int days = 7;  // today and this many days after it, 1 to 60
    bool openAtStart = true;
    bool customDateReminds = false;
    int minutesBefore = 15;  // an appointment's notification comes this long before it
};

ReminderSettings ReadReminderSettings();

// Writes the days (held to 1 to 60), the start flag and the own date's flag;
// the minutes stay as stored.
void WriteReminderSettings(const ReminderSettings& settings);

// The own application's date as a reminder, alone: the other settings stay.
void WriteCustomDateReminds(bool reminds);
