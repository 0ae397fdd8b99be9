// What an application keeps, described once: its table and further tables,
// memo file, display name, the fields that name a record and those a search
// looks in, its dates and what they mean, and what the main window counts
// for it. Each application builds its entry from the same constants as its
// window (notes.h: NotesKind()); what works across the applications reads
// the entries through the catalogue of the shell (shell/record_kinds.h).
//
// A kind whose records belong to another application's table (the birthday
// list shows the private address book) says so in `viewOf`; what crosses
// applications takes its records from that application once.
//
// Called from the event loop; ComposeRecordName from values,
// TemplateFields and ShownFieldValue also from threads that read tables
// beside it, while the date format stays as it is.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// What a date of a record means.
enum class DateMeaning {
    Yearly,       // a birthday: day and month recur every year
    Appointment,  // a day with an hour and a minute
    Reminder,     // a note's day to remember it
    Due,          // a project's due day, until it is done
    Named,        // the custom database's date, under the name the user gave it
};

struct KindDate {
    QString field;  // "GEBURTSTAG"
    DateMeaning meaning;
    QString onlyWhere;  // a logical field that must be true ("LISTE"); empty: every record
    QString hourField, minuteField;  // Appointment: two-digit texts
    QString doneField;               // Due: true once the project is done
    int userCaption = 0;             // Named: the user's caption n names it
};

// What the main window counts for an application: the count, followed by
// `suffix`, with `status` in the status line while it is counted.
struct KindStatistic {
    Texts status;
    Texts suffix;
    // Empty: every record of the table. Otherwise the records whose date of
    // this meaning falls on today's day and month (in any year).
    std::optional<DateMeaning> today;
};

// The captions a user gave some fields: field n of `fields` is named by field
// n of `captionFields` in the first record of `table`.
struct UserCaptions {
    QString table;  // "freeadr_p.dbf"
    QStringList captionFields;
    QStringList fields;
    QString applicationName;  // a field naming the whole application ("APPNAME"); empty: none
};

struct RecordKind {
    QString id;               // "private": stable, for file names of what keeps records
    QString table;            // "adressen_p.dbf" in the data folder
    QStringList otherTables;  // further tables of the application: "freeadr_p.dbf"
    QString memoFile;         // "adressen_p.fpt"; empty: no memo fields
    QString viewOf;           // the id of the kind whose records these are; empty: its own
    Texts name;               // the launch button's caption
    QString picture;          // "img/hauptuser.bmp", beside it
    Action open;              // what the launch buttons do
    // The fields that name a record in a list of results, in the language's
    // own forms: "{VORNAME} {NACHNAME}", "{DATUM} {STUN}:{MINU} {TERMIN}".
    // Dates are written in the date format in force; every value is trimmed.
    QString nameTemplate;
    // The name where the record's day and time stand beside it (a list of
    // days ahead); empty: the name as above.
    QString nameBesideItsDay;
    int nameCaption = 0;       // n: the name is preceded by the user's caption n and ": "
    QStringList searchFields;  // text and memo fields a search looks in
    int searchRows = -1;       // results a search lists; the others only counted (-1: all)
    std::optional<UserCaptions> userCaptions;
    QList<KindDate> dates;
    QList<KindStatistic> statistics;
};

// The memo file the program gives a table with memo fields: "notiz.dbf" ->
// "notiz.fpt".
QString MemoFileOf(const QString& table);

// "FREE01" ... "FREE10" (width 2), or "FREE1" ... "FREE10" (width 1).
QStringList NumberedFields(const QString& stem, int width);

// The kind's date of that meaning, or nullptr.
const KindDate* DateOf(const RecordKind& kind, DateMeaning meaning);

// The record's name as the kind gives it, read from the current record of the
// work area `alias` (the kind's table open there) with the user's captions
// given (caption n at index n - 1).
QString RecordName(const RecordKind& kind, const QString& alias,
                   const QStringList& userCaptions = {});

// The same from the record's values as shown (dates in the date format in
// force), `valueOf` giving the value of a field named in the template.
QString ComposeRecordName(const RecordKind& kind,
                          const std::function<QString(const QString& field)>& valueOf,
                          const QStringList& userCaptions = {});

// The same after a template of the kind's own ("{TERMIN}").
QString ComposeRecordName(const RecordKind& kind, const QString& nameTemplate,
                          const std::function<QString(const QString& field)>& valueOf,
                          const QStringList& userCaptions = {});

// The same from the values of the template's fields, in the order
// TemplateFields gives them.
QString ComposeRecordName(const RecordKind& kind, const QString& nameTemplate,
                          const QStringList& values, const QStringList& userCaptions = {});

// A field's value as a list of results shows it: a date in the date format in
// force (nothing for an empty one), a number as digits, a text trimmed.
QString ShownFieldValue(const QVariant& value);

// The fields named in the kind's name template, in their order.
QStringList NameFields(const RecordKind& kind);
QStringList TemplateFields(const QString& nameTemplate);  // of any template

// The application's name in the language in force, or the one the user gave
// it (its table only looked at).
QString KindName(const RecordKind& kind);
// Whether the user names the application (the custom database).
bool TakesUserName(const RecordKind& kind);
// The name the user gave the application ("" when none, or when the kind
// takes no name from the user).
QString UserKindName(const RecordKind& kind);

// Tells whoever shows the applications by name (the main window) that the
// user named `kind` anew: `name`. Nothing happens while nobody listens.
void TellKindRenamed(const RecordKind& kind, const QString& name);
// The one listener of TellKindRenamed; none: nobody listens.
void ListenToKindRenames(std::function<void(const RecordKind& kind, const QString& name)> listener);

// The captions the user gave the kind's fields, read from its captions table
// (only looked at, never written); empty when the kind has none or it is in use.
QStringList ReadUserCaptions(const RecordKind& kind);

// Whether a date read from a record of that meaning falls on `day`'s day and
// month, as DateFallsOnDayOfYear has it: never when it is empty.
bool DateValueFallsOnDayOfYear(const QDate& value, DateMeaning meaning, const QDate& day);

// Whether the date of the current record of `alias` counts (its `onlyWhere`
// flag set, the date not empty) and falls on `day`'s day and month. A yearly
// date of 29 February falls on 28 February in the years without one. The
// fields' names are put together once, for walks over many records.
std::function<bool()> DateFallsOnDayOfYear(const KindDate& date, const QString& alias,
                                           const QDate& day);

// Opens the kind's window (modal, as its launch button does) standing on
// `record`, a record number of its table as it is now on disk; the window's
// own search is left empty and the record is current and shown in its list.
void OpenRecordKindOn(const RecordKind& kind, int record);
