// The edit area of the private address window form1 and the window's texts
// in the three languages.
#include "apps/addresses/extra_fields_page.h"
#include "apps/addresses/private_operations.h"
#include "apps/common/form_controls.h"
#include "apps/common/window_texts.h"
#include "toolkit/forms.h"

namespace {

void DefineMainDataPage() {
    CaptionLabel("Label_1", 50, 20, 200);
    CaptionLabel("Label_2", 50, 220, 230);
    EntryBox("t_vorname", 70, 20, 180, 40);
    EntryBox("t_nachname", 70, 220, 230, 40);
    _DEFINEFRAME("Frame_3", {.row = 90,
                             .col = 350,
                             .width = 100,
                             .height = 50,
                             .caption = "Geburtstag",
                             .background = Qt::white});
    CaptionLabel("Label_3", 100, 20, 240);
    CaptionLabel("Label_15", 100, 260, 90);
    _DEFINECHECKBOX("Check_1", {.row = 110,
                                .col = 360,
                                .width = 85,
                                .height = 28,
                                .caption = "erinnern",
                                .background = Qt::white});
    EntryBox("t_email", 120, 20, 230, 60);
    _DEFINEDATEPICKER("DatePicker_1", {.row = 120, .col = 260, .width = 90, .height = 20});
    CaptionLabel("Label_5", 150, 20, 140);
    CaptionLabel("Label_6", 150, 160, 140);
    CaptionLabel("Label_7", 150, 300, 150);
    EntryBox("t_tel", 170, 20, 120, 20);
    EntryBox("t_handy", 170, 160, 120, 20);
    EntryBox("t_fax", 170, 300, 150, 20);
    CaptionLabel("Label_8", 200, 20, 200);
    CaptionLabel("Label_9", 200, 220, 80);
    CaptionLabel("Label_10", 200, 300, 150);
    EntryBox("t_strasse", 220, 20, 180, 40);
    EntryBox("t_plz", 220, 220, 60, 10);
    EntryBox("t_ort", 220, 300, 150, 40);
    CaptionLabel("Label_11", 250, 20, 170);
    CaptionLabel("Label_12", 250, 190, 140);
    CaptionLabel("Label_13", 250, 330, 120);
    EntryBox("t_firma", 270, 20, 150, 40);
    EntryBox("t_telfirma", 270, 190, 120, 20);
    EntryBox("t_faxfirma", 270, 330, 120, 20);
    CaptionLabel("Label_14", 310, 20, 90);
    EntryBox("t_emailfirma", 310, 110, 200, 60);
}

}  // namespace

void DefinePrivateEditArea() {
    DefineAddressTab(DefineMainDataPage);
}

void SetPrivateAddressTexts() {
    const RecordWindow& book = PrivateAddressBook();
    SetSharedRecordTexts(book);
    SetWindowTexts(book.window,
                   {{"", "", 0, {"Adressen [Privat]", "Contacts [friends]", "Endereços [Amigos]"}},
                    {"Button_2", "tooltip", 0, {"Abbrechen", "Cancel", "cancelar"}},
                    {"Browse_1", "header", 1, {"Vorname", "First name", "Nome"}},
                    {"Tab_1", "caption", 1, {"Hauptdaten", "Contact", "Endereço"}},
                    {"Label_1", "value", 0, {"Vorname", "First name", "Nome"}},
                    {"Label_2", "value", 0, {"Nachname", "Family name", "Sobrenome"}},
                    {"Label_3", "value", 0, {"Email", "Email", "Email"}},
                    {"Label_15", "value", 0, {"Geburtsdatum", "Birthday", "Aniversário"}},
                    {"Label_5", "value", 0, {"Telefon", "Telephone", "Telefone"}},
                    {"Label_6", "value", 0, {"Handy", "Cell phone", "Celular"}},
                    {"Label_7", "value", 0, {"Fax", "Fax", "Fax"}},
                    {"Label_8", "value", 0, {"Straße", "Street", "Rua"}},
                    {"Label_9", "value", 0, {"PLZ", "Zip-code", "CEP"}},
                    {"Label_10", "value", 0, {"Ort", "City", "Cidade"}},
                    {"Label_11", "value", 0, {"Firma", "Company", "Firma"}},
                    {"Label_12", "value", 0, {"Tel. Firma", "Tel. company", "Tel. Firma"}},
                    {"Label_13", "value", 0, {"Fax Firma", "Fax company", "Fax Firma"}},
                    {"Label_14", "value", 0, {"Email Firma", "Email company", "Email Firma"}},
                    {"Frame_3", "caption", 0, {"Geburtstag", "Birthday", "Aniversário"}},
                    {"Check_1", "caption", 0, {"erinnern", "remember", "lembrar"}}});
    SetWindowTexts(book.window, ExtraFieldsPageTexts());
}
