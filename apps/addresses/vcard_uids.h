// The UIDs of an address book's cards, kept in a table of their own beside
// the book ("vcard_p.dbf" and "vcard_g.dbf" in the data folder, created when
// first needed): SATZ the record's number when the UID was last used, NAME
// its name key, UID the card's identity. No field of the book itself holds
// them.
//
// Record numbers change when a book is packed; every pack in this program
// renumbers SATZ as it renumbers the records (store/number_followers.h), and
// a UID whose record the pack removed (SATZ 0) is forgotten. So two records
// of the same name keep their own UIDs through packs. As another program may
// have packed the book, a UID belongs to the record at its number only while
// that record still has the name; else to a record of that name that no
// other UID claims. A record thus keeps its UID through packing and through
// every change but one of its name. UIDs longer than the table holds are
// kept as their SHA-256 ("sha256:<hex>").
//
// What an import gives the table is written ahead beside it
// ("vcard_p_offen.dbf") before the book's records are committed, and the
// table written only after them: whichever moment ends the process, the next
// reader takes from what was written ahead the UIDs whose records are in the
// book with the name they were given, and no other. A book's records and
// their UIDs are thus kept both or neither.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QSet>
#include <QString>

// "VORNAME|NACHNAME" trimmed and in capitals: what ties a UID to a record.
QString CardNameKey(const QString& firstName, const QString& lastName);

class CardIdentities {
  public:
    // Reads the table at `path` (created empty when missing) in a work area
    // of its own; `liveNames` are the name keys of the book's records not
    // marked deleted, by record number.
    CardIdentities(const QString& path, const QHash<int, QString>& liveNames);

    // The UID of record `number`, made anew (and kept) when it has none.
    QString uidOf(int number);

    // The live record the UID names; 0 when none.
    int recordOf(const QString& uid);

    // `uid` now belongs to record `number` (whose name key is `nameKey`).
    void remember(const QString& uid, int number, const QString& nameKey);

    // Writes what changed ahead, beside the table, before the records it
    // names are committed. A refused write raises kesp::WriteFailure and
    // leaves the table and what an earlier run wrote ahead as they were.
    void writeAhead();
    // Forgets what was written ahead: the records it named were not committed.
    void dropWrittenAhead();

    // Writes what changed into the table, in a work area of its own (the
    // current area stays), then forgets what was written ahead.
    void write();

  private:
    struct Entry {
        int row = 0;  // in the UID table; 0: not yet written
        int number = 0;
        QString nameKey;
        QString uid;
        bool changed = false;
        bool used = false;  // given to a record in this run
    };
    void add(const Entry& entry);
    // Takes over what a run ended before write() had written ahead.
    void takeOverWrittenAhead();
    QList<int> entriesNamed(const QString& nameKey) const;
    int entryOf(int number) const;  // index into entries_, -1: none

    QString path_;
    QList<Entry> entries_;
    QHash<QString, int> byUid_;        // → index into entries_
    QMultiHash<QString, int> byName_;  // name key → indexes into entries_
    QHash<int, QString> liveNames_;
    QMultiHash<QString, int> liveByName_;  // name key → record numbers
    QSet<int> claimed_;                    // record numbers a UID was resolved to
};

// The form a UID is kept and compared in.
QString KeptUid(const QString& uid);
