// The record window: one table in work area "a", a list bound to it, a
// quick-search box above the list, a count line below it, an edit area
// beside it, the toolbar ToolBar_1 (x1 first, x2 previous, x3 next, x4 last,
// x5 new, x6 delete, x7 CSV export, x8 save) and the two picture buttons
// Button_1 (save new) and Button_2 (cancel) that replace the toolbar while a
// new record is entered.
//
// An application describes its window once (RecordWindow: table, alias,
// index, key field, the binding of its fields to its controls, its messages
// and its named operations) and keeps its own named operations, each a call
// of the step that does the work:
//
//   void T_NEXT_<X>() { KESP_OPERATION(); GoNextRecord(TheWindow()); }
//   void OPEN<X>()     { ...; BuildRecordToolbar(w); <texts>; OpenRecordTable(w);
//                        RefreshRecordWindow(w); }
//
// Its own files then hold only the edit area's controls and the texts. The window is in view
// mode (toolbar shown) or entry mode (picture buttons shown); every fill of
// the controls returns to view mode.
//
// The count line always shows the records of the table that are not marked
// deleted, whatever quick-search filter is in force; the search result line
// counts the matches.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_binding.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QString>

// The application's named operations, wired to the window's controls.
struct RecordActions {
    Action fill;  // <X>_AKTUALISIEREN: the list's change action
    Action first, previous, next, last;
    Action newRecord, deleteRecord, exportCsv, save;
    Action saveNew, cancel;
    Action search;  // the search box's change action
};

// Where the shared controls sit. Every record window places the search
// caption, box, result line, list and count line in one column.
struct RecordWindowLayout {
    int searchCaptionRow = 40, searchBoxRow = 60, resultLineRow = 80;
    int listRow = 100, listHeight = 290, countLineRow = 390;
    int column = 10, width = 190, listColumnWidth = 170;
    int saveButtonCol = 370, cancelButtonCol = 440, entryButtonsRow = 30;
};

struct RecordWindow {
    QString window;           // "form1"
    QString table;            // "adressen_p.dbf" in the data folder
    QString alias;            // "adressen_p"
    QString indexFile;        // "ivorname"
    QString indexKey;         // "UPPER(vorname)"
    QString keyField;         // "vorname": listed, searched, mandatory
    QString keyControl;       // "t_vorname"
    QString searchBox;        // "suche_ad_p"
    RecordBinding binding;    // every field and its control, in writing order
    Texts emptyKeyOnSaveNew;  // warning when the key field is empty
    Texts emptyKeyOnSave;
    Texts deleteQuestion;  // follows the key value: "Anna löschen?"
    RecordActions actions;
    RecordWindowLayout layout;
};

struct RecordWindowLook {
    QString title;       // German definition title
    QString icon;        // "img/hauptuser.ico"
    QString listHeader;  // German header of the list's column
};

// Defines the modal window with the shared controls; defineEditArea adds the
// application's own controls (the tab with its pages, for example). The
// window's initialisation action is `onInit`.
void DefineRecordWindow(const RecordWindow& record, const RecordWindowLook& look,
                        const Action& onInit, const Action& defineEditArea);

// Centres the window and shows it modally; returns when it is closed.
void ShowRecordWindow(const RecordWindow& record);

// Creates ToolBar_1 with its eight buttons in the language in force.
void BuildRecordToolbar(const RecordWindow& record);

// Sets the texts that every record window shares (search caption, picture
// button tooltips) in the language in force.
void SetSharedRecordTexts(const RecordWindow& record);

// Opens the table in work area "a", packs it, creates its index anew, goes to
// the first record and counts the records.
void OpenRecordTable(const RecordWindow& record);

// Copies the current record into the controls, writes the count line and
// returns to view mode.
void FillRecordWindow(const RecordWindow& record);

// Fill, refresh the list, select the current record in it.
void RefreshRecordWindow(const RecordWindow& record);

void GoFirstRecord(const RecordWindow& record);
void GoPreviousRecord(const RecordWindow& record);  // stays on the first
void GoNextRecord(const RecordWindow& record);      // stays on the last
void GoLastRecord(const RecordWindow& record);

// Entry mode with every bound control emptied; nothing is appended yet.
void EnterNewRecord(const RecordWindow& record);
void CancelNewRecord(const RecordWindow& record);

// Appends the form as a new record (after checking the key field), re-creates
// the index and shows the first record.
void SaveNewRecord(const RecordWindow& record);

// Writes the form into the current record (after checking the key field),
// removes the quick-search filter, re-creates the index and shows the record.
void SaveCurrentRecord(const RecordWindow& record);

// Asks, then marks the current record deleted and shows the first record.
void DeleteCurrentRecord(const RecordWindow& record);

// Narrows the list to the records whose key begins with the search text
// (any case), colours the search box and writes the result line.
void QuickSearchRecords(const RecordWindow& record);

// The records of the current table that are not marked deleted, whatever
// filter is in force; the record pointer is left where it was.
int CountLiveRecords();
