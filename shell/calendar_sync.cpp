#include "shell/calendar_sync.h"

#include "apps/agenda/agenda.h"
#include "apps/agenda/agenda_sync.h"
#include "apps/agenda/event_merge.h"
#include "apps/common/dav_problem_text.h"
#include "apps/projects/project_sync.h"
#include "apps/projects/projects.h"
#include "apps/projects/task_object.h"
#include "kernel/problem_texts.h"
#include "kernel/texts.h"
#include "store/fault.h"

QList<CalendarSync> MappedCalendars(const ServerAccount& account) {
    QList<CalendarSync> calendars;
    if (!account.agendaCalendar.isEmpty())
        calendars.append({true, account.agendaCalendar, account.agendaToken});
    if (!account.projectsList.isEmpty())
        calendars.append({false, account.projectsList, account.projectsToken});
    return calendars;
}

void ReadCalendars(QList<CalendarSync>& calendars) {
    for (CalendarSync& sync : calendars)
        sync.snapshot = sync.agenda ? ReadAgendaForSync() : ReadProjectsForSync();
}

void ExchangeCalendars(QList<CalendarSync>& calendars, DavConnection& server) {
    const EventKind events;
    const TaskKind tasks;
    for (CalendarSync& sync : calendars) {
        if (sync.snapshot.inUse) continue;
        server.rememberCollection(
            {.url = sync.collection, .events = sync.agenda, .tasks = !sync.agenda});
        const DavItemKind& kind = sync.agenda ? static_cast<const DavItemKind&>(events) : tasks;
        sync.result = ExchangeItems(server, sync.collection, sync.token, sync.snapshot, kind);
        if (sync.result.problem.problem == DavProblem::Offline) break;
    }
}

void ApplyCalendars(QList<CalendarSync>& calendars, SyncRun& run, ServerAccount& account) {
    for (CalendarSync& sync : calendars) {
        const QString name = TEXT(sync.agenda ? AgendaKind().name : ProjectsKind().name);
        if (sync.snapshot.inUse) {
            run.summary.append(DavSyncSummary(name, sync.result, {.inUse = true}));
            continue;
        }
        DavSyncApplied applied;
        try {
            applied = sync.agenda ? ApplyAgendaSync(sync.snapshot, sync.result)
                                  : ApplyProjectsSync(sync.snapshot, sync.result);
        } catch (const kesp::WriteFailure& failure) {
            if (run.problem.isEmpty()) run.problem = WRITE_FAILURE_TEXT(failure);
            continue;
        }
        run.summary.append(DavSyncSummary(name, sync.result, applied));
        run.changedHere += applied.changed + applied.added + applied.trashed;
        if (!sync.result.problem.ok()) {
            if (run.problem.isEmpty())
                run.problem = DavProblemText(sync.result.problem, account.server);
            run.offline = run.offline || sync.result.problem.problem == DavProblem::Offline;
        }
        // The token only once the table and its links are written.
        if (applied.inUse || sync.result.token.isEmpty()) continue;
        (sync.agenda ? account.agendaToken : account.projectsToken) = sync.result.token;
    }
}
