// What the trash and the backups windows share: a modal window of one list
// of columns (kesp::FocusMarkedTree under the control name "List_1") above a
// line of text and a row of buttons, the last of which closes the window.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;

inline const QString kListWindowList = QStringLiteral("List_1");

struct ListWindowButton {
    QString name;  // "Button_1"
    int col = 10;
    int width = 160;
    Texts caption;
    Action action;  // none: it closes the window
};

struct ListWindow {
    QString window;  // "papierkorb"
    Texts title;     // also the list's name for screen readers
    int width = 0, height = 0;
    Action onInit;
    // Controls above the list (the trash's search box), defined first.
    Action defineAbove;
    int listTop = 12;
    QStringList headers;
    QList<int> sectionWidths;  // of the first columns
    bool severalChosen = false;
    bool rootDecorated = true;
    QString line;  // "Label_2": the line under the list
    int lineRow = 0;
    int buttonRow = 0;
    QList<ListWindowButton> buttons;
};

// Defines the window, in the language in force, and ends its definition.
void DefineListWindow(const ListWindow& description);

// The list of the window `window` defined so.
QTreeWidget* ListOf(const QString& window);
