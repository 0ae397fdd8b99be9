#include "apps/common/record_window.h"

#include "apps/common/record_texts.h"
#include "apps/common/window_texts.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <QColor>

namespace {

const QColor kHit{0, 255, 0};
const QColor kMiss{255, 0, 0};
const QColor kEmpty{255, 255, 255};

QString KeyOf(const RecordWindow& record) {
    return record.alias + "->" + record.keyField;
}

void CreateIndexAnew(const RecordWindow& record) {
    DBCREATEINDEX(record.indexFile, record.indexKey);
    ORDLISTREBUILD();
}

void ShowViewMode(const RecordWindow& record) {
    SETPROPERTY(record.window, "Button_1", "visible", false);
    SETPROPERTY(record.window, "Button_2", "visible", false);
    SETPROPERTY(record.window, "ToolBar_1", "visible", true);
}

void ShowEntryMode(const RecordWindow& record) {
    SETPROPERTY(record.window, "Button_1", "visible", true);
    SETPROPERTY(record.window, "Button_2", "visible", true);
    SETPROPERTY(record.window, "ToolBar_1", "visible", false);
}

bool KeyValueGiven(const RecordWindow& record, const Texts& warning) {
    if (!TrimmedValue(record.window, record.keyControl).isEmpty()) return true;
    MSGEXCLAMATION(TEXT(warning), THE_APP_NAME);
    return false;
}

int CountVisibleRecords() {
    int visible = 0;
    DBEVAL([&visible] { ++visible; });
    return visible;
}

}  // namespace

void DefineRecordWindow(const RecordWindow& record, const RecordWindowLook& look,
                        const Action& onInit, const Action& defineEditArea) {
    const RecordWindowLayout& at = record.layout;
    _DEFINEMODALWINDOW(record.window, {.title = look.title,
                                       .row = 132,
                                       .col = 232,
                                       .width = 700,
                                       .height = 450,
                                       .icon = look.icon,
                                       .onInit = onInit});
    _DEFINEIMAGEBUTTON("Button_1", {.row = at.entryButtonsRow,
                                    .col = at.saveButtonCol,
                                    .width = 40,
                                    .height = 28,
                                    .picture = "img/savelarge.bmp",
                                    .action = record.actions.saveNew,
                                    .tooltip = record_texts::kSave.de,
                                    .flat = true,
                                    .invisible = true});
    _DEFINEIMAGEBUTTON("Button_2", {.row = at.entryButtonsRow,
                                    .col = at.cancelButtonCol,
                                    .width = 40,
                                    .height = 28,
                                    .picture = "img/cancel.bmp",
                                    .action = record.actions.cancel,
                                    .tooltip = "Abbrechen",
                                    .flat = true,
                                    .invisible = true});
    _DEFINELABEL("Label_17", {.row = at.searchCaptionRow,
                              .col = at.column,
                              .width = at.width,
                              .height = 20,
                              .value = record_texts::kQuickSearch.de,
                              .bold = true,
                              .background = Qt::white});
    _DEFINETEXTBOX(record.searchBox, {.row = at.searchBoxRow,
                                      .col = at.column,
                                      .width = at.width,
                                      .height = 20,
                                      .onChange = record.actions.search});
    _DEFINELABEL("lbl_filter", {.row = at.resultLineRow,
                                .col = at.column,
                                .width = at.width,
                                .height = 20,
                                .bold = true,
                                .background = Qt::white});
    _DEFINEBROWSE("Browse_1", {.row = at.listRow,
                               .col = at.column,
                               .width = at.width,
                               .height = at.listHeight,
                               .headers = {look.listHeader},
                               .widths = {at.listColumnWidth},
                               .fields = {KeyOf(record)},
                               .workArea = record.alias,
                               .value = 0,
                               .onChange = record.actions.fill});
    _DEFINELABEL("label_anzahl", {.row = at.countLineRow,
                                  .col = at.column,
                                  .width = at.width,
                                  .height = 20,
                                  .bold = true,
                                  .background = Qt::white});
    defineEditArea();
    _ENDWINDOW();
}

void ShowRecordWindow(const RecordWindow& record) {
    DOMETHOD(record.window, "Center");
    _ACTIVATEWINDOW(record.window);
}

void BuildRecordToolbar(const RecordWindow& record) {
    const RecordActions& act = record.actions;
    _DEFINETOOLBAR("ToolBar_1", {.parent = record.window,
                                 .buttonWidth = 40,
                                 .buttonHeight = 40,
                                 .imageWidth = 16,
                                 .imageHeight = 16,
                                 .flat = true});
    using namespace record_texts;
    _DEFINETOOLBUTTON("x1",
                      {.picture = "img/first.bmp", .action = act.first, .tooltip = TEXT(kFirst)});
    _DEFINETOOLBUTTON(
        "x2", {.picture = "img/prev.bmp", .action = act.previous, .tooltip = TEXT(kPrevious)});
    _DEFINETOOLBUTTON("x3",
                      {.picture = "img/next.bmp", .action = act.next, .tooltip = TEXT(kNext)});
    _DEFINETOOLBUTTON("x4",
                      {.picture = "img/last.bmp", .action = act.last, .tooltip = TEXT(kLast)});
    _DEFINETOOLBUTTON(
        "x5", {.picture = "img/add.bmp", .action = act.newRecord, .tooltip = TEXT(kInsert)});
    _DEFINETOOLBUTTON(
        "x6", {.picture = "img/del.bmp", .action = act.deleteRecord, .tooltip = TEXT(kDelete)});
    _DEFINETOOLBUTTON(
        "x7",
        {.picture = "img/file_excel.bmp", .action = act.exportCsv, .tooltip = TEXT(kExportCsv)});
    _DEFINETOOLBUTTON("x8",
                      {.picture = "img/save.bmp", .action = act.save, .tooltip = TEXT(kSave)});
    _ENDTOOLBAR();
}

