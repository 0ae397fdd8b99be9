#include "apps/agenda/agenda_sync.h"

#include "apps/agenda/agenda_views.h"
#include "apps/agenda/appointment_events.h"
#include "apps/agenda/appointment_links.h"
#include "apps/agenda/calendar_exchange.h"
#include "apps/agenda/event_merge.h"
#include "apps/agenda/pack_without_trash.h"
#include "apps/common/exclusive_table.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QHash>

namespace {

const QString kAlias = QStringLiteral("agendasync");

// The agenda's table, its link table named to follow its packs first.
QString AgendaFollowedByItsLinks() {
    FollowAgendaPacks();
    return THE_DATA_PATH + kAgendaTable;
}

QHash<QString, AgendaEvent> EventsNow() {
    QList<NumberedAppointment> live;
    DBEVALLIVE([&live] { live.append({RECNO(), ReadAppointment(kAlias)}); });
    QHash<QString, AgendaEvent> events;
    for (AgendaEvent& event : EventsOfAppointments(THE_DATA_PATH, live))
        events.insert(event.uid, std::move(event));
    return events;
}

QByteArray FingerprintOf(const AgendaEvent& event) {
    return EventKind().fingerprint(EventObject(event.items));
}

bool AnyDeleted() {
    for (int record = 1; record <= RECCOUNT(); ++record) {
        DBGOTO(record);
        if (DELETED()) return true;
    }
    return false;
}

void DeleteRecords(const QList<int>& records) {
    for (const int record : records) {
        DBGOTO(record);
        DBDELETE();
    }
}

QString LinksPath() {
    return THE_DATA_PATH + kAgendaSyncLinksTable;
}

}  // namespace

DavSnapshot ReadAgendaForSync() {
    DavSnapshot snapshot;
    ExclusiveTable open(AgendaFollowedByItsLinks(), kAlias);
    if (!open.open()) {
        snapshot.inUse = true;
        return snapshot;
    }
    const EventKind kind;
    for (const AgendaEvent& event : EventsNow()) {
        const QByteArray body = EventObject(event.items);
        snapshot.live.insert(event.uid, {body, kind.fingerprint(body)});
    }
    snapshot.links = ReadDavLinks(LinksPath());
    return snapshot;
}

DavSyncApplied ApplyAgendaSync(const DavSnapshot& read, DavSyncResult& result) {
    DavSyncApplied applied;
    ExclusiveTable open(AgendaFollowedByItsLinks(), kAlias);
    if (!open.open()) {
        applied.inUse = true;
        return applied;
    }
    // What another deletion left marked goes to the trash first, as the
    // window's opening takes it: the pack below keeps nothing.
    if (AnyDeleted()) __DBPACK();
    QHash<QString, AgendaEvent> now = EventsNow();
    QList<const DavItemChange*> toStore;
    QList<int> trashed;
    for (const DavItemChange& change : result.changes) {
        const bool wasHere = read.live.contains(change.uid);
        const bool isHere = now.contains(change.uid);
        if (wasHere != isHere ||
            (isHere && FingerprintOf(now[change.uid]) != read.live[change.uid].fingerprint)) {
            // Changed here since it was read: the next sync merges it.
            DavLink& link = result.links[change.link];
            link = {};
            for (const DavLink& before : read.links)
                if (before.uid == change.uid) link = before;
            if (link.row == 0) link.dropped = true;
            ++applied.leftForLater;
            continue;
        }
        if (!change.toTrash) {
            toStore.append(&change);
            continue;
        }
        trashed.append(now[change.uid].records);
        MarkEventDeleted(THE_DATA_PATH, change.uid, true);
        ++applied.trashed;
    }
    if (!trashed.isEmpty()) {
        // In one pack, so that the trash brings an event back whole.
        DeleteRecords(trashed);
        __DBPACK();
        now = EventsNow();
    }
    QList<EventToStore> events;
    QList<int> replaced;
    for (const DavItemChange* change : toStore) {
        const auto here = now.constFind(change->uid);
        if (here != now.cend()) {
            replaced.append(here->records);
            ++applied.changed;
        } else {
            ++applied.added;
        }
        ForgetTrashedLinksOf(THE_DATA_PATH, change->uid);
        RemoveEventRows(THE_DATA_PATH, change->uid);
        events.append(EventsToStore(ReadCalendarFile(change->body).items));
    }
    if (!events.isEmpty()) {
        StoreEvents(THE_DATA_PATH, events, StoreHorizon(DATE()));
        DeleteRecords(replaced);
        DropLinks(THE_DATA_PATH, replaced);
        PackWithoutTrash noTrash;
        __DBPACK();
    }
    // What the agenda holds now is what both sides agree on: its own form
    // of an event may differ from the server's in what neither changed.
    now = EventsNow();
    for (const DavItemChange* change : toStore)
        if (now.contains(change->uid))
            result.links[change->link].agreed = FingerprintOf(now[change->uid]);
    WriteDavLinks(LinksPath(), result.links);
    return applied;
}
