// The tables installed with the program: one description of every table file
// the applications open, with every field they read or write, and the first
// records a new user finds in them.
//
// The build turns this description into the files of the data folder (see
// make_data_files.cpp); nothing else creates table files. Character fields are
// at least as wide as the longest text their edit controls accept.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace kesp {

struct FieldDescription {
    QString name;
    char type;         // 'C' character, 'N' numeric, 'D' date, 'L' logical, 'M' memo
    int width = 0;     // C and N only; D, L and M have their fixed widths
    int decimals = 0;  // N only
};

// One first record: field name and value (QString, double, QDate or bool).
using FirstRecord = QList<QPair<QString, QVariant>>;

struct TableDescription {
    QString file;                     // "adressen_p.dbf"
    QList<FieldDescription> fields;   // in the order the applications handle them
    QList<FirstRecord> firstRecords;  // usually none: an empty table
    // The records come from a build step of their own (the word pairs of the
    // dictionary, see make_dictionary.cpp), not from firstRecords.
    bool filledByBuild = false;
};

// Every table of the data folder, memo tables written with FoxPro memo files.
const QList<TableDescription>& InstalledTables();

// The description of one file (names compared without regard to case);
// nullptr when the program has no such table.
const TableDescription* InstalledTable(const QString& file);

}  // namespace kesp
