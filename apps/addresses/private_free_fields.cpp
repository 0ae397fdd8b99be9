// The naming window of the private book's extra fields, "freeprivat" over
// the book's captions table.
#include "apps/addresses/private_addresses.h"
#include "apps/addresses/private_operations.h"
#include "toolkit/operation_trail.h"

namespace {

const Texts kHelp{
    "Die Bezeichnungen des Formulars können Sie frei umbenennen und somit eine Anwendung ganz an "
    "Ihre persönlichen Bedürfnisse erstellen. Ganz easy!",
    "You can rename the fields and make your own application. Very easy!",
    "Voce pode renomear os campos do formulário, e assim, gerar seu próprio aplicativo, segundo "
    "suas necessidades. Very easy!"};

}  // namespace

const FreeFieldsWindow& PrivateFreeFields() {
    static const FreeFieldsWindow naming{
        .window = "freeprivat",
        .table = PrivateBookNames().captionsTable,
        .title = {"Adressen [Privat]", "Contacts [friends]", "Endereços [amigos]"},
        .frameCaption = {"Privat - Freie Felder (Bezeichnungen)", "Friends - Free fields (Labels)",
                         "Amigos - Campos livres"},
        .help = kHelp,
        .load = HOLEFREECONFIG,
        .save = FREEUPDATE};
    return naming;
}

void FREE_ADRESSE_P() {
    KESP_OPERATION();
    OpenFreeFieldsWindow(PrivateFreeFields());
}

void HOLEFREECONFIG() {
    KESP_OPERATION();
    LoadFreeFieldCaptions(PrivateFreeFields());
}

void FREEUPDATE() {
    KESP_OPERATION();
    SaveFreeFieldCaptions(PrivateFreeFields());
}
