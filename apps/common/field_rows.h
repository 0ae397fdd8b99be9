// One row per field: the single description of a field of a record window's
// table and the control that edits it. The edit area's controls, the copying
// between record and controls, the captions in the three languages and the
// default export columns all come from the same list of rows, in its order.
//
// Texts are shown and stored without leading and trailing blanks; a date
// picker without a date stands for the empty date in both directions; a date
// shown as text is the date in the date format in force, read back the same way.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"

#include <QList>
#include <QString>

// A control's place: pixels of the window's client area, or of the tab
// control's top-left corner for a control on a tab page.
struct Box {
    int row = 0, col = 0, width = 0, height = 20;
};

enum class FieldKind {
    Text,      // character field <-> text box
    Memo,      // memo field <-> multi-line edit box without horizontal scroll bar
    Logical,   // logical field <-> check box (the check box carries the caption)
    Date,      // date field <-> date picker
    DateText,  // date field <-> read-only text box showing the date as text
};

// What New does with the control before the user types a new record.
enum class OnNew {
    Empty,  // blank text, check box off, no date
    Today,  // today's date (date pickers and dates shown as text)
    Keep,   // whatever the record shown before left in it
};

struct FieldRow {
    QString control;  // "t_vorname"
    QString field;    // "VORNAME"
    FieldKind kind = FieldKind::Text;
    Box at;
    int inputLimit = 0;    // text boxes: the most characters typed; 0: no limit
    QString captionLabel;  // "Label_1" above the control; empty: none
    Box captionAt;         // where that label sits
    Texts caption;         // of the caption label, or of the check box itself
    bool bold = false;     // a check box's own caption in bold
    int page = 0;          // 0: on the window; n: page n of the window's tab
    OnNew onNew = OnNew::Empty;
    Texts exportHeader;   // header of its export column; blank: the caption
    int userCaption = 0;  // n: the caption is the user's caption n (captions and export)
};

using FieldRows = QList<FieldRow>;

// Defines the caption labels and controls of the rows on `page`, in the order
// they appear on screen (top to bottom, left to right), which is also the
// order the keyboard moves through them.
void DefineFieldControls(const FieldRows& rows, int page);

// Sets the captions in the language in force; rows named by the user take
// theirs from `userCaptions` (caption n at index n - 1).
void SetFieldCaptions(const QString& window, const FieldRows& rows,
                      const QStringList& userCaptions);

// Copies the current record of `alias` into the controls. At the end of the
// table every control receives the empty value of its field.
void FillControlsFromRecord(const QString& window, const QString& alias, const FieldRows& rows);

// Prepares the controls for a new record, each as its row says (OnNew).
void PrepareControlsForNewRecord(const QString& window, const FieldRows& rows);

// Writes the controls into the current record of `alias`, texts trimmed, in
// the order of the rows.
void WriteControlsToRecord(const QString& window, const QString& alias, const FieldRows& rows);

// The trimmed text of a text box.
QString TrimmedValue(const QString& window, const QString& control);

// The row of a control (names compared without regard to case); a control
// that no row names is a programming fault.
const FieldRow& RowOfControl(const FieldRows& rows, const QString& control);
