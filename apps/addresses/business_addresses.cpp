// The business address book: its description and its named operations, each
// a step of the shared record window.
#include "apps/addresses/business_addresses.h"

#include "apps/addresses/address_book.h"
#include "apps/addresses/business_operations.h"
#include "apps/addresses/contact_links.h"
#include "apps/addresses/duplicates_window.h"
#include "apps/addresses/vcard_window_steps.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "toolkit/operation_trail.h"

const AddressBookNames& BusinessBookNames() {
    static const AddressBookNames names{.window = "form2",
                                        .table = "adressen_g.dbf",
                                        .alias = "adressen_g",
                                        .index = "ifirma",
                                        .captionsTable = "freeadr_g.dbf",
                                        .captionsAlias = "freeadr_g"};
    return names;
}

namespace {

const Texts kCompanyCaption{"Firma", "Firma", "Firma"};

// Page 1 of the tab, in the order the fields are written and exported. The
// company name is kept in VORNAME, the contact person in NACHNAME and the
// home page in EMAILFIRMA.
FieldRows MainDataRows() {
    return {
        {.control = "t_vorname",
         .field = "VORNAME",
         .at = {70, 20, 180},
         .inputLimit = 40,
         .captionLabel = "Label_1",
         .captionAt = {50, 20, 200},
         .caption = kCompanyCaption,
         .page = 1},
        {.control = "t_nachname",
         .field = "NACHNAME",
         .at = {70, 220, 230},
         .inputLimit = 40,
         .captionLabel = "Label_2",
         .captionAt = {50, 220, 230},
         .caption = {"Ansprechpartner", "Contact person", "Pessoa de contato"},
         .page = 1},
        {.control = "t_strasse",
         .field = "STRASSE",
         .at = {220, 20, 180},
         .inputLimit = 40,
         .captionLabel = "Label_8",
         .captionAt = {200, 20, 200},
         .caption = {"Strasse", "Street", "Rua"},
         .page = 1},
        {.control = "t_plz",
         .field = "PLZ",
         .at = {220, 220, 60},
         .inputLimit = 10,
         .captionLabel = "Label_9",
         .captionAt = {200, 220, 80},
         .caption = {"PLZ", "ZIP", "CEP"},
         .page = 1},
        {.control = "t_ort",
         .field = "ORT",
         .at = {220, 300, 150},
         .inputLimit = 40,
         .captionLabel = "Label_10",
         .captionAt = {200, 300, 150},
         .caption = {"Ort", "City", "Cidade"},
         .page = 1},
        {.control = "t_tel",
         .field = "TEL",
         .at = {170, 20, 120},
         .inputLimit = 20,
         .captionLabel = "Label_5",
         .captionAt = {150, 20, 140},
         .caption = {"Telefon-Durchwahl", "Tel. direct", "Telef. direto"},
         .page = 1,
         .exportHeader = {"Telefon", "Telephon", "Telefone"}},
        {.control = "t_handy",
         .field = "HANDY",
         .at = {170, 160, 120},
         .inputLimit = 20,
         .captionLabel = "Label_6",
         .captionAt = {150, 160, 140},
         .caption = {"Handy", "Cell phone", "Celular"},
         .page = 1},
        {.control = "t_fax",
         .field = "FAX",
         .at = {170, 300, 150},
         .inputLimit = 20,
         .captionLabel = "Label_7",
         .captionAt = {150, 300, 150},
         .caption = {"Fax", "Fax", "Fax"},
         .page = 1},
        {.control = "t_email",
         .field = "EMAIL",
         .at = {120, 20, 260},
         .inputLimit = 60,
         .captionLabel = "Label_3",
         .captionAt = {100, 20, 260},
         .caption = {"Email", "Email", "Email"},
         .page = 1},
        {.control = "t_telfirma",
         .field = "TELFIRMA",
         .at = {270, 20, 120},
         .inputLimit = 20,
         .captionLabel = "Label_12",
         .captionAt = {250, 20, 140},
         .caption = {"Tel. Firma", "Tel. Firma", "Tel. Firma"},
         .page = 1,
         .exportHeader = {"Tel.Firma", "Tel.Firma", "Tel.Firma"}},
        {.control = "t_faxfirma",
         .field = "FAXFIRMA",
         .at = {270, 160, 120},
         .inputLimit = 20,
         .captionLabel = "Label_13",
         .captionAt = {250, 160, 120},
         .caption = {"Fax Firma", "Fax Firma", "Fax Firma"},
         .page = 1},
        {.control = "t_emailfirma",
         .field = "EMAILFIRMA",
         .at = {310, 110, 340},
         .inputLimit = 60,
         .captionLabel = "Label_14",
         .captionAt = {310, 20, 90},
         .caption = {"Homepage", "Homepage", "Homepage"},
         .page = 1},
    };
}

RecordWindow DescribeBusinessAddressBook() {
    RecordWindow book = DescribeAddressBook(BusinessBookNames());
    book.title = {"Adressen [Geschäftlich]", "Contacts [Business]", "Endereços [Comerciais]"};
    book.icon = "img/hauptfirmen.ico";
    book.fields = MainDataRows() + book.fields;
    book.list.columns[0].header = kCompanyCaption;
    book.tab->pages[0] = {"Hauptdaten", "Business", "Dados principais"};
    book.required.onSaveNew.before = {"Mindestens Firma eingeben", "Field Firma cannot be empty",
                                      "Entre no mínimo com a firma"};
    book.required.onSave.before = {"Mindestens Firma eingeben", "Field Firma cannot be empty",
                                   "Entre no mínimo com o nome da Firma"};
    book.deleteQuestion.wording.after = {" löschen?", " delete contact?", " apagar esta firma?"};
    book.exportFile.fileName = {"Adressen_Firma.csv", "Contacts_Firma.csv", "Contatos_Firma.csv"};
    book.exportFile.createdMessage = {"Adressen_Firma.csv wurde erstellt.",
                                      "File Contacts_Firma.csv created.",
                                      "Arquivo Contatos_Firma.csv foi criado."};
    book.searches[0].run = SUCHE_ADRESSEN_G;
    book.list.menu = {{kExportVCardText, EXPORT_VCARD_ADRESSEN_G},
                      {kExportVCard3Text, EXPORT_VCARD3_ADRESSEN_G},
                      {kImportVCardText, IMPORT_VCARD_ADRESSEN_G},
                      {kFindDuplicatesText, DUPLICATES_ADRESSEN_G}};
    book.moreTools = {{"x9", "img/vcard_out.bmp", EXPORT_VCARD_ADRESSEN_G, kExportVCardText},
                      {"x10", "img/vcard_in.bmp", IMPORT_VCARD_ADRESSEN_G, kImportVCardText},
                      {"x11", "img/duplicates.bmp", DUPLICATES_ADRESSEN_G, kFindDuplicatesText}};
    book.actions = {.open = OPENADRESSE_G,
                    .fill = ADRESSE_G_AKTUALISIEREN,
                    .first = T_FIRST_ADRESSEN_G,
                    .previous = T_PREV_ADRESSEN_G,
                    .next = T_NEXT_ADRESSEN_G,
                    .last = T_LAST_ADRESSEN_G,
                    .newRecord = T_NEW_ADRESSEN_G,
                    .deleteRecord = T_DELETE_ADRESSEN_G,
                    .exportCsv = EXPORT_CSV_ADRESSEN_G,
                    .save = T_SAVE_ADRESSEN_G,
                    .saveNew = T_SAVENEW_ADRESSEN_G,
                    .cancel = T_CANCEL_ADRESSEN_G};
    return book;
}

}  // namespace

