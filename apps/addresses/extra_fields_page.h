// The second tab page that both address books share: the ten extra fields
// whose captions the user names (five texts, three yes/no values, a date, a
// long text), their binding to FREE01 ... FREE10 and their captions.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_binding.h"
#include "apps/common/window_texts.h"

#include <QList>
#include <QString>
#include <QStringList>

// Defines the controls of the page (between the page's start and end).
void DefineExtraFieldsPage();

// FREE01 ... FREE10 and their controls, in writing order.
RecordBinding ExtraFieldsBinding();

// The language's texts of the page: its tab caption and the yes/no frame.
QList<ControlText> ExtraFieldsPageTexts();

// Reads the captions table (alias as given, current work area) and sets the
// captions of the ten extra fields in `window`.
void ShowExtraFieldCaptions(const QString& window, const QString& captionsTable,
                            const QString& alias);
