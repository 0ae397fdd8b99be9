#include "apps/addresses/vcard_contacts.h"

#include "apps/addresses/vcard_typed_values.h"
#include "kernel/birth_years.h"
#include "store/codec.h"

#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace {

const QString kMemo = QStringLiteral("FREE10");
const QString kFieldProperty = QStringLiteral("X-KESP-FIELD");
const QString kListProperty = QStringLiteral("X-KESP-LISTE");
const QString kBookProperty = QStringLiteral("X-KESP-BOOK");

QString ExtraField(int n) {
    return QStringLiteral("FREE%1").arg(n, 2, 10, QChar(u'0'));
}

bool IsPrivate(const AddressBookShape& book) {
    return book.kind == AddressBookKind::Private;
}

// ---- Writing ------------------------------------------------------------------

struct TelephoneSlot {
    QString field;
    QStringList types;
};

QList<TelephoneSlot> TelephoneSlots(AddressBookKind kind) {
    if (kind == AddressBookKind::Private) {
        return {{"TEL", {"home", "voice"}},
                {"HANDY", {"cell"}},
                {"FAX", {"home", "fax"}},
                {"TELFIRMA", {"work", "voice"}},
                {"FAXFIRMA", {"work", "fax"}}};
    }
    return {{"TEL", {"work", "voice"}},
            {"HANDY", {"cell"}},
            {"FAX", {"work", "fax"}},
            {"TELFIRMA", {"voice"}},
            {"FAXFIRMA", {"fax"}}};
}

QString Text(const AddressValues& record, const QString& field) {
    return record.value(field).toString().trimmed();
}

VCardProperty Property(const QString& name, const QStringList& components,
                       const QStringList& types = {}, VCardVersion version = VCardVersion::V40) {
    VCardProperty property{.name = name, .components = components};
    if (!types.isEmpty()) {
        QStringList written = types;
        if (version != VCardVersion::V40)
            for (QString& type : written)
                type = type.toUpper();
        property.parameters.append({QStringLiteral("TYPE"), written});
    }
    return property;
}

QString BirthdayText(const QDate& date, bool listed, VCardVersion version) {
    const bool yearless = listed && date.year() == kYearOfNoYear;
    if (version == VCardVersion::V40)
        return yearless ? date.toString(QStringLiteral("--MMdd"))
                        : date.toString(QStringLiteral("yyyyMMdd"));
    return yearless ? date.toString(QStringLiteral("--MM-dd"))
                    : date.toString(QStringLiteral("yyyy-MM-dd"));
}

// ---- Reading ------------------------------------------------------------------

// The date of BDAY (4.0 and 3.0 forms, with or without a time); a date
// without a year in kYearOfNoYear.
QDate ReadDate(const VCardProperty& property) {
    QString text = property.text().trimmed();
    const qsizetype t = text.indexOf(u'T');
    if (t > 0) text = text.left(t);
    static const QRegularExpression noYear(QStringLiteral("^--(\\d\\d)-?(\\d\\d)$"));
    const QRegularExpressionMatch match = noYear.match(text);
    if (match.hasMatch()) {
        return QDate(kYearOfNoYear, match.captured(1).toInt(), match.captured(2).toInt());
    }
    static const QRegularExpression full(QStringLiteral("^(\\d{4})-?(\\d\\d)-?(\\d\\d)$"));
    const QRegularExpressionMatch date = full.match(text);
    if (!date.hasMatch()) return {};
    const int year = date.captured(1).toInt();
    // Apple's 3.0 writes a year-less birthday in the year it names.
    const QString omitted = property.parameter(QStringLiteral("X-APPLE-OMIT-YEAR")).value(0);
    if (!omitted.isEmpty() && omitted.toInt() == year) {
        return QDate(kYearOfNoYear, date.captured(2).toInt(), date.captured(3).toInt());
    }
    return QDate(year, date.captured(2).toInt(), date.captured(3).toInt());
}

std::optional<bool> ReadYesNo(const QString& text) {
    static const QSet<QString> yes{"TRUE", "YES", "JA", "SIM", "1", "Y", "T"};
    static const QSet<QString> no{"FALSE", "NO", "NEIN", "NÃO", "NAO", "0", "N", "F", ""};
    const QString upper = text.trimmed().toUpper();
    if (yes.contains(upper)) return true;
    if (no.contains(upper)) return false;
    return std::nullopt;
}