const RecordWindow& BusinessAddressBook() {
    static const RecordWindow book = DescribeBusinessAddressBook();
    return book;
}

void OPENFORM_ADRESSE_G() {
    KESP_OPERATION();
    ShowRecordWindow(BusinessAddressBook());
}

void OPENADRESSE_G() {
    KESP_OPERATION();
    OpenRecordWindow(BusinessAddressBook());
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
    QuickSearchRecords(BusinessAddressBook(), "suche_ad_p");
}

void EXPORT_CSV_ADRESSEN_G() {
    KESP_OPERATION();
    ExportVisibleRecords(BusinessAddressBook());
}

void EXPORT_VCARD_ADRESSEN_G() {
    KESP_OPERATION();
    ExportVCardOfWindow(BusinessAddressBook(), BusinessVCardBook(), VCardVersion::V40);
}

void EXPORT_VCARD3_ADRESSEN_G() {
    KESP_OPERATION();
    ExportVCardOfWindow(BusinessAddressBook(), BusinessVCardBook(), VCardVersion::V30);
}

void IMPORT_VCARD_ADRESSEN_G() {
    KESP_OPERATION();
    ImportVCardIntoWindow(BusinessAddressBook(), BusinessVCardBook());
}

void DUPLICATES_ADRESSEN_G() {
    KESP_OPERATION();
    ShowDuplicatesWindow(BusinessAddressBook(), AddressBookKind::Business);
}

const RecordKind& BusinessAddressesKind() {
    static const RecordKind kind{
        .id = "business",
        .table = BusinessBookNames().table,
        .otherTables = {BusinessBookNames().captionsTable,
                        ContactLinksTable(AddressBookKind::Business)},
        .memoFile = MemoFileOf(BusinessBookNames().table),
        .name = {"Adressen-Geschäftl.", "Contacts (Business)", "Endereços Comerciais"},
        .picture = "img/hauptfirmen.bmp",
        .open = OPENFORM_ADRESSE_G,
        .nameTemplate = "{VORNAME} {NACHNAME}",
        .searchFields = QStringList{"VORNAME", "NACHNAME", "STRASSE", "PLZ", "ORT", "TEL", "HANDY",
                                    "FAX", "EMAIL", "TELFIRMA", "FAXFIRMA", "EMAILFIRMA"} +
                        ExtraTextFields(),
        .userCaptions = ExtraFieldCaptions(BusinessBookNames()),
        .statistics = {
            {.status = {"Adressen [Gechäftl.] wird aktualisiert", "Update Contacts [business]",
                        "Endereços [Comerciais] estão sendo atualizados"},
             .suffix = {" Adressen [Gechäftl.]", " Contacts [business]",
                        " Endereços [Comerciais]"}}}};
    return kind;
}
