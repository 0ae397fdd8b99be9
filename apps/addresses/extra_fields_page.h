// The second tab page that both address books share: the ten extra fields
// whose captions the user names (five texts, three yes/no values, a date, a
// long text), their binding to FREE01 ... FREE10 and their captions.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_binding.h"
#include "apps/common/window_texts.h"
#include "kernel/texts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <span>

// Defines the controls of the page (between the page's start and end).
void DefineExtraFieldsPage();

// The edit area of an address book: Tab_1 with the book's main data on page 1
// ("Hauptdaten") and the extra fields on page 2 ("Freie Felder").
void DefineAddressTab(const std::function<void()>& defineMainDataPage);

// The export's header line: the book's own columns in the language in force,
// then the ten captions read from the captions table (in work area "b").
QStringList AddressExportHeaders(std::span<const Texts> ownColumns, const QString& captionsTable,
                                 const QString& alias);

// FREE01 ... FREE10 and their controls, in writing order.
RecordBinding ExtraFieldsBinding();

// The language's texts of the page: its tab caption and the yes/no frame.
QList<ControlText> ExtraFieldsPageTexts();

// Reads the captions table (alias as given, current work area) and sets the
// captions of the ten extra fields in `window`.
void ShowExtraFieldCaptions(const QString& window, const QString& captionsTable,
                            const QString& alias);
