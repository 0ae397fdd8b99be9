// The reminders of the days ahead, posted as desktop notifications, each
// once: an appointment a set number of minutes before it starts (and up to an
// hour after, if nothing posted it then), a birthday, a note's reminder, a
// project's due day and the own application's date (when it reminds) on the
// day itself. Missed while nothing ran: a note's reminder of the last seven
// days and every open project past its due day are posted at the next chance.
//
// What was posted is kept in "gemeldet.dbf" of the data folder (the
// application, the day and time, the text), so that a restart, or the
// command that posts for a login script, never posts it again. It is kept
// before it is posted, in one commit, whatever the service answers and
// however late: a slow service never brings the same reminders twice.
//
// A desktop takes a few notifications at once, not thousands: the first
// five due are posted, and one more says how many others are due.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

struct Reminder {
    QString kind;  // the application's id
    QDate day;
    QString time;     // an appointment's "18:30", else empty
    QString summary;  // the application's name
    QString body;     // what it is about
};

// The reminders due at `now`, posted before or not.
std::vector<Reminder> DueReminders(const QDateTime& now);

// At most this many reminders are posted one by one; the rest are counted.
inline constexpr int kRemindersPostedAtOnce = 5;

// Keeps those due at `now` that were not posted before as posted, then posts
// them (the first kRemindersPostedAtOnce, and one that counts the others).
// `waitForService`: returns only once the service has answered the last one
// (five seconds at most), for a command that ends right after. Returns how
// many were kept; -1 when no notification service is on the session bus
// (nothing is kept then, so they come at the next chance).
int PostDueReminders(const QDateTime& now, bool waitForService);

// "… and 99,995 more due today" in THE_LANG.
QString MoreRemindersText(int more);
