// A person changed on two sides since they last agreed, brought together
// field by field; and another program's card brought to a record's values by
// changing only the properties that differ, so that what the record cannot
// hold (a photo, a third telephone, a group's label) stays on the card.
// Works on values only.
#pragma once

#include "apps/addresses/vcard_contacts.h"

#include <QStringList>

// Whether two values of a record's field are the same: texts without their
// trailing blanks and with their line breaks alike, dates and yes/no as such.
bool SameFieldValue(const QVariant& a, const QVariant& b);

struct MergedRecord {
    AddressValues values;
    // The fields both sides changed to different values: the local value
    // stayed, the other side's was added to the notes as a line.
    QStringList conflicts;
};

// Each field of `fields` as the side that changed it since `base` has it;
// when both changed it differently, `local`'s value stays and the other's
// goes into the memo (FREE10) as "<label>: <value>", `labels` naming the
// fields (the user's captions for the extra fields).
MergedRecord MergedFieldByField(const AddressValues& base, const AddressValues& local,
                                const AddressValues& other, const QStringList& fields,
                                const QHash<QString, QString>& labels);

// The card `card`, whose record values are `before`, changed so that its
// record values become `after`: the properties our card of `before` has and
// our card of `after` has not are taken off `card` (or given the new value in
// place, keeping their group and parameters), the new ones are added, and
// every other property stays as it was (its group, parameters and value). The notes the card
// brings into the memo after its NOTE (values without a field) are not
// written back into NOTE.
// `version` is the card's own.
VCard PatchedCard(const VCard& card, const AddressBookShape& shape, const AddressValues& before,
                  const AddressValues& after, VCardVersion version);
