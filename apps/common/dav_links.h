// What ties a record (or an event) of this program to its member of a
// collection on a contacts or calendar server: a table beside the records
// ("carddav_p.dbf", "caldav_a.dbf" … with their memo files, created when
// first needed) with a row per member: SATZ the record's number (renumbered
// by every pack of its table in this program; 0 where the UID alone tells),
// NAME the record's name key then, UID, HREF the member's place on the
// server (empty: not sent yet), ETAG its version there, STAND a fingerprint
// of what both sides last agreed on, and BASIS the member as the server had
// it then (its UTF-8 bytes in Base64: it may hold any letter, the table holds
// Windows-1252). BASIS is what a change on both sides is merged against, and
// what a local change patches, so that what this program does not keep stays
// on the server.
//
// Single-threaded; every call opens the table in a work area of its own and
// leaves the current area as it was.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct DavLink {
    int row = 0;     // in the table; 0: not yet written
    int record = 0;  // the record; 0: none (a pack removed it, or the UID tells)
    QString nameKey;
    QString uid;
    QString href;
    QByteArray etag;
    QByteArray agreed;      // the fingerprint of what both sides agreed on
    QByteArray agreedBody;  // the member as the server had it then
    bool dropped = false;   // to be taken out of the table

    bool operator==(const DavLink&) const = default;
};

// Every row of the table at `path` not marked deleted; none when it is missing.
QList<DavLink> ReadDavLinks(const QString& path);
// The same a part at a time: the rows not marked deleted among the `count`
// rows from `fromRow` on appended to `links`; returns the row to go on
// from, 0 when the table is read through (or missing).
int ReadDavLinksFrom(const QString& path, int fromRow, int count, QList<DavLink>& links);

// Writes `links` into the table at `path` (created when missing) in one
// commit: rows of dropped links are marked deleted, new ones appended (their
// row set). A refused write raises kesp::WriteFailure with the table at its
// last commit.
void WriteDavLinks(const QString& path, QList<DavLink>& links);
// The same for the links at the indexes `which` only.
void WriteDavLinks(const QString& path, QList<DavLink>& links, const QList<int>& which);
