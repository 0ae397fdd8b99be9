// The caption every edit area puts above a control: a bold transparent label,
// 20 pixels high, whose German text is its own name until the window's texts
// are set; and the flat picture button of the record and naming windows.
#pragma once

#include "apps/common/field_rows.h"
#include "toolkit/forms.h"

#include <QString>

void CaptionLabel(const QString& name, int row, int col, int width,
                  const QString& value = QString());

// A flat image button ("img/savelarge.bmp") at `at`, hidden until shown when
// `invisible`.
void PictureButton(const QString& name, const Box& at, const QString& picture, const Action& action,
                   const QString& tooltip, bool invisible = false);
