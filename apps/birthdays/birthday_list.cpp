// The birthday list's operations: opening the view, its three states (all
// listed persons, one month, a first-name search), the details of the
// selected person, and printing.
//
// The view's steps are the list's own: unlike the record windows, the list
// always keeps the listed persons only (a filter on LISTE beside every
// search) and falls back to all of them when a search finds nothing.
#include "apps/birthdays/birthdays.h"

#include "apps/birthdays/birthday_operations.h"
#include "apps/common/field_rows.h"
#include "apps/common/index_files.h"
#include "apps/common/opening_record.h"
#include "apps/common/record_steps.h"
#include "apps/common/record_window.h"
#include "apps/common/search_colours.h"
#include "kernel/current_folder.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "reports/extreport.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/beside_the_loop.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QColor>
#include <QDir>

namespace {

const QString kWindow = "form3";
const QString kNameSearch = QStringLiteral("s_geburt");
const QString kTable = "adressen_p.dbf";
const QString kAlias = "geburt";

const Texts kCountSuffix{" Daten in der Datenbank.", " records in the database.",
                         " registros no banco de dados."};
const Texts kReport{"xxrep_geb", "xxrep_geb_en", "xxrep_geb_br"};

const IndexFile kByFirstName{"ivorname", KeyForm::Upper, "vorname"};
const IndexFile kByBirthDate{"igeburt", KeyForm::Field, "geburtstag"};
// By month, then by day of the month (then by record, as every order): a
// list read by date. An empty birth date is month 0 and comes first.
const IndexFile kByMonthAndDay{
    "igebmon", KeyForm::Expression, {}, "STR(MONTH(geburtstag),2)+STR(DAY(geburtstag),2)"};
const IndexFile kByDay{"igebtag", KeyForm::Expression, {}, "DAY(geburtstag)"};

// Every order of the list, created at its opening.
const QList<IndexFile> kBirthdayIndexes{kByFirstName, kByBirthDate, kByMonthAndDay, kByDay};

const QStringList kBirthdayOrder{"igebmon", "igebtag", "ivorname"};
const QStringList kFirstNameOrder{"ivorname", "igeburt"};

const FieldRows kDetails{{.control = "t_vorname", .field = "VORNAME"},
                         {.control = "t_nachname", .field = "NACHNAME"},
                         {.control = "t_tel", .field = "TEL"},
                         {.control = "t_email", .field = "EMAIL"}};

// Asked of every record where the list is counted: its field named once.
bool Listed() {
    static const QString kListed = QStringLiteral("geburt->liste");
    return FIELD(kListed).toBool();
}

void OpenAddressTable() {
    DBSELECTAREA(1);
    DBUSEAREA(false, THE_DATA_PATH + kTable, kAlias);
}

void UseOrders(const QStringList& files) {
    ORDLISTCLEAR();
    for (const QString& file : files)
        ORDLISTADD(file);
}

void ShowListedOnly() {
    DBSETFILTER(Listed, "liste = .t.");
}

// The persons the whole list shows, as the list would count them: read from
// the table's records on a thread beside the loop, which paints the window
// meanwhile (every record of a large book is read once).
int CountListed() {
    const std::function<int()> count = LIVECOUNTWHERE(QStringLiteral("liste"));
    int listed = 0;
    kesp::RunBesideTheLoop([&count, &listed] { listed = count(); });
    return listed;
}

void ShowResult(int found) {
    SETPROPERTY(kWindow, "lbl_filter", "value", QString::number(found) + TEXT(kFoundWords));
}

// The list re-read around the current record, which it selects (and so
// shows its details).
void ShowInList() {
    DOMETHOD(kWindow, "Browse_1", "refresh");
    SETPROPERTY(kWindow, "Browse_1", "value", RECNO());
}

// The listed persons for whom `condition` holds, by birth month and day,
// from the first one.
void ShowBirthdayView(const Condition& condition, const QString& conditionText) {
    DBSELECTAREA(kAlias);
    DBCLEARFILTER();
    UseOrders(kBirthdayOrder);
    DBSETFILTER(condition, conditionText);
    const int shown = CountPresentedRecords();
    DBGOTOP();
    ShowResult(shown);
    ShowInList();
}

void PrintView() {
    const CurrentFolderGuard reportsBesideTheProgram(THE_APP_PATH);
    EXTREPORT(TEXT(kReport));
}

}  // namespace

void OPENFORM_GEBURT() {
    KESP_OPERATION();
    T_CLOSE();
    ReadAheadIndexFiles(kBirthdayIndexes);
    DefineBirthdayWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}

