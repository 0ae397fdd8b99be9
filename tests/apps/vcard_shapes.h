// The shapes of the two address books' tables as the vCard tests use them:
// the captions and field widths the installed tables have.
#pragma once

#include "apps/addresses/vcard_contacts.h"

inline AddressBookShape PrivateShape() {
    AddressBookShape shape{
        .kind = AddressBookKind::Private,
        .captions = {"Spitzname", "Partner", "Kinder", "Hobbys", "Homepage", "Weihnachtskarte",
                     "Newsletter", "Freund", "Jahrestag", "Notizen"}};
    for (const char* field : {"VORNAME", "NACHNAME", "STRASSE", "ORT", "FIRMA"})
        shape.widths[field] = 40;
    for (const char* field : {"TEL", "HANDY", "FAX", "TELFIRMA", "FAXFIRMA"})
        shape.widths[field] = 20;
    shape.widths["PLZ"] = 10;
    shape.widths["EMAIL"] = shape.widths["EMAILFIRMA"] = 60;
    for (int n = 1; n <= 5; ++n)
        shape.widths[QString("FREE%1").arg(n, 2, 10, QChar('0'))] = 50;
    return shape;
}

inline AddressBookShape BusinessShape() {
    AddressBookShape shape = PrivateShape();
    shape.kind = AddressBookKind::Business;
    shape.widths.remove("FIRMA");
    return shape;
}
