// The own application's naming window "freemyapp": the shared field-naming
// window with a row for the application's name, a cancel button and the
// template toolbar, over the names table (fields FREE01 ... FREE10, APPNAME),
// and the check box that makes the date field a reminder (kept with the
// reminder settings, saved and cancelled with the names).
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/custom/database_templates.h"
#include "kernel/reminder_settings.h"
#include "kernel/settings_record.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

namespace {

const QString kNamesTable = "myfields.dbf";

const QString kReminds = "Check_1";
const Texts kRemindsCaption{"Datumsfeld als Erinnerung (Demnächst)",
                            "Date field as a reminder (Coming up)",
                            "Campo data como lembrete (Próximos dias)"};

void DefineOwnControls(WindowWording& words) {
    _DEFINELABEL("lbl_vorlage",
                 {.row = 470,
                  .col = 260,
                  .width = 120,
                  .height = 20,
                  .value = words("lbl_vorlage", "value", {"Vorlagen", "Pattern", "Modelos"}),
                  .bold = true,
                  .background = Qt::white});
    _DEFINECHECKBOX(kReminds, {.row = 470,
                               .col = 400,
                               .width = 270,
                               .height = 20,
                               .caption = words(kReminds, "caption", kRemindsCaption),
                               .background = Qt::white});
}

void ShowStoredReminder() {
    SETPROPERTY(MyAppNaming().window, kReminds, "value", ReadReminderSettings().customDateReminds);
}

FreeFieldsWindow DescribeMyAppNaming() {
    return {.window = "freemyapp",
            .table = kNamesTable,
            .frameCaption = {": FREIE FELDER (Bezeichnungen) umbenennen",
                             ": Rename the FREE FIELDS", ": Renomear os CAMPOS LIVRES"},
            .help = {"Die Bezeichnungen des Formulars können Sie frei umbenennen und somit eine "
                     "Anwendung ganz an Ihre persönlichen Bedürfnisse erstellen. Ganz easy! Oder "
                     "verwenden Sie die Vorlagen (unten).",
                     "You can rename the fields and make your own application. Very easy! Or "
                     "start with some pattern(below).",
                     "Voce pode renomear os campos do formulário, e assim, gerar seu próprio "
                     "aplicativo, segundo suas necessidades. Very easy! Ou inicie com um dos "
                     "modelos (abaixo)."},
            .load = HOLEFREECONFIG_MYAPP,
            .save = FREEUPDATE_MYAPP,
            .fieldDigits = 2,
            .layout = {.height = 580,
                       .inputLimit = 30,
                       .saveAt = {395, 570, 40, 28},
                       .cancelAt = {395, 620, 40, 28},
                       .helpAt = {440, 30, 640, 30},
                       .helpOnGrey = false},
            .applicationName =
                ApplicationNameRow{.frameCaption = {"Name der Anwendung (Max. 30 Zeichen)",
                                                    "Name of the application (Max. 30 character)",
                                                    "Nome do seu aplicativo (Max. 30 espaços)"}},
            .reload = FREEDATA_MYAPP,
            .cancel = FREEDATA_MYAPP,
            .defineOwnControls = DefineOwnControls,
            .ownValues = {{.control = kReminds, .kind = FieldKind::Logical}}};
}

}  // namespace

const FreeFieldsWindow& MyAppNaming() {
    static const FreeFieldsWindow naming = DescribeMyAppNaming();
    return naming;
}

QStringList ReadMyAppNames(const QString& alias) {
    return ReadStoredNames(kNamesTable, alias, NamingFields(MyAppNaming()));
}

void StoreMyAppNames(const QStringList& names) {
    const QStringList fields = NamingFields(MyAppNaming());
    WriteSettingsRecord(kNamesTable, "myfieldsupd", [&fields, &names] {
        for (int n = 0; n < fields.size(); ++n)
            REPLACE("myfieldsupd->" + fields[n], TrimBlanks(names.value(n)));
    });
}

void OPENFORM_MYAPPCONFIG() {
    KESP_OPERATION();
    OpenFreeFieldsWindow(MyAppNaming());
}

void HOLEFREECONFIG_MYAPP() {
    KESP_OPERATION();
    BuildTemplateToolbar(
        MyAppNaming().window, "ToolBar_1",
        {VOR_LITER, VOR_VERSICHERUNG, VOR_KOCH, VOR_KFZ, VOR_CDS, VOR_VIDEOS, VOR_SAMMLUNGEN});
    ShowStoredReminder();
    LoadFreeFieldCaptions(MyAppNaming());
}

void FREEUPDATE_MYAPP() {
    KESP_OPERATION();
    WriteCustomDateReminds(GETPROPERTY(MyAppNaming().window, kReminds, "value").toBool());
    SaveFreeFieldCaptions(MyAppNaming());
    TellKindRenamed(MyAppKind(),
                    GETPROPERTY(MyAppNaming().window, kApplicationNameBox, "value").toString());
}

void FREEDATA_MYAPP() {
    KESP_OPERATION();
    ShowStoredReminder();
    ShowStoredFreeFieldNames(MyAppNaming());
}
