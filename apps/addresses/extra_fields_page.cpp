#include "apps/addresses/extra_fields_page.h"

#include "apps/common/form_controls.h"
#include "apps/common/free_fields_window.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

namespace {

// The control that shows the caption of extra field n.
const QString kCaptionControl[10] = {"Label_free01", "Label_free02", "Label_free03", "Label_free04",
                                     "Label_free05", "check_free06", "check_free07", "check_free08",
                                     "Label_free09", "Label_free10"};

void TextBox(const QString& name, int row, int col) {
    EntryBox(name, row, col, 200, 50);
}

void CheckBox(const QString& name, int row) {
    _DEFINECHECKBOX(name, {.row = row, .col = 260, .width = 180, .height = 20});
}

}  // namespace

void DefineExtraFieldsPage() {
    CaptionLabel("Label_free01", 50, 20, 230);
    CaptionLabel("Label_free02", 50, 250, 200);
    TextBox("free01", 70, 20);
    TextBox("free02", 70, 250);
    CaptionLabel("Label_free03", 100, 20, 230);
    CaptionLabel("Label_free04", 100, 250, 200);
    TextBox("free03", 120, 20);
    TextBox("free04", 120, 250);
    CaptionLabel("Label_free05", 150, 20, 200);
    _DEFINEFRAME("Frame_2", {.row = 150,
                             .col = 250,
                             .width = 200,
                             .height = 90,
                             .caption = "Ja / Nein Felder",
                             .bold = true,
                             .background = Qt::white});
    TextBox("free05", 170, 20);
    CheckBox("check_free06", 170);
    CheckBox("check_free07", 190);
    CheckBox("check_free08", 210);
    CaptionLabel("Label_free09", 200, 20, 200);
    _DEFINEDATEPICKER("free09", {.row = 220, .col = 20, .width = 90, .height = 20});
    CaptionLabel("Label_free10", 250, 20, 430);
    _DEFINEEDITBOX("free10",
                   {.row = 270, .col = 20, .width = 430, .height = 70, .noHScroll = true});
}

RecordBinding ExtraFieldsBinding() {
    return {{"FREE01", "free01", FieldKind::Text},
            {"FREE02", "free02", FieldKind::Text},
            {"FREE03", "free03", FieldKind::Text},
            {"FREE04", "free04", FieldKind::Text},
            {"FREE05", "free05", FieldKind::Text},
            {"FREE06", "check_free06", FieldKind::Logical},
            {"FREE07", "check_free07", FieldKind::Logical},
            {"FREE08", "check_free08", FieldKind::Logical},
            {"FREE09", "free09", FieldKind::Date},
            {"FREE10", "free10", FieldKind::Memo}};
}

QList<ControlText> ExtraFieldsPageTexts() {
    return {{"Tab_1", "caption", 2, {"Freie Felder", "Free fields", "Campos livres"}},
            {"Frame_2", "caption", 0, {"Ja / Nein Felder", "Yes / No fields", "Campos Sim / Não"}}};
}

void DefineAddressTab(const std::function<void()>& defineMainDataPage) {
    _DEFINETAB("Tab_1", {.row = 60, .col = 210, .width = 470, .height = 350, .value = 1});
    _DEFINEPAGE("Hauptdaten");
    defineMainDataPage();
    _ENDPAGE();
    _DEFINEPAGE("Freie Felder");
    DefineExtraFieldsPage();
    _ENDPAGE();
    _ENDTAB();
}

QStringList AddressExportHeaders(std::span<const Texts> ownColumns, const QString& captionsTable,
                                 const QString& alias) {
    DBSELECTAREA("b");
    QStringList headers;
    for (const Texts& header : ownColumns)
        headers.append(TEXT(header));
    return headers + ReadFreeFieldCaptions(captionsTable, alias);
}

void ShowExtraFieldCaptions(const QString& window, const QString& captionsTable,
                            const QString& alias) {
    const QStringList captions = ReadFreeFieldCaptions(captionsTable, alias);
    for (int field = 0; field < 10; ++field)
        SETPROPERTY(window, kCaptionControl[field], "caption", captions[field]);
}
