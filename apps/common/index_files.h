// The index files of a record window: each a file name and the key it orders
// the table by. The key text formed here is the only definition of an order:
// the store builds the order from it, rebuilds the file from it in a later
// run, and the quick search forms its seek key and filter from the same key.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include <QList>
#include <QString>

enum class KeyForm {
    Field,       // the field itself: "KATEG"
    Upper,       // the field in capitals: "UPPER(vorname)"
    DateText,    // a date as text in the date format in force: "DTOC(DATUM)"
    DateValue,   // a date, earliest first in every date format: "DTOS(DATUME)"
    Descending,  // a date, latest first: "DESCEND(DATUM)"
    Expression,  // a key text of its own: "DTOS(DATUM)+STUN+MINU"
};

struct IndexFile {
    QString file;  // "ivorname", in the data folder
    KeyForm form = KeyForm::Upper;
    QString field;       // "vorname", written as the key text names it; none for an Expression
    QString expression;  // the whole key text of an Expression
};

// "UPPER(vorname)", "DTOC(DATUM)", ...
QString KeyText(const IndexFile& index);

// Starts reading the index files in the data folder on a thread of their own
// (kesp::store::ReadIndexFilesAhead), for a window to call before it is
// built: its orders then take what was read while it was.
void ReadAheadIndexFiles(const QList<IndexFile>& indexes);

// Creates every index file anew over all records of the current table, in
// the order given, each followed by a move to the first record; the one
// created last is left the only open index. An index file the system refuses
// stops none of the others: the orders are all built, and the first refusal
// is thrown (kesp::WriteFailure) at the end.
void CreateEachIndexFile(const QList<IndexFile>& indexes);

// CreateEachIndexFile, then `normalOrder` is left the only open index, the
// order the list runs in, even when a file was refused (thrown at the end).
void CreateIndexFiles(const QList<IndexFile>& indexes, const QString& normalOrder);

// Closes the open indexes and opens `file` as the only one (the controlling order).
void MakeOnlyOrder(const QString& file);

// The index of that file name (compared without regard to case); a name the
// list does not hold is a programming fault.
const IndexFile& IndexNamed(const QList<IndexFile>& indexes, const QString& file);
