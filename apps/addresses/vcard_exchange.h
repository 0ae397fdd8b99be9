// The vCard files of the address books, over their tables: the records a
// view presents written as cards, and a file's cards stored as records. The
// windows (vcard_window_steps.h) and the command line use these steps.
//
// An export gives every record the UID its earlier exports gave it
// (vcard_uids.h). An import reads the whole file first and stores nothing
// when the file cannot be read whole or is no vCard file; then each card is
// added, or updates the record it names (vcard_updates.h: by its UID, or as
// the same person), and the table is committed in one go: a refused write
// leaves the table as it was.
//
// Single-threaded: all calls come from the event loop.
#pragma once

#include "apps/addresses/vcard_contacts.h"
#include "kernel/texts.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <utility>

struct VCardBook {
    AddressBookKind kind = AddressBookKind::Private;
    QString table;          // "adressen_p.dbf" in the data folder
    QString captionsTable;  // "freeadr_p.dbf"
    QString uidTable;       // "vcard_p.dbf"
    Texts fileName;         // "Kontakte.vcf" in the export folder
};

const VCardBook& PrivateVCardBook();
const VCardBook& BusinessVCardBook();

// The user's captions 1 to 10 of the book's extra fields, read in a work
// area of their own; the current area stays.
QStringList ReadBookCaptions(const VCardBook& book);

// The captions and the widths of the character fields of the book's table,
// open in the current work area under `alias`.
AddressBookShape BookShapeOf(const VCardBook& book, const QString& alias);
// The values of the record the pointer is on.
AddressValues ValuesOfRecord(const VCardBook& book, const QString& alias);
QString NameKeyOfRecord(const QString& alias);
// The name keys of the records not marked deleted; the pointer stays.
QHash<int, QString> LiveNames(const QString& alias);

// The cards of the records the current work area presents (the book's table
// open under `alias`), in its order; the record pointer stays where it was.
// `cards`, when given, receives their number. A refused write of the UID
// table raises kesp::WriteFailure.
QByteArray VCardFileOfView(const VCardBook& book, const QString& alias, VCardVersion version,
                           int* cards = nullptr);

struct VCardImport {
    bool read = false;  // false: the file was refused, nothing stored; `problem` says why
    QString problem;    // in the interface language
    int added = 0;
    int updated = 0;    // records a card came again for, changed by it
    int unchanged = 0;  // records a card came again for, already as it says
    // Each updated record with the deleted copy of its earlier version.
    QList<std::pair<int, int>> replaced;
    int skipped = 0;  // cards with nothing to store, and damaged ones
    // The damaged cards and stray lines passed over, in the interface
    // language: "line 14 (card without END:VCARD)".
    QStringList damaged;
    int memoValues = 0;
    int lettersReplaced = 0;      // values stored with the nearest letters
    int media = 0;                // photos, logos, keys and sounds passed over
    int birthdaysRemembered = 0;  // birthdays set to show in the days ahead
    // The records whose memo was cut at kImportedMemoMax: their names, each
    // with the memo's length before ("Anna Weiß (49 MB)").
    QStringList memosCut;
    // The records are stored, but the UIDs could not be kept: why, in the
    // interface language; empty when they were.
    QString uidsNotKept;
};

// Stores the cards of `bytes`, the file at `path`, in the table open in the
// current work area under `alias`. A refused write raises kesp::WriteFailure
// with the table as it was before.
VCardImport ImportVCards(const VCardBook& book, const QString& alias, const QByteArray& bytes,
                         const QString& path);
// The same after reading the file at `path` under the import policy
// (apps/common/import_file.h) without asking: for a command.
VCardImport ImportVCardFile(const VCardBook& book, const QString& alias, const QString& path);

// The import's summary in the interface language, lines separated by "\r".
QString VCardImportSummary(const VCardImport& import);

// "12 Karten (vCard 4.0) geschrieben: <path>" in the interface language.
QString VCardExportSummary(int cards, VCardVersion version, const QString& path);
