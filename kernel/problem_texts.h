// The texts of the expected problems the toolkit reports, in the interface
// language: a write the system refused (a full disk, an I/O error, a removed
// drive), characters a text box left out because the tables cannot store
// them, a text typed into a date picker that is no date, and a table another
// program cut short while it was open. The program hands them to the toolkit
// at start-up.
#pragma once

#include "store/fault.h"

#include <QString>

// "Die Datei ... konnte nicht gespeichert werden: Kein Speicherplatz mehr ..."
QString WRITE_FAILURE_TEXT(const kesp::WriteFailure& failure);
// A write refused after the record was stored (an index file, the packing):
// "Der Eintrag ist gespeichert. Die Datei ... konnte danach nicht ..."
QString WRITE_FAILURE_AFTER_SAVE_TEXT(const kesp::WriteFailure& failure);
// The system's reason for a failed write, in the interface language.
QString WRITE_FAILURE_REASON(int osCode);
// A table another program cut short while it was open (the fault's
// cutWhileOpen): "Die Tabelle ... wurde von einem anderen Programm gekürzt ...",
// with the repair to run.
QString CUT_TABLE_TEXT(const kesp::Fault& fault);
QString UNSTORABLE_TEXT_HINT(const QString& leftOut);
QString NO_DATE_HINT(const QString& typed);

// From now on write failures and cut tables are told in a warning box titled
// THE_APP_NAME (a cut table saying that its window was closed),
// and text boxes and date pickers give their hints, in the language in force when they show.
void INSTALL_PROBLEM_TEXTS();
