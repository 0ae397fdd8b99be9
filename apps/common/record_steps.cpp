#include "apps/common/record_steps.h"

#include "apps/common/form_controls.h"
#include "apps/common/opening_record.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_versions.h"
#include "apps/common/steps_to_the_end.h"
#include "apps/common/unsaved_changes.h"
#include "kernel/t_close.h"
#include "store/live_records.h"
#include "store/xbase.h"

#include <QDir>
#include <QHash>

namespace {

const QString kToolbar = "ToolBar_1";

QStringList UserCaptions(const RecordWindow& record) {
    return record.readUserCaptions ? record.readUserCaptions() : QStringList();
}

void SelectWorkArea(const RecordWindow& record) {
    DBSELECTAREA(ShownWorkArea(record));
}

void CreateIndexesAnew(const RecordWindow& record) {
    CreateIndexFiles(record.indexes, record.normalOrder);
}

void ShowViewMode(const RecordWindow& record) {
    SETPROPERTY(record.window, record.entryButtons.save, "visible", false);
    SETPROPERTY(record.window, record.entryButtons.cancel, "visible", false);
    SETPROPERTY(record.window, kToolbar, "visible", true);
}

bool InEntryMode(const RecordWindow& record) {
    return GETPROPERTY(record.window, record.entryButtons.save, "visible").toBool();
}

const Texts kUndo{"Rückgängig", "Undo", "Desfazer"};
const Texts kUndoKey{"Strg+Z", "Ctrl+Z", "Ctrl+Z"};

// The records each window marked deleted since it opened, newest last, with
// the work area they were marked in: the table is packed only at the next
// opening, so each can be taken back as it was, memo included.
struct Deletion {
    QString area;
    int record;
    int earlier = 0;        // a change: the deleted copy of the record's earlier version
    QString table;          // a record of another table (its file), not the area's
    bool withNext = false;  // taken back together with the one noted after it
};
QHash<QString, QList<Deletion>>& Deletions() {
    static QHash<QString, QList<Deletion>> deletions;
    return deletions;
}

// The keys of the toolbar's buttons, named in their tool tips.
const Texts kNewKey{"Strg+N", "Ctrl+N", "Ctrl+N"};
const Texts kSaveKey{"Strg+S", "Ctrl+S", "Ctrl+S"};
const Texts kDeleteKey{"Entf", "Del", "Del"};
const Texts kExportKey{"Strg+E", "Ctrl+E", "Ctrl+E"};

QString TipWithKey(const Texts& tip, const Texts* key) {
    return key == nullptr ? TEXT(tip) : TEXT(tip) + " (" + TEXT(*key) + ")";
}

// Ctrl+N, Ctrl+S, Ctrl+E anywhere in the window and Delete on the list click
// the toolbar's buttons, and so do nothing while the bar is hidden or the
// button switched off; in entry mode Ctrl+S clicks the picture button that
// saves the new record.
void DefineRecordKeys(const RecordWindow& record) {
    const QString window = record.window;
    const auto click = [window](const QString& button) {
        return [window, button] { DOMETHOD(window, button, "click"); };
    };
    DEFINEKEY(window, "", "Ctrl+N", click("x5"));
    DEFINEKEY(window, "", "Ctrl+E", click("x7"));
    DEFINEKEY(window, record.list.name, "Del", click("x6"));
    DEFINEKEY(window, record.list.name, "Ctrl+Z", [&record] { UndoLastDeletion(record); });
    DEFINEKEY(window, "", "Ctrl+S", [&record] {
        DOMETHOD(record.window, InEntryMode(record) ? record.entryButtons.save : "x8", "click");
    });
}

void ShowEntryMode(const RecordWindow& record) {
    SETPROPERTY(record.window, record.entryButtons.save, "visible", true);
    SETPROPERTY(record.window, record.entryButtons.cancel, "visible", true);
    SETPROPERTY(record.window, kToolbar, "visible", false);
}

bool RequiredValueGiven(const RecordWindow& record, const Wording& warning) {
    const RequiredField& required = record.required;
    if (!TrimmedValue(record.window, required.control).isEmpty()) return true;
    QString caption;
    if (required.namesCaption) {
        const FieldRow& row = RowOfControl(record.fields, required.control);
        caption = TrimBlanks(GETPROPERTY(record.window, row.captionLabel, "caption").toString());
    }
    MSGEXCLAMATION(Say(warning, caption), *record.messageTitle);
    return false;
}

void DefineWhiteLabel(const QString& name, const Box& at, const QString& value, bool bold) {
    _DEFINELABEL(name, {.row = at.row,
                        .col = at.col,
                        .width = at.width,
                        .height = at.height,
                        .value = value,
                        .bold = bold,
                        .background = Qt::white});
}

void DefineSearches(const RecordWindow& record) {
    for (const Search& search : record.searches) {
        if (!search.captionLabel.isEmpty())
            DefineWhiteLabel(search.captionLabel, search.captionAt, search.caption.de, true);
        _DEFINETEXTBOX(search.box, {.row = search.at.row,
                                    .col = search.at.col,
                                    .width = search.at.width,
                                    .height = search.at.height,
                                    .maxLength = search.inputLimit,
                                    .onChange = search.run});
    }
    DefineWhiteLabel(record.resultLine.name, record.resultLine.at, record.resultLine.hint.de, true);
}

void DefineList(const RecordWindow& record) {
    const RecordList& list = record.list;
    BrowseProperties browse{.row = list.at.row,
                            .col = list.at.col,
                            .width = list.at.width,
                            .height = list.at.height,
                            .workArea = record.alias,
                            .value = 0,
                            .onChange = record.actions.fill,
                            .onOpen = list.onOpen,
                            .rowColour = list.rowColour};
    for (const ListMenuEntry& entry : list.menu)
        browse.menu.append({TEXT(entry.caption), entry.action});
    // Every record list takes back the deletions made since its window opened.
    browse.menu.append(MenuEntry{UndoCaption(), [&record] { UndoLastDeletion(record); },
                                 [&record] { return DeletionToUndo(record); }});
    for (const ListColumn& column : list.columns) {
        browse.headers.append(column.header.de);
        browse.widths.append(column.width);
        browse.fields.append(record.alias + "->" + column.field);
    }
    _DEFINEBROWSE(list.name, browse);
}

void DefineListArea(const RecordWindow& record) {
    DefineSearches(record);
    DefineList(record);
    DefineWhiteLabel(record.countLine.name, record.countLine.at, QString(), true);
}

// Frames, labels and field controls of one page (0: the window itself).
void DefinePage(const RecordWindow& record, int page) {
    if (page > 0 && page == record.listPage) DefineListArea(record);
    for (const FrameRow& frame : record.frames) {
        if (frame.page != page) continue;
        _DEFINEFRAME(frame.name, {.row = frame.at.row,
                                  .col = frame.at.col,
                                  .width = frame.at.width,
                                  .height = frame.at.height,
                                  .caption = frame.caption.de,
                                  .bold = frame.bold,
                                  .background = Qt::white,
                                  .tabGroup = frame.tabGroup});
    }
    for (const LabelRow& label : record.labels)
        if (label.page == page) DefineWhiteLabel(label.name, label.at, label.text.de, label.bold);
    DefineFieldControls(record.fields, page);
    if (record.defineOwnPageControls) record.defineOwnPageControls(page);
}

void DefineTab(const TabControl& tab, const RecordWindow& record) {
    _DEFINETAB(tab.name, {.row = tab.at.row,
                          .col = tab.at.col,
                          .width = tab.at.width,
                          .height = tab.at.height,
                          .value = 1});
    for (int page = 1; page <= tab.pages.size(); ++page) {
        _DEFINEPAGE(tab.pages[page - 1].de);
        DefinePage(record, page);
        _ENDPAGE();
    }
    _ENDTAB();
}

void DefineRecordWindow(const RecordWindow& record) {
    const WindowPlace& place = record.place;
    _DEFINEMODALWINDOW(
        record.window,
        {.title = record.definitionTitle.isEmpty() ? record.title.de : record.definitionTitle,
         .row = place.row,
         .col = place.col,
         .width = place.width,
         .height = place.height,
         .icon = record.icon,
         .onInit = record.actions.open,
         .onRelease =
             [&record] {
                 if (record.actions.release) record.actions.release();
                 // The table is let go of with its window, so that the
                 // background sync may write it meanwhile.
                 const int previous = SELECT();
                 DBSELECTAREA(ShownWorkArea(record));
                 if (USED()) DBCLOSEAREA();
                 DBSELECTAREA(previous);
             },
         .mayClose =
             [&record] {
                 return MayDiscardShownValues(record.window, record.fields, *record.messageTitle);
             }});
    if (record.listPage == 0) DefineListArea(record);
    if (record.tab) DefineTab(*record.tab, record);
    DefinePage(record, 0);
    if (record.defineOwnControls) record.defineOwnControls();
    // Defined last, so that they lie above a tab control they overlap.
    const EntryButtons& entry = record.entryButtons;
    PictureButton(entry.save, entry.saveAt, entry.savePicture, record.actions.saveNew,
                  entry.saveTip.de, true);
    PictureButton(entry.cancel, entry.cancelAt, entry.cancelPicture, record.actions.cancel,
                  entry.cancelTip.de, true);
    _ENDWINDOW();
}

}  // namespace

