// The one place where a record window's controls meet the fields of its
// table: each binding names a field, the control that edits it and the kind
// of value between them. Filling the form, clearing it for a new record and
// writing it back all walk the same list, in its order.
//
// Texts are shown and stored without leading and trailing blanks; a date
// picker without a date stands for the empty date in both directions.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QList>
#include <QString>

enum class FieldKind {
    Text,     // character field <-> text box
    Memo,     // memo field <-> multi-line edit box
    Logical,  // logical field <-> check box
    Date,     // date field <-> date picker
};

struct FieldBinding {
    QString field;    // "VORNAME"
    QString control;  // "t_vorname"
    FieldKind kind = FieldKind::Text;
};

using RecordBinding = QList<FieldBinding>;

// Copies the current record of `alias` into the controls of `window`. At the
// end of the table every control receives the empty value of its field.
void FillControlsFromRecord(const QString& window, const QString& alias,
                            const RecordBinding& binding);

// Empties every bound control: texts blank, check boxes off, date pickers
// without a date, so that a new record inherits nothing from the last one.
void ClearBoundControls(const QString& window, const RecordBinding& binding);

// Writes the controls into the current record of `alias`, texts trimmed.
void WriteControlsToRecord(const QString& window, const QString& alias,
                           const RecordBinding& binding);

// The trimmed text of a text box.
QString TrimmedValue(const QString& window, const QString& control);
