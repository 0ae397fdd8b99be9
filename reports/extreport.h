// The list-report service: prints the records of an open view as a columned
// text report laid out from the report definition file "<name>.rpt" in the
// current folder.
//
// Requires: the caller has made the application folder current, opened and
// filtered the view the definition names and moved it to its first record.
// Returns when the job is done; with a preview, once the preview is closed.
// Leaves the record pointer of the view at its end.
#pragma once

#include <QString>

// extraHeading, when given, becomes the second title line of a report whose
// title has none.
void EXTREPORT(const QString& reportName, const QString& extraHeading = {});
