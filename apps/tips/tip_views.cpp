#include "apps/tips/tip_views.h"

#include "apps/common/field_rows.h"
#include "apps/common/index_files.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "kernel/public_variables.h"
#include "store/live_records.h"
#include "store/xbase.h"

namespace {

// The result table in its work area under a name of its own, while the
// collection may still be open under the window's alias.
void UseResultTableAlone() {
    DBSELECTAREA(kResultArea);
    DBUSEAREA(false, THE_DATA_PATH + kResultTable, "ergeb");
}

void UseResultTableShown(const RecordWindow& tips) {
    DBCLOSEALL();
    DBSELECTAREA(kResultArea);
    DBUSEAREA(false, THE_DATA_PATH + kResultTable, tips.alias);
    KOPIERT = true;
}

// The collection in its work area under the window's alias, alone.
void UseCollection(const RecordWindow& tips) {
    DBCLOSEALL();
    KOPIERT = false;
    DBSELECTAREA(tips.workArea);
    DBUSEAREA(false, THE_DATA_PATH + tips.table, tips.alias);
}

int CopiedTipNumber(const RecordWindow& tips) {
    return static_cast<int>(FIELD(tips.alias + "->THE_RECNO").toDouble());
}

}  // namespace

void PackResultTable() {
    UseResultTableAlone();
    __DBPACK();
    DBCLOSEAREA();
}

void EmptyResultTable() {
    UseResultTableAlone();
    DBEVALLIVE(DBDELETE);
    __DBPACK();
    DBCLOSEAREA();
}

void OpenCollection(const RecordWindow& tips) {
    UseCollection(tips);
    CreateIndexFiles(tips.indexes, tips.normalOrder);
    DBGOTOP();
    THE_ANZAHL = LIVECOUNT();
}

void OpenResults(const RecordWindow& tips, const QList<TipCopy>& copies) {
    UseResultTableAlone();
    for (const TipCopy& copy : copies) {
        DBAPPEND();
        REPLACE("TITEL", copy.title);
        REPLACE("BEZ", copy.description);
        REPLACE("THE_RECNO", double(copy.record));
    }
    DBCOMMIT();
    UseResultTableShown(tips);
    DBGOTOP();
}

void SaveResultAndItsTip(const RecordWindow& tips) {
    DBSELECTAREA(kResultArea);
    if (DBEOF()) return;  // no result is shown
    const int tip = CopiedTipNumber(tips);
    const int result = RECNO();
    WriteControlsToRecord(tips.window, tips.alias, tips.fields);
    DBCOMMIT();

    UseCollection(tips);
    DBGOTO(tip);
    if (!DBEOF()) {
        WriteControlsToRecord(tips.window, tips.alias, tips.fields);
        DBCOMMIT();
    }
    StepsToTheEnd after;
    after.Run([&tips] { CreateIndexFiles(tips.indexes, tips.normalOrder); });
    THE_ANZAHL = LIVECOUNT();

    UseResultTableShown(tips);
    DBGOTO(result);
    RefreshRecordWindow(tips);
    after.TellSavedAnyway(*tips.messageTitle);
}

void DeleteTipOfResult(const RecordWindow& tips) {
    DBSELECTAREA(kResultArea);
    const int tip = CopiedTipNumber(tips);
    OpenCollection(tips);
    DBGOTO(tip);
    if (!DBEOF()) {
        DBDELETE();
        NoteDeletion(tips, ShownWorkArea(tips), tip);  // the collection is shown from now on
    }
    THE_ANZAHL = LIVECOUNT();
    DBGOTOP();
    RefreshRecordWindow(tips);
}
