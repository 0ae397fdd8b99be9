// The data folder of a day's session: the installed tables and pictures of
// the build, with `records` records written straight into the table of every
// application that keeps its own (the word list keeps the installed
// dictionary): names, streets, towns, numbers and texts of the lengths people
// type, a memo on every tenth record, dates over the years, the agenda's
// appointments spread over three years around `today`.
#pragma once

#include <QDate>
#include <QString>

// Copies the installed folder (data/, img/) of `appFolder` into `folder` and
// fills it. Needs the program's start values (PREPARE_RUN) for the date format.
void MakeSessionFolder(const QString& appFolder, const QString& folder, int records,
                       const QDate& today);

// The name the session types into every record window's first search box:
// every table holds records whose first text begins with it.
QString TypedName();