void ShowRecordWindow(const RecordWindow& record) {
    T_CLOSE();
    ReadAheadIndexFiles(record.indexes);
    DefineRecordWindow(record);
    DefineRecordKeys(record);
    if (record.place.centred) DOMETHOD(record.window, "Center");
    _ACTIVATEWINDOW(record.window);
}

int OpenRecordWindow(const RecordWindow& record) {
    QDir::setCurrent(THE_DATA_PATH);
    THE_ANZAHL = 0;
    Deletions().remove(record.window);  // those of an earlier opening are packed away
    BuildRecordToolbar(record);
    SetRecordWindowTexts(record);
    OpenRecordTable(record);
    // The list was defined before its table was open: the full window
    // refresh fills it too, besides filling the controls.
    RefreshRecordWindow(record);
    return static_cast<int>(THE_ANZAHL);
}

void BuildRecordToolbar(const RecordWindow& record) {
    const RecordActions& act = record.actions;
    const ToolbarTips& tips = record.toolbar;
    _DEFINETOOLBAR(kToolbar, {.parent = record.window,
                              .buttonWidth = 40,
                              .buttonHeight = 40,
                              .imageWidth = 16,
                              .imageHeight = 16,
                              .flat = true});
    const struct {
        const char* name;
        const char* picture;
        const Action& action;
        const Texts& tip;
        const Texts* key;
    } buttons[] = {
        {"x1", "img/first.bmp", act.first, tips.first, nullptr},
        {"x2", "img/prev.bmp", act.previous, tips.previous, nullptr},
        {"x3", "img/next.bmp", act.next, tips.next, nullptr},
        {"x4", "img/last.bmp", act.last, tips.last, nullptr},
        {"x5", "img/add.bmp", act.newRecord, tips.insert, &kNewKey},
        {"x6", "img/del.bmp", act.deleteRecord, tips.remove, &kDeleteKey},
        {"x7", "img/file_excel.bmp", act.exportCsv, tips.exportCsv, &kExportKey},
        {"x8", "img/save.bmp", act.save, tips.save, &kSaveKey},
    };
    for (const auto& button : buttons) {
        _DEFINETOOLBUTTON(button.name, {.picture = button.picture,
                                        .action = button.action,
                                        .tooltip = TipWithKey(button.tip, button.key)});
    }
    for (const ToolButtonRow& button : record.moreTools) {
        _DEFINETOOLBUTTON(
            button.name,
            {.picture = button.picture, .action = button.action, .tooltip = TEXT(button.tip)});
    }
    _ENDTOOLBAR();
}

