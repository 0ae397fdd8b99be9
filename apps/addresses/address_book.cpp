#include "apps/addresses/address_book.h"

#include "apps/common/free_fields_window.h"

namespace {

// Page 2: FREE01 ... FREE10 under the captions the user gave them.
FieldRows ExtraFieldRows() {
    auto text = [](int n, Box at, Box captionAt) {
        const QString number = QString("%1").arg(n, 2, 10, QChar('0'));
        return FieldRow{.control = "free" + number,
                        .field = "FREE" + number,
                        .at = at,
                        .inputLimit = 50,
                        .captionLabel = "Label_free" + number,
                        .captionAt = captionAt,
                        .page = 2,
                        .userCaption = n};
    };
    auto yesNo = [](int n, int row) {
        const QString number = QString("%1").arg(n, 2, 10, QChar('0'));
        return FieldRow{.control = "check_free" + number,
                        .field = "FREE" + number,
                        .kind = FieldKind::Logical,
                        .at = {row, 260, 180},
                        .page = 2,
                        .userCaption = n};
    };
    return {text(1, {70, 20, 200}, {50, 20, 230}),
            text(2, {70, 250, 200}, {50, 250, 200}),
            text(3, {120, 20, 200}, {100, 20, 230}),
            text(4, {120, 250, 200}, {100, 250, 200}),
            text(5, {170, 20, 200}, {150, 20, 200}),
            yesNo(6, 170),
            yesNo(7, 190),
            yesNo(8, 210),
            {.control = "free09",
             .field = "FREE09",
             .kind = FieldKind::Date,
             .at = {220, 20, 90},
             .captionLabel = "Label_free09",
             .captionAt = {200, 20, 200},
             .page = 2,
             .userCaption = 9},
            {.control = "free10",
             .field = "FREE10",
             .kind = FieldKind::Memo,
             .at = {270, 20, 430, 70},
             .captionLabel = "Label_free10",
             .captionAt = {250, 20, 430},
             .page = 2,
             .userCaption = 10}};
}

}  // namespace

RecordWindow DescribeAddressBook(const AddressBookNames& names) {
    RecordWindow book;
    book.window = names.window;
    book.table = names.table;
    book.alias = names.alias;
    book.indexes = {{names.index, KeyForm::Upper, "vorname"}};
    book.normalOrder = names.index;
    book.fields = ExtraFieldRows();
    book.list.columns = {{.field = "vorname", .width = 170}};
    book.searches = {{.box = "suche_ad_p",
                      .captionLabel = "Label_17",
                      .caption = {"Schnellsuche", "Quick-search", "Procura rápida"},
                      .index = names.index}};
    book.tab = TabControl{.at = {60, 210, 470, 350},
                          .pages = {{}, {"Freie Felder", "Free fields", "Campos livres"}}};
    book.frames = {{.name = "Frame_2",
                    .at = {150, 250, 200, 90},
                    .caption = {"Ja / Nein Felder", "Yes / No fields", "Campos Sim / Não"},
                    .page = 2,
                    .bold = true}};
    book.readUserCaptions = [table = names.captionsTable, alias = names.captionsAlias] {
        return ReadFreeFieldCaptions(table, alias);
    };
    book.required.control = "t_vorname";
    book.deleteQuestion.field = "vorname";
    return book;
}

QStringList ExtraTextFields() {
    return {"FREE01", "FREE02", "FREE03", "FREE04", "FREE05", "FREE10"};
}

UserCaptions ExtraFieldCaptions(const AddressBookNames& names) {
    return {.table = names.captionsTable,
            .captionFields = NumberedFields("FREE", 1),
            .fields = NumberedFields("FREE", 2)};
}
