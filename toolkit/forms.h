// The form toolkit: windows and controls defined by name, then driven by name.
//
// A module defines a window with its controls (German texts), activates it,
// and from then on reads and writes control properties by name
// (SETPROPERTY/GETPROPERTY) and calls methods (DOMETHOD). Window, control and
// property names are matched without regard to case. Positions and sizes are
// pixels of the window's client area (controls inside a tab page: relative to
// the tab control's top-left corner).
//
//   _DEFINEMODALWINDOW("form1", {.title = "Adressen [Privat]", .row = 132, .col = 232,
//                                .width = 700, .height = 450, .icon = "img/hauptuser.ico",
//                                .onInit = OPENADRESSE_P});
//   _DEFINELABEL("Label_17", {.row = 40, .col = 10, .width = 190, .height = 20, .bold = true});
//   ...
//   _ENDWINDOW();
//   DOMETHOD("form1", "Center");
//   _ACTIVATEWINDOW("form1");
//
// Misuse (an unknown window, control or property, a window defined twice, a
// non-numeric combo box value, ...) is a programming fault that goes to the
// program-wide fault handler.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QColor>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

using Action = std::function<void()>;

struct Font {
    QString name = "Arial";  // Arial and Courier New fall back to Liberation Sans / Mono
    int size = 9;
};

// ---- Windows -------------------------------------------------------------------

enum class WindowKind { Main, Modal, Standard };

struct WindowProperties {
    QString title;
    int row = 0;  // screen position of the window's outer corner
    int col = 0;
    int width = 0;   // outer size, title bar included: the client
    int height = 0;  // area is as wide and 27 pixels less high
    QColor background = Qt::white;
    QString icon;  // "img/x.ico", relative to the application folder
    bool noMinimize = false;
    bool noMaximize = false;
    bool topmost = false;
    Action onInit;     // runs once after the window is shown
    Action onRelease;  // runs when the window closes
    // Asked when the user closes the window (its close box or Escape), before
    // it closes; false keeps it open. None: it closes at once. The program's
    // own closing (RELEASEWINDOW, "Release") does not ask.
    std::function<bool()> mayClose;
    // A modal window the user may enlarge: the size given is its smallest.
    bool resizable = false;
    // Runs whenever the window's size changes (and once as it is shown), to
    // place the controls for the size read from GETPROPERTY(window, "width").
    Action onResize;
};

void _DEFINEWINDOW(const QString& name, WindowKind kind, const WindowProperties& properties);
void _DEFINEMODALWINDOW(const QString& name, const WindowProperties& properties);
void _ENDWINDOW();

// Shows the window and runs its initialisation action. For main and modal
// windows it returns only when the window is closed (a nested event loop). A
// modal window is kept above the window it was opened from, has the fixed size
// of its definition and no minimise or maximise button. A standard window
// opens beside the main window (right, else left), non-modal and always on
// top, and activation returns at once; when the screen has no room beside the
// main window it opens centred and is not kept on top. Escape closes a modal
// or standard window as its close box does, asking `mayClose` first. Tab and
// Shift+Tab move through the controls in reading order.
void _ACTIVATEWINDOW(const QString& name);
bool ISWINDOWDEFINED(const QString& name);
void RELEASEWINDOW(const QString& name);  // closes it, as the close box does, without asking

// ---- Controls ------------------------------------------------------------------
// Each is created in the window being defined, or in the current tab page.

struct LabelProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString value;
    Font font;
    bool bold = false;
    std::optional<QColor> background;
    std::optional<QColor> fontColor;
    bool transparent = false;
    bool centerAlign = false;
    bool rightAlign = false;
};
void _DEFINELABEL(const QString& name, const LabelProperties& p);

struct ButtonProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString caption;
    Action action;
    Font font;
    bool bold = false;
    QString tooltip;
    bool flat = false;
};
void _DEFINEBUTTON(const QString& name, const ButtonProperties& p);

struct ImageButtonProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString picture;  // "img/x.bmp"
    Action action;
    QString tooltip;
    bool flat = false;
    bool transparent = false;
    bool invisible = false;
};
void _DEFINEIMAGEBUTTON(const QString& name, const ImageButtonProperties& p);

struct FrameProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString caption;
    Font font;
    bool bold = false;
    bool opaque = false;
    std::optional<QColor> background;
    std::optional<QColor> fontColor;
    // The controls placed inside the frame are one block in the keyboard
    // order, after the controls to its left (reading_order.h).
    bool tabGroup = false;
};
void _DEFINEFRAME(const QString& name, const FrameProperties& p);

struct ImageProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString picture;
    bool stretch = false;
};
void _DEFINEIMAGE(const QString& name, const ImageProperties& p);

