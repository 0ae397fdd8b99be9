// The business address book: its table, its window's wiring and its actions.
// Every action is a step of the shared record window.
#include "apps/addresses/business_addresses.h"

#include "apps/addresses/business_operations.h"
#include "apps/addresses/extra_fields_page.h"
#include "apps/common/csv_export.h"
#include "apps/common/semicolon_csv.h"
#include "kernel/public_variables.h"
#include "kernel/t_close.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

#include <QDir>

namespace {

RecordWindow DescribeBusinessAddressBook() {
    RecordWindow book;
    book.window = "form2";
    book.table = "adressen_g.dbf";
    book.alias = "adressen_g";
    book.indexFile = "ifirma";
    book.indexKey = "UPPER(vorname)";
    book.keyField = "vorname";  // the company name
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
                    {"TELFIRMA", "t_telfirma", FieldKind::Text},
                    {"FAXFIRMA", "t_faxfirma", FieldKind::Text},
                    {"EMAILFIRMA", "t_emailfirma", FieldKind::Text}};
    book.binding += ExtraFieldsBinding();
    book.emptyKeyOnSaveNew = {"Mindestens Firma eingeben", "Field Firma cannot be empty",
                              "Entre no mínimo com a firma"};
    book.emptyKeyOnSave = {"Mindestens Firma eingeben", "Field Firma cannot be empty",
                           "Entre no mínimo com o nome da Firma"};
    book.deleteQuestion = {" löschen?", " delete contact?", " apagar esta firma?"};
    book.actions = {.fill = ADRESSE_G_AKTUALISIEREN,
                    .first = T_FIRST_ADRESSEN_G,
                    .previous = T_PREV_ADRESSEN_G,
                    .next = T_NEXT_ADRESSEN_G,
                    .last = T_LAST_ADRESSEN_G,
                    .newRecord = T_NEW_ADRESSEN_G,
                    .deleteRecord = T_DELETE_ADRESSEN_G,
                    .exportCsv = EXPORT_CSV_ADRESSEN_G,
                    .save = T_SAVE_ADRESSEN_G,
                    .saveNew = T_SAVENEW_ADRESSEN_G,
                    .cancel = T_CANCEL_ADRESSEN_G,
                    .search = SUCHE_ADRESSEN_G};
    return book;
}

// Column headers 1 to 12; the extra fields' captions follow.
const Texts kExportHeaders[] = {
    {"Firma", "Firma", "Firma"},
    {"Ansprechpartner", "Contact person", "Pessoa de contato"},
    {"Strasse", "Street", "Rua"},
    {"PLZ", "ZIP", "CEP"},
    {"Ort", "City", "Cidade"},
    {"Telefon", "Telephon", "Telefone"},
    {"Handy", "Cell phone", "Celular"},
    {"Fax", "Fax", "Fax"},
    {"Email", "Email", "Email"},
    {"Tel.Firma", "Tel.Firma", "Tel.Firma"},
    {"Fax Firma", "Fax Firma", "Fax Firma"},
    {"Homepage", "Homepage", "Homepage"},
};

}  // namespace

const RecordWindow& BusinessAddressBook() {
    static const RecordWindow book = DescribeBusinessAddressBook();
    return book;
}

void OPENFORM_ADRESSE_G() {
    KESP_OPERATION();
    const RecordWindow& book = BusinessAddressBook();
    T_CLOSE();
    DefineRecordWindow(
        book,
        {.title = "Adressen [Geschäftlich]", .icon = "img/hauptfirmen.ico", .listHeader = "Firma"},
        OPENADRESSE_G, DefineBusinessEditArea);
    ShowRecordWindow(book);
}

void OPENADRESSE_G() {
    KESP_OPERATION();
    const RecordWindow& book = BusinessAddressBook();
    QDir::setCurrent(THE_DATA_PATH);
    THE_ANZAHL = 0;
    BuildRecordToolbar(book);
    SetBusinessAddressTexts();
    ShowExtraFieldCaptions(book.window, "freeadr_g.dbf", "freeadr_g");
    OpenRecordTable(book);
    // The list was defined before its table was open: the full window
    // refresh fills it too, besides filling the controls.
    RefreshRecordWindow(book);
}

void ADRESSE_G_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(BusinessAddressBook());
}

void T_FIRST_ADRESSEN_G() {
    KESP_OPERATION();
    GoFirstRecord(BusinessAddressBook());
}

void T_PREV_ADRESSEN_G() {
    KESP_OPERATION();
    GoPreviousRecord(BusinessAddressBook());
}

void T_NEXT_ADRESSEN_G() {
    KESP_OPERATION();
    GoNextRecord(BusinessAddressBook());
}

void T_LAST_ADRESSEN_G() {
    KESP_OPERATION();
    GoLastRecord(BusinessAddressBook());
}

void T_NEW_ADRESSEN_G() {
    KESP_OPERATION();
    EnterNewRecord(BusinessAddressBook());
}

void T_CANCEL_ADRESSEN_G() {
    KESP_OPERATION();
    CancelNewRecord(BusinessAddressBook());
}

void T_SAVENEW_ADRESSEN_G() {
    KESP_OPERATION();
    SaveNewRecord(BusinessAddressBook());
}

void T_SAVE_ADRESSEN_G() {
    KESP_OPERATION();
    SaveCurrentRecord(BusinessAddressBook());
}

void T_DELETE_ADRESSEN_G() {
    KESP_OPERATION();
    DeleteCurrentRecord(BusinessAddressBook());
}

void SUCHE_ADRESSEN_G() {
    KESP_OPERATION();
    QuickSearchRecords(BusinessAddressBook());
}

void EXPORT_CSV_ADRESSEN_G() {
    KESP_OPERATION();
    const RecordWindow& book = BusinessAddressBook();
    ExportVisibleRecords(
        {.fileName = {"Adressen_Firma.csv", "Contacts_Firma.csv", "Contatos_Firma.csv"},
         .createdMessage = {"Adressen_Firma.csv wurde erstellt.",
                            "File Contacts_Firma.csv created.",
                            "Arquivo Contatos_Firma.csv foi criado."},
         .readHeaders =
             [] { return AddressExportHeaders(kExportHeaders, "freeadr_g.dbf", "freeadr_g"); },
         .currentRecordValues = [&book] { return CsvValues(book.alias, book.binding); },
         .fillWindow = ADRESSE_G_AKTUALISIEREN});
}
