// The edit area of the business address window form2 and the window's texts
// in the three languages.
#include "apps/addresses/business_operations.h"
#include "apps/addresses/extra_fields_page.h"
#include "apps/common/form_controls.h"
#include "apps/common/window_texts.h"
#include "toolkit/forms.h"

namespace {

void DefineMainDataPage() {
    CaptionLabel("Label_1", 50, 20, 200);
    CaptionLabel("Label_2", 50, 220, 230);
    EntryBox("t_vorname", 70, 20, 180, 40);
    EntryBox("t_nachname", 70, 220, 230, 40);
    CaptionLabel("Label_3", 100, 20, 260);
    EntryBox("t_email", 120, 20, 260, 60);
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
    CaptionLabel("Label_12", 250, 20, 140);
    CaptionLabel("Label_13", 250, 160, 120);
    EntryBox("t_telfirma", 270, 20, 120, 20);
    EntryBox("t_faxfirma", 270, 160, 120, 20);
    CaptionLabel("Label_14", 310, 20, 90);
    EntryBox("t_emailfirma", 310, 110, 340, 60);
}

}  // namespace

void DefineBusinessEditArea() {
    DefineAddressTab(DefineMainDataPage);
}

void SetBusinessAddressTexts() {
    const RecordWindow& book = BusinessAddressBook();
    SetSharedRecordTexts(book);
    SetWindowTexts(
        book.window,
        {{"", "", 0, {"Adressen [Geschäftlich]", "Contacts [Business]", "Endereços [Comerciais]"}},
         {"Button_2", "tooltip", 0, {"Abbrechen", "Cancel", "Cancelar"}},
         {"Browse_1", "header", 1, {"Firma", "Firma", "Firma"}},
         {"Tab_1", "caption", 1, {"Hauptdaten", "Business", "Dados principais"}},
         {"Label_1", "value", 0, {"Firma", "Firma", "Firma"}},
         {"Label_2", "value", 0, {"Ansprechpartner", "Contact person", "Pessoa de contato"}},
         {"Label_3", "value", 0, {"Email", "Email", "Email"}},
         {"Label_5", "value", 0, {"Telefon-Durchwahl", "Tel. direct", "Telef. direto"}},
         {"Label_6", "value", 0, {"Handy", "Cell phone", "Celular"}},
         {"Label_7", "value", 0, {"Fax", "Fax", "Fax"}},
         {"Label_8", "value", 0, {"Strasse", "Street", "Rua"}},
         {"Label_9", "value", 0, {"PLZ", "ZIP", "CEP"}},
         {"Label_10", "value", 0, {"Ort", "City", "Cidade"}},
         {"Label_12", "value", 0, {"Tel. Firma", "Tel. Firma", "Tel. Firma"}},
         {"Label_13", "value", 0, {"Fax Firma", "Fax Firma", "Fax Firma"}},
         {"Label_14", "value", 0, {"Homepage", "Homepage", "Homepage"}}});
    SetWindowTexts(book.window, ExtraFieldsPageTexts());
}
