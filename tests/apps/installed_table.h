// Creates an empty table in a test's data folder with the layout the program
// installs (data/installed_tables), so that tests never restate a layout.
#pragma once

#include <QString>

void CreateInstalledTable(const QString& dataPath, const QString& file);
