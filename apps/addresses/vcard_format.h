// The vCard format at the level of its content lines: cards of properties,
// each with an optional group, parameters and a value of components.
//
// Writing (RFC 6350 for 4.0, RFC 2426 for 3.0): UTF-8, lines ending in CR LF
// and folded at 75 octets without splitting a character; every component is
// escaped ("\\", ";", "," and line breaks), parameter values are quoted
// where they hold ";", ":" or "," and carry "^", line breaks and quotes as
// RFC 6868 has them.
//
// Reading (2.1, 3.0 and 4.0): folded lines joined; QUOTED-PRINTABLE values
// decoded (their soft line breaks joined too) and turned into text by their
// CHARSET, else as UTF-8, else as Windows-1252; "item1.TEL" split into group
// and name; 2.1's bare parameters ("TEL;HOME;VOICE") taken as TYPE values.
// A card that ends too soon or holds a line that is no property is passed
// over; a file that is binary or has no readable card is refused as a whole.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

enum class VCardVersion { V21, V30, V40 };

struct VCardParameter {
    QString name;  // upper case: "TYPE"
    QStringList values;
};

struct VCardProperty {
    QString group;  // "item1" of "item1.TEL"; empty: none
    QString name;   // upper case: "TEL"
    QList<VCardParameter> parameters;
    QStringList components;  // the value split at ";", each unescaped

    // The values of parameter `name` (any case), TYPE values of 2.1 included.
    QStringList parameter(const QString& name) const;
    // Whether a TYPE value is `type`, compared without regard to case.
    bool hasType(const QString& type) const;
    // The value as one text: the components joined with ";".
    QString text() const { return components.join(u';'); }
};

using VCard = QList<VCardProperty>;

// The file of `cards`, each between BEGIN and END with its VERSION line.
QByteArray WriteVCards(const QList<VCard>& cards, VCardVersion version);

// Why bytes are not read as cards, or a card or line is passed over.
enum class VCardProblem {
    None,
    Binary,           // the bytes hold a NUL: no text
    NoCard,           // no BEGIN:VCARD anywhere
    NoProperty,       // a line of a card that is no property
    CardNotEnded,     // the file ends inside a card
    OutsideACard,     // a property outside the cards
    EndWithoutBegin,  // END:VCARD without its BEGIN
};

// A damaged card, or text outside the cards, passed over: where it begins
// and why.
struct VCardDamage {
    int line = 0;
    VCardProblem why = VCardProblem::None;
};

// A file is read card by card: a damaged card is passed over and named in
// `skipped`, the others are read. Only a file with no readable card is
// refused (`problem` and `problemLine` then name its first damage).
struct VCardReading {
    QList<VCard> cards;                         // without BEGIN, END and VERSION
    VCardProblem problem = VCardProblem::None;  // why the bytes are not read
    int problemLine = 0;
    QList<VCardDamage> skipped;
};

VCardReading ReadVCards(const QByteArray& bytes);
