// The window in which the user names the ten extra fields of a book (five
// texts, three yes/no values, one date, one long text). It is a standard
// window beside the main window, always on top: the current captions on the
// left, a copy to edit on the right, the type of each field beside it, and a
// save picture button. The captions live in the first record of a one-record
// table of the data folder, fields FREE1 ... FREE10 (or FREE01 ... FREE10).
//
// A variant may add a row naming the whole application (stored beside the
// captions, shown as the window's title and at the head of its frame), a
// cancel button that shows the stored names again, further controls with
// their texts, and its own layout; the defaults are the address books' window.
//
// A second request to open it while it is open brings it to the front.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/field_rows.h"
#include "apps/common/window_texts.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Where the parts of the window sit and how much each box takes.
// The box of the application's name, in a naming window that has one.
inline const QString kApplicationNameBox = QStringLiteral("Text_11");

struct NamingLayout {
    int height = 490;
    int inputLimit = 0;  // every box; 0: 70 for texts, 20 for yes/no values, 19 for the date
    Box saveAt{380, 320, 40, 28};
    Box cancelAt{395, 620, 40, 28};
    Box helpAt{420, 30, 640, 30};
    bool helpOnGrey = true;  // false: bold on white
};

// The row naming the application: Label_11 and Text_11 in the frame Frame_3.
// The stored name is also the window's title and begins Frame_1's caption.
struct ApplicationNameRow {
    QString field = "APPNAME";
    Texts frameCaption;  // of Frame_3
    int inputLimit = 30;
};

struct FreeFieldsWindow {
    QString window;      // "freeprivat"
    QString table;       // "freeadr_p.dbf" in the data folder
    Texts title;         // none with an application-name row: the stored name
    Texts frameCaption;  // with an application-name row: what follows the stored name
    Texts help;
    Action load;  // HOLEFREECONFIG: initialisation, and after a save unless `reload` is given
    Action save;  // FREEUPDATE: the save button's action

    int fieldDigits = 1;  // 1: FREE1 ... FREE10; 2: FREE01 ... FREE10
    NamingLayout layout;
    std::optional<ApplicationNameRow> applicationName;
    Action reload;  // shows the stored names again, after a save and on cancel
    Action cancel;  // Button_1's action; none: no cancel button
    // Further controls, defined after all others, their texts kept in the
    // window's wording.
    std::function<void(WindowWording& words)> defineOwnControls;
    FieldRows ownValues;  // further controls whose changes closing asks about
};

// Closes all tables, defines, centres and shows the window (or brings it to
// the front when it is open already).
void OpenFreeFieldsWindow(const FreeFieldsWindow& naming);

// Sets the texts the window was defined with in the language in force (again
// after a save, should the language have changed), then shows the stored captions in the
// labels Label_1 ... Label_10 and the text boxes Text_1 ... Text_10 (and the
// application name in Label_11, Text_11, the title and Frame_1's caption).
void LoadFreeFieldCaptions(const FreeFieldsWindow& naming);

// Shows the stored names again in both columns and the title, discarding
// what was typed; the texts of the language and Frame_1 stay as they are.
// What the boxes and `ownValues` show then is what closing compares with, so
// a variant shows its own stored values before calling it.
void ShowStoredFreeFieldNames(const FreeFieldsWindow& naming);

// Writes Text_1 ... Text_10 (and Text_11), trimmed, into the captions table,
// appending its record first when it has none, then shows the stored names
// again (`reload`, else `load`).
void SaveFreeFieldCaptions(const FreeFieldsWindow& naming);

// The ten stored captions, trimmed, read under `alias` in the current work
// area, which is closed afterwards.
QStringList ReadFreeFieldCaptions(const QString& table, const QString& alias);

// The values of `fields` in the first record of `table` (data folder),
// trimmed, read under `alias` in the current work area, which is closed
// afterwards; empty texts when the table holds no record.
QStringList ReadStoredNames(const QString& table, const QString& alias, const QStringList& fields);

// The table fields the window shows, in the order of its rows: the ten
// captions, then the application name when it has that row.
QStringList NamingFields(const FreeFieldsWindow& naming);
