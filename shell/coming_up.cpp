#include "shell/coming_up.h"

#include "data/installed_table_files.h"
#include "kernel/birth_years.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "shell/language.h"
#include "shell/table_readers.h"
#include "store/dbf_table.h"
#include "store/file_names.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QLocale>

#include <algorithm>
#include <iterator>

using kesp::store::DbfTable;

namespace {

const QString kSettings = QStringLiteral("erinnern.dbf");

const Texts kToday{"Heute", "Today", "Hoje"};
const Texts kTomorrow{"Morgen", "Tomorrow", "Amanhã"};
const Texts kOverdue{"Überfällig", "Overdue", "Atrasado"};
const Texts kTurns{"wird %1", "turns %1", "faz %1 anos"};

// The day a yearly date falls on in `year`: 29 February on 28 February in
// the years without one.
QDate InYear(const QDate& date, int year) {
    if (date.month() == 2 && date.day() == 29 && !QDate::isLeapYear(year))
        return QDate(year, 2, 28);
    return QDate(year, date.month(), date.day());
}

// One of a kind's dates with the columns it reads, found once per table.
struct DateColumns {
    const KindDate* date;
    int value, onlyWhere, hour, minute, done;
};

int Column(const DbfTable& table, const QString& field) {
    return field.isEmpty() ? -1 : table.FieldIndex(field);
}

DateColumns ColumnsOf(const DbfTable& table, const KindDate& date) {
    return {&date,
            Column(table, date.field),
            Column(table, date.onlyWhere),
            Column(table, date.hourField),
            Column(table, date.minuteField),
            Column(table, date.doneField)};
}

// The columns of the fields a kind's records are named by beside their day,
// in the order of the name's template, found once per table.
struct NameColumns {
    QString nameTemplate;
    std::vector<int> columns;  // -1: the table has no such field
};

NameColumns NameColumnsOf(const DbfTable& table, const RecordKind& kind) {
    NameColumns name{kind.nameBesideItsDay.isEmpty() ? kind.nameTemplate : kind.nameBesideItsDay,
                     {}};
    for (const QString& field : TemplateFields(name.nameTemplate))
        name.columns.push_back(table.FieldIndex(field));
    return name;
}

struct Reader {
    const RecordKind& kind;
    const DbfTable& table;
    std::uint32_t record;
    const QStringList& captions;
    const NameColumns& name;
    const QString& turns;  // "turns %1" in the language of the list

    QString Text(int column) const {
        return column < 0 ? QString() : table.Read(record, column).toString().trimmed();
    }
    // The record's name as it stands beside its day.
    QString Name() const {
        QStringList values;
        for (const int column : name.columns)
            values.append(column < 0 ? QString() : ShownFieldValue(table.Read(record, column)));
        return ComposeRecordName(kind, name.nameTemplate, values, captions);
    }
};

// The entries one date of one record gives between `first` and `last`. The
// dates and flags are read first; a name only for a record that is listed.
void AddEntries(const Reader& read, const DateColumns& columns, const QDate& first,
                const QDate& last, std::vector<ComingUpEntry>& entries) {
    const KindDate& date = *columns.date;
    if (columns.onlyWhere >= 0 && !read.table.ReadLogical(read.record, columns.onlyWhere)) return;
    const QDate value = read.table.ReadDate(read.record, columns.value);
    if (!value.isValid()) return;
    ComingUpEntry entry{
        .meaning = date.meaning, .kind = &read.kind, .record = static_cast<int>(read.record)};
    if (date.meaning == DateMeaning::Yearly) {
        for (int year = first.year(); year <= last.year(); ++year) {
            const QDate day = InYear(value, year);
            if (day < first || day > last || year <= value.year()) continue;
            entry.day = day;
            entry.text = read.Name();
            if (StatesAnAge(value))
                entry.text += QStringLiteral(" – ") + read.turns.arg(year - value.year());
            entries.push_back(entry);
        }
        return;
    }
    if (date.meaning == DateMeaning::Due) {
        if (columns.done >= 0 && read.table.ReadLogical(read.record, columns.done)) return;
        entry.overdue = value < first;
    }
    if (value > last || (value < first && !entry.overdue)) return;
    entry.day = value;
    if (date.meaning == DateMeaning::Appointment)
        entry.time = read.Text(columns.hour) + QLatin1Char(':') + read.Text(columns.minute);
    entry.text = read.Name();
    if (date.meaning == DateMeaning::Named && date.userCaption > 0)
        entry.text +=
            QStringLiteral(" (") + read.captions.value(date.userCaption - 1) + QLatin1Char(')');
    entries.push_back(entry);
}

}  // namespace

