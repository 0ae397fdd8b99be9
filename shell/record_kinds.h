// The catalogue of record kinds: the ten applications in the main window's
// order, each with its place there. What each keeps is its own entry
// (apps/common/record_kind.h), built in its folder from the constants of its
// window; this list only orders them and places their launch buttons and
// count lines. What works across applications (the statistics of the main
// window, and whatever searches, reminds, keeps or restores records) reads
// it, so that adding an application is its folder, one line in this list
// and its tables in the installed-tables description.
#pragma once

#include "apps/common/record_kind.h"

#include <QList>
#include <QString>

// Where the main window shows an application: its text button (at column
// 100), its picture button (at 40) and the line of its count (at 260) on one
// row, and the progress bar's value while it is counted.
struct MainWindowPlace {
    int row = 0;
    QString launchButton;   // "Button_1"
    QString pictureButton;  // "Button_5"
    QString countLabel;     // "lbl_1", with the count and the statistic's suffix
    int countWidth = 210;
    int countHeight = 20;
    int progress = 0;
};

struct PlacedKind {
    const RecordKind* kind;
    MainWindowPlace place;
};

// The ten applications in the main window's order, with their places.
const QList<PlacedKind>& PlacedKinds();

// The ten applications in the main window's order.
const QList<RecordKind>& RecordKinds();

// The kinds whose records are in a table of their own (not a view of
// another's): each application's table once, in the main window's order.
QList<const RecordKind*> KindsWithTablesOfTheirOwn();

// The entry of that id; a name the catalogue does not hold is a programming fault.
const RecordKind& RecordKindNamed(const QString& id);
