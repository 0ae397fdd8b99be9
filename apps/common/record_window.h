// The description of a record window: one table in a work area, a list bound
// to it, quick-search boxes above the list, a result line and a count line,
// an edit area of field rows (on the window or on the pages of a tab), the
// toolbar ToolBar_1 (x1 first, x2 previous, x3 next, x4 last, x5 new, x6
// delete, x7 CSV export, x8 save) and two picture buttons (save new, cancel)
// that replace the toolbar while a new record is entered.
//
// An application is a description and its named operations, each a call of
// the shared step that does the work (record_steps.h, quick_search.h,
// record_export.h):
//
//   void T_NEXT_<X>()  { KESP_OPERATION(); GoNextRecord(TheWindow()); }
//   void SUCHE_<X>()   { KESP_OPERATION(); QuickSearchRecords(TheWindow(), "suche_x"); }
//
// Every setting whose default is given below takes the address books' value;
// a description states only where it differs. All texts are data here, set
// in the language in force when the window opens or a message is shown.
#pragma once

#include "apps/common/field_rows.h"
#include "apps/common/index_files.h"
#include "apps/common/window_texts.h"
#include "apps/common/wording.h"
#include "kernel/public_variables.h"
#include "kernel/texts.h"
#include "toolkit/forms.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The application's named operations, wired to the window's controls.
struct RecordActions {
    Action open;  // OPEN<X>: the window's initialisation
    Action fill;  // <X>_AKTUALISIEREN: the list's change action
    Action first, previous, next, last;
    Action newRecord, deleteRecord, exportCsv, save;
    Action saveNew, cancel;
    Action release;  // when the window closes; none: nothing
};

struct WindowPlace {
    int row = 132, col = 232;  // where it is defined
    int width = 700, height = 450;
    bool centred = true;  // centred on the screen before it is shown
};

// A further button of the toolbar, after the eight every record window has.
struct ToolButtonRow {
    QString name;     // "x9"
    QString picture;  // "img/vcard_out.bmp"
    Action action;
    Texts tip;
};

// The word of the toolbar's save button and of entry mode's.
inline const Texts kSaveWord{"Speichern", "Save", "Salvar"};

struct ToolbarTips {
    Texts first{"Erster", "First", "Primeiro"};
    Texts previous{"Zurück", "Previous", "Anterior"};
    Texts next{"Nächster", "Next", "Próximo"};
    Texts last{"Letzter", "Last", "Último"};
    Texts insert{"Daten hinzufügen", "Insert new record", "Inserir novo registro"};
    Texts remove{"Löschen", "Delete", "Apagar"};
    Texts exportCsv{"Export CSV Format", "Export CSV Format", "Exportar em formato CSV"};
    Texts save = kSaveWord;
};

// The picture buttons of entry mode.
struct EntryButtons {
    QString save = "Button_1";
    QString cancel = "Button_2";
    Box saveAt{30, 370, 40, 28};
    Box cancelAt{30, 440, 40, 28};
    QString savePicture = "img/savelarge.bmp";
    QString cancelPicture = "img/cancel.bmp";
    Texts saveTip = kSaveWord;
    Texts cancelTip{"Abbrechen", "Cancel", "Cancelar"};
};

struct ListColumn {
    QString field;  // "vorname", shown as alias->field
    Texts header;   // blank: an empty header
    int width = 0;
    int userCaption = 0;  // n: the header is the user's caption n
};

// An entry of the list's context menu, its caption in the three languages.
struct ListMenuEntry {
    Texts caption;
    Action action;
};

struct RecordList {
    QString name = "Browse_1";
    Box at{100, 10, 190, 290};
    QList<ListColumn> columns;
    Action onOpen;              // double-click or Enter on a row; none: nothing
    QList<ListMenuEntry> menu;  // the context menu, captions in the language in force
    // The text colour of a row, asked on its record; none or invalid: the list's own.
    std::function<QColor()> rowColour;
};

// One quick-search box: every change of its text narrows the list to the
// records whose key in `index` begins with that text. How the typed text
// becomes the seek key and the filter follows from the index's key: in
// capitals for an upper-case key, as typed for a date text or a plain field.
// Over a date kept in calendar order (KeyForm::DateValue) the typed text is
// compared with the date as text in the date format in force, and the
// matches stay in calendar order.
struct Search {
    QString box;  // "suche_ad_p"
    Box at{60, 10, 190, 20};
    int inputLimit = 0;
    QString captionLabel;  // "Label_17" above the box; empty: none
    Box captionAt{40, 10, 190, 20};
    Texts caption;
    QString index;  // "ivorname"
    Action run;     // the named operation the box's change runs (SUCHE_...)
};

// The words after a number of matches in the address books and the birthday list.
inline const Texts kFoundWords{" gefunden", " found", " encontrados"};

