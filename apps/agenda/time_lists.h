// The four time lists of the agenda: two hour lists ("00" ... "23") and two
// minute lists ("00", "05" ... "55"). An item's text is the time text the
// table stores, so a stored text selects the item that shows it, and the
// chosen item is written back as it reads.
#pragma once

#include <QString>
#include <QStringList>

const QStringList& HourItems();
const QStringList& MinuteItems();

// The 1-based item that shows the stored text (blanks trimmed); 0 when the
// list cannot show it (a text another program wrote: "7", "07" minutes, "").
int ItemShowing(const QStringList& items, const QString& stored);

// The text to store for the list's choice: the chosen item, or `unchosen`
// when the list has no selection.
QString ChosenTimeText(const QStringList& items, int chosen, const QString& unchosen);