void SetRecordWindowTexts(const RecordWindow& record) {
    QList<ControlText> texts{
        {record.entryButtons.cancel, "tooltip", 0, record.entryButtons.cancelTip},
    };
    SETPROPERTY(record.window, record.entryButtons.save, "tooltip",
                TipWithKey(record.entryButtons.saveTip, &kSaveKey));
    if (record.titleUserCaption == 0) texts.append({"", "", 0, record.title});
    for (const Search& search : record.searches)
        if (!search.captionLabel.isEmpty())
            texts.append({search.captionLabel, "value", 0, search.caption});
    if (!IsBlank(record.resultLine.hint))
        texts.append({record.resultLine.name, "value", 0, record.resultLine.hint});
    for (int column = 1; column <= record.list.columns.size(); ++column) {
        const ListColumn& listed = record.list.columns[column - 1];
        if (listed.userCaption == 0)
            texts.append({record.list.name, "header", column, listed.header});
    }
    if (!record.list.menu.isEmpty())
        texts.append({record.list.name, "tooltip", 0, kContextMenuTip});
    if (record.tab) {
        for (int page = 1; page <= record.tab->pages.size(); ++page)
            texts.append({record.tab->name, "caption", page, record.tab->pages[page - 1]});
    }
    for (const FrameRow& frame : record.frames)
        texts.append({frame.name, "caption", 0, frame.caption});
    for (const LabelRow& label : record.labels)
        texts.append({label.name, "value", 0, label.text});
    SetWindowTexts(record.window, texts + record.texts);
    SetUserCaptions(record, UserCaptions(record));
}