void SetSharedRecordTexts(const RecordWindow& record) {
    SetWindowTexts(record.window, {{"Label_17", "value", 0, record_texts::kQuickSearch},
                                   {"Button_1", "tooltip", 0, record_texts::kSave}});
}

void OpenRecordTable(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBUSEAREA(false, THE_DATA_PATH + record.table, record.alias);
    __DBPACK();
    CreateIndexAnew(record);
    DBGOTOP();
    THE_ANZAHL = CountLiveRecords();
}

void FillRecordWindow(const RecordWindow& record) {
    DBSELECTAREA("a");
    FillControlsFromRecord(record.window, record.alias, record.binding);
    SETPROPERTY(
        record.window, "label_anzahl", "value",
        QString::number(static_cast<long long>(THE_ANZAHL)) + TEXT(record_texts::kRecordsInTable));
    ShowViewMode(record);
}

void RefreshRecordWindow(const RecordWindow& record) {
    record.actions.fill();
    DOMETHOD(record.window, "Browse_1", "refresh");
    SETPROPERTY(record.window, "Browse_1", "value", RECNO());
}

void GoFirstRecord(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBGOTOP();
    RefreshRecordWindow(record);
}

void GoPreviousRecord(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBSKIP(-1);
    RefreshRecordWindow(record);
}

void GoNextRecord(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBSKIP(1);
    if (DBEOF()) DBSKIP(-1);
    RefreshRecordWindow(record);
}

void GoLastRecord(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBGOBOTTOM();
    RefreshRecordWindow(record);
}

void EnterNewRecord(const RecordWindow& record) {
    ShowEntryMode(record);
    ClearBoundControls(record.window, record.binding);
}

void CancelNewRecord(const RecordWindow& record) {
    RefreshRecordWindow(record);
}

void SaveNewRecord(const RecordWindow& record) {
    if (!KeyValueGiven(record, record.emptyKeyOnSaveNew)) return;
    DBSELECTAREA("a");
    DBAPPEND();
    WriteControlsToRecord(record.window, record.alias, record.binding);
    DBCOMMIT();
    THE_ANZAHL = CountLiveRecords();
    DBGOTOP();
    CreateIndexAnew(record);
    DBGOTOP();
    RefreshRecordWindow(record);
}

void SaveCurrentRecord(const RecordWindow& record) {
    if (!KeyValueGiven(record, record.emptyKeyOnSave)) return;
    DBSELECTAREA("a");
    THE_REC = RECNO();
    WriteControlsToRecord(record.window, record.alias, record.binding);
    DBCOMMIT();
    DBCLEARFILTER();
    CreateIndexAnew(record);
    DBGOTOP();
    THE_ANZAHL = CountLiveRecords();
    DBGOTO(THE_REC);
    RefreshRecordWindow(record);
}

void DeleteCurrentRecord(const RecordWindow& record) {
    DBSELECTAREA("a");
    if (DBEOF()) return;  // an empty list: there is no record to delete
    const QString question =
        TrimBlanks(FIELD(KeyOf(record)).toString()) + TEXT(record.deleteQuestion);
    if (!MSGYESNO(question, THE_APP_NAME)) return;
    DBSELECTAREA("a");
    DBDELETE();
    THE_ANZAHL = CountLiveRecords();
    DBGOTOP();
    RefreshRecordWindow(record);
}

void QuickSearchRecords(const RecordWindow& record) {
    DBSELECTAREA("a");
    DBCLEARFILTER();
    ORDLISTCLEAR();
    ORDLISTADD(record.indexFile);
    const QString searched = TrimmedValue(record.window, record.searchBox);
    CPESQ = UPPER(searched);
    DBSEEK(CPESQ, true);
    SETPROPERTY(record.window, "lbl_filter", "value", " ");
    const QString resultWord = TEXT(record_texts::kFound);
    if (FOUND()) {
        const QString key = KeyOf(record);
        DBSETFILTER([key] { return EQ(UPPER(FIELD(key)), CPESQ); }, "UPPER(" + key + ") = cPesq",
                    {.prefix = [] { return CPESQ; },
                     .keyText = record.indexKey,
                     .conditionIsThePrefixTest = true});
        const int matches = CountVisibleRecords();
        DBGOTOP();
        SETPROPERTY(record.window, "lbl_filter", "value", QString::number(matches) + resultWord);
        SETPROPERTY(record.window, record.searchBox, "backcolor", kHit);
    } else {
        DBCLEARFILTER();
        SETPROPERTY(record.window, "lbl_filter", "value", "0" + resultWord);
        SETPROPERTY(record.window, record.searchBox, "backcolor", kMiss);
    }
    if (CPESQ.isEmpty()) SETPROPERTY(record.window, record.searchBox, "backcolor", kEmpty);
    DOMETHOD(record.window, "Browse_1", "refresh");
    SETPROPERTY(record.window, "Browse_1", "value", RECNO());
}

int CountLiveRecords() {
    const int here = RECNO();
    int live = 0;
    for (int number = 1; number <= RECCOUNT(); ++number) {
        DBGOTO(number);
        if (!DELETED()) ++live;
    }
    DBGOTO(here);
    return live;
}