// The line under the search boxes: after a search the number of matches
// followed by the result words, or the miss text when nothing matched.
struct ResultLine {
    QString name = "lbl_filter";
    Box at{80, 10, 190, 20};
    Texts found = kFoundWords;
    std::optional<Texts> miss;  // the whole line on a miss; none: "0" and the result words
    Texts hint;                 // shown when the window opens; blank: nothing
};

// The line under the list: the records of the table not marked deleted,
// followed by the count words.
struct CountLine {
    QString name = "label_anzahl";
    Box at{390, 10, 190, 20};
    Texts words{" Daten in der Datenbank.", " records", " registros"};
    Texts afterDeletion;  // the words right after a deletion; blank: `words`
};

struct TabControl {
    QString name = "Tab_1";
    Box at;
    QList<Texts> pages;  // captions of pages 1, 2, ...
};

struct FrameRow {
    QString name;  // "Frame_3"
    Box at;
    Texts caption;
    int page = 0;
    bool bold = false;
    bool tabGroup = false;  // its controls are one block in the keyboard order
};

struct LabelRow {
    QString name;
    Box at;
    Texts text;
    int page = 0;
    bool bold = true;
};

// The one value that must not be empty when the form is saved.
struct RequiredField {
    QString control;  // "t_vorname", checked trimmed
    Wording onSaveNew;
    Wording onSave;
    bool checkedOnSave = true;  // false: Save writes an empty value too
    bool namesCaption = false;  // true: the field's caption as shown goes between the texts
};

// The question before a record is marked deleted, naming the current
// record's value of `field` (trimmed) between its texts.
struct DeleteQuestion {
    QString field;  // "vorname"
    Wording wording;
};

struct ExportColumn {
    QString field;
    FieldKind kind = FieldKind::Text;  // how the value is written
    Texts header;
    int userCaption = 0;  // n: the header is the user's caption n
};

struct RecordExport {
    Texts fileName;               // "Adressen_Privat.csv", in the export folder
    Texts createdMessage;         // followed by a carriage return and the export folder
    QList<ExportColumn> columns;  // empty: one per field row, in the rows' order
    Texts cannotWrite{"Sorry, CSV Datei konnte nicht erstellt werden. Rechte und Schutz prüfen.",
                      "Sorry, I can not write the file. Permission?",
                      "Sorry, não foi possível criar o arquivo. Permissão?"};
};

struct RecordWindow {
    // The window.
    QString window;  // "form1"
    Texts title;
    QString definitionTitle;   // the title it is defined with; empty: the German title
    int titleUserCaption = 0;  // n: the title is the user's caption n instead
    QString icon;              // "img/hauptuser.ico"
    WindowPlace place;
    const QString* messageTitle = &THE_APP_NAME;  // title of its message boxes

    // The table and its orders.
    QString table;  // "adressen_p.dbf" in the data folder
    QString alias;  // "adressen_p"
    QString workArea = "a";
    // A window that shows another table in place of its own (search results
    // copied into a table of their own, say) opens it in another work area
    // under the same alias; this names the area of the table shown now. None:
    // always `workArea`.
    std::function<QString()> shownArea;
    QList<IndexFile> indexes;  // created in this order on opening and after each save
    QString normalOrder;       // the index the list runs in after opening and saving

    // What the window shows.
    FieldRows fields;  // one row per field, in the order they are written
    RecordList list;
    QList<Search> searches;
    ResultLine resultLine;
    CountLine countLine;
    std::optional<TabControl> tab;
    // 0: the list, the search boxes and the result and count lines sit on the
    // window; n: on page n of the tab, placed relative to the tab control.
    int listPage = 0;
    QList<FrameRow> frames;
    QList<LabelRow> labels;
    QList<ControlText> texts;  // the language's texts of any further control
    ToolbarTips toolbar;
    QList<ToolButtonRow> moreTools;  // after x8, in this order
    EntryButtons entryButtons;
    // The captions the user gave some fields (caption n at index n - 1),
    // read from the current work area when the window opens and from work
    // area "b" during an export.
    std::function<QStringList()> readUserCaptions;

    // The rules of its operations.
    RequiredField required;
    Texts savedNewMessage;  // shown in a plain box once Save new has written; blank: none
    DeleteQuestion deleteQuestion;
    RecordExport exportFile;

    RecordActions actions;
    Action defineOwnControls;  // further controls, defined after all others
    // Further controls of page n of the tab (0: the window), defined after
    // the page's own frames, labels and fields.
    std::function<void(int page)> defineOwnPageControls;
};

// The work area of the table the window shows now.
inline QString ShownWorkArea(const RecordWindow& record) {
    return record.shownArea ? record.shownArea() : record.workArea;
}
