// The private address book: its table, its window's wiring and its actions.
// Every action is a step of the shared record window.
#include "apps/addresses/private_addresses.h"

#include "apps/addresses/extra_fields_page.h"
#include "apps/addresses/private_operations.h"
#include "apps/common/csv_export.h"
#include "apps/common/semicolon_csv.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

RecordWindow DescribePrivateAddressBook() {
    RecordWindow book;
    book.window = "form1";
    book.table = "adressen_p.dbf";
    book.alias = "adressen_p";
    book.indexFile = "ivorname";
    book.indexKey = "UPPER(vorname)";
    book.keyField = "vorname";
    book.keyControl = "t_vorname";
    book.searchBox = "suche_ad_p";
    book.binding = {{"VORNAME", "t_vorname", FieldKind::Text},
                    {"NACHNAME", "t_nachname", FieldKind::Text},
                    {"STRASSE", "t_strasse", FieldKind::Text},
                    {"PLZ", "t_plz", FieldKind::Text},
                    {"ORT", "t_ort", FieldKind::Text},
                    {"TEL", "t_tel", FieldKind::Text},
                    {"HANDY", "t_handy", FieldKind::Text},
                    {"FAX", "t_fax", FieldKind::Text},
                    {"EMAIL", "t_email", FieldKind::Text},
                    {"FIRMA", "t_firma", FieldKind::Text},
                    {"TELFIRMA", "t_telfirma", FieldKind::Text},
                    {"FAXFIRMA", "t_faxfirma", FieldKind::Text},
                    {"EMAILFIRMA", "t_emailfirma", FieldKind::Text},
                    {"GEBURTSTAG", "DatePicker_1", FieldKind::Date},
                    {"LISTE", "Check_1", FieldKind::Logical}};
    book.binding += ExtraFieldsBinding();
    const Texts firstNameMissing{"Mindestens Vorname eingeben", "Field Firstname cannot be empty",
                                 "Entre no mínimo com o nome"};
    book.emptyKeyOnSaveNew = firstNameMissing;
    book.emptyKeyOnSave = firstNameMissing;
    book.deleteQuestion = {" löschen?", " delete contact?", " apagar este nome?"};
    book.actions = {.fill = ADRESSE_P_AKTUALISIEREN,
                    .first = T_FIRST_ADRESSEN_P,
                    .previous = T_PREV_ADRESSEN_P,
                    .next = T_NEXT_ADRESSEN_P,
                    .last = T_LAST_ADRESSEN_P,
                    .newRecord = T_NEW_ADRESSEN_P,
                    .deleteRecord = T_DELETE_ADRESSEN_P,
                    .exportCsv = EXPORT_CSV_ADRESSEN_P,
                    .save = T_SAVE_ADRESSEN_P,
                    .saveNew = T_SAVENEW_ADRESSEN_P,
                    .cancel = T_CANCEL_ADRESSEN_P,
                    .search = SUCHE_ADRESSEN_P};
    return book;
}

// Column headers 1 to 15; the extra fields' captions follow.
const Texts kExportHeaders[] = {
    {"Vorname", "Firstname", "Nome"},
    {"Nachname", "Name", "Sobrenome"},
    {"Strasse", "Street", "Rua"},
    {"PLZ", "ZIP", "CEP"},
    {"Ort", "City", "Cidade"},
    {"Telefon", "Telephone", "Telefone"},
    {"Handy", "Cellphone", "Celular"},
    {"Fax", "Fax", "Fax"},
    {"Email", "Email", "Email"},
    {"Firma", "Firma", "Firma"},
    {"Tel.Firma", "Tel.Firma", "Tel.Firma"},
    {"Fax Firma", "Fax Firma", "Fax Firma"},
    {"Email Firma", "Email Firma", "Email Firma"},
    {"Geburtsdatum", "Birthday", "Aniversário"},
    {"Erinnern", "List", "Lista"},
};

}  // namespace

const RecordWindow& PrivateAddressBook() {
    static const RecordWindow book = DescribePrivateAddressBook();
    return book;
}

void OPENFORM_ADRESSE_P() {
    KESP_OPERATION();
    const RecordWindow& book = PrivateAddressBook();
    T_CLOSE();
    DefineRecordWindow(
        book, {.title = "Adressen [Privat]", .icon = "img/hauptuser.ico", .listHeader = "Vorname"},
        OPENADRESSE_P, DefinePrivateEditArea);
    ShowRecordWindow(book);
}

void OPENADRESSE_P() {
    KESP_OPERATION();
    const RecordWindow& book = PrivateAddressBook();
    BuildRecordToolbar(book);
    SetPrivateAddressTexts();
    QDir::setCurrent(THE_DATA_PATH);
    THE_ANZAHL = 0;
    ShowExtraFieldCaptions(book.window, "freeadr_p.dbf", "freeadr_p");
    OpenRecordTable(book);
    // The list was defined before its table was open: the full window
    // refresh fills it too, besides filling the controls.
    RefreshRecordWindow(book);
}

void ADRESSE_P_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(PrivateAddressBook());
}

void T_FIRST_ADRESSEN_P() {
    KESP_OPERATION();
    GoFirstRecord(PrivateAddressBook());
}

void T_PREV_ADRESSEN_P() {
    KESP_OPERATION();
    GoPreviousRecord(PrivateAddressBook());
}

void T_NEXT_ADRESSEN_P() {
    KESP_OPERATION();
    GoNextRecord(PrivateAddressBook());
}

void T_LAST_ADRESSEN_P() {
    KESP_OPERATION();
    GoLastRecord(PrivateAddressBook());
}

void T_NEW_ADRESSEN_P() {
    KESP_OPERATION();
    EnterNewRecord(PrivateAddressBook());
}

void T_CANCEL_ADRESSEN_P() {
    KESP_OPERATION();
    CancelNewRecord(PrivateAddressBook());
}

void T_SAVENEW_ADRESSEN_P() {
    KESP_OPERATION();
    SaveNewRecord(PrivateAddressBook());
}

void T_SAVE_ADRESSEN_P() {
    KESP_OPERATION();
    SaveCurrentRecord(PrivateAddressBook());
}

void T_DELETE_ADRESSEN_P() {
    KESP_OPERATION();
    DeleteCurrentRecord(PrivateAddressBook());
}

void SUCHE_ADRESSEN_P() {
    KESP_OPERATION();
    QuickSearchRecords(PrivateAddressBook());
}

void EXPORT_CSV_ADRESSEN_P() {
    KESP_OPERATION();
    const RecordWindow& book = PrivateAddressBook();
    ExportVisibleRecords(
        {.fileName = {"Adressen_Privat.csv", "Contacts_friends.csv", "Contatos_amigos.csv"},
         .createdMessage = {"Adressen_Privat.csv wurde erstellt.",
                            "File Contacts_friends.csv created.",
                            "Arquivo Contatos_amigos.csv foi criado."},
         .readHeaders =
             [] { return AddressExportHeaders(kExportHeaders, "freeadr_p.dbf", "freeadr_p"); },
         .currentRecordValues = [&book] { return CsvValues(book.alias, book.binding); },
         .fillWindow = ADRESSE_P_AKTUALISIEREN});
}
