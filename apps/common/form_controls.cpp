#include "apps/common/form_controls.h"

#include "toolkit/forms.h"

void CaptionLabel(const QString& name, int row, int col, int width) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = name,
                        .bold = true,
                        .transparent = true});
}

void EntryBox(const QString& name, int row, int col, int width, int maxLength) {
    _DEFINETEXTBOX(name,
                   {.row = row, .col = col, .width = width, .height = 20, .maxLength = maxLength});
}