void SetUserCaptions(const RecordWindow& record, const QStringList& userCaptions) {
    SetFieldCaptions(record.window, record.fields, userCaptions);
    for (int column = 1; column <= record.list.columns.size(); ++column) {
        const ListColumn& listed = record.list.columns[column - 1];
        if (listed.userCaption > 0)
            SETPROPERTY(record.window, record.list.name, "header", column,
                        userCaptions.value(listed.userCaption - 1));
    }
    if (record.titleUserCaption > 0)
        SETPROPERTY(record.window, "Title", userCaptions.value(record.titleUserCaption - 1));
}

void OpenRecordTable(const RecordWindow& record) {
    SelectWorkArea(record);
    DBUSEAREA(false, THE_DATA_PATH + record.table, record.alias);
    const int asked = TakeRecordToOpenOn();
    __DBPACK();
    CreateIndexesAnew(record);
    DBGOTOP();
    THE_ANZAHL = LIVECOUNT();
    if (asked > 0) DBGOTO(asked);
}

void ShowTableAgain(const RecordWindow& record) {
    ClearQuickSearch(record);
    SelectWorkArea(record);
    DBCLEARFILTER();
    CreateIndexesAnew(record);
    DBGOTOP();
    THE_ANZAHL = LIVECOUNT();
}

void FillRecordWindow(const RecordWindow& record) {
    SelectWorkArea(record);
    FillControlsFromRecord(record.window, record.alias, record.fields);
    SETPROPERTY(record.window, record.countLine.name, "value",
                QString::number(static_cast<long long>(THE_ANZAHL)) + TEXT(record.countLine.words));
    ShowViewMode(record);
    RememberShownValues(record.window, record.fields);
}

void RefreshRecordWindow(const RecordWindow& record) {
    record.actions.fill();
    DOMETHOD(record.window, record.list.name, "refresh");
    SETPROPERTY(record.window, record.list.name, "value", RECNO());
}

