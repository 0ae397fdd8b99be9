// The small window that removes, in one step and without a question, every
// record of a table dated before a chosen day, and reports how many went. The
// agenda, the notes and the projects each have one; they differ only in what
// a MaintenanceWindow describes: the table and its date field, the window's
// name, icon and texts, and the few positions that are not shared.
//
// What it promises:
//  - the table is open only inside each step, and all tables are closed
//    again before the step ends;
//  - a record without a date is never removed: it lies before no day, and
//    neither does anything lie before an emptied cut-off picker;
//  - the counts are the records not marked deleted, so the number reported
//    removed is the number of records this press removed;
//  - the message is shown after every press, also when nothing was removed.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QString>

#include <optional>

struct MaintenanceWindow {
    QString window;     // "agenda_del"
    QString table;      // "agenda.dbf" in the data folder
    QString alias;      // "agenda"
    QString dateField;  // "DATUM": the date compared with the cut-off day
    QString icon;       // "img/agenda.ico"

    // The column of the cut-off picker; the texts before and after it fill
    // the rest of its row on either side.
    int pickerCol = 250;
    int buttonRow = 186;
    int buttonCol = 188;
    // A warning too long for one centred line: left-aligned, two lines high.
    bool twoLineWarning = false;
    // A caption above the picker naming the date compared (Label_11).
    std::optional<Texts> dateCaption;

    Texts title;
    Texts frame;
    Texts textBefore;  // before the picker: "Alle Termine vor "
    Texts warning;
    Texts countAfter;  // after the number of the count line: " Termine in der Datenbank."
    Texts removed;     // the result, "%1" standing for the number removed

    Action begin;   // the window's initialisation (BEGIN_AG_FRM)
    Action remove;  // the delete button's action (DEL_TERMINE_AG_FRM)
};

// Closes all tables, defines the modal window with its texts in the language
// in force, centres and activates it; returns when the window is closed.
void OpenMaintenanceWindow(const MaintenanceWindow& maintenance);

// Sets the cut-off to today minus 7 days, packs the table, and shows the
// count line.
void BeginMaintenance(const MaintenanceWindow& maintenance);

// Removes every dated record before the cut-off day, packs the table, updates
// the count line and reports the number removed in a warning box.
void RemoveRecordsBeforeCutOff(const MaintenanceWindow& maintenance);