void MakeSureReminderSettingsExist() {
    const QString path = THE_DATA_PATH + kSettings;
    if (!kesp::store::FileExists(path))
        kesp::WriteInstalledTable(path, *kesp::InstalledTable(kSettings));
}

ComingUpDays DaysComingUp(const QDate& today, int days) {
    return {today, today.addDays(std::clamp(days, 1, 60)), TEXT(kTurns)};
}

std::vector<KindComingUp> KindsComingUp(bool customDateReminds) {
    std::vector<KindComingUp> kinds;
    for (const RecordKind& kind : RecordKinds()) {
        if (!kind.viewOf.isEmpty() || kind.dates.isEmpty()) continue;
        KindComingUp wanted{&kind, THE_DATA_PATH + kind.table, {}, {}};
        for (const KindDate& date : kind.dates)
            if (date.meaning != DateMeaning::Named || customDateReminds) wanted.dates.append(date);
        if (wanted.dates.isEmpty()) continue;
        wanted.captions = ReadUserCaptions(kind);
        kinds.push_back(std::move(wanted));
    }
    return kinds;
}

std::vector<ComingUpEntry> ReadComingUp(const KindComingUp& wanted, const ComingUpDays& days,
                                        const std::atomic<bool>* cancelled) {
    std::vector<ComingUpEntry> entries;
    const auto table = DbfTable::Open(wanted.path, DbfTable::Purpose::Inspect);
    if (!table) return entries;  // held by a window: its records show next time
    std::vector<DateColumns> columns;
    for (const KindDate& date : wanted.dates)
        columns.push_back(ColumnsOf(*table, date));
    const NameColumns name = NameColumnsOf(*table, *wanted.kind);
    kesp::store::ForEachLiveRecord(*table, [&](std::uint32_t record) {
        if (cancelled && *cancelled) return;
        for (const DateColumns& date : columns)
            AddEntries({*wanted.kind, *table, record, wanted.captions, name, days.turns}, date,
                       days.first, days.last, entries);
    });
    return entries;
}

std::vector<ComingUpEntry> InTheirOrder(std::vector<std::vector<ComingUpEntry>> ofKinds) {
    std::vector<ComingUpEntry> entries;
    for (std::vector<ComingUpEntry>& ofKind : ofKinds)
        entries.insert(entries.end(), std::make_move_iterator(ofKind.begin()),
                       std::make_move_iterator(ofKind.end()));
    std::stable_sort(entries.begin(), entries.end(),
                     [](const ComingUpEntry& a, const ComingUpEntry& b) {
                         if (a.overdue != b.overdue) return a.overdue;
                         if (a.day != b.day) return a.day < b.day;
                         return a.time < b.time;
                     });
    return entries;
}

std::vector<ComingUpEntry> ComingUp(const QDate& today, int days, bool customDateReminds) {
    // A table being read beside the loop would be left out.
    WaitForTableReaders();
    const ComingUpDays range = DaysComingUp(today, days);
    std::vector<std::vector<ComingUpEntry>> ofKinds;
    for (const KindComingUp& kind : KindsComingUp(customDateReminds))
        ofKinds.push_back(ReadComingUp(kind, range));
    return InTheirOrder(std::move(ofKinds));
}

bool SomethingDueNow(const std::vector<ComingUpEntry>& entries, const QDate& today) {
    return std::any_of(entries.begin(), entries.end(), [&today](const ComingUpEntry& entry) {
        return entry.overdue || entry.day == today;
    });
}

QString DayHeading(const ComingUpEntry& entry, const QDate& today) {
    if (entry.overdue) return TEXT(kOverdue);
    if (entry.day == today) return TEXT(kToday);
    if (entry.day == today.addDays(1)) return TEXT(kTomorrow);
    QString weekday = QLocale(LANG_LOCALE()).dayName(entry.day.dayOfWeek());
    if (!weekday.isEmpty()) weekday[0] = weekday[0].toUpper();  // "quarta-feira" heads a group
    return weekday + QStringLiteral(", ") + DTOC(entry.day);
}

QStringList ComingUpLines(const std::vector<ComingUpEntry>& entries, const QDate& today) {
    QStringList lines;
    QString heading;
    for (const ComingUpEntry& entry : entries) {
        const QString entryHeading = DayHeading(entry, today);
        if (entryHeading != heading) lines.append(heading = entryHeading);
        QString line = QStringLiteral("  ");
        if (entry.overdue) line += DTOC(entry.day) + QLatin1Char(' ');
        if (!entry.time.isEmpty()) line += entry.time + QLatin1Char(' ');
        lines.append(line + entry.text + QStringLiteral(" (") + KindName(*entry.kind) +
                     QLatin1Char(')'));
    }
    return lines;
}
