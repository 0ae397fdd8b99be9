#include "apps/addresses/vcard_uids.h"

#include "store/table_schema.h"
#include "store/xbase.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QUuid>

namespace {

constexpr int kNameWidth = 81;
constexpr int kUidWidth = 200;
const QString kAlias = QStringLiteral("vcarduids");

void CreateWhenMissing(const QString& path) {
    if (QFileInfo::exists(path)) return;
    kesp::CreateTable(
        path, {{"SATZ", 'N', 10, 0}, {"NAME", 'C', kNameWidth, 0}, {"UID", 'C', kUidWidth, 0}});
}

}  // namespace

QString CardNameKey(const QString& firstName, const QString& lastName) {
    return (firstName.trimmed() + u'|' + lastName.trimmed()).toUpper().left(kNameWidth);
}

QString KeptUid(const QString& uid) {
    const QString trimmed = uid.trimmed();
    if (trimmed.size() <= kUidWidth && trimmed.toLatin1() == trimmed.toUtf8()) return trimmed;
    return QStringLiteral("sha256:") +
           QString::fromLatin1(
               QCryptographicHash::hash(trimmed.toUtf8(), QCryptographicHash::Sha256).toHex());
}

CardIdentities::CardIdentities(const QString& path, const QHash<int, QString>& liveNames)
    : path_(path), liveNames_(liveNames) {
    CreateWhenMissing(path);
    const int previous = SELECT();
    DBUSEAREA(true, path, kAlias);
    for (int row = 1; row <= RECCOUNT(); ++row) {
        DBGOTO(row);
        if (DELETED()) continue;
        entries_.append({.row = row,
                         .number = static_cast<int>(FIELD(kAlias + "->SATZ").toDouble()),
                         .nameKey = FIELD(kAlias + "->NAME").toString().trimmed(),
                         .uid = FIELD(kAlias + "->UID").toString().trimmed()});
    }
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}

int CardIdentities::entryOf(int number) const {
    const QString name = liveNames_.value(number);
    // The UID last used for this very record.
    for (int i = 0; i < entries_.size(); ++i)
        if (entries_[i].number == number && entries_[i].nameKey == name) return i;
    // A record moved by packing: a UID of its name whose record lost it.
    for (int i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (e.nameKey != name || e.used) continue;
        if (liveNames_.value(e.number) != e.nameKey) return i;
    }
    return -1;
}

QString CardIdentities::uidOf(int number) {
    const int at = entryOf(number);
    if (at >= 0) {
        Entry& e = entries_[at];
        if (e.number != number) {
            e.number = number;
            e.changed = true;
        }
        claimed_.insert(number);
        e.used = true;
        return e.uid;
    }
    const QString uid =
        QStringLiteral("urn:uuid:") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    remember(uid, number, liveNames_.value(number));
    return uid;
}

int CardIdentities::recordOf(const QString& uid) {
    const QString kept = KeptUid(uid);
    for (Entry& e : entries_) {
        if (e.uid != kept) continue;
        if (liveNames_.contains(e.number) && liveNames_.value(e.number) == e.nameKey)
            return e.number;
        // Moved by packing: the first live record of the name no UID holds.
        for (auto it = liveNames_.cbegin(); it != liveNames_.cend(); ++it) {
            if (it.value() != e.nameKey || claimed_.contains(it.key())) continue;
            bool heldByOther = false;
            for (const Entry& other : entries_)
                if (&other != &e && other.number == it.key() && other.nameKey == it.value())
                    heldByOther = true;
            if (!heldByOther) return it.key();
        }
        return 0;
    }
    return 0;
}

void CardIdentities::remember(const QString& uid, int number, const QString& nameKey) {
    const QString kept = KeptUid(uid);
    liveNames_[number] = nameKey;
    claimed_.insert(number);
    for (Entry& e : entries_) {
        if (e.uid != kept) continue;
        e.number = number;
        e.nameKey = nameKey;
        e.changed = true;
        e.used = true;
        return;
    }
    entries_.append(
        {.number = number, .nameKey = nameKey, .uid = kept, .changed = true, .used = true});
}

void CardIdentities::write() {
    const int previous = SELECT();
    DBUSEAREA(true, path_, kAlias);
    for (Entry& e : entries_) {
        if (!e.changed) continue;
        if (e.row > 0) {
            DBGOTO(e.row);
        } else {
            DBAPPEND();
            e.row = RECNO();
        }
        REPLACE(kAlias + "->SATZ", double(e.number));
        REPLACE(kAlias + "->NAME", e.nameKey);
        REPLACE(kAlias + "->UID", e.uid);
        e.changed = false;
    }
    DBCOMMIT();
    DBCLOSEAREA();
    DBSELECTAREA(previous);
}
