// What a card that comes again does to the record it names: it updates only
// what it carries. Works on values only; the exchange (vcard_exchange.h)
// finds the record and writes it.
//
// A card names a record by its UID, or, without a UID the book knows, by
// being the same person: the same name and at least one e-mail address or
// telephone number in common (numbers compared as the duplicates window
// compares them: their digits, a leading +49, 0049 or 0 alike).
#pragma once

#include "apps/addresses/vcard_contacts.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// The record as the card updates it: each field the card carries (a text
// not empty, a yes set, a date given) replaces the record's; the others keep
// their value; the lines of the card's notes the record's notes (FREE10) do
// not have yet are added after them, each once. Nothing when the record
// is already as the card says.
std::optional<AddressValues> UpdatedByCard(const AddressValues& record, const RecordFromCard& card,
                                           const QStringList& fields);

// The records of a book by person, to find the one a card without a known
// UID is.
class SamePersonIndex {
  public:
    // `record` (its number in the book) has these values.
    void add(int record, const AddressValues& values);

    // The first record of the same name with an e-mail address or a
    // telephone number in common with `values`; 0 when none.
    int recordOf(const AddressValues& values) const;

  private:
    struct Person {
        int record = 0;
        QSet<QString> contacts;
    };
    QHash<QString, QList<Person>> byName_;
};
