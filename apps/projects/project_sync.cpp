#include "apps/projects/project_sync.h"

#include "apps/common/exclusive_table.h"
#include "apps/projects/projects.h"
#include "apps/projects/task_object.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/number_followers.h"
#include "store/xbase.h"

#include <QHash>
#include <QUuid>

namespace {

const QString kAlias = QStringLiteral("projectsync");
constexpr int kTitleLength = 50;

QString TablePath() {
    return THE_DATA_PATH + Projects().table;
}

QString LinksPath() {
    return THE_DATA_PATH + kProjectsSyncLinksTable;
}

// The links hold the projects' record numbers: every pack renumbers them.
[[maybe_unused]] const bool kLinksFollowPacks = [] {
    kesp::store::FollowRecordNumbers(
        {Projects().table, kProjectsSyncLinksTable, QStringLiteral("SATZ")});
    return true;
}();

QVariant Field(const char* name) {
    return FIELD(kAlias + "->" + name);
}

// The current project's values; the day it was done from what both sides
// last agreed on, else today.
TaskValues ValuesOfProject(const DavLink& link) {
    TaskValues values{.title = Field("N_TITEL").toString().trimmed(),
                      .start = Field("DATUMA").toDate(),
                      .due = Field("DATUME").toDate(),
                      .done = Field("FERTIG").toBool(),
                      .description = Field("N_TEXT").toString().trimmed()};
    if (values.done) {
        const TaskValues agreed = ValuesOfTask(link.agreedBody);
        values.doneOn = agreed.done ? agreed.doneOn : QDate::currentDate();
    }
    return values;
}

void WriteProject(const TaskValues& values) {
    REPLACE(kAlias + "->N_TITEL", values.title.left(kTitleLength));
    REPLACE(kAlias + "->DATUMA", values.start);
    REPLACE(kAlias + "->DATUME", values.due);
    REPLACE(kAlias + "->FERTIG", values.done);
    REPLACE(kAlias + "->N_TEXT", values.description);
}

DavLocalItem LocalItem(const DavLink& link) {
    const QByteArray body = TaskObject(link.uid, ValuesOfProject(link));
    return {body, TaskKind().fingerprint(body)};
}

}  // namespace

DavSnapshot ReadProjectsForSync() {
    DavSnapshot snapshot;
    ExclusiveTable open(TablePath(), kAlias);
    if (!open.open()) {
        snapshot.inUse = true;
        return snapshot;
    }
    snapshot.links = ReadDavLinks(LinksPath());
    QHash<int, int> linkOfRecord;
    for (int at = 0; at < snapshot.links.size(); ++at)
        if (snapshot.links[at].record > 0) linkOfRecord.insert(snapshot.links[at].record, at);
    bool given = false;
    DBEVALLIVE([&] {
        if (!linkOfRecord.contains(RECNO())) {
            snapshot.links.append(
                {.record = RECNO(), .uid = QUuid::createUuid().toString(QUuid::WithoutBraces)});
            linkOfRecord.insert(RECNO(), int(snapshot.links.size() - 1));
            given = true;
        }
        const DavLink& link = snapshot.links[linkOfRecord[RECNO()]];
        snapshot.live.insert(link.uid, LocalItem(link));
    });
    // The new UIDs before anything goes up.
    if (given) WriteDavLinks(LinksPath(), snapshot.links);
    return snapshot;
}

DavSyncApplied ApplyProjectsSync(const DavSnapshot& read, DavSyncResult& result) {
    DavSyncApplied applied;
    ExclusiveTable open(TablePath(), kAlias);
    if (!open.open()) {
        applied.inUse = true;
        return applied;
    }
    QHash<QString, const DavLink*> readLinkOf;
    for (const DavLink& link : read.links)
        readLinkOf.insert(link.uid, &link);
    for (const DavItemChange& change : result.changes) {
        DavLink& link = result.links[change.link];
        const DavLink* before = readLinkOf.value(change.uid);
        const int record = before && read.live.contains(change.uid) ? before->record : 0;
        if (record > 0) {
            const bool there = record <= RECCOUNT();
            if (there) DBGOTO(record);
            // Changed or deleted here since it was read: the next sync merges it.
            if (!there || DELETED() ||
                LocalItem(*before).fingerprint != read.live[change.uid].fingerprint) {
                link = *before;
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
            REPLACE(kAlias + "->ERSTELLT", QDate::currentDate());
            ++applied.added;
        }
        WriteProject(ValuesOfTask(change.body));
        link.record = RECNO();
        link.nameKey = Field("N_TITEL").toString().trimmed().left(kTitleLength);
    }
    try {
        DBCOMMIT();
    } catch (const kesp::WriteFailure&) {
        DBROLLBACK();
        throw;
    }
    // What the project holds now is what both sides agree on.
    for (const DavItemChange& change : result.changes) {
        DavLink& link = result.links[change.link];
        if (change.toTrash || link.record <= 0 || link.dropped) continue;
        DBGOTO(link.record);
        if (!DELETED()) link.agreed = LocalItem(link).fingerprint;
    }
    WriteDavLinks(LinksPath(), result.links);
    return applied;
}
