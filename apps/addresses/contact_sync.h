// An address book and its address book on a contacts server brought to the
// same people, in three steps, so that no window waits on the network:
//
//   1. ReadContactBook, in the event loop: the book's live records, their
//      UIDs and the links to the server's cards (contact_links.h), read once.
//   2. ExchangeContacts, in a thread of its own (or in a command): what
//      changed on the server since the last sync (by its sync token, or by
//      comparing every card's ETag when the server refuses the token) is
//      fetched and merged with what changed here; what changed here is sent
//      up (new cards with If-None-Match, changes and deletions with
//      If-Match). It reads and writes no table: it works on the snapshot and
//      returns what the book is to become.
//   3. ApplyContactSync, in the event loop: the records changed, added or
//      moved to the trash, then the links written; a record changed here
//      since step 1 is left for the next sync.
//
// Nothing is overwritten blindly: a change on both sides is merged field by
// field against the card both last agreed on (card_merge.h), the local value
// staying where both changed a field; a card changed on the server is
// patched, never rebuilt, so that what the record cannot hold stays there.
// Every step can be cut off (the process killed, the connection cut) and the
// next sync leaves every person once here and once on the server: a card is
// found again by its UID, a new card's place on the server is made from its
// UID, and the token is only kept after the book and its links are written.
#pragma once

#include "apps/addresses/contact_links.h"
#include "apps/addresses/vcard_exchange.h"
#include "apps/common/dav_connection.h"

#include <QHash>
#include <QMap>
#include <QStringList>
#include <QUrl>

#include <memory>

struct ContactBookSnapshot {
    AddressBookShape shape;
    QStringList fields;
    QHash<QString, QString> labels;  // field → how the notes name it
    QMap<int, AddressValues> live;   // record number → values, records not marked deleted
    QHash<int, QString> uids;        // record number → the UID of its card
    QList<ContactLink> links;
    bool inUse = false;  // the book is open in a window: nothing read
};

// Step 1. Gives every live record without a UID its UID (written to the
// book's UID table).
ContactBookSnapshot ReadContactBook(const VCardBook& book);

// Step 1 a slice at a time, so that a large book never holds the event loop:
// each step() reads a few hundred records with the book open, and closes it
// again. A book written between two slices is read again from the start; a
// book a window opened meanwhile reads as in use.
class ContactBookReading {
  public:
    explicit ContactBookReading(const VCardBook& book);
    ~ContactBookReading();
    ContactBookReading(const ContactBookReading&) = delete;
    ContactBookReading& operator=(const ContactBookReading&) = delete;

    bool step();  // true: the snapshot is whole (or the book in use)
    ContactBookSnapshot take();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

struct ContactChange {
    int record = 0;  // 0: a new record
    AddressValues values;
    QString uid;
    bool toTrash = false;
    int link = -1;  // index into ContactSyncResult::links: its record is this one
};

struct ContactSyncResult {
    DavResult problem;  // not ok: the sync stopped there; what was done is kept
    QList<ContactLink> links;
    QList<ContactChange> changes;
    QByteArray token;  // empty: keep the one there was
    int sent = 0;      // cards sent up, new or changed
    int received = 0;  // records changed or added here
    int deletedHere = 0;
    int deletedThere = 0;
    QStringList conflicted;  // the names of records changed on both sides
};

// Step 2. `token` the one the last sync kept (empty: none).
ContactSyncResult ExchangeContacts(DavConnection& server, const QUrl& collection,
                                   const QByteArray& token, const ContactBookSnapshot& book);

struct ContactSyncApplied {
    int changed = 0;
    int added = 0;
    int trashed = 0;
    int leftForLater = 0;    // records changed here meanwhile
    int waitingForBook = 0;  // changes not written: a window opened the book meanwhile
    bool inUse = false;      // the book is open in a window: nothing written
    // Every change written or left for later: the sync's token may be kept.
    // Changes waiting for the book come again only when asked for by the old one.
    bool whole() const { return !inUse && waitingForBook == 0; }
};

// Step 3. A refused write raises kesp::WriteFailure; what was committed
// before stays and the next sync finds it again.
ContactSyncApplied ApplyContactSync(const VCardBook& book, const ContactBookSnapshot& read,
                                    ContactSyncResult& result);

// Step 3 a slice at a time: each step() writes a few hundred records in a
// commit of their own (their UIDs written ahead), then the links that changed,
// a few hundred per commit. A book a window opened, or that was written,
// between two slices is left as it is: the changes not yet written wait.
class ContactSyncApplying {
  public:
    ContactSyncApplying(const VCardBook& book, const ContactBookSnapshot& read,
                        ContactSyncResult& result);
    ~ContactSyncApplying();
    ContactSyncApplying(const ContactSyncApplying&) = delete;
    ContactSyncApplying& operator=(const ContactSyncApplying&) = delete;

    bool step();  // true: done. A refused write raises kesp::WriteFailure.
    const ContactSyncApplied& applied() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The sync's summary in the interface language, lines separated by "\r".
QString ContactSyncSummary(const QString& bookName, const ContactSyncResult& result,
                           const ContactSyncApplied& applied);