// Characters the table cannot hold, written as "<U+1F600>".
QString WithCodesForUnstorable(const QString& text) {
    QString out;
    for (const uint code : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        if (kesp::store::StorablePart(character) == character)
            out += character;
        else
            out += QStringLiteral("<U+%1>").arg(
                QString::number(code, 16).toUpper().rightJustified(4, u'0'));
    }
    return out;
}

QString Label(const VCardProperty& property) {
    QStringList types;
    for (const QString& type : property.parameter(QStringLiteral("TYPE")))
        if (type.compare(QStringLiteral("QUOTED-PRINTABLE"), Qt::CaseInsensitive) != 0 &&
            type.compare(QStringLiteral("pref"), Qt::CaseInsensitive) != 0)
            types.append(type.toLower());
    return types.isEmpty() ? property.name
                           : property.name + QStringLiteral(" (") + types.join(u',') + u')';
}

// A record being read from a card.
class Reading {
  public:
    explicit Reading(const AddressBookShape& book) : book_(book) {
        for (const QString& field : AddressFieldsOf(book.kind)) {
            if (field == QStringLiteral("LISTE") || field == QStringLiteral("FREE06") ||
                field == QStringLiteral("FREE07") || field == QStringLiteral("FREE08"))
                result_.values[field] = false;
            else if (field == QStringLiteral("GEBURTSTAG") || field == QStringLiteral("FREE09"))
                result_.values[field] = QDate();
            else
                result_.values[field] = QString();
        }
    }

    bool isFree(const QString& field) const { return Text(result_.values, field).isEmpty(); }

    // The value into `field` when it fits; else into the memo, labelled.
    void put(const QString& field, const QString& value, const QString& label) {
        const QString trimmed = value.trimmed();
        if (trimmed.isEmpty()) return;
        if (!isFree(field) || trimmed.size() > book_.widths.value(field, 0)) {
            toMemo(label, trimmed);
            return;
        }
        bool replaced = false;
        const QString storable = kesp::store::NearestStorable(trimmed, &replaced).trimmed();
        result_.values[field] = storable;
        if (replaced) {
            // The original stays in the notes; the field keeps what is found.
            memoLines_.append(label + QStringLiteral(": ") + OneLine(trimmed));
            ++result_.lettersReplaced;
        }
    }

    // A street of several lines, joined with ", " where that fits; else its
    // first line, and the whole street in the memo.
    void putStreet(const QString& street, const QString& label) {
        QStringList lines;
        for (const QString& line : street.split(u'\n'))
            if (!line.trimmed().isEmpty()) lines.append(line.trimmed());
        if (lines.size() < 2) {
            put("STRASSE", lines.value(0), label);
            return;
        }
        const QString joined = lines.join(QStringLiteral(", "));
        if (joined.size() <= book_.widths.value(QStringLiteral("STRASSE"), 0)) {
            put("STRASSE", joined, label);
        } else {
            put("STRASSE", lines.first(), label);
            toMemo(label, joined);
        }
    }

    void toMemo(const QString& label, const QString& value) {
        if (value.trimmed().isEmpty()) return;
        memoLines_.append(label + QStringLiteral(": ") + OneLine(value));
        ++result_.memoValues;
    }

    static QString OneLine(const QString& value) {
        QString line = value.trimmed();
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        line.replace(u'\n', u' ');
        return line;
    }

    void addNote(const QString& note) {
        if (!note.isEmpty()) notes_.append(note);
    }

    void setValue(const QString& field, const QVariant& value) { result_.values[field] = value; }
    const QVariant value(const QString& field) const { return result_.values.value(field); }
    RecordFromCard& result() { return result_; }

