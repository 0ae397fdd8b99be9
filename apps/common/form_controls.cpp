#include "apps/common/form_controls.h"

#include "toolkit/forms.h"

void CaptionLabel(const QString& name, int row, int col, int width, const QString& value) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = value.isEmpty() ? name : value,
                        .bold = true,
                        .transparent = true});
}