void GoFirstRecord(const RecordWindow& record) {
    SelectWorkArea(record);
    DBGOTOP();
    RefreshRecordWindow(record);
}

void GoPreviousRecord(const RecordWindow& record) {
    SelectWorkArea(record);
    DBSKIP(-1);
    RefreshRecordWindow(record);
}

void GoNextRecord(const RecordWindow& record) {
    SelectWorkArea(record);
    DBSKIP(1);
    if (DBEOF()) DBSKIP(-1);
    RefreshRecordWindow(record);
}

void GoLastRecord(const RecordWindow& record) {
    SelectWorkArea(record);
    DBGOBOTTOM();
    RefreshRecordWindow(record);
}

void EnterNewRecord(const RecordWindow& record) {
    ShowEntryMode(record);
    PrepareControlsForNewRecord(record.window, record.fields);
    RememberShownValues(record.window, record.fields);
    // Typing goes into the new record's first field, not into a search box.
    for (const FieldRow& row : record.fields) {
        if (row.kind == FieldKind::DateText) continue;  // shown, never typed into
        DOMETHOD(record.window, row.control, "SetFocus");
        break;
    }
}

void CancelNewRecord(const RecordWindow& record) {
    RefreshRecordWindow(record);
    DOMETHOD(record.window, record.list.name, "SetFocus");
}

bool SaveNewRecord(const RecordWindow& record) {
    if (!RequiredValueGiven(record, record.required.onSaveNew)) return false;
    SelectWorkArea(record);
    DBAPPEND();
    WriteControlsToRecord(record.window, record.alias, record.fields);
    DBCOMMIT();
    // Stored: from here on a refused write is told, and the window goes on.
    StepsToTheEnd after;
    THE_ANZAHL = LIVECOUNT();
    DBGOTOP();
    after.Run([&record] { CreateIndexesAnew(record); });
    DBGOTOP();
    RefreshRecordWindow(record);
    DOMETHOD(record.window, record.list.name, "SetFocus");
    if (!after.TellSavedAnyway(*record.messageTitle) && !IsBlank(record.savedNewMessage))
        MSGBOX(TEXT(record.savedNewMessage), *record.messageTitle);
    return true;
}

bool RequiredFieldGiven(const RecordWindow& record, const Wording& warning) {
    return RequiredValueGiven(record, warning);
}

void SaveCurrentRecord(const RecordWindow& record) {
    if (record.required.checkedOnSave && !RequiredValueGiven(record, record.required.onSave))
        return;
    SelectWorkArea(record);
    const int saved = RECNO();
    WriteControlsToRecord(record.window, record.alias, record.fields);
    DBCOMMIT();
    StepsToTheEnd after;
    ClearQuickSearch(record);
    SelectWorkArea(record);
    DBCLEARFILTER();
    after.Run([&record] { CreateIndexesAnew(record); });
    DBGOTOP();
    THE_ANZAHL = LIVECOUNT();
    DBGOTO(saved);
    RefreshRecordWindow(record);
    after.TellSavedAnyway(*record.messageTitle);
}

bool ConfirmDeletion(const RecordWindow& record) {
    SelectWorkArea(record);
    if (DBEOF()) return false;  // an empty list: there is no record to delete
    const DeleteQuestion& question = record.deleteQuestion;
    const QString named = TrimBlanks(FIELD(record.alias + "->" + question.field).toString());
    const bool yes = MSGYESNO(Say(question.wording, named), *record.messageTitle);
    SelectWorkArea(record);
    return yes;
}

// A result line that counts what the list presents ("3 found") counts it
// again after a deletion or its undo; a hint or a miss stays as it is. The
// pointer ends at the end.
void CountResultLineAgain(const RecordWindow& record) {
    const ResultLine& line = record.resultLine;
    const QString shown = GETPROPERTY(record.window, line.name, "value").toString();
    const QString words = TEXT(line.found);
    bool counted = false;
    shown.left(shown.size() - words.size()).toInt(&counted);
    if (!counted || !shown.endsWith(words)) return;
    SETPROPERTY(record.window, line.name, "value",
                QString::number(CountPresentedRecords()) + words);
}

