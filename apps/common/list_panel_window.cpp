#include "apps/common/list_panel_window.h"

RecordWindow DescribeListPanelWindow() {
    RecordWindow window;
    window.list.at = {100, 20, 300, 290};
    window.resultLine.at = {80, 20, 300, 20};
    window.resultLine.found = {" gefunden", " found", " encontrado(s)"};
    window.countLine.at = {390, 20, 300, 20};
    window.countLine.words = {" Daten in der Datenbank.", " records in the database.",
                              " registros no banco de dados."};
    window.entryButtons.saveAt = {60, 430, 40, 28};
    window.entryButtons.cancelAt = {60, 510, 40, 28};
    window.toolbar.insert = {"Daten hinzufügen", "Insert", "Inserir"};
    window.frames = {{.name = "Frame_1", .at = {40, 330, 350, 370}, .bold = true}};
    return window;
}

FieldRow CreatedDateRow(const Texts& exportHeader) {
    return {.control = "Text_1",
            .field = "ERSTELLT",
            .kind = FieldKind::DateText,
            .at = {120, 340, 80},
            .captionLabel = "Label_5",
            .captionAt = {100, 340, 90},
            .caption = {"Erstellt am", "Created", "Criado em"},
            .onNew = OnNew::Today,
            .exportHeader = exportHeader};
}