struct TextBoxProperties {
    int row = 0, col = 0, width = 0, height = 0;
    Font font;
    int maxLength = 0;  // 0: no limit
    bool readOnly = false;
    QString value;
    Action onChange;  // after every change, typed or set
    Action onEnter;   // Return or Enter pressed in the box; none: nothing
    // A password: shown as dots, any letter (it is never stored in a table).
    bool password = false;
};
void _DEFINETEXTBOX(const QString& name, const TextBoxProperties& p);

struct EditBoxProperties {
    int row = 0, col = 0, width = 0, height = 0;
    Font font;
    bool noHScroll = false;
    bool readOnly = false;
    QString value;
};
void _DEFINEEDITBOX(const QString& name, const EditBoxProperties& p);

struct CheckBoxProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QString caption;
    Font font;
    bool bold = false;
    std::optional<QColor> background;
    bool value = false;
};
void _DEFINECHECKBOX(const QString& name, const CheckBoxProperties& p);

// The user types a date in the date format in force, with or without its
// separators, or picks it from the picker's calendar; the change action runs
// whenever the date changes. With allowsEmpty false (run time: property
// "allowempty") the picker never shows no date: it starts with today's date
// when given none, and an attempt to empty it, by the user or by setting the
// empty date, keeps the date it had. The read-only property "nodate" is true
// while the picker holds a typed text that is no date (date_picker.h); no
// button, picture or tool button, menu item or key of the window runs its
// action meanwhile, however it is pressed: the picker refuses the text instead.
struct DatePickerProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QDate value;  // a null date: the picker shows no date
    Font font;
    Action onChange;
    bool allowsEmpty = true;
};
void _DEFINEDATEPICKER(const QString& name, const DatePickerProperties& p);

struct ComboBoxProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QStringList items;
    int value = 0;  // 1-based index of the selected item, 0: none
    Font font;
    Action onChange;
};
void _DEFINECOMBOBOX(const QString& name, const ComboBoxProperties& p);

struct ListBoxProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QStringList items;
    int value = 0;
    Font font;
    Action onChange;  // whenever another item becomes the current one
    // Every item carries a tick the user sets and clears (a click on it, or
    // Space on the current item); "checked", n reads and sets item n's,
    // unticked when added.
    bool checkable = false;
    Action onCheck;  // after the user set or cleared a tick
    // An item takes as many lines as its text needs at the list's width.
    bool wrap = false;
};
void _DEFINELISTBOX(const QString& name, const ListBoxProperties& p);

struct RadioGroupProperties {
    int row = 0, col = 0, width = 0;
    int spacing = 25;
    QStringList options;
    int value = 1;  // 1-based
    Font font;
    std::optional<QColor> background;
    Action onChange;
};
void _DEFINERADIOGROUP(const QString& name, const RadioGroupProperties& p);

struct TabProperties {
    int row = 0, col = 0, width = 0, height = 0;
    int value = 1;  // page shown first, 1-based
    Font font;
    bool multiLine = false;
};
void _DEFINETAB(const QString& name, const TabProperties& p);
void _DEFINEPAGE(const QString& caption);  // controls defined next go on this page
void _ENDPAGE();
void _ENDTAB();

struct ToolBarProperties {
    QString parent;  // window name
    int buttonWidth = 40, buttonHeight = 40;
    int imageWidth = 16, imageHeight = 16;
    bool flat = true;
    bool captionRight = false;  // caption beside the picture instead of under it
    bool bottom = false;
    Font font;
};
void _DEFINETOOLBAR(const QString& name, const ToolBarProperties& p);

struct ToolButtonProperties {
    QString picture;
    QString caption;
    Action action;
    QString tooltip;
};
void _DEFINETOOLBUTTON(const QString& name, const ToolButtonProperties& p);
void _ENDTOOLBAR();

struct ProgressBarProperties {
    int row = 0, col = 0, width = 0, height = 0;
    int rangeMin = 0, rangeMax = 100;
    int value = 0;
    std::optional<QColor> background;
    std::optional<QColor> barColor;
};
void _DEFINEPROGRESSBAR(const QString& name, const ProgressBarProperties& p);

// A read-only list bound by alias to a table of the store. Rows are the
// table's visible records in its controlling order; fields are written
// "alias->field". Its value is the record number of the selected row.
// One entry of a control's context menu: its caption and what it runs.
struct MenuEntry {
    QString caption;
    Action action;
    std::function<bool()> enabled;  // asked each time the menu opens; none: always
};

