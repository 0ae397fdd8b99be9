// The table operations the modules use, under the names they have always had
// (DBUSEAREA, DBSEEK, DBSKIP, ...). This is the thin face of the table store:
// work areas, aliases, record pointer, filters, order lists, and the functions
// used in keys and filters. Behind it are the table, memo and index classes.
//
// Values cross this face as QVariant:
//   character -> QString (full field width, blank-padded), numeric -> double,
//   date -> QDate (a null QDate is the empty date), logical -> bool,
//   memo -> QString (any length).
// Text is stored as Windows-1252; this face is the one place where it is
// converted to and from QString (a character Windows-1252 cannot hold is
// stored as "?"; a text longer than its field is cut at the field's width).
//
// Faults (missing file, area not in use, damaged file, ...) are raised with
// kesp::RaiseFault and do not return.
//
// A write the system refuses (a full disk, an I/O error, a removed drive, a
// file beyond its size limit) is thrown as kesp::WriteFailure by the operation
// that writes: DBCOMMIT, DBCOMMITALL, DBDELETE, DBRECALL, __DBPACK,
// DBCREATEINDEX, ORDLISTREBUILD, DBUSEAREA (which may mend the file it opens),
// and DBCLOSEAREA/DBCLOSEALL (which commit). The table is then as it was at
// its last commit: a failed append is gone, fields written since read as
// committed, its orders follow. Writing again later is allowed.
// A table whose file another program cuts short while it is open raises the
// damage fault (1012, with cutWhileOpen) at the first read of a record it
// lost, never a signal; from then on it is read and written no more, and
// closing it writes nothing.
// An index file the system refuses changes nothing in memory: the operation
// (DBCREATEINDEX, ORDLISTREBUILD, ORDLISTCLEAR, __DBPACK, closing) completes,
// its orders in use or closed as asked, and throws afterwards; the file keeps
// its old content, of which only the key text is ever read, and the same
// version of the order is not tried again at every close.
//
// Single-threaded: all calls come from the event loop, but DATEFORMAT and
// DTOC, which threads that read tables beside it call too while the settings
// stay as they are.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// ---- Global settings ---------------------------------------------------------

void SET_EXACT(bool on);                     // off: "=" on text is the prefix comparison
void SET_DELETED(bool hide);                 // on: records marked deleted are skipped everywhere
void SET_CENTURY(bool on);                   // on: four-digit years in DTOC/CTOD
void SET_DATEFORMAT(const QString& format);  // "dd.mm.yyyy", "mm/dd/yyyy", "dd/mm/yyyy", "dd/mm/yy"
QString DATEFORMAT();                        // the format in force, with the century applied

// ---- Work areas --------------------------------------------------------------

// Opens a table exclusively. newArea false: in the current area (closing what
// is there); true: in the lowest free area, which becomes current. The alias
// defaults to the file's base name in upper case. A file another process holds
// sets NETERR() and leaves the area empty; a missing or unreadable file raises
// the open fault (1001).
void DBUSEAREA(bool newArea, const QString& path, const QString& alias = {});
bool NETERR();  // the shared-use failure flag of the last open

void DBCLOSEALL();  // every area closed, pending changes written
// Every area closed without writing anything: changes since the last commit
// are dropped. The way out after a fault, which may have left a change half done.
void DBCLOSEALLUNSAVED();
// Every area whose table another program cut short while it was open (see
// above) closed, without writing; their aliases. The other areas stay.
QStringList DBCLOSECUTAREAS();
void DBCLOSEAREA();                             // the current area closed
void DBSELECTAREA(const QString& areaOrAlias);  // "a", "b", "1", "2" or an alias
void DBSELECTAREA(int area);
int SELECT();     // number of the current area
bool USED();      // a table is open in the current area
QString ALIAS();  // alias of the current area ("" when empty)

// Runs one operation in the area of `alias` and returns to the previous
// current area (alias->(operation)).
template <class Operation>
auto INAREA(const QString& alias, Operation&& operation) {
    const int previous = SELECT();
    DBSELECTAREA(alias);
    struct Restore {
        int area;
        ~Restore() { DBSELECTAREA(area); }
    } restore{previous};
    return operation();
}

// ---- Fields --------------------------------------------------------------------

// "vorname" (current area) or "adressen_p->vorname"; names ignore case.
// An unknown field or alias raises a fault. At end-of-file a read gives the
// blank value of the field and a write changes nothing.
QVariant FIELD(const QString& aliasField);
void REPLACE(const QString& aliasField, const QVariant& value);
int FCOUNT();                     // fields of the current table
QString FIELDNAME(int position);  // 1-based
// Type letter (C, N, D, L or M) and decimals of a field named as for FIELD;
// an unknown field or alias raises a fault.
QChar FIELDTYPE(const QString& aliasField);
int FIELDDEC(const QString& aliasField);

// ---- Indexes and order -----------------------------------------------------------

using KeyEvaluator = std::function<QVariant()>;
using Condition = std::function<bool()>;