bool DeleteCurrentRecord(const RecordWindow& record) {
    if (!ConfirmDeletion(record)) return false;
    DBDELETE();
    Deletions()[record.window].append({ShownWorkArea(record), RECNO()});
    THE_ANZAHL = LIVECOUNT();
    CountResultLineAgain(record);
    DBGOTOP();
    RefreshRecordWindow(record);
    ShowCountAfterDeletion(record);
    return true;
}

void NoteDeletion(const RecordWindow& record, const QString& area, int recordNumber) {
    Deletions()[record.window].append({area, recordNumber});
}

void NoteReplacement(const RecordWindow& record, const QString& area, int recordNumber,
                     int earlier) {
    Deletions()[record.window].append({area, recordNumber, earlier});
}

QString UndoCaption() {
    return TEXT(kUndo) + " (" + TEXT(kUndoKey) + ")";
}

bool DeletionToUndo(const RecordWindow& record) {
    const QList<Deletion>& deletions = Deletions().value(record.window);
    return !deletions.isEmpty() && deletions.last().area == ShownWorkArea(record) &&
           !InEntryMode(record);
}

namespace {

// Takes `deletion` back in the current work area; false when the record is
// not as the step left it.
bool TakeBack(const Deletion& deletion) {
    if (deletion.earlier > 0) {
        // A change: the earlier version's fields back into the record; the
        // copy stays deleted.
        if (!PutEarlierVersionBack(deletion.earlier, deletion.record)) return false;
        DBCOMMIT();
        return true;
    }
    DBGOTO(deletion.record);
    if (DBEOF() || !DELETED()) return false;
    DBRECALL();
    DBCOMMIT();
    return true;
}

// The same in another table, opened for it and closed again.
bool TakeBackElsewhere(const Deletion& deletion) {
    const QString alias = QStringLiteral("undo_elsewhere");
    DBUSEAREA(true, deletion.table, alias);
    const bool done = TakeBack(deletion);
    DBSELECTAREA(alias);
    DBCLOSEAREA();
    return done;
}

}  // namespace

void NoteStep(const RecordWindow& record, const QString& area, const QList<NotedRecord>& records) {
    QList<Deletion>& deletions = Deletions()[record.window];
    for (int i = 0; i < records.size(); ++i)
        deletions.append({area, records[i].record, records[i].earlier, records[i].table,
                          i + 1 < records.size()});
}

bool UndoLastDeletion(const RecordWindow& record) {
    if (!DeletionToUndo(record)) return false;
    QList<Deletion>& deletions = Deletions()[record.window];
    bool done = false;
    int shown = 0;
    do {
        const Deletion deletion = deletions.takeLast();
        SelectWorkArea(record);
        if (deletion.table.isEmpty()) {
            if (TakeBack(deletion)) shown = deletion.record;
            done = shown > 0 || done;
        } else {
            done = TakeBackElsewhere(deletion) || done;
        }
    } while (!deletions.isEmpty() && deletions.last().withNext);
    if (!done) return false;
    SelectWorkArea(record);
    THE_ANZAHL = LIVECOUNT();
    CountResultLineAgain(record);
    if (shown > 0) DBGOTO(shown);
    RefreshRecordWindow(record);
    return true;
}

void ShowCountAfterDeletion(const RecordWindow& record) {
    const CountLine& line = record.countLine;
    SETPROPERTY(record.window, line.name, "value",
                QString::number(static_cast<long long>(THE_ANZAHL)) +
                    TEXT(IsBlank(line.afterDeletion) ? line.words : line.afterDeletion));
}

int CountPresentedRecords() {
    return DBCOUNT();
}