void OPENGEBURT() {
    KESP_OPERATION();
    QDir::setCurrent(THE_DATA_PATH);
    THE_ANZAHL = 0;
    OpenAddressTable();
    const int asked = TakeRecordToOpenOn();
    __DBPACK();
    CreateEachIndexFile(kBirthdayIndexes);
    UseOrders(kBirthdayOrder);
    ShowListedOnly();
    THE_ANZAHL = CountListed();
    DBGOTOP();
    if (asked > 0) {
        DBGOTO(asked);
        if (!Listed()) DBGOTOP();  // a person not on the birthday list: the list as usual
    }
    GEBURT_AKTUALISIEREN();
    // The list was defined before its table was open.
    ShowInList();
    DOMETHOD(kWindow, kNameSearch, "SetFocus");  // ready for a name to be typed
}

void GEBURT_AKTUALISIEREN() {
    KESP_OPERATION();
    DBSELECTAREA(kAlias);
    FillControlsFromRecord(kWindow, kAlias, kDetails);
    const QDate born = FIELD("geburt->geburtstag").toDate();
    SETPROPERTY(kWindow, "t_geburtstag", "value", born.isValid() ? DTOC(born) : QString());
    SETPROPERTY(kWindow, "label_anzahl", "value",
                QString::number(static_cast<long long>(THE_ANZAHL)) + TEXT(kCountSuffix));
}

void SUCHE_GEBURT() {
    KESP_OPERATION();
    DBSELECTAREA(kAlias);
    DBCLEARFILTER();
    UseOrders(kFirstNameOrder);
    CPESQ = UPPER(TrimmedValue(kWindow, kNameSearch));
    DBSETFILTER([] { return EQ(UPPER(FIELD("geburt->vorname")), CPESQ) && Listed(); },
                "UPPER(geburt->vorname) = cPesq .and. liste = .t.", [] { return CPESQ; });
    DBSEEK(CPESQ, true);
    SETPROPERTY(kWindow, "lbl_filter", "value", " ");
    if (FOUND()) {
        const int found = CountPresentedRecords();
        DBGOTOP();
        ShowResult(found);
        SETPROPERTY(kWindow, kNameSearch, "backcolor", kSearchHit);
    } else {
        // Nothing found: every listed person, by first name, from the first.
        ShowListedOnly();
        DBGOTOP();
        ShowResult(0);
        SETPROPERTY(kWindow, kNameSearch, "backcolor", kSearchMiss);
    }
    if (CPESQ.isEmpty()) SETPROPERTY(kWindow, kNameSearch, "backcolor", kNoSearch);
    ShowInList();
}

void SUCHE_ALLE() {
    KESP_OPERATION();
    ShowBirthdayView(Listed, "liste = .t.");
}

void SUCHE_ANY(const QString& month) {
    KESP_OPERATION();
    const int wanted = month.toInt();
    ShowBirthdayView(
        [wanted] { return MONTH(FIELD("geburt->geburtstag").toDate()) == wanted && Listed(); },
        "MONTH(geburt->geburtstag) = " + month + " .and. liste = .t.");
}

void OPEN_RPT_GEB() {
    KESP_OPERATION();
    DBSELECTAREA(kAlias);
    const int shown = RECNO();
    DBGOTOP();
    PrintView();
    DBSELECTAREA(kAlias);
    DBGOTO(shown);
    GEBURT_AKTUALISIEREN();
    ShowInList();
}

void PRINT_GEB() {
    KESP_OPERATION();
    {
        const CurrentFolderGuard indexesInTheDataFolder(THE_DATA_PATH);
        OpenAddressTable();
        CreateEachIndexFile({kByFirstName, kByMonthAndDay, kByDay});
        UseOrders(kBirthdayOrder);
        ShowListedOnly();
        DBGOTOP();
        PrintView();
        DBCLOSEALL();
    }
    QDir::setCurrent(THE_APP_PATH);  // the main window's folder, whatever was current before
}

const RecordKind& BirthdaysKind() {
    static const RecordKind kind{
        .id = "birthdays",
        .table = kTable,
        .viewOf = "private",
        .name = {"Geburtstagsliste", "Birthday", "Lista de Anivers."},
        .picture = "img/hauptfiesta.bmp",
        .open = OPENFORM_GEBURT,
        .nameTemplate = "{VORNAME} {NACHNAME}",
        .dates = {{.field = "GEBURTSTAG", .meaning = DateMeaning::Yearly, .onlyWhere = "LISTE"}},
        .statistics = {
            {.status = {"Geburtstag [Heute] wird aktualisiert", "Update birthday [today]",
                        "Aniversários [Hoje] estão sendo atualizados"},
             .suffix = {" Geburtstag [Heute]", " Birthday [today]", " Aniversários [Hoje]"},
             .today = DateMeaning::Yearly}}};
    return kind;
}
