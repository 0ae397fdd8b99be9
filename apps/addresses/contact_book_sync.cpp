// Steps 1 and 3 of the sync (contact_sync.h): the book read before the
// exchange and written after it, in the event loop.
#include "apps/addresses/contact_sync.h"
#include "apps/addresses/vcard_uids.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/number_followers.h"
#include "store/xbase.h"

namespace {

const QString kAlias = QStringLiteral("contactsync");

// The links hold the book's record numbers: every pack of a book in this
// program renumbers them.
[[maybe_unused]] const bool kLinksFollowPacks = [] {
    for (const VCardBook* book : {&PrivateVCardBook(), &BusinessVCardBook()})
        kesp::store::FollowRecordNumbers(
            {book->table, ContactLinksTable(book->kind), QStringLiteral("SATZ")});
    return true;
}();

// The book's table in a work area of its own; nothing when a window has it.
class OpenBook {
  public:
    explicit OpenBook(const VCardBook& book) : previous_(SELECT()) {
        DBUSEAREA(true, THE_DATA_PATH + book.table, kAlias);
        open_ = !NETERR();
    }
    ~OpenBook() {
        if (open_) {
            DBSELECTAREA(kAlias);
            DBCLOSEAREA();
        }
        DBSELECTAREA(previous_);
    }
    OpenBook(const OpenBook&) = delete;
    OpenBook& operator=(const OpenBook&) = delete;
    bool open() const { return open_; }

  private:
    int previous_;
    bool open_ = false;
};

QString LinksPath(const VCardBook& book) {
    return THE_DATA_PATH + ContactLinksTable(book.kind);
}

// The link of a change that waits for the next sync, as it was before.
void PutLinkBack(const ContactBookSnapshot& read, ContactLink& link) {
    for (const ContactLink& before : read.links)
        if (link.row > 0 && before.row == link.row) {
            link = before;
            return;
        }
    link.dropped = true;
}

}  // namespace

ContactBookSnapshot ReadContactBook(const VCardBook& book) {
    ContactBookSnapshot snapshot;
    OpenBook open(book);
    if (!open.open()) {
        snapshot.inUse = true;
        return snapshot;
    }
    snapshot.shape = BookShapeOf(book, kAlias);
    snapshot.fields = AddressFieldsOf(book.kind);
    for (const QString& field : snapshot.fields)
        snapshot.labels[field] = field;
    for (int n = 1; n <= 9 && n <= snapshot.shape.captions.size(); ++n)
        if (!snapshot.shape.captions[n - 1].isEmpty())
            snapshot.labels[QStringLiteral("FREE%1").arg(n, 2, 10, QLatin1Char('0'))] =
                snapshot.shape.captions[n - 1];
    DBEVALLIVE([&] { snapshot.live.insert(RECNO(), ValuesOfRecord(book, kAlias)); });
    CardIdentities uids(THE_DATA_PATH + book.uidTable, LiveNames(kAlias));
    for (auto it = snapshot.live.cbegin(); it != snapshot.live.cend(); ++it)
        snapshot.uids.insert(it.key(), uids.uidOf(it.key()));
    uids.write();
    snapshot.links = ReadContactLinks(LinksPath(book));
    return snapshot;
}

ContactSyncApplied ApplyContactSync(const VCardBook& book, const ContactBookSnapshot& read,
                                    ContactSyncResult& result) {
    ContactSyncApplied applied;
    OpenBook open(book);
    if (!open.open()) {
        applied.inUse = true;
        return applied;
    }
    const QStringList& fields = read.fields;
    CardIdentities uids(THE_DATA_PATH + book.uidTable, LiveNames(kAlias));
    for (const ContactChange& change : result.changes) {
        if (change.record > 0) {
            const bool there = change.record <= RECCOUNT();
            if (there) DBGOTO(change.record);
            // Changed or deleted here since it was read: the next sync merges it.
            if (!there || DELETED() ||
                ValuesFingerprint(ValuesOfRecord(book, kAlias), fields) !=
                    ValuesFingerprint(read.live.value(change.record), fields)) {
                if (change.link >= 0) PutLinkBack(read, result.links[change.link]);
                ++applied.leftForLater;
                continue;
            }
            if (change.toTrash) {
                DBDELETE();
                ++applied.trashed;
                continue;
            }
            ++applied.changed;
        } else {
            DBAPPEND();
            ++applied.added;
        }
        for (const QString& field : fields)
            REPLACE(kAlias + "->" + field, change.values.value(field));
        if (change.link >= 0) {
            ContactLink& link = result.links[change.link];
            link.record = RECNO();
            link.nameKey = NameKeyOfRecord(kAlias);
        }
        if (!change.uid.isEmpty()) uids.remember(change.uid, RECNO(), NameKeyOfRecord(kAlias));
    }
    // The UIDs are written ahead, so that a record that came from the server
    // is found again by its card's UID whatever moment ends the process.
    try {
        uids.writeAhead();
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        DBROLLBACK();
        uids.dropWrittenAhead();
        throw;
    }
    uids.write();
    WriteContactLinks(LinksPath(book), result.links);
    return applied;
}

QString ContactSyncSummary(const QString& bookName, const ContactSyncResult& result,
                           const ContactSyncApplied& applied) {
    if (applied.inUse)
        return TEXT({"%1: wartet, bis das Adressbuch geschlossen ist.",
                     "%1: waits until the address book is closed.",
                     "%1: aguarda até o catálogo de endereços ser fechado."})
            .arg(bookName);
    QStringList lines{
        TEXT({"%1: %2 gesendet, %3 empfangen, %4 hier in den Papierkorb, %5 auf dem Server "
              "gelöscht.",
              "%1: %2 sent, %3 received, %4 moved to the trash here, %5 deleted on the server.",
              "%1: %2 enviados, %3 recebidos, %4 movidos para a lixeira aqui, %5 excluídos no "
              "servidor."})
            .arg(bookName)
            .arg(result.sent)
            .arg(applied.changed + applied.added)
            .arg(applied.trashed)
            .arg(result.deletedThere)};
    if (!result.conflicted.isEmpty())
        lines.append(TEXT({"Auf beiden Seiten geändert (der Wert des Servers steht in den "
                           "Notizen): %1",
                           "Changed on both sides (the server's value is in the notes): %1",
                           "Alterados dos dois lados (o valor do servidor está nas notas): %1"})
                         .arg(result.conflicted.join(QStringLiteral(", "))));
    if (applied.leftForLater > 0)
        lines.append(COUNTED(applied.leftForLater,
                             {"%1 Adresse wurde währenddessen hier geändert; sie folgt beim "
                              "nächsten Abgleich.",
                              "%1 address was changed here meanwhile; it follows at the next sync.",
                              "%1 endereço foi alterado aqui enquanto isso; ele segue na próxima "
                              "sincronização."},
                             {"%1 Adressen wurden währenddessen hier geändert; sie folgen beim "
                              "nächsten Abgleich.",
                              "%1 addresses were changed here meanwhile; they follow at the next "
                              "sync.",
                              "%1 endereços foram alterados aqui enquanto isso; eles seguem na "
                              "próxima sincronização."}));
    return lines.join(u'\r');
}
