#include "shell/reminders.h"

#include "data/installed_table_files.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/coming_up.h"
#include "shell/desktop_notifications.h"
#include "store/dbf_table.h"
#include "store/file_names.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

using kesp::store::DbfTable;

namespace {

const QString kPosted = QStringLiteral("gemeldet.dbf");
constexpr int kMissedNoteDays = 7;
constexpr int kAppointmentLateMinutes = 60;

const Texts kDueToday{"heute fällig", "due today", "vence hoje"};
const Texts kOverdueSince{"überfällig seit %1", "overdue since %1", "atrasado desde %1"};

QString Key(const QString& kind, const QDate& day, const QString& time, const QString& body) {
    return kind + QLatin1Char('|') + DTOS(day) + QLatin1Char('|') + time + QLatin1Char('|') +
           body.left(120).trimmed();
}

void MakeSurePostedTableExists() {
    const QString path = THE_DATA_PATH + kPosted;
    if (!kesp::store::FileExists(path))
        kesp::WriteInstalledTable(path, *kesp::InstalledTable(kPosted));
}

QSet<QString> PostedKeys() {
    QSet<QString> keys;
    const auto table = DbfTable::Open(THE_DATA_PATH + kPosted, DbfTable::Purpose::Inspect);
    if (!table) return keys;
    const int kind = table->FieldIndex("ART");
    const int day = table->FieldIndex("TAG");
    const int time = table->FieldIndex("ZEIT");
    const int text = table->FieldIndex("TEXT");
    kesp::store::ForEachLiveRecord(*table, [&](std::uint32_t record) {
        keys.insert(Key(
            table->Read(record, kind).toString().trimmed(), table->ReadDate(record, day),
            table->Read(record, time).toString().trimmed(), table->Read(record, text).toString()));
    });
    return keys;
}

void KeepPosted(const std::vector<Reminder>& reminders) {
    const int previous = SELECT();
    DBUSEAREA(true, THE_DATA_PATH + kPosted, "gemeldet");
    for (const Reminder& reminder : reminders) {
        DBAPPEND();
        REPLACE("gemeldet->ART", reminder.kind);
        REPLACE("gemeldet->TAG", reminder.day);
        REPLACE("gemeldet->ZEIT", reminder.time);
        REPLACE("gemeldet->TEXT", reminder.body.left(120));
    }
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

bool IsDue(const ComingUpEntry& entry, const QDateTime& now, int minutesBefore) {
    const QDate today = now.date();
    switch (entry.meaning) {
        case DateMeaning::Appointment: {
            const QTime time = QTime::fromString(entry.time, QStringLiteral("HH:mm"));
            const QDateTime start(entry.day, time.isValid() ? time : QTime(0, 0));
            return now >= start.addSecs(-60 * minutesBefore) &&
                   now <= start.addSecs(60 * kAppointmentLateMinutes);
        }
        case DateMeaning::Reminder:
            return entry.day <= today && entry.day >= today.addDays(-kMissedNoteDays);
        case DateMeaning::Due:
            return entry.day <= today;
        case DateMeaning::Yearly:
        case DateMeaning::Named:
            return entry.day == today;
    }
    return false;
}

}  // namespace

namespace {

// The application's name as a notification's title: "Contacts (friends)",
// with the space the main window's button leaves out for want of room.
QString NotificationTitle(const RecordKind& kind) {
    QString name = KindName(kind);
    static const QRegularExpression noSpaceBeforeBracket(QStringLiteral("(\\S)\\("));
    return name.replace(noSpaceBeforeBracket, QStringLiteral("\\1 ("));
}

}  // namespace

std::vector<Reminder> DueReminders(const QDateTime& now) {
    const ReminderSettings settings = ReadReminderSettings();
    const QDate today = now.date();
    std::vector<Reminder> due;
    // From a week back (notes missed) to tomorrow (an appointment just after midnight).
    for (const ComingUpEntry& entry : ComingUp(today.addDays(-kMissedNoteDays), kMissedNoteDays + 1,
                                               settings.customDateReminds)) {
        if (!IsDue(entry, now, settings.minutesBefore)) continue;
        QString body =
            entry.time.isEmpty() ? entry.text : entry.time + QLatin1Char(' ') + entry.text;
        if (entry.meaning == DateMeaning::Due)
            body +=
                QStringLiteral(" – ") +
                (entry.day == today ? TEXT(kDueToday) : TEXT(kOverdueSince).arg(DTOC(entry.day)));
        due.push_back(
            {entry.kind->id, entry.day, entry.time, NotificationTitle(*entry.kind), body});
    }
    return due;
}

QString MoreRemindersText(int more) {
    const QLocale locale(TEXT({"de_DE", "en_US", "pt_BR"}));
    return TEXT({"… und %1 weitere heute fällig", "… and %1 more due today",
                 "… e mais %1 para hoje"})
        .arg(locale.toString(more));
}

int PostDueReminders(const QDateTime& now, bool waitForService) {
    if (!NotificationServiceAvailable()) return -1;
    MakeSurePostedTableExists();
    QSet<QString> posted = PostedKeys();
    std::vector<Reminder> fresh;
    for (const Reminder& reminder : DueReminders(now)) {
        const QString key = Key(reminder.kind, reminder.day, reminder.time, reminder.body);
        if (posted.contains(key)) continue;
        posted.insert(key);
        fresh.push_back(reminder);
    }
    if (fresh.empty()) return 0;
    // Kept before they are posted: a service that answers late, or never,
    // must not bring the same reminders at the next run.
    KeepPosted(fresh);
    const int count = static_cast<int>(fresh.size());
    const int each = std::min(count, kRemindersPostedAtOnce);
    // Messages reach the service in the order sent: waiting for the last
    // answer waits for them all.
    for (int i = 0; i < each; ++i)
        PostNotification(fresh[i].summary, fresh[i].body, waitForService && i == count - 1);
    if (count > each)
        PostNotification(THE_APP_NAME, MoreRemindersText(count - each), waitForService);
    return count;
}
