#include "apps/addresses/card_merge.h"

#include "kernel/texts.h"

#include <algorithm>
#include <optional>

namespace {

const QString kMemo = QStringLiteral("FREE10");
const QString kNote = QStringLiteral("NOTE");

QString PlainText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    return text;
}

// What tells one property from another of the same card: its name, its
// value without trailing empty components, and its types (phones add VOICE
// and INTERNET where we do not).
QString PropertyKey(const VCardProperty& property) {
    QStringList components = property.components;
    while (!components.isEmpty() && components.back().trimmed().isEmpty())
        components.removeLast();
    for (QString& component : components)
        component = component.trimmed();
    QStringList types;
    for (const QString& type : property.parameter(QStringLiteral("TYPE"))) {
        const QString upper = type.trimmed().toUpper();
        if (upper != u"VOICE" && upper != u"INTERNET" && upper != u"PREF") types.append(upper);
    }
    types.sort();
    return property.name + u'|' + types.join(u',') + u'|' + components.join(u';');
}

QString TypesKey(const VCardProperty& property) {
    const QString key = PropertyKey(property);
    return key.left(key.lastIndexOf(u'|'));
}

QString NoteOf(const VCard& card) {
    QStringList notes;
    for (const VCardProperty& property : card)
        if (property.name == kNote) notes.append(property.text());
    return PlainText(notes.join(u'\n'));
}

// The card's NOTE as it is to become when the memo goes from `before` to
// `after`: the lines the card's other values added after its note are not
// written back.
QString NoteAfter(const QString& note, const QString& before, const QString& after) {
    if (!before.startsWith(note)) return after;
    const QString added = before.mid(note.size());
    const qsizetype at = added.isEmpty() ? -1 : after.indexOf(added);
    return at < 0 ? after : after.left(at) + after.mid(at + added.size());
}

void SetNote(VCard& card, const QString& note) {
    auto first = std::find_if(card.begin(), card.end(),
                              [](const VCardProperty& p) { return p.name == kNote; });
    if (first == card.end()) {
        if (!note.isEmpty()) card.append({.name = kNote, .components = {note}});
        return;
    }
    const qsizetype at = first - card.begin();
    for (qsizetype i = card.size() - 1; i > at; --i)
        if (card[i].name == kNote) card.removeAt(i);
    if (note.isEmpty())
        card.removeAt(at);
    else
        card[at].components = {note};
}

}  // namespace

bool SameFieldValue(const QVariant& a, const QVariant& b) {
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate) {
        const QDate x = a.toDate(), y = b.toDate();
        return (!x.isValid() && !y.isValid()) || x == y;
    }
    if (a.typeId() == QMetaType::Bool || b.typeId() == QMetaType::Bool)
        return a.toBool() == b.toBool();
    return PlainText(a.toString()) == PlainText(b.toString());
}

MergedRecord MergedFieldByField(const AddressValues& base, const AddressValues& local,
                                const AddressValues& other, const QStringList& fields,
                                const QHash<QString, QString>& labels) {
    MergedRecord merged{.values = local};
    QStringList lines;
    for (const QString& field : fields) {
        const QVariant& mine = local.value(field);
        const QVariant& theirs = other.value(field);
        if (SameFieldValue(mine, theirs) || SameFieldValue(theirs, base.value(field))) continue;
        if (SameFieldValue(mine, base.value(field))) {
            merged.values[field] = theirs;
            continue;
        }
        merged.conflicts.append(field);
        QString text = theirs.typeId() == QMetaType::QDate
                           ? theirs.toDate().toString(Qt::ISODate)
                           : (theirs.typeId() == QMetaType::Bool
                                  ? TEXT({"ja", "yes", "sim"})
                                  : PlainText(theirs.toString()).replace(u'\n', u' '));
        if (theirs.typeId() == QMetaType::Bool && !theirs.toBool())
            text = TEXT({"nein", "no", "não"});
        lines.append(
            TEXT({"Auf dem Server: %1: %2", "On the server: %1: %2", "No servidor: %1: %2"})
                .arg(labels.value(field, field), text));
    }
    if (!lines.isEmpty()) {
        QString memo = PlainText(merged.values.value(kMemo).toString());
        if (!memo.isEmpty()) memo += u'\n';
        memo += lines.join(u'\n');
        merged.values[kMemo] = memo.replace(u'\n', QStringLiteral("\r\n"));
    }
    return merged;
}

VCard PatchedCard(const VCard& card, const AddressBookShape& shape, const AddressValues& before,
                  const AddressValues& after, VCardVersion version) {
    const VCard ours = CardOfRecord(shape, before, {}, version);
    const VCard wanted = CardOfRecord(shape, after, {}, version);
    QStringList oursKeys, wantedKeys;
    for (const VCardProperty& p : ours)
        oursKeys.append(PropertyKey(p));
    for (const VCardProperty& p : wanted)
        wantedKeys.append(PropertyKey(p));

    VCard patched = card;
    QList<VCardProperty> added;
    for (qsizetype i = 0; i < wanted.size(); ++i)
        if (wanted[i].name != kNote && !oursKeys.contains(wantedKeys[i])) added.append(wanted[i]);
    for (qsizetype i = 0; i < ours.size(); ++i) {
        if (ours[i].name == kNote || wantedKeys.contains(oursKeys[i])) continue;
        const auto found =
            std::find_if(patched.begin(), patched.end(),
                         [&](const VCardProperty& p) { return PropertyKey(p) == oursKeys[i]; });
        if (found == patched.end()) continue;
        // The same kind of value again: the new one takes the old one's
        // place, group and parameters.
        const auto again = std::find_if(added.begin(), added.end(), [&](const VCardProperty& p) {
            return TypesKey(p) == TypesKey(ours[i]);
        });
        if (again != added.end()) {
            found->components = again->components;
            added.erase(again);
        } else {
            patched.erase(found);
        }
    }
    patched.append(added);

    const QString memoBefore = PlainText(before.value(kMemo).toString());
    const QString memoAfter = PlainText(after.value(kMemo).toString());
    if (memoBefore != memoAfter) SetNote(patched, NoteAfter(NoteOf(card), memoBefore, memoAfter));
    return patched;
}