    RecordFromCard finish() {
        QStringList parts = notes_;
        parts += memoLines_;
        QString memo = parts.join(u'\n');
        memo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        memo.replace(u'\n', QStringLiteral("\r\n"));
        // Cut before the characters the table cannot hold are spelled out,
        // so that a huge note is not spelled out whole only to be thrown away.
        const qsizetype whole = memo.size();
        const bool tooLong = whole > kImportedMemoMax;
        if (tooLong) memo.truncate(kImportedMemoMax);
        memo = WithCodesForUnstorable(memo);
        if (tooLong || memo.size() > kImportedMemoMax) {
            memo.truncate(kImportedMemoMax);
            if (memo.endsWith(u'\r')) memo.chop(1);  // no line break cut in two
            result_.memoWhole = whole;
        }
        result_.values[kMemo] = memo;
        bool anything = false;
        for (auto it = result_.values.cbegin(); it != result_.values.cend(); ++it) {
            const QVariant& v = it.value();
            if ((v.typeId() == QMetaType::QString && !v.toString().isEmpty()) ||
                (v.typeId() == QMetaType::Bool && v.toBool()) ||
                (v.typeId() == QMetaType::QDate && v.toDate().isValid()))
                anything = true;
        }
        result_.empty = !anything;
        return result_;
    }

  private:
    const AddressBookShape& book_;
    RecordFromCard result_;
    QStringList notes_;
    QStringList memoLines_;
};

// The telephone number of a 4.0 "tel:" URI as the number.
QString TelNumber(const VCardProperty& tel) {
    QString number = tel.text().trimmed();
    if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive)) number = number.mid(4);
    return number;
}

QString Joined(const QStringList& parts) {
    QStringList given;
    for (const QString& part : parts)
        if (!part.trimmed().isEmpty()) given.append(part.trimmed());
    return given.join(u' ');
}

void ReadName(Reading& r, const AddressBookShape& book, const VCardProperty& n) {
    const QString family = n.components.value(0).trimmed();
    const QString given = n.components.value(1).trimmed();
    const QString additional = n.components.value(2).trimmed();
    const QString prefix = n.components.value(3).trimmed();
    const QString suffix = n.components.value(4).trimmed();
    if (IsPrivate(book)) {
        r.put("VORNAME", given, "N");
        r.put("NACHNAME", family, "N");
        if (!additional.isEmpty() || !prefix.isEmpty() || !suffix.isEmpty())
            r.toMemo("N", Joined({prefix, given, additional, family, suffix}));
    } else {
        r.put("NACHNAME", Joined({prefix, given, additional, family, suffix}), "N");
    }
}

// The property lines the card holds that the record keeps without a field.
bool IsBookkeeping(const QString& name) {
    static const QSet<QString> names{"VERSION",      "PRODID",       "REV",        "KIND",
                                     "CLIENTPIDMAP", "X-KESP-LISTE", "X-KESP-BOOK"};
    return names.contains(name);
}

bool IsMedia(const QString& name) {
    return name == QStringLiteral("PHOTO") || name == QStringLiteral("LOGO") ||
           name == QStringLiteral("KEY") || name == QStringLiteral("SOUND");
}

// The slot (1-10) of the extra field the card names, among those not yet filled.
int ExtraSlot(const AddressBookShape& book, const QString& name, const QSet<int>& filled) {
    for (int n = 1; n <= 10; ++n) {
        if (filled.contains(n)) continue;
        const QString caption = book.captions.value(n - 1).trimmed();
        if ((!caption.isEmpty() && caption.compare(name.trimmed(), Qt::CaseInsensitive) == 0) ||
            (caption.isEmpty() && name.trimmed().compare(ExtraField(n), Qt::CaseInsensitive) == 0))
            return n;
    }
    return 0;
}

}  // namespace

QString BookName(AddressBookKind kind) {
    return kind == AddressBookKind::Private ? QStringLiteral("private")
                                            : QStringLiteral("business");
}

QStringList AddressFieldsOf(AddressBookKind kind) {
    QStringList fields{"VORNAME", "NACHNAME", "STRASSE", "PLZ",  "ORT",
                       "TEL",     "HANDY",    "FAX",     "EMAIL"};
    if (kind == AddressBookKind::Private) fields << "FIRMA";
    fields << "TELFIRMA"
           << "FAXFIRMA"
           << "EMAILFIRMA";
    if (kind == AddressBookKind::Private)
        fields << "GEBURTSTAG"
               << "LISTE";
    for (int n = 1; n <= 10; ++n)
        fields << ExtraField(n);
    return fields;
}

