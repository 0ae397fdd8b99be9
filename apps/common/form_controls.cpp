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

void PictureButton(const QString& name, const Box& at, const QString& picture, const Action& action,
                   const QString& tooltip, bool invisible) {
    _DEFINEIMAGEBUTTON(name, {.row = at.row,
                              .col = at.col,
                              .width = at.width,
                              .height = at.height,
                              .picture = picture,
                              .action = action,
                              .tooltip = tooltip,
                              .flat = true,
                              .invisible = invisible});
}
