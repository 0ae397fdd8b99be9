// The private address book: its description and its named operations, each a
// step of the shared record window.
#include "apps/addresses/private_addresses.h"

#include "apps/addresses/address_book.h"
#include "apps/addresses/contact_links.h"
#include "apps/addresses/duplicates_window.h"
#include "apps/addresses/private_operations.h"
#include "apps/addresses/vcard_window_steps.h"
#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "toolkit/operation_trail.h"

const AddressBookNames& PrivateBookNames() {
    static const AddressBookNames names{.window = "form1",
                                        .table = "adressen_p.dbf",
                                        .alias = "adressen_p",
                                        .index = "ivorname",
                                        .captionsTable = "freeadr_p.dbf",
                                        .captionsAlias = "freeadr_p"};
    return names;
}

namespace {

const Texts kFirstNameCaption{"Vorname", "First name", "Nome"};

// Page 1 of the tab, in the order the fields are written and exported.
FieldRows MainDataRows() {
    return {
        {.control = "t_vorname",
         .field = "VORNAME",
         .at = {70, 20, 180},
         .inputLimit = 40,
         .captionLabel = "Label_1",
         .captionAt = {50, 20, 200},
         .caption = kFirstNameCaption,
         .page = 1,
         .exportHeader = {"Vorname", "Firstname", "Nome"}},
        {.control = "t_nachname",
         .field = "NACHNAME",
         .at = {70, 220, 230},
         .inputLimit = 40,
         .captionLabel = "Label_2",
         .captionAt = {50, 220, 230},
         .caption = {"Nachname", "Family name", "Sobrenome"},
         .page = 1,
         .exportHeader = {"Nachname", "Name", "Sobrenome"}},
        {.control = "t_strasse",
         .field = "STRASSE",
         .at = {220, 20, 180},
         .inputLimit = 40,
         .captionLabel = "Label_8",
         .captionAt = {200, 20, 200},
         .caption = {"Straße", "Street", "Rua"},
         .page = 1,
         .exportHeader = {"Strasse", "Street", "Rua"}},
        {.control = "t_plz",
         .field = "PLZ",
         .at = {220, 220, 60},
         .inputLimit = 10,
         .captionLabel = "Label_9",
         .captionAt = {200, 220, 80},
         .caption = {"PLZ", "Zip-code", "CEP"},
         .page = 1,
         .exportHeader = {"PLZ", "ZIP", "CEP"}},
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
         .caption = {"Telefon", "Telephone", "Telefone"},
         .page = 1},
        {.control = "t_handy",
         .field = "HANDY",
         .at = {170, 160, 120},
         .inputLimit = 20,
         .captionLabel = "Label_6",
         .captionAt = {150, 160, 140},
         .caption = {"Handy", "Cell phone", "Celular"},
         .page = 1,
         .exportHeader = {"Handy", "Cellphone", "Celular"}},
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
         .at = {120, 20, 230},
         .inputLimit = 60,
         .captionLabel = "Label_3",
         .captionAt = {100, 20, 240},
         .caption = {"Email", "Email", "Email"},
         .page = 1},
        {.control = "t_firma",
         .field = "FIRMA",
         .at = {270, 20, 150},
         .inputLimit = 40,
         .captionLabel = "Label_11",
         .captionAt = {250, 20, 170},
         .caption = {"Firma", "Company", "Firma"},
         .page = 1,
         .exportHeader = {"Firma", "Firma", "Firma"}},
        {.control = "t_telfirma",
         .field = "TELFIRMA",
         .at = {270, 190, 120},
         .inputLimit = 20,
         .captionLabel = "Label_12",
         .captionAt = {250, 190, 140},
         .caption = {"Tel. Firma", "Tel. company", "Tel. Firma"},
         .page = 1,
         .exportHeader = {"Tel.Firma", "Tel.Firma", "Tel.Firma"}},
        {.control = "t_faxfirma",
         .field = "FAXFIRMA",
         .at = {270, 330, 120},
         .inputLimit = 20,
         .captionLabel = "Label_13",
         .captionAt = {250, 330, 120},
         .caption = {"Fax Firma", "Fax company", "Fax Firma"},
         .page = 1,
         .exportHeader = {"Fax Firma", "Fax Firma", "Fax Firma"}},
        {.control = "t_emailfirma",
         .field = "EMAILFIRMA",
         .at = {310, 110, 200},
         .inputLimit = 60,
         .captionLabel = "Label_14",
         .captionAt = {310, 20, 90},
         .caption = {"Email Firma", "Email company", "Email Firma"},
         .page = 1,
         .exportHeader = {"Email Firma", "Email Firma", "Email Firma"}},
        {.control = "DatePicker_1",
         .field = "GEBURTSTAG",
         .kind = FieldKind::Date,
         .at = {120, 260, 90},
         .captionLabel = "Label_15",
         .captionAt = {100, 260, 90},
         .caption = {"Geburtsdatum", "Birthday", "Aniversário"},
         .page = 1},
        {.control = "Check_1",
         .field = "LISTE",
         .kind = FieldKind::Logical,
         .at = {110, 360, 85, 28},
         .caption = {"erinnern", "remember", "lembrar"},
         .page = 1,
         .exportHeader = {"Erinnern", "List", "Lista"}},
    };
}

