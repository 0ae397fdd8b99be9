// Which field of an address book each telephone number, e-mail address and
// postal address of a card goes to, by the types the card gives them.
//
// A field takes, of the values that may go there, the one of the best rank;
// PREF decides only between values of the same rank, and the card's order
// after that. The private book fills its personal fields with a HOME value
// first, then an untyped one (then, for e-mail and address, one of another
// type that is not WORK); its company fields (TELFIRMA, FAXFIRMA,
// EMAILFIRMA) with WORK values. The business book takes WORK values first,
// then untyped ones, then HOME ones; its company line and fax (TELFIRMA,
// FAXFIRMA) take the untyped ones its own cards carry. A mobile number goes
// to HANDY in both. A value of a type no field is for (a pager, an
// assistant's phone) and every value a field did not take go to the notes.
#pragma once

#include "apps/addresses/vcard_contacts.h"

#include <QHash>
#include <QString>

// The field each TEL, EMAIL and ADR property of `card` goes to, by its index
// in the card ("STRASSE" standing for the postal address); properties left
// out go to the notes.
QHash<int, QString> ChooseTypedFields(AddressBookKind kind, const VCard& card);
