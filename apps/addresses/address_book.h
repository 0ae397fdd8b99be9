// What the private and the business address book share: the same window
// around different first pages. Both list, search and require the value of
// VORNAME (the first name, or the company name), keep ten extra fields on a
// second tab page whose captions the user names in a captions table, and
// export every field row, the extra fields under the user's captions.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_kind.h"
#include "apps/common/record_window.h"

#include <QString>

struct AddressBookNames {
    QString window;         // "form1"
    QString table;          // "adressen_p.dbf"
    QString alias;          // "adressen_p"
    QString index;          // "ivorname"
    QString captionsTable;  // "freeadr_p.dbf"
    QString captionsAlias;  // "freeadr_p"
};

// The shared parts of an address book's description: the tab with the extra
// fields on page 2 (page 1 holds the rows the book adds before them), the
// quick search by VORNAME, the list of VORNAME, the required VORNAME and the
// delete question naming it. The book adds its own rows, texts, messages,
// export names and operations.
RecordWindow DescribeAddressBook(const AddressBookNames& names);

// What both books' catalogue entries share: the texts among the extra fields
// (five texts and a long text), which a search looks in, and the captions the
// user gives them in the captions table of `names`.
QStringList ExtraTextFields();
UserCaptions ExtraFieldCaptions(const AddressBookNames& names);
