// The record window with a list on the left and the current record in a
// framed panel on the right: two search boxes above the list, the result line
// under them, the count line under the list, the panel "Frame_1" with the
// picture buttons of entry mode at its top and the creation date as its first
// row. The notes and the bookmarks are such windows; an application starts
// from this description and adds its table, fields, searches and texts.
#pragma once

#include "apps/common/record_window.h"

RecordWindow DescribeListPanelWindow();

// The panel's first row: the creation date `ERSTELLT` shown as read-only text
// "Text_1" under "Label_5", today's date when a new record is started.
FieldRow CreatedDateRow(const Texts& exportHeader);