VCard CardOfRecord(const AddressBookShape& book, const AddressValues& record, const QString& uid,
                   VCardVersion version) {
    VCard card;
    const bool personal = IsPrivate(book);
    const QString first = Text(record, "VORNAME");
    const QString last = Text(record, "NACHNAME");
    if (personal) {
        card.append(Property("FN", {Joined({first, last})}));
        card.append(Property("N", {last, first, "", "", ""}));
        if (!Text(record, "FIRMA").isEmpty()) card.append(Property("ORG", {Text(record, "FIRMA")}));
    } else {
        card.append(Property("FN", {first.isEmpty() ? last : first}));
        card.append(Property("N", {last, "", "", "", ""}));
        if (!first.isEmpty()) card.append(Property("ORG", {first}));
    }
    const QString street = Text(record, "STRASSE");
    const QString code = Text(record, "PLZ");
    const QString city = Text(record, "ORT");
    if (!street.isEmpty() || !code.isEmpty() || !city.isEmpty())
        card.append(Property("ADR", {"", "", street, city, "", code, ""},
                             {personal ? "home" : "work"}, version));
    for (const TelephoneSlot& slot : TelephoneSlots(book.kind))
        if (!Text(record, slot.field).isEmpty())
            card.append(Property("TEL", {Text(record, slot.field)}, slot.types, version));
    if (!Text(record, "EMAIL").isEmpty())
        card.append(
            Property("EMAIL", {Text(record, "EMAIL")}, {personal ? "home" : "work"}, version));
    if (!Text(record, "EMAILFIRMA").isEmpty()) {
        card.append(personal ? Property("EMAIL", {Text(record, "EMAILFIRMA")}, {"work"}, version)
                             : Property("URL", {Text(record, "EMAILFIRMA")}));
    }
    if (personal) {
        const QDate birthday = record.value("GEBURTSTAG").toDate();
        const bool listed = record.value("LISTE").toBool();
        if (birthday.isValid()) {
            card.append(Property("BDAY", {BirthdayText(birthday, listed, version)}));
            card.append(Property(kListProperty, {listed ? "TRUE" : "FALSE"}));
        } else if (listed) {
            card.append(Property(kListProperty, {"TRUE"}));
        }
    }
    for (int n = 1; n <= 9; ++n) {
        const QVariant value = record.value(ExtraField(n));
        QString text;
        if (n >= 6 && n <= 8)
            text = value.toBool() ? "TRUE" : QString();  // a card without it: not set
        else if (n == 9)
            text = value.toDate().isValid() ? value.toDate().toString(Qt::ISODate) : QString();
        else
            text = value.toString().trimmed();
        if (text.isEmpty()) continue;
        const QString caption = book.captions.value(n - 1).trimmed();
        VCardProperty extra = Property(kFieldProperty, {text});
        extra.parameters.append({"X-NAME", {caption.isEmpty() ? ExtraField(n) : caption}});
        card.append(extra);
    }
    QString memo = record.value(kMemo).toString();
    if (!memo.isEmpty()) card.append(Property("NOTE", {memo.replace("\r\n", "\n")}));
    if (!uid.isEmpty()) card.append(Property("UID", {uid}));
    card.append(Property(kBookProperty, {BookName(book.kind)}));
    return card;
}

