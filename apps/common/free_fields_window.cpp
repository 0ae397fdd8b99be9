#include "apps/common/free_fields_window.h"

#include "apps/common/form_controls.h"
#include "apps/common/unsaved_changes.h"
#include "apps/common/window_texts.h"
#include "kernel/public_variables.h"
#include "kernel/settings_record.h"
#include "kernel/t_close.h"
#include "store/xbase.h"

#include <map>

namespace {

constexpr int kFields = 10;
const QColor kGrey{192, 192, 192};
const QString kNamesFrame = QStringLiteral("Frame_1");

int RowOf(int field) {
    return 60 + 30 * (field - 1);
}
QString Numbered(const char* stem, int number) {
    return stem + QString::number(number);
}
int InputLimit(const FreeFieldsWindow& naming, int field) {
    if (naming.layout.inputLimit > 0) return naming.layout.inputLimit;
    if (field >= 6 && field <= 8) return 20;
    if (field == 9) return 19;
    return 70;
}

// The boxes the user types the new names into, as far as closing asks about them.
FieldRows NamingBoxes(const FreeFieldsWindow& naming) {
    FieldRows boxes;
    for (int field = 1; field <= kFields; ++field)
        boxes.append({.control = Numbered("Text_", field)});
    if (naming.applicationName) boxes.append({.control = kApplicationNameBox});
    return boxes + naming.ownValues;
}

const Texts kTypeOfFieldHeading{"* Feldtypen", "* Type of field", "* Tipos de campos"};

const Texts kTypeOfField[kFields] = {
    {"* Textfeld 1", "* Textfield 1", "* Campo Texto 1"},
    {"* Textfeld 2", "* Textfield 2", "* Campo Texto 2"},
    {"* Textfeld 3", "* Textfield 3", "* Campo Texto 3"},
    {"* Textfeld 4", "* Textfield 4", "* Campo Texto 4"},
    {"* Textfeld 5", "* Textfield 5", "* Campo Texto 5"},
    {"* Ja / Nein Feld 1", "* Yes / No field 1", "* Campo Sim / Não 1"},
    {"* Ja / Nein Feld 2", "* Yes / No field 2", "* Campo Sim / Não 2"},
    {"* Ja / Nein Feld 3", "* Yes / No field 3", "* Campo Sim / Não 3"},
    {"* Datumsfeld", "* Date", "* Campo Data"},
    {"* Memofeld (Text lang)", "* Memofield (long text)", "* Campo Memo (Texto longo)"},
};

// The texts each naming window was defined with, by window: a load sets
// them again in the language in force.
WindowWording& WordsOf(const FreeFieldsWindow& naming) {
    static std::map<QString, WindowWording> words;
    return words[naming.window];
}

void DefineApplicationNameRow(const ApplicationNameRow& row, WindowWording& words) {
    _DEFINEFRAME("Frame_3", {.row = 380,
                             .col = 30,
                             .width = 500,
                             .height = 50,
                             .caption = words("Frame_3", "caption", row.frameCaption),
                             .bold = true,
                             .background = Qt::white});
    _DEFINELABEL(
        "Label_11",
        {.row = 400, .col = 60, .width = 250, .height = 20, .bold = true, .background = Qt::white});
    _DEFINETEXTBOX(
        kApplicationNameBox,
        {.row = 400, .col = 320, .width = 200, .height = 20, .maxLength = row.inputLimit});
}

void DefineFreeFieldsWindow(const FreeFieldsWindow& naming) {
    WindowWording& words = WordsOf(naming);
    words.Clear();
    // With an application-name row the title and Frame_1 show the stored name.
    const bool named = naming.applicationName.has_value();
    _DEFINEWINDOW(naming.window, WindowKind::Standard,
                  {.title = named ? QString() : words("", "", naming.title),
                   .row = 135,
                   .col = 232,
                   .width = 700,
                   .height = naming.layout.height,
                   .icon = "img/einstellungen.ico",
                   .noMinimize = true,
                   .noMaximize = true,
                   .topmost = true,
                   .onInit = naming.load,
                   .mayClose = [&naming] {
                       return MayDiscardShownValues(naming.window, NamingBoxes(naming),
                                                    THE_APP_NAME);
                   }});
    _DEFINEFRAME(kNamesFrame,
                 {.row = 20,
                  .col = 30,
                  .width = 640,
                  .height = 350,
                  .caption = named ? QString() : words(kNamesFrame, "caption", naming.frameCaption),
                  .bold = true,
                  .background = Qt::white});
    _DEFINELABEL("lbl_akt",
                 {.row = 40,
                  .col = 60,
                  .width = 240,
                  .height = 15,
                  .value = words("lbl_akt", "value", {"Aktuell", "Currently", "Atualmente"}),
                  .bold = true,
                  .background = kGrey,
                  .centerAlign = true});
    _DEFINELABEL("lbl_vert",
                 {.row = 40, .col = 310, .width = 1, .height = 310, .background = kGrey});
    _DEFINELABEL("lbl_neu",
                 {.row = 40,
                  .col = 320,
                  .width = 200,
                  .height = 15,
                  .value = words("lbl_neu", "value", {"Umbenennen", "Rename", "Renomear"}),
                  .bold = true,
                  .background = kGrey,
                  .centerAlign = true});
    _DEFINELABEL("Label_22", {.row = 40,
                              .col = 530,
                              .width = 120,
                              .height = 15,
                              .value = words("Label_22", "value", kTypeOfFieldHeading),
                              .bold = true,
                              .background = Qt::white});
    _DEFINELABEL("lbl_horiz",
                 {.row = 55, .col = 60, .width = 590, .height = 1, .background = kGrey});
    for (int field = 1; field <= kFields; ++field) {
        _DEFINELABEL(Numbered("Label_", field), {.row = RowOf(field),
                                                 .col = 60,
                                                 .width = 240,
                                                 .height = 20,
                                                 .value = Numbered("Label_", field),
                                                 .bold = true,
                                                 .background = Qt::white});
        _DEFINETEXTBOX(Numbered("Text_", field), {.row = RowOf(field),
                                                  .col = 320,
                                                  .width = 200,
                                                  .height = 20,
                                                  .maxLength = InputLimit(naming, field)});
        const bool longText = field == kFields;
        const QString type = Numbered("Label_", field + 11);
        _DEFINELABEL(type, {.row = RowOf(field),
                            .col = 530,
                            .width = longText ? 130 : 120,
                            .height = longText ? 30 : 20,
                            .value = words(type, "value", kTypeOfField[field - 1]),
                            .background = Qt::white});
    }
    if (named) DefineApplicationNameRow(*naming.applicationName, words);
    const NamingLayout& layout = naming.layout;
    PictureButton("Button_5", layout.saveAt, "img/savelarge.bmp", naming.save,
                  words("Button_5", "tooltip", {"Speichern", "Save", "Salvar"}));
    if (naming.cancel)
        PictureButton("Button_1", layout.cancelAt, "img/cancel.bmp", naming.cancel,
                      words("Button_1", "tooltip", {"Abbrechen", "Cancel", "Cancelar"}));
    _DEFINELABEL("lbl_hilfe", {.row = layout.helpAt.row,
                               .col = layout.helpAt.col,
                               .width = layout.helpAt.width,
                               .height = layout.helpAt.height,
                               .value = words("lbl_hilfe", "value", naming.help),
                               .bold = !layout.helpOnGrey,
                               .background = layout.helpOnGrey ? kGrey : QColor(Qt::white)});
    if (naming.defineOwnControls) naming.defineOwnControls(words);
    _ENDWINDOW();
}

}  // namespace

