// What ties a record of an address book to its card on a contacts server:
// a table beside the book ("carddav_p.dbf" and "carddav_g.dbf" with their
// memo files, created when first needed) with a row per card: SATZ the
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

#include <QByteArray>
#include <QList>
#include <QString>

struct ContactLink {
    int row = 0;     // in the table; 0: not yet written
    int record = 0;  // the book's record; 0: none (a pack removed it)
    QString nameKey;
    QString uid;
    QString href;
    QByteArray etag;
    QByteArray agreed;      // ValuesFingerprint of the values both sides agreed on
    QByteArray agreedCard;  // the card as the server had it then
    bool dropped = false;   // to be taken out of the table

    bool operator==(const ContactLink&) const = default;
};

// "carddav_p.dbf" or "carddav_g.dbf".
QString ContactLinksTable(AddressBookKind kind);

// The fingerprint of a record's values over `fields` (texts without trailing
// blanks, line breaks alike), to tell whether the record changed since.
QByteArray ValuesFingerprint(const AddressValues& values, const QStringList& fields);

// Every row of the table at `path` not marked deleted; none when it is missing.
QList<ContactLink> ReadContactLinks(const QString& path);
// The same a part at a time: the rows not marked deleted among the `count`
// rows from `fromRow` on appended to `links`; returns the row to go on
// from, 0 when the table is read through (or missing).
int ReadContactLinksFrom(const QString& path, int fromRow, int count, QList<ContactLink>& links);

// Writes the links at the indexes `which` into the table at `path` (created
// when missing) in one commit: rows of dropped links are marked deleted, new
// ones appended (their row set). A refused write raises kesp::WriteFailure
// with the table at its last commit.
void WriteContactLinks(const QString& path, QList<ContactLink>& links, const QList<int>& which);
