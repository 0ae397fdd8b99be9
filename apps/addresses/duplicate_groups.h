// Likely duplicates among the records of the address books, and what a
// merge of such a group keeps. Works on values only (no table, no window).
//
// Two records are the same person when their names agree and nothing they
// both hold contradicts it:
//  - names agree when their words pair off, in any order, each pair the same
//    word (case and accents folded, ä/ae, ö/oe, ü/ue and ß/ss alike) or an
//    initial and a word it begins ("J. Smith", "John Smith", "Smith, John");
//  - a pairing that needs an initial counts only together with an e-mail
//    address or a telephone number both records hold;
//  - two birthdays contradict when they differ; a birthday without a year
//    (stored in 1904) agrees with any year on the same day and month.
// An e-mail address or a number alone never makes records of different
// names one person: a switchboard, a household's telephone or a shared
// test number joins nobody. A record without a name joins the one person
// whose e-mail address it holds; when the address is that of several people
// (or of nobody named) the record stays alone, as it does with a number.
//
// Every two members of a group are the same person: groups never chain, so
// that "J. Smith" may stand with "John Smith" or with "Jane Smith", never in
// one group with both.
#pragma once

#include "apps/addresses/vcard_contacts.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

struct ContactKeys {
    QString firstName;
    QString lastName;
    QStringList emails;
    QStringList phones;
    QDate birthday;  // none: the book has no birthday for the record
};

// "hans|muller" for "Hans" "Müller" and for "Müller" "Hans"; "" without a name.
QString FoldedName(const QString& firstName, const QString& lastName);

// "301234" for "+49 30 1234", "0049 (30) 1234" and "030-1234"; "" when fewer
// than five digits remain.
QString PhoneKey(const QString& number);

// Whether two birthdays leave the records one person: either is none, they
// are equal, or one is without a year (1904) and the day and month agree.
bool BirthdaysAgree(const QDate& a, const QDate& b);

// Whether `a` and `b` are the same person, as said above.
bool SamePerson(const ContactKeys& a, const ContactKeys& b);

// The groups of two or more contacts (their indexes), each in ascending
// order, the groups in the order of their first member. A contact joins the
// first group whose every member is the same person as it.
QList<QList<int>> DuplicateGroups(const QList<ContactKeys>& contacts);

// One field of a merge where the members hold different non-empty values:
// the values, each once, in the members' order.
struct MergeChoice {
    QString field;
    QStringList values;
};

// The text of a value as the merge compares and offers it: trimmed text,
// a date in the date format in force, yes/no as "X" or "".
QString MergeText(const QVariant& value);

// The fields of `fields` where the members differ in more than one
// non-empty value; only there the user chooses.
QList<MergeChoice> MergeChoices(const QList<AddressValues>& members, const QStringList& fields);

// The kept record: for each field of `fields` the chosen value where there
// was a choice (`chosen`: field → the value's text), else the non-empty
// value, the kept member's first. The memo (FREE10) joins the members'
// memos, the kept one's first, each once, followed by `memoLines`.
AddressValues MergedRecord(const QList<AddressValues>& members, int kept, const QStringList& fields,
                           const QHash<QString, QString>& chosen,
                           const QStringList& memoLines = {});