void OpenFreeFieldsWindow(const FreeFieldsWindow& naming) {
    if (ISWINDOWDEFINED(naming.window)) {
        DOMETHOD(naming.window, "Show");
        DOMETHOD(naming.window, "SetFocus");
        return;
    }
    T_CLOSE();
    DefineFreeFieldsWindow(naming);
    DOMETHOD(naming.window, "Center");
    _ACTIVATEWINDOW(naming.window);
}

void LoadFreeFieldCaptions(const FreeFieldsWindow& naming) {
    WordsOf(naming).Apply(naming.window);

    ShowStoredFreeFieldNames(naming);
    if (naming.applicationName) {
        const QString name = GETPROPERTY(naming.window, kApplicationNameBox, "value").toString();
        SETPROPERTY(naming.window, kNamesFrame, "caption", name + TEXT(naming.frameCaption));
    }
}

void ShowStoredFreeFieldNames(const FreeFieldsWindow& naming) {
    const QStringList names = ReadStoredNames(naming.table, "freeconfig", NamingFields(naming));
    for (int row = 1; row <= names.size(); ++row) {
        SETPROPERTY(naming.window, Numbered("Label_", row), "value", names[row - 1]);
        SETPROPERTY(naming.window, Numbered("Text_", row), "value", names[row - 1]);
    }
    if (naming.applicationName) SETPROPERTY(naming.window, "Title", names.last());
    RememberShownValues(naming.window, NamingBoxes(naming));
}

void SaveFreeFieldCaptions(const FreeFieldsWindow& naming) {
    const QStringList fields = NamingFields(naming);
    WriteSettingsRecord(naming.table, "freeupd", [&naming, &fields] {
        for (int row = 1; row <= fields.size(); ++row) {
            REPLACE(
                "freeupd->" + fields[row - 1],
                TrimBlanks(GETPROPERTY(naming.window, Numbered("Text_", row), "value").toString()));
        }
    });
    if (naming.reload) {
        naming.reload();
    } else {
        naming.load();
    }
}

QStringList ReadFreeFieldCaptions(const QString& table, const QString& alias) {
    QStringList fields;
    for (int field = 1; field <= kFields; ++field)
        fields.append(Numbered("FREE", field));
    return ReadStoredNames(table, alias, fields);
}

QStringList ReadStoredNames(const QString& table, const QString& alias, const QStringList& fields) {
    DBUSEAREA(false, THE_DATA_PATH + table, alias);
    DBGOTOP();
    QStringList names;
    for (const QString& field : fields)
        names.append(TrimBlanks(FIELD(alias + "->" + field).toString()));
    DBCLOSEAREA();
    return names;
}

QStringList NamingFields(const FreeFieldsWindow& naming) {
    QStringList fields;
    for (int field = 1; field <= kFields; ++field)
        fields.append("FREE" + QString("%1").arg(field, naming.fieldDigits, 10, QChar('0')));
    if (naming.applicationName) fields.append(naming.applicationName->field);
    return fields;
}
