// The naming window of the business book's extra fields, "freefirma" over
// the book's captions table.
#include "apps/addresses/business_addresses.h"
#include "apps/addresses/business_operations.h"
#include "toolkit/operation_trail.h"

namespace {

const Texts kHelp{
    "Die Bezeichnungen des Formulars können Sie frei umbenennen und somit eine Anwendung ganz an "
    "Ihre persönlichen Bedürfnisse erstellen. Ganz easy!",
    "You can rename the fields and make your own application. Very easy!",
    "Voce pode renomear os campos do formulário, e assim, gerar seu próoprio aplicativo, segundo "
    "suas necessidades. Very easy! Ou inicie com um dos modelos (abaixo)."};

}  // namespace

const FreeFieldsWindow& BusinessFreeFields() {
    static const FreeFieldsWindow naming{
        .window = "freefirma",
        .table = BusinessBookNames().captionsTable,
        .title = {"Adressen [Geschäftlich]", "Contacts [Business]", "Endereços [Comerciais]"},
        .frameCaption = {"Geschäftlich - Freie Felder (Bezeichnungen)",
                         "Business - Free fields (Labels)", "Firma - Campos livres"},
        .help = kHelp,
        .load = HOLEFREECONFIG_G,
        .save = FREEUPDATE_G};
    return naming;
}

void FREE_ADRESSE_G() {
    KESP_OPERATION();
    OpenFreeFieldsWindow(BusinessFreeFields());
}

void HOLEFREECONFIG_G() {
    KESP_OPERATION();
    LoadFreeFieldCaptions(BusinessFreeFields());
}

void FREEUPDATE_G() {
    KESP_OPERATION();
    SaveFreeFieldCaptions(BusinessFreeFields());
}