// Index file named relative to the current folder (".ntx" is added). Built from
// all records; closes the table's other indexes; the new one is the only open
// and the controlling order; pointer at the top.
// The key text alone defines the order (see store/key_expression.h for what
// it may say, e.g. "UPPER(vorname)" or "DTOS(datum)+stun+minu"); ORDLISTADD
// of a file created in an earlier run rebuilds the same order from its text.
// "field" and "UPPER(field)" on a character field are computed straight from
// the record bytes (same result, much faster on large tables). A text that is
// no key expression raises a fault.
//
// Reopening costs next to nothing while the table is unchanged: an order
// closed (by ORDLISTCLEAR or DBCREATEINDEX) is kept with its open table until
// a record is appended, written or packed away (delete marks change no key),
// and ORDLISTADD or DBCREATEINDEX of the same file with the same key text
// under the same date format takes it back instead of sorting again. A key
// naming another alias is always built again. Of an index file only the key text is read; its
// entries are never trusted. A rebuild that changes nothing leaves the order unmodified; an index
// file is written (at close, clear, rebuild or pack) only when it does not hold the order already,
// except that DBCREATEINDEX always writes it.
void DBCREATEINDEX(const QString& file, const QString& keyText);
void ORDLISTREBUILD();                 // every open index rebuilt; pointer at the top
void ORDLISTCLEAR();                   // all indexes closed; natural order
void ORDLISTADD(const QString& file);  // appended; controlling if none was; then top
QString INDEXKEY();                    // key text of the controlling order ("" when none)

// Soft seek in the controlling order (see the seek rules of the store).
void DBSEEK(const QVariant& key, bool softSeek = true);
bool FOUND();

// What a filter's key-prefix promise says about the records inside its range.
enum class KeyRange {
    Narrows,  // the condition still decides for every record in the range
    Decides,  // the condition accepts exactly the records in the range
};

// Installs a filter evaluated whenever the pointer moves. The text is what
// DBFILTER reports; the store reads nothing from it. When keyPrefix is given
// it promises that the condition is false for every record whose key in the
// order controlling at this call does not begin with keyPrefix() (read, like
// the condition, at the moment of evaluation); while that order controls,
// navigation walks only that range of the index, under any other order the
// condition alone decides. With KeyRange::Decides it promises more: with exact
// comparison off, the condition accepts exactly the records whose key in the
// order controlling at this call begins with keyPrefix() (a quick search that
// forms its condition from that key), so inside the range it is not called.
// The condition decides again under exact comparison, for a prefix the code
// page cannot hold, and under a controlling order of another key text.
void DBSETFILTER(const Condition& condition, const QString& text,
                 const std::function<QString()>& keyPrefix = {},
                 KeyRange range = KeyRange::Narrows);
// The keys from `first` up to the last that begins with `last`, both in the
// order controlling at the call.
struct KeySpan {
    QString first;
    QString last;
};
// As above with a span of keys for a prefix: the condition is false for every
// record whose key lies outside keySpan() (read at the moment of evaluation);
// inside it the condition still decides.
void DBSETFILTER(const Condition& condition, const QString& text,
                 const std::function<KeySpan()>& keySpan);
void DBCLEARFILTER();
QString DBFILTER();  // text of the installed filter

// From the top, runs action for every visible record (for which condition,
// when given, is true); the pointer ends at end-of-file.
void DBEVAL(const std::function<void()>& action, const Condition& condition = {});
// The records DBEVAL would visit, counted; the pointer ends where DBEVAL
// leaves it. Under a filter whose key range decides it (or none) the range
// is counted without calling anything for each record.
int DBCOUNT();

// ---- Record pointer ------------------------------------------------------------

void DBGOTOP();
void DBGOBOTTOM();
void DBGOTO(int recordNumber);  // even deleted or filtered out; beyond: end-of-file
void DBSKIP(int count = 1);
bool DBEOF();  // EOF() of old (EOF is a C macro)
bool BOF();
int RECNO();     // record count + 1 at end-of-file
int RECCOUNT();  // all records, deleted and filtered ones too
bool DELETED();  // the current record is marked deleted

// ---- Position in the order (for lists that read only the rows they show) ------
// The sequence is the controlling order (natural order without one), narrowed
// to the filter's key-prefix range when the filter promised one. Deleted and
// filtered-out records are not subtracted. Each call is O(log n) at most.

int ORDKEYCOUNT();  // entries in the sequence
int ORDKEYNO();     // 1-based position of the current record; 0 at end-of-file or outside
void ORDKEYGOTO(int position);  // pointer on that entry, even if hidden; beyond: end-of-file
bool DBRECORDVISIBLE();         // the current record passes the deleted switch and the filter

// ---- Changes -----------------------------------------------------------------

void DBAPPEND();     // blank record at the end, current
void DBDELETE();     // mark the current record deleted; written to the file at once
void DBRECALL();     // take the mark away; written to the file at once
void __DBPACK();     // remove marked records; indexes rebuilt; followers renumbered; top
void DBCOMMIT();     // current table written to disk
void DBCOMMITALL();  // every table written to disk
void DBROLLBACK();   // current table back at its last commit, as a refused DBCOMMIT leaves it

// ---- Functions of keys and filters ---------------------------------------------

QString UPPER(const QVariant& text);  // character by character; never changes the length
double DESCEND(const QDate& date);    // orders later dates first
QString DTOC(const QDate& date);      // in DATEFORMAT(); empty date: blanks for the digits
QString DTOS(const QDate& date);      // "YYYYMMDD", sorts as the dates do; empty date: 8 blanks
QDate CTOD(const QString& text);      // in DATEFORMAT(); blank text: the empty date
int MONTH(const QDate& date);         // 0 for the empty date
int DAY(const QDate& date);           // 0 for the empty date
int YEAR(const QDate& date);          // 0 for the empty date
QString STR(double number, int width = 10, int decimals = 0);  // right-justified

// Text "=" with exact comparison off: true when right is empty, or when left
// is at least as long as right and begins with it (trailing blanks count).
bool EQ(const QString& left, const QString& right);
// Text "==": always exact equality.
bool EXACTEQ(const QString& left, const QString& right);

// ---- Clock -----------------------------------------------------------------------

QDate DATE();                                  // today (the test driver can set it)
QTime TIME();                                  // now
void SET_TODAY_FOR_TESTS(const QDate& today);  // null date: the real clock again
