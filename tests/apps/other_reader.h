// What another program sees in a table: python3-dbfread, run by Debian's
// interpreter, reads the table file on its own (independent of the store),
// so a test can hold a message against the bytes on disk.
#pragma once

#include <QString>
#include <QStringList>

// The trimmed values of `field` of every record dbfread lists that is not
// marked deleted, in physical order; one "<dbfread: ...>" entry when it fails.
QStringList ReadWithDbfread(const QString& tablePath, const QString& field);
