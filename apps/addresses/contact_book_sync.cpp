// Steps 1 and 3 of the sync (contact_sync.h): the book read before the
// exchange and written after it, in the event loop.
#include "apps/addresses/contact_sync.h"
#include "apps/addresses/vcard_uids.h"
#include "apps/common/dav_sync_summary.h"
#include "apps/common/exclusive_table.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/number_followers.h"
#include "store/xbase.h"

#include <QDateTime>
#include <QFileInfo>

#include <optional>

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

QString LinksPath(const VCardBook& book) {
    return THE_DATA_PATH + ContactLinksTable(book.kind);
}

// Records read or written a slice at a time: a few milliseconds each.
constexpr int kRecordsPerSlice = 100;
constexpr int kLinksPerSlice = 250;

// What tells whether anybody wrote the book between two slices.
struct BookStamp {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const BookStamp&) const = default;
};

BookStamp StampOf(const VCardBook& book) {
    const QFileInfo file(THE_DATA_PATH + book.table);
    return {file.size(), file.lastModified()};
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

struct ContactBookReading::State {
    const VCardBook& book;
    ContactBookSnapshot snapshot;
    QHash<int, QString> names;  // record number → name key, the live records
    int nextRecord = 1;
    int nextLinkRow = 0;  // 0: the records still being read
    BookStamp stamp;
    bool done = false;
};

ContactBookReading::ContactBookReading(const VCardBook& book)
    : state_(std::make_unique<State>(State{.book = book})) {}

ContactBookReading::~ContactBookReading() = default;

bool ContactBookReading::step() {
    State& s = *state_;
    if (s.done) return true;
    if (s.nextLinkRow > 0) {
        s.nextLinkRow = ReadContactLinksFrom(LinksPath(s.book), s.nextLinkRow, kLinksPerSlice,
                                             s.snapshot.links);
        s.done = s.nextLinkRow == 0;
        return s.done;
    }
    if (s.nextRecord > 1 && StampOf(s.book) != s.stamp) {  // written meanwhile
        s.snapshot.live.clear();
        s.names.clear();
        s.nextRecord = 1;
    }
    bool more = false;
    {
        const ExclusiveTable open(THE_DATA_PATH + s.book.table, kAlias);
        if (!open.open()) {
            s.snapshot = {};
            s.snapshot.inUse = true;
            s.done = true;
            return true;
        }
        if (s.nextRecord == 1) {
            s.snapshot.shape = BookShapeOf(s.book, kAlias);
            s.snapshot.fields = AddressFieldsOf(s.book.kind);
            for (const QString& field : s.snapshot.fields)
                s.snapshot.labels[field] = field;
            const QStringList& captions = s.snapshot.shape.captions;
            for (int n = 1; n <= 9 && n <= captions.size(); ++n)
                if (!captions[n - 1].isEmpty())
                    s.snapshot.labels[QStringLiteral("FREE%1").arg(n, 2, 10, QLatin1Char('0'))] =
                        captions[n - 1];
        }
        const int last = std::min(RECCOUNT(), s.nextRecord + kRecordsPerSlice - 1);
        for (; s.nextRecord <= last; ++s.nextRecord) {
            DBGOTO(s.nextRecord);
            if (DELETED()) continue;
            s.snapshot.live.insert(s.nextRecord, ValuesOfRecord(s.book, kAlias));
            s.names.insert(s.nextRecord, NameKeyOfRecord(kAlias));
        }
        more = s.nextRecord <= RECCOUNT();
    }
    s.stamp = StampOf(s.book);  // once the book is closed again
    if (more) return false;
    CardIdentities uids(THE_DATA_PATH + s.book.uidTable, s.names);
    for (auto it = s.snapshot.live.cbegin(); it != s.snapshot.live.cend(); ++it)
        s.snapshot.uids.insert(it.key(), uids.uidOf(it.key()));
    uids.write();
    s.nextLinkRow = 1;
    return false;
}

ContactBookSnapshot ContactBookReading::take() {
    return std::move(state_->snapshot);
}

ContactBookSnapshot ReadContactBook(const VCardBook& book) {
    ContactBookReading reading(book);
    while (!reading.step()) {
    }
    return reading.take();
}

struct ContactSyncApplying::State {
    const VCardBook& book;
    const ContactBookSnapshot& read;
    ContactSyncResult& result;
    ContactSyncApplied applied;
    std::optional<CardIdentities> uids;
    std::optional<BookStamp> stamp;  // after the last slice that wrote the book
    int nextChange = 0;
    QList<int> linksToWrite;  // known once every record is written
    int nextLink = -1;        // -1: the records still being written
    bool done = false;

    void leaveTheRestWaiting();
    void applyChange(const ContactChange& change);
    void findLinksToWrite();
};

// The changes not yet written wait for the next sync, their links as they were.
void ContactSyncApplying::State::leaveTheRestWaiting() {
    for (; nextChange < result.changes.size(); ++nextChange) {
        const ContactChange& change = result.changes[nextChange];
        if (change.link >= 0) PutLinkBack(read, result.links[change.link]);
        ++applied.waitingForBook;
    }
}

void ContactSyncApplying::State::applyChange(const ContactChange& change) {
    const QStringList& fields = read.fields;
    if (change.record > 0) {
        const bool there = change.record <= RECCOUNT();
        if (there) DBGOTO(change.record);
        // Changed or deleted here since it was read: the next sync merges it.
        if (!there || DELETED() ||
            ValuesFingerprint(ValuesOfRecord(book, kAlias), fields) !=
                ValuesFingerprint(read.live.value(change.record), fields)) {
            if (change.link >= 0) PutLinkBack(read, result.links[change.link]);
            ++applied.leftForLater;
            return;
        }
        if (change.toTrash) {
            DBDELETE();
            ++applied.trashed;
            return;
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
    if (!change.uid.isEmpty()) uids->remember(change.uid, RECNO(), NameKeyOfRecord(kAlias));
}

// Only the links new or different from the rows read are written.
void ContactSyncApplying::State::findLinksToWrite() {
    QHash<int, const ContactLink*> readRows;
    for (const ContactLink& link : read.links)
        readRows.insert(link.row, &link);
    for (int i = 0; i < result.links.size(); ++i) {
        const ContactLink& link = result.links[i];
        const ContactLink* before = link.row > 0 ? readRows.value(link.row) : nullptr;
        if (link.row == 0 ? !link.dropped : (before == nullptr || !(*before == link)))
            linksToWrite.append(i);
    }
    nextLink = 0;
}

ContactSyncApplying::ContactSyncApplying(const VCardBook& book, const ContactBookSnapshot& read,
                                         ContactSyncResult& result)
    : state_(std::make_unique<State>(State{.book = book, .read = read, .result = result})) {}

ContactSyncApplying::~ContactSyncApplying() = default;

const ContactSyncApplied& ContactSyncApplying::applied() const {
    return state_->applied;
}

bool ContactSyncApplying::step() {
    State& s = *state_;
    if (s.done) return true;
    if (s.nextLink >= 0) {
        const QList<int> slice = s.linksToWrite.mid(s.nextLink, kLinksPerSlice);
        if (!slice.isEmpty()) WriteContactLinks(LinksPath(s.book), s.result.links, slice);
        s.nextLink += kLinksPerSlice;
        s.done = s.nextLink >= s.linksToWrite.size();
        return s.done;
    }
    if (s.result.changes.isEmpty()) {
        s.findLinksToWrite();
        return false;
    }
    const bool writtenMeanwhile = s.stamp && StampOf(s.book) != *s.stamp;
    {
        const ExclusiveTable open(THE_DATA_PATH + s.book.table, kAlias);
        if (!open.open() && s.nextChange == 0) {
            s.applied.inUse = true;
            s.done = true;
            return true;
        }
        if (!open.open() || writtenMeanwhile) {
            s.leaveTheRestWaiting();
        } else if (!s.uids) {
            // A slice of its own: the UIDs are read whole.
            s.uids.emplace(THE_DATA_PATH + s.book.uidTable, LiveNames(kAlias));
        } else {
            const int last =
                std::min<int>(s.result.changes.size(), s.nextChange + kRecordsPerSlice);
            for (; s.nextChange < last; ++s.nextChange)
                s.applyChange(s.result.changes[s.nextChange]);
            // The UIDs are written ahead, so that a record that came from the
            // server is found again by its card's UID whatever moment ends the
            // process.
            try {
                s.uids->writeAhead();
                DBCOMMIT();
            } catch (const kesp::WriteFailure&) {
                DBROLLBACK();
                s.uids->dropWrittenAhead();
                throw;
            }
            s.uids->write();
        }
    }
    s.stamp = StampOf(s.book);
    if (s.nextChange >= s.result.changes.size()) s.findLinksToWrite();
    return false;
}

ContactSyncApplied ApplyContactSync(const VCardBook& book, const ContactBookSnapshot& read,
                                    ContactSyncResult& result) {
    ContactSyncApplying applying(book, read, result);
    while (!applying.step()) {
    }
    return applying.applied();
}

QString ContactSyncSummary(const QString& bookName, const ContactSyncResult& result,
                           const ContactSyncApplied& applied) {
    if (applied.inUse)
        return TEXT({"%1: wartet, bis das Adressbuch geschlossen ist.",
                     "%1: waits until the address book is closed.",
                     "%1: aguarda até o catálogo de endereços ser fechado."})
            .arg(bookName);
    QStringList lines{DavSyncCountsLine(bookName, result.sent, applied.changed + applied.added,
                                        applied.trashed, result.deletedThere)};
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
    if (applied.waitingForBook > 0)
        lines.append(COUNTED(applied.waitingForBook,
                             {"%1 Adresse wartet, weil das Adressbuch währenddessen geöffnet "
                              "wurde; sie folgt beim nächsten Abgleich.",
                              "%1 address waits because the address book was opened meanwhile; "
                              "it follows at the next sync.",
                              "%1 endereço aguarda porque o catálogo de endereços foi aberto "
                              "enquanto isso; ele segue na próxima sincronização."},
                             {"%1 Adressen warten, weil das Adressbuch währenddessen geöffnet "
                              "wurde; sie folgen beim nächsten Abgleich.",
                              "%1 addresses wait because the address book was opened meanwhile; "
                              "they follow at the next sync.",
                              "%1 endereços aguardam porque o catálogo de endereços foi aberto "
                              "enquanto isso; eles seguem na próxima sincronização."}));
    return lines.join(u'\r');
}