RecordWindow DescribePrivateAddressBook() {
    RecordWindow book = DescribeAddressBook(PrivateBookNames());
    book.title = {"Adressen [Privat]", "Contacts [friends]", "Endereços [Amigos]"};
    book.icon = "img/hauptuser.ico";
    book.fields = MainDataRows() + book.fields;
    book.list.columns[0].header = kFirstNameCaption;
    book.tab->pages[0] = {"Hauptdaten", "Contact", "Endereço"};
    book.frames.append({.name = "Frame_3",
                        .at = {90, 350, 100, 50},
                        .caption = {"Geburtstag", "Birthday", "Aniversário"},
                        .page = 1});
    book.entryButtons.cancelTip = {"Abbrechen", "Cancel", "cancelar"};
    const Wording firstNameMissing{{"Mindestens Vorname eingeben",
                                    "Field Firstname cannot be empty",
                                    "Entre no mínimo com o nome"}};
    book.required.onSaveNew = firstNameMissing;
    book.required.onSave = firstNameMissing;
    book.deleteQuestion.wording.after = {" löschen?", " delete contact?", " apagar este nome?"};
    book.exportFile.fileName = {"Adressen_Privat.csv", "Contacts_friends.csv",
                                "Contatos_amigos.csv"};
    book.exportFile.createdMessage = {"Adressen_Privat.csv wurde erstellt.",
                                      "File Contacts_friends.csv created.",
                                      "Arquivo Contatos_amigos.csv foi criado."};
    book.searches[0].run = SUCHE_ADRESSEN_P;
    book.list.menu = {{kExportVCardText, EXPORT_VCARD_ADRESSEN_P},
                      {kExportVCard3Text, EXPORT_VCARD3_ADRESSEN_P},
                      {kImportVCardText, IMPORT_VCARD_ADRESSEN_P},
                      {kFindDuplicatesText, DUPLICATES_ADRESSEN_P}};
    book.moreTools = {{"x9", "img/vcard_out.bmp", EXPORT_VCARD_ADRESSEN_P, kExportVCardText},
                      {"x10", "img/vcard_in.bmp", IMPORT_VCARD_ADRESSEN_P, kImportVCardText},
                      {"x11", "img/duplicates.bmp", DUPLICATES_ADRESSEN_P, kFindDuplicatesText}};
    book.actions = {.open = OPENADRESSE_P,
                    .fill = ADRESSE_P_AKTUALISIEREN,
                    .first = T_FIRST_ADRESSEN_P,
                    .previous = T_PREV_ADRESSEN_P,
                    .next = T_NEXT_ADRESSEN_P,
                    .last = T_LAST_ADRESSEN_P,
                    .newRecord = T_NEW_ADRESSEN_P,
                    .deleteRecord = T_DELETE_ADRESSEN_P,
                    .exportCsv = EXPORT_CSV_ADRESSEN_P,
                    .save = T_SAVE_ADRESSEN_P,
                    .saveNew = T_SAVENEW_ADRESSEN_P,
                    .cancel = T_CANCEL_ADRESSEN_P};
    return book;
}

}  // namespace

const RecordWindow& PrivateAddressBook() {
    static const RecordWindow book = DescribePrivateAddressBook();
    return book;
}

void OPENFORM_ADRESSE_P() {
    KESP_OPERATION();
    ShowRecordWindow(PrivateAddressBook());
}

void OPENADRESSE_P() {
    KESP_OPERATION();
    OpenRecordWindow(PrivateAddressBook());
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
    QuickSearchRecords(PrivateAddressBook(), "suche_ad_p");
}

void EXPORT_CSV_ADRESSEN_P() {
    KESP_OPERATION();
    ExportVisibleRecords(PrivateAddressBook());
}

void EXPORT_VCARD_ADRESSEN_P() {
    KESP_OPERATION();
    ExportVCardOfWindow(PrivateAddressBook(), PrivateVCardBook(), VCardVersion::V40);
}

void EXPORT_VCARD3_ADRESSEN_P() {
    KESP_OPERATION();
    ExportVCardOfWindow(PrivateAddressBook(), PrivateVCardBook(), VCardVersion::V30);
}

void IMPORT_VCARD_ADRESSEN_P() {
    KESP_OPERATION();
    ImportVCardIntoWindow(PrivateAddressBook(), PrivateVCardBook());
}

void DUPLICATES_ADRESSEN_P() {
    KESP_OPERATION();
    ShowDuplicatesWindow(PrivateAddressBook(), AddressBookKind::Private);
}

const RecordKind& PrivateAddressesKind() {
    static const RecordKind kind{
        .id = "private",
        .table = PrivateBookNames().table,
        .otherTables = {PrivateBookNames().captionsTable,
                        ContactLinksTable(AddressBookKind::Private)},
        .memoFile = MemoFileOf(PrivateBookNames().table),
        .name = {"Adressen-Privat", "Contacts(friends)", "Endereços(Amigos)"},
        .picture = "img/hauptuser.bmp",
        .open = OPENFORM_ADRESSE_P,
        .nameTemplate = "{VORNAME} {NACHNAME}",
        .searchFields = QStringList{"VORNAME", "NACHNAME", "STRASSE", "PLZ", "ORT", "TEL", "HANDY",
                                    "FAX", "EMAIL", "FIRMA", "TELFIRMA", "FAXFIRMA", "EMAILFIRMA"} +
                        ExtraTextFields(),
        .userCaptions = ExtraFieldCaptions(PrivateBookNames()),
        .dates = {{.field = "GEBURTSTAG", .meaning = DateMeaning::Yearly, .onlyWhere = "LISTE"}},
        .statistics = {
            {.status = {"Adressen [Privat] wird aktualisiert", "Update Contacts [friends]",
                        "Endereços [Amigos] estão sendo atualizados"},
             .suffix = {" Adressen [Privat]", " Contacts [friends]", " Endereços [Amigos]"}}}};
    return kind;
}
