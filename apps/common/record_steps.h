// The steps every record window shares, each working from the window's
// description (record_window.h). The window is in view mode (toolbar shown)
// or entry mode (picture buttons shown); every fill of the controls returns
// to view mode.
//
// The count line always shows the records of the table that are not marked
// deleted, whatever quick-search filter is in force: after opening, Save new,
// Save and Delete alike. The result line counts the matches of a search.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_window.h"

// Closes every table, defines the modal window with all its controls (German
// texts), centres it when its place says so and shows it; returns when the
// user closes it. Its initialisation action is the description's `open`.
void ShowRecordWindow(const RecordWindow& record);

// The initialisation: the data folder becomes current, the count is reset,
// the toolbar is built, the texts of the language and the user's captions are
// set, the table is opened, packed and indexed, and the first record in the
// normal order is shown, or the record asked for (opening_record.h).
// Returns the records of the table the count line counts.
int OpenRecordWindow(const RecordWindow& record);

// The parts of the initialisation, for a window that does more in between.
void BuildRecordToolbar(const RecordWindow& record);
void SetRecordWindowTexts(const RecordWindow& record);  // the user's captions included
void OpenRecordTable(
    const RecordWindow& record);  // open, pack, indexes, top (or the asked record), count

// After a step that changed records of the table in the window's work area:
// indexes anew, top, count. Unlike OpenRecordTable it does not pack, so
// that Ctrl+Z can still take back what the step marked deleted.
void ShowTableAgain(const RecordWindow& record);

// The captions, list headers and title the user names, from `userCaptions`
// (caption n at index n - 1), as the opening sets them.
void SetUserCaptions(const RecordWindow& record, const QStringList& userCaptions);

// Copies the current record into the controls, writes the count line and
// returns to view mode.
void FillRecordWindow(const RecordWindow& record);

// Fill, refresh the list, select the current record in it.
void RefreshRecordWindow(const RecordWindow& record);

void GoFirstRecord(const RecordWindow& record);
void GoPreviousRecord(const RecordWindow& record);  // stays on the first
void GoNextRecord(const RecordWindow& record);      // stays on the last
void GoLastRecord(const RecordWindow& record);

// Entry mode with the controls prepared as the rows say; nothing is appended yet.
void EnterNewRecord(const RecordWindow& record);
void CancelNewRecord(const RecordWindow& record);

// Appends the form as a new record (after checking the required field),
// creates the index files anew, shows the first record of the normal order
// and the description's saved message. A search filter stays in force.
// Returns whether the record was written.
bool SaveNewRecord(const RecordWindow& record);

// True when the required field holds more than blanks; otherwise shows the
// warning (naming the field's caption when the description says so).
bool RequiredFieldGiven(const RecordWindow& record, const Wording& warning);

// Writes the form into the current record (after checking the required
// field), removes the search filter, creates the index files anew and shows
// the saved record in the normal order.
void SaveCurrentRecord(const RecordWindow& record);

// Asks the delete question naming the current record of the table shown;
// true on yes, with that table's work area current. False without asking
// when there is no current record.
bool ConfirmDeletion(const RecordWindow& record);

// Asks, then marks the current record deleted and shows the first record
// with the count line after a deletion; true when it was deleted.
bool DeleteCurrentRecord(const RecordWindow& record);

// Whether a deletion made since the window opened can be taken back now: in
// view mode, with the table it was made in shown.
// Notes a record the window marked deleted by a step of its own (not
// DeleteCurrentRecord), so that Ctrl+Z takes it back too.
void NoteDeletion(const RecordWindow& record, const QString& area, int recordNumber);
// Notes that a step of the window changed record `recordNumber`, keeping its
// earlier version as the deleted record `earlier`, so that Ctrl+Z puts the
// earlier version back (the copy goes to the trash with the next pack).
void NoteReplacement(const RecordWindow& record, const QString& area, int recordNumber,
                     int earlier);
// Notes the deletions and changes of one step of the window (a merge, say)
// as one: a single Ctrl+Z takes them all back, the last noted first. A
// record of another table names that table's file, which is opened for the
// undo; the others are records of the table in `area`.
struct NotedRecord {
    int record = 0;
    int earlier = 0;  // a change: the deleted copy of its earlier version; 0: a deletion
    QString table;    // another table's file; empty: the window's own table
};
void NoteStep(const RecordWindow& record, const QString& area, const QList<NotedRecord>& records);
bool DeletionToUndo(const RecordWindow& record);

// Takes back the newest such deletion or change (Ctrl+Z on the list, or
// "Undo" in its context menu): the record is as it was, memo included,
// counted and shown in the list again. False when there was none to take back.
bool UndoLastDeletion(const RecordWindow& record);

// "Rückgängig (Strg+Z)": the caption of an undo entry in a context menu, in
// the language in force; every window that takes deletions back names it so.
QString UndoCaption();

// The count line right after a deletion: THE_ANZAHL followed by the words
// the description gives for it.
void ShowCountAfterDeletion(const RecordWindow& record);

// The records the current work area presents now: those its filter passes
// (only the matches under a search). The record pointer ends at the end.
int CountPresentedRecords();
