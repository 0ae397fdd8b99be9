#include "apps/addresses/vcard_updates.h"

#include "apps/addresses/duplicate_groups.h"
#include "apps/addresses/vcard_uids.h"

#include <QDate>

namespace {

const QString kMemo = QStringLiteral("FREE10");

bool Carried(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool();
        case QMetaType::QDate:
            return value.toDate().isValid();
        default:
            return !value.toString().trimmed().isEmpty();
    }
}

QStringList MemoLines(const QString& memo) {
    QString text = memo;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines;
    for (const QString& line : text.split(u'\n'))
        if (!line.trimmed().isEmpty()) lines.append(line);
    return lines;
}

// The e-mail addresses in lower case and the telephone numbers as digits.
QSet<QString> ContactsOf(const AddressValues& values) {
    QSet<QString> contacts;
    for (const char* field : {"EMAIL", "EMAILFIRMA"}) {
        const QString address = values.value(field).toString().trimmed().toLower();
        if (address.contains(u'@')) contacts.insert(address);
    }
    for (const char* field : {"TEL", "HANDY", "FAX", "TELFIRMA", "FAXFIRMA"}) {
        const QString phone = PhoneKey(values.value(field).toString());
        if (!phone.isEmpty()) contacts.insert(QStringLiteral("#") + phone);
    }
    return contacts;
}

QString NameKeyOf(const AddressValues& values) {
    return CardNameKey(values.value("VORNAME").toString(), values.value("NACHNAME").toString());
}

// A value as it compares: texts without the blanks that fill their field.
QVariant Compared(const QVariant& value) {
    return value.typeId() == QMetaType::QString ? QVariant(value.toString().trimmed()) : value;
}

}  // namespace

std::optional<AddressValues> UpdatedByCard(const AddressValues& record, const RecordFromCard& card,
                                           const QStringList& fields) {
    AddressValues updated = record;
    bool changed = false;
    for (const QString& field : fields) {
        if (field == kMemo) continue;
        const QVariant value = card.values.value(field);
        if (!Carried(value) || Compared(value) == Compared(record.value(field))) continue;
        updated[field] = value;
        changed = true;
    }
    const QString memo = record.value(kMemo).toString();
    QStringList lines = MemoLines(memo);
    QStringList added;
    for (const QString& line : MemoLines(card.values.value(kMemo).toString()))
        if (!lines.contains(line) && !added.contains(line)) added.append(line);
    if (!added.isEmpty()) {
        QString joined = memo;
        while (joined.endsWith(u'\n') || joined.endsWith(u'\r'))
            joined.chop(1);
        if (!joined.isEmpty()) joined += QStringLiteral("\r\n");
        updated[kMemo] = joined + added.join(QStringLiteral("\r\n"));
        changed = true;
    }
    if (!changed) return std::nullopt;
    return updated;
}

void SamePersonIndex::add(int record, const AddressValues& values) {
    const QString name = NameKeyOf(values);
    if (name == QStringLiteral("|")) return;  // no name: no person to find again
    byName_[name].append({record, ContactsOf(values)});
}

int SamePersonIndex::recordOf(const AddressValues& values) const {
    const auto named = byName_.constFind(NameKeyOf(values));
    if (named == byName_.cend()) return 0;
    const QSet<QString> contacts = ContactsOf(values);
    for (const Person& person : *named)
        if (person.contacts.intersects(contacts)) return person.record;
    return 0;
}