RecordFromCard RecordOfCard(const AddressBookShape& book, const VCard& card) {
    Reading r(book);
    const bool personal = IsPrivate(book);
    QString formattedName;
    QString organisation;
    QSet<int> extraFilled;
    std::optional<bool> listed;
    const QHash<int, QString> typedFields = ChooseTypedFields(book.kind, card);
    for (int index = 0; index < card.size(); ++index) {
        const VCardProperty& property = card[index];
        const QString& name = property.name;
        if (name == QStringLiteral("N") && r.isFree("NACHNAME") &&
            (personal ? r.isFree("VORNAME") : true)) {
            ReadName(r, book, property);
        } else if (name == QStringLiteral("FN") && formattedName.isEmpty()) {
            formattedName = property.text().trimmed();
        } else if (name == QStringLiteral("ORG") && organisation.isEmpty()) {
            organisation = property.components.value(0).trimmed();
            if (property.components.size() > 1 && !Joined(property.components.mid(1)).isEmpty())
                r.toMemo("ORG", property.components.join(QStringLiteral(", ")));
            if (personal) r.put("FIRMA", organisation, "ORG");
        } else if (name == QStringLiteral("ADR")) {
            const QStringList& c = property.components;
            if (!typedFields.contains(index)) {
                r.toMemo(Label(property), Joined(c));
                continue;
            }
            r.putStreet(c.value(2), Label(property));
            r.put("ORT", c.value(3), Label(property));
            r.put("PLZ", c.value(5), Label(property));
            if (!Joined({c.value(0), c.value(1), c.value(4), c.value(6)}).isEmpty())
                r.toMemo(Label(property), Joined(c));
        } else if (name == QStringLiteral("TEL") || name == QStringLiteral("EMAIL")) {
            const QString value =
                name == QStringLiteral("TEL") ? TelNumber(property) : property.text();
            if (typedFields.contains(index))
                r.put(typedFields.value(index), value, Label(property));
            else
                r.toMemo(Label(property), value);
        } else if (name == QStringLiteral("URL") && !personal) {
            r.put("EMAILFIRMA", property.text(), Label(property));
        } else if (name == QStringLiteral("BDAY") && personal &&
                   !r.value("GEBURTSTAG").toDate().isValid()) {
            const QDate date = ReadDate(property);
            if (date.isValid())
                r.setValue("GEBURTSTAG", date);
            else
                r.toMemo("BDAY", property.text());
        } else if (name == kListProperty && personal) {
            listed = ReadYesNo(property.text());
        } else if (name == kFieldProperty) {
            const QString caption = property.parameter("X-NAME").value(0);
            const int n = ExtraSlot(book, caption, extraFilled);
            const QString text = property.text().trimmed();
            if (n == 0) {
                r.toMemo(caption.isEmpty() ? name : caption, text);
            } else if (n >= 6 && n <= 8) {
                const std::optional<bool> yes = ReadYesNo(text);
                if (yes)
                    r.setValue(ExtraField(n), *yes);
                else
                    r.toMemo(caption, text);
            } else if (n == 9) {
                const QDate date = QDate::fromString(text, Qt::ISODate);
                if (date.isValid())
                    r.setValue(ExtraField(n), date);
                else
                    r.toMemo(caption, text);
            } else if (n == 10) {
                r.toMemo(caption, text);
            } else {
                r.put(ExtraField(n), text, caption);
            }
            extraFilled.insert(n);
        } else if (name == QStringLiteral("NOTE")) {
            r.addNote(property.text());
        } else if (name == kBookProperty) {
            r.result().book = property.text().trimmed().toLower();
        } else if (name == QStringLiteral("UID")) {
            if (r.result().uid.isEmpty()) r.result().uid = property.text().trimmed();
        } else if (IsMedia(name)) {
            ++r.result().media;
        } else if (!IsBookkeeping(name)) {
            r.toMemo(Label(property), property.components.join(QStringLiteral("; ")));
        }
    }
    if (personal) {
        if (Text(r.result().values, "VORNAME").isEmpty() &&
            Text(r.result().values, "NACHNAME").isEmpty() && !formattedName.isEmpty()) {
            const qsizetype space = formattedName.lastIndexOf(u' ');
            r.put("VORNAME", space > 0 ? formattedName.left(space) : formattedName, "FN");
            if (space > 0) r.put("NACHNAME", formattedName.mid(space + 1), "FN");
        } else if (!formattedName.isEmpty() && kesp::store::NearestStorable(formattedName) !=
                                                   Joined({Text(r.result().values, "VORNAME"),
                                                           Text(r.result().values, "NACHNAME")})) {
            r.toMemo("FN", formattedName);
        }
        // A birthday is remembered, as phones show every birthday, unless
        // the card says otherwise (our own cards say it either way).
        if (r.value("GEBURTSTAG").toDate().isValid()) {
            r.setValue("LISTE", listed.value_or(true));
            r.result().birthdayRemembered = !listed.has_value();
        } else if (listed) {
            r.setValue("LISTE", *listed);
        }
    } else {
        const QString company = organisation.isEmpty() ? formattedName : organisation;
        r.put("VORNAME", company, organisation.isEmpty() ? "FN" : "ORG");
        // A card without N names its contact person in FN alone.
        if (formattedName != company && Text(r.result().values, "NACHNAME").isEmpty())
            r.put("NACHNAME", formattedName, "FN");
        else if (!formattedName.isEmpty() && formattedName != company &&
                 formattedName != Text(r.result().values, "NACHNAME"))
            r.toMemo("FN", formattedName);
    }
    return r.finish();
}
