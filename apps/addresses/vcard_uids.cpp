#include "apps/addresses/vcard_uids.h"

#include "store/fault.h"
#include "store/file_handle.h"
#include "store/file_names.h"
#include "store/live_records.h"
#include "store/table_schema.h"
#include "store/xbase.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QUuid>

#include <algorithm>

namespace {

constexpr int kNameWidth = 81;
constexpr int kUidWidth = 200;
const QString kAlias = QStringLiteral("vcarduids");
const QString kAheadAlias = QStringLiteral("vcardahead");

void CreateUidTable(const QString& path) {
    kesp::CreateTableWhole(
        path, {{"SATZ", 'N', 10, 0}, {"NAME", 'C', kNameWidth, 0}, {"UID", 'C', kUidWidth, 0}});
}

void CreateWhenMissing(const QString& path) {
    if (!QFileInfo::exists(path)) CreateUidTable(path);
}

// "vcard_p.dbf" → "vcard_p<suffix>.dbf"
QString BesideTable(const QString& path, const QString& suffix) {
    return path.left(path.size() - 4) + suffix + path.right(4);
}

// What is written ahead, and where it is made before it takes that name: not
// under a table's suffix, so that one cut off while being made is never taken
// for a damaged table of the data folder.
QString AheadPath(const QString& path) {
    return BesideTable(path, QStringLiteral("_offen"));
}
QString AheadMadePath(const QString& path) {
    return AheadPath(path).chopped(4) + QStringLiteral(".neu");
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
    for (auto it = liveNames.cbegin(); it != liveNames.cend(); ++it)
        liveByName_.insert(it.value(), it.key());
    CreateWhenMissing(path);
    const int previous = SELECT();
    DBUSEAREA(true, path, kAlias);
    DBEVALLIVE([this] {
        const int number = static_cast<int>(FIELD(kAlias + "->SATZ").toDouble());
        if (number < 1) return;  // 0: a pack removed its record
        add({.row = RECNO(),
             .number = number,
             .nameKey = FIELD(kAlias + "->NAME").toString().trimmed(),
             .uid = FIELD(kAlias + "->UID").toString().trimmed()});
    });
    DBCLOSEAREA();
    DBSELECTAREA(previous);
    takeOverWrittenAhead();
}

void CardIdentities::takeOverWrittenAhead() {
    kesp::store::RemoveFile(AheadMadePath(path_));
    const QString ahead = AheadPath(path_);
    if (!QFileInfo::exists(ahead)) return;
    const int previous = SELECT();
    DBUSEAREA(true, ahead, kAheadAlias);
    for (int row = 1; row <= RECCOUNT(); ++row) {
        DBGOTO(row);
        const int number = static_cast<int>(FIELD(kAheadAlias + "->SATZ").toDouble());
        const QString nameKey = FIELD(kAheadAlias + "->NAME").toString().trimmed();
        // A record the book never got, or one since renamed, keeps no UID.
        if (liveNames_.contains(number) && liveNames_.value(number) == nameKey)
            remember(FIELD(kAheadAlias + "->UID").toString().trimmed(), number, nameKey);
    }
    DBCLOSEAREA();
    DBSELECTAREA(previous);
    try {
        write();
    } catch (const kesp::WriteFailure&) {
        // Kept where it was written ahead until a write goes through.
    }
}

void CardIdentities::add(const Entry& entry) {
    byUid_.insert(entry.uid, int(entries_.size()));
    byName_.insert(entry.nameKey, int(entries_.size()));
    entries_.append(entry);
}

// The entries of a name, in the order they were read or made.
QList<int> CardIdentities::entriesNamed(const QString& nameKey) const {
    QList<int> found = byName_.values(nameKey);
    std::sort(found.begin(), found.end());
    return found;
}

int CardIdentities::entryOf(int number) const {
    const QString name = liveNames_.value(number);
    const QList<int> named = entriesNamed(name);
    // The UID last used for this very record.
    for (const int i : named)
        if (entries_[i].number == number) return i;
    // A record moved by packing: a UID of its name whose record lost it.
    for (const int i : named) {
        const Entry& e = entries_[i];
        if (!e.used && liveNames_.value(e.number) != e.nameKey) return i;
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
    const auto found = byUid_.constFind(KeptUid(uid));
    if (found == byUid_.cend()) return 0;
    const Entry& e = entries_[*found];
    if (liveNames_.contains(e.number) && liveNames_.value(e.number) == e.nameKey) return e.number;
    // Moved by packing: the first live record of the name no UID holds.
    QList<int> numbers = liveByName_.values(e.nameKey);
    std::sort(numbers.begin(), numbers.end());
    const QList<int> named = entriesNamed(e.nameKey);
    for (const int number : numbers) {
        if (claimed_.contains(number)) continue;
        const bool heldByOther = std::any_of(named.begin(), named.end(), [&](int i) {
            return i != *found && entries_[i].number == number;
        });
        if (!heldByOther) return number;
    }
    return 0;
}

void CardIdentities::remember(const QString& uid, int number, const QString& nameKey) {
    const QString kept = KeptUid(uid);
    if (liveNames_.contains(number)) liveByName_.remove(liveNames_.value(number), number);
    liveNames_[number] = nameKey;
    liveByName_.insert(nameKey, number);
    claimed_.insert(number);
    const auto found = byUid_.constFind(kept);
    if (found == byUid_.cend()) {
        add({.number = number, .nameKey = nameKey, .uid = kept, .changed = true, .used = true});
        return;
    }
    Entry& e = entries_[*found];
    byName_.remove(e.nameKey, *found);
    byName_.insert(nameKey, *found);
    e.number = number;
    e.nameKey = nameKey;
    e.changed = true;
    e.used = true;
}

void CardIdentities::writeAhead() {
    const QString made = AheadMadePath(path_);
    const int previous = SELECT();
    try {
        kesp::store::RemoveFile(made);
        CreateUidTable(made);
        DBUSEAREA(true, made, kAheadAlias);
        for (const Entry& e : entries_) {
            if (!e.changed) continue;
            DBAPPEND();
            REPLACE(kAheadAlias + "->SATZ", double(e.number));
            REPLACE(kAheadAlias + "->NAME", e.nameKey);
            REPLACE(kAheadAlias + "->UID", e.uid);
        }
        DBCLOSEAREA();
        kesp::store::RenameFile(made, AheadPath(path_));
    } catch (const kesp::WriteFailure&) {
        if (ALIAS() == kAheadAlias) {
            try {
                DBCLOSEAREA();
            } catch (const kesp::WriteFailure&) {
                // Closed all the same; the file made is removed below.
            }
        }
        DBSELECTAREA(previous);
        kesp::store::RemoveFile(made);
        throw;
    }
    DBSELECTAREA(previous);
}

void CardIdentities::dropWrittenAhead() {
    kesp::store::RemoveFile(AheadPath(path_));
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
    kesp::store::RemoveFile(AheadPath(path_));
}
