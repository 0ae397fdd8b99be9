// What a record of an address book is as a vCard, and what a vCard becomes
// as a record. Works on values only (no table): the exchange
// (vcard_exchange.h) reads and writes the tables.
//
// Both books: N and FN from the names, ADR from street, postal code and
// city, TEL typed home/work/cell/fax, EMAIL, the nine extra fields FREE01 to
// FREE09 as "X-KESP-FIELD;X-NAME=<caption>" (dates as YYYY-MM-DD; a yes/no
// field as TRUE when set, left out when not, and read as TRUE or FALSE),
// the memo FREE10 as NOTE, the UID, and the book the card comes from as
// X-KESP-BOOK. The private book adds ORG (FIRMA),
// work telephone, fax and e-mail, and BDAY with X-KESP-LISTE; a birthday in
// 1904 with LISTE set goes out without a year, and a year-less birthday comes
// in as that. A birthday of a card that does not say (a phone's) is
// remembered, so that it shows in the days ahead. The business book keeps the company in VORNAME
// (ORG and FN), the contact person in NACHNAME (N) and the home page in
// EMAILFIRMA (URL).
//
// Reading never drops a value without a word: a value longer than its field,
// a second value of a kind and a property without a field go into the memo
// as "NAME: value" lines after the note, characters the table cannot hold
// written as "<U+1F600>". A value with letters Windows-1252 has not is
// stored with the nearest letters ("Łódź" as "Lodz"), so that it is found,
// and goes into the memo as it was.
// Photos, logos, keys and sounds are passed over and counted. A memo longer
// than kImportedMemoMax characters is cut there, and the cut is told: a
// record holds no more than its window can show at once.
#pragma once

#include "apps/addresses/vcard_format.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

enum class AddressBookKind { Private, Business };

// A record: upper-case field name → QString (text and memo), bool or QDate.
using AddressValues = QHash<QString, QVariant>;

// What the exchange knows of a book's table.
struct AddressBookShape {
    AddressBookKind kind = AddressBookKind::Private;
    QStringList captions;        // the user's captions 1 to 10
    QHash<QString, int> widths;  // of the character fields
};

// "private" or "business": how a card names the book it comes from.
QString BookName(AddressBookKind kind);

// The fields of a book's records the exchange carries, in table order.
QStringList AddressFieldsOf(AddressBookKind kind);

VCard CardOfRecord(const AddressBookShape& book, const AddressValues& record, const QString& uid,
                   VCardVersion version);

// The longest memo a card brings, in characters (a byte each in the table).
inline constexpr qsizetype kImportedMemoMax = qsizetype{1} << 20;

struct RecordFromCard {
    AddressValues values;     // every field of AddressFieldsOf(), blank where the card had none
    QString uid;              // empty: the card has none
    QString book;             // the book of ours the card comes from; empty: another program's
    int memoValues = 0;       // values written into the memo as "NAME: value"
    int lettersReplaced = 0;  // values stored with the nearest letters, the originals in the memo
    int media = 0;            // photos, logos, keys and sounds passed over
    qsizetype memoWhole = 0;  // the memo's length before it was cut; 0: not cut
    bool empty = false;       // nothing to store: the card is skipped
    bool birthdayRemembered = false;  // LISTE set for a birthday the card did not mark
};

RecordFromCard RecordOfCard(const AddressBookShape& book, const VCard& card);