struct BrowseProperties {
    int row = 0, col = 0, width = 0, height = 0;
    QStringList headers;
    QList<int> widths;
    QStringList fields;
    QString workArea;  // the alias
    int value = 0;
    Font font;
    Action onChange;
    // Run on a double-click on a row or Enter on the selected row; none: nothing.
    Action onOpen;
    // The entries of the list's context menu, in this order; none: no menu.
    QList<MenuEntry> menu;
    // The colour of a row's text, asked with the table standing on the row's
    // record whenever the row is read; none, or an invalid colour: the list's own.
    std::function<QColor()> rowColour;
    // The texts a row shows, asked likewise with the fields' texts read; none:
    // those texts as they are. Headers beyond the fields are columns of their
    // own, whose texts it adds after the fields' (a mark such as "★").
    std::function<QStringList(const QStringList& cells)> rowCells;
};
void _DEFINEBROWSE(const QString& name, const BrowseProperties& p);

// ---- Context menus -------------------------------------------------------------
// A menu that opens over a control of the window being defined: a right click
// on it, or the menu key or Shift+F10 while it has the focus. Its items are
// named like the window's controls: "caption" and "enabled" are set and read
// at run time, and choosing an item runs its action.
//
//   _DEFINECONTEXTMENU("Browse_1");
//   _DEFINEMENUITEM("Menu_1", {.caption = "Exportieren", .action = EXPORT_X});
//   _ENDMENU();

struct MenuItemProperties {
    QString caption;
    Action action;
};
void _DEFINECONTEXTMENU(const QString& control);  // a control defined before
void _DEFINEMENUITEM(const QString& name, const MenuItemProperties& p);
void _ENDMENU();

// ---- Run time --------------------------------------------------------------------

// SETPROPERTY(window, control, property, value)
// SETPROPERTY(window, control, property, index, value)   header n, caption n, item n
// SETPROPERTY(window, "Title", text)
void SETPROPERTY(const QString& window, const QString& control, const QString& property,
                 const QVariant& value);
void SETPROPERTY(const QString& window, const QString& control, const QString& property, int index,
                 const QVariant& value);
void SETPROPERTY(const QString& window, const QString& property, const QVariant& value);

QVariant GETPROPERTY(const QString& window, const QString& control, const QString& property);
QVariant GETPROPERTY(const QString& window, const QString& control, const QString& property,
                     int index);
QVariant GETPROPERTY(const QString& window, const QString& property);

// DOMETHOD(window, "Center" | "Release" | "Show" | "SetFocus")
// DOMETHOD(window, control, "refresh" | "AddItem" | "DeleteAllItems" | "SetFocus" | "Click"
//          [, argument])
//   A button pressed by Space, or by Enter while it has the focus, is clicked.
//   "SetFocus" on a control of a tab page shows that page first. "Click" clicks
//   a button, picture or tool button as the user does: a hidden or disabled one
//   (a tool button of a hidden bar) ignores it.
void DOMETHOD(const QString& window, const QString& method);
void DOMETHOD(const QString& window, const QString& control, const QString& method,
              const QVariant& argument = {});

// ---- Keys --------------------------------------------------------------------------
// A key that runs an action, in Qt's portable notation ("Ctrl+N", "Del",
// "F1"). With a control named, the key works while that control has the
// focus (Delete on a list); without, anywhere in the window, even where a
// text box would take the key for itself (Ctrl+E in a text box).
void DEFINEKEY(const QString& window, const QString& control, const QString& key,
               const Action& action);

// F1 in any window runs this action (the help); none: F1 does nothing.
void SET_HELP_ACTION(const Action& action);

// ---- Message boxes ---------------------------------------------------------------
// Modal to the whole program; a carriage return in the text is a line break.

void MSGBOX(const QString& text, const QString& title);
void MSGEXCLAMATION(const QString& text, const QString& title);
bool MSGYESNO(const QString& text, const QString& title);  // Yes is the default

// ---- File questions -------------------------------------------------------------

// Asks for an existing file to open, starting in `folder`; filters read
// "iCalendar (*.ics)". The full path of the chosen file, or "" when the user
// cancels.
QString GETFILE(const QStringList& filters, const QString& title, const QString& folder);

// ---- Language of the toolkit -------------------------------------------------------

// The locale ("de_DE", "en_US", "pt_BR") of the date pickers' calendars (month
// and day names, first day of the week) and the language of the texts Qt draws
// itself (the Yes and No buttons of MSGYESNO, standard dialogs), from Qt's own
// translations; replaces the locale set before, and the one in force set
// again changes nothing. Windows open now keep the texts the program set in
// them.
void SET_INTERFACE_LOCALE(const QString& localeName);

// ---- Application folder ------------------------------------------------------------

// The folder pictures and icons are resolved against ("img/x.bmp").
void SET_PICTURE_FOLDER(const QString& applicationFolder);
