// The two tables the tips window shows under the alias of its description:
// the collection in work area "a" (the full view) and the result table in
// work area "b" (the result view); KOPIERT tells which.
// Only one of them is open at a time, so that the list, the fill and the
// export, which address the alias, work unchanged on either.
//
// The result table holds copies (title, description, and the tip's record
// number in the collection as THE_RECNO); it keeps the last results on disk
// until the next search empties it. The collection is never packed while
// results point into it: only the window's opening packs it.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/common/record_window.h"
#include "apps/tips/tip_search.h"

#include <QList>
#include <QString>

// The result table in the data folder, and its work area.
inline const QString kResultTable = "ergeb.dbf";
inline const QString kResultArea = "b";

// Removes the result records marked deleted (at the window's opening).
void PackResultTable();

// Marks every result deleted and removes them (at the start of a search).
void EmptyResultTable();

// The full view: every table closed, the collection opened in work area "a"
// under the alias, its index files created anew, at its first tip;
// THE_ANZAHL counts its tips. Nothing is shown yet.
void OpenCollection(const RecordWindow& tips);

// The result view: the copies appended to the (emptied) result table, every
// table closed, the result table opened in work area "b" under the alias, at
// its first result. Nothing is shown yet.
void OpenResults(const RecordWindow& tips, const QList<TipCopy>& copies);

// Save in the result view: the form written into the current result and
// into the tip it copies; the collection's index files are created anew; the
// result view shows the same result again.
void SaveResultAndItsTip(const RecordWindow& tips);

// Delete in the result view, after the question: the tip the current result
// copies is marked deleted in the collection, and the window returns to the
// full view at the first tip.
void DeleteTipOfResult(const RecordWindow& tips);
