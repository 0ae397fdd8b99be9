// The window in which the user names the ten extra fields of a book (five
// texts, three yes/no values, one date, one long text). It is a standard
// window beside the main window, always on top: the current captions on the
// left, a copy to edit on the right, the type of each field beside it, and a
// save picture button. The captions live in the first record of a one-record
// table of the data folder, fields FREE1 ... FREE10.
//
// A second request to open it while it is open brings it to the front.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QString>
#include <QStringList>

struct FreeFieldsWindow {
    QString window;  // "freeprivat"
    QString table;   // "freeadr_p.dbf" in the data folder
    Texts title;
    Texts frameCaption;
    Texts help;
    Action load;  // HOLEFREECONFIG: initialisation, and after a save
    Action save;  // FREEUPDATE: the save button's action
};

// Closes all tables, defines, centres and shows the window (or brings it to
// the front when it is open already).
void OpenFreeFieldsWindow(const FreeFieldsWindow& naming);

// Sets the texts of the language, then shows the stored captions in the
// labels Label_1 ... Label_10 and the text boxes Text_1 ... Text_10.
void LoadFreeFieldCaptions(const FreeFieldsWindow& naming);

// Writes Text_1 ... Text_10, trimmed, into the captions table, then loads the
// window again.
void SaveFreeFieldCaptions(const FreeFieldsWindow& naming);

// The ten stored captions, trimmed, read under `alias` in the current work
// area, which is closed afterwards.
QStringList ReadFreeFieldCaptions(const QString& table, const QString& alias);
