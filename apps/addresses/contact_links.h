// What ties a record of an address book to its card on a contacts server:
// the link table of dav_links.h beside the book ("carddav_p.dbf" and
// "carddav_g.dbf"), with a row per card: SATZ the
// record's number (renumbered by every pack of the book in this program),
// NAME the record's name key then, UID, HREF the card's place on the server,
// ETAG its version there, STAND a fingerprint of the record's values as both
// sides last agreed on them, and BASIS the card as the server had it then
// (its UTF-8 bytes in Base64: a card may hold any letter, the table holds
// Windows-1252). BASIS is what a change on both sides is merged against, and
// what a local change patches, so that the server's photo or third
// telephone stays.
//
// Single-threaded; every call opens the table in a work area of its own and
// leaves the current area as it was.
#pragma once

#include "apps/addresses/vcard_contacts.h"
#include "apps/common/dav_links.h"

#include <QByteArray>
#include <QList>
#include <QString>

using ContactLink = DavLink;  // agreedBody: the card as the server had it then

// "carddav_p.dbf" or "carddav_g.dbf".
QString ContactLinksTable(AddressBookKind kind);

// The fingerprint of a record's values over `fields` (texts without trailing
// blanks, line breaks alike), to tell whether the record changed since.
QByteArray ValuesFingerprint(const AddressValues& values, const QStringList& fields);

// The table's rows (dav_links.h).
inline QList<ContactLink> ReadContactLinks(const QString& path) {
    return ReadDavLinks(path);
}
inline int ReadContactLinksFrom(const QString& path, int fromRow, int count,
                                QList<ContactLink>& links) {
    return ReadDavLinksFrom(path, fromRow, count, links);
}
inline void WriteContactLinks(const QString& path, QList<ContactLink>& links,
                              const QList<int>& which) {
    WriteDavLinks(path, links, which);
}
