// Likely duplicates among the records of the address books, and what a
// merge of such a group keeps. Works on values only (no table, no window).
//
// Two records belong to one group when they have the same name (case,
// accents and ß/ss folded, the words of first and last name in any order),
// the same e-mail address (case folded) or the same telephone number (only
// its digits; a leading +49, 0049 or 0 alike). Groups join through any
// member: A like B by name and B like C by telephone make one group.
#pragma once

#include "apps/addresses/vcard_contacts.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ContactKeys {
    QString firstName;
    QString lastName;
    QStringList emails;
    QStringList phones;
};

// "hans|muller" for "Hans" "Müller" and for "Müller" "Hans"; "" without a name.
QString FoldedName(const QString& firstName, const QString& lastName);

// "301234" for "+49 30 1234", "0049 (30) 1234" and "030-1234"; "" when fewer
// than five digits remain.
QString PhoneKey(const QString& number);

// The groups of two or more contacts (their indexes), each in ascending
// order, the groups in the order of their first member.
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
