#include "apps/addresses/duplicate_groups.h"

#include "store/xbase.h"

#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace {

constexpr int kShortestPhone = 5;
const QString kMemo = QStringLiteral("FREE10");

QString Folded(const QString& text) {
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_KD)) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        if (c == u'ß' || c == u'ẞ') {
            out += QStringLiteral("ss");
            continue;
        }
        out += c.toCaseFolded();
    }
    return out;
}

// Disjoint sets of contact indexes.
class Groups {
  public:
    explicit Groups(int size) : parent_(size) { std::iota(parent_.begin(), parent_.end(), 0); }
    int root(int i) {
        while (parent_[i] != i)
            i = parent_[i] = parent_[parent_[i]];
        return i;
    }
    void join(int a, int b) {
        a = root(a);
        b = root(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

  private:
    QList<int> parent_;
};

}  // namespace

QString FoldedName(const QString& firstName, const QString& lastName) {
    QStringList words;
    for (const QString& word :
         Folded(firstName + u' ' + lastName).split(u' ', Qt::SkipEmptyParts)) {
        QString letters;
        for (const QChar c : word)
            if (c.isLetterOrNumber()) letters += c;
        if (!letters.isEmpty()) words.append(letters);
    }
    words.sort();
    return words.join(u'|');
}

QString PhoneKey(const QString& number) {
    const QString trimmed = number.trimmed();
    QString digits;
    for (const QChar c : trimmed)
        if (c.isDigit()) digits += c;
    if (trimmed.startsWith(u'+') && digits.startsWith(QStringLiteral("49")))
        digits = digits.mid(2);
    else if (digits.startsWith(QStringLiteral("0049")))
        digits = digits.mid(4);
    else if (digits.startsWith(u'0'))
        digits = digits.mid(1);
    return digits.size() < kShortestPhone ? QString() : digits;
}

QList<QList<int>> DuplicateGroups(const QList<ContactKeys>& contacts) {
    Groups groups(int(contacts.size()));
    QHash<QString, int> firstWithKey;
    const auto meet = [&](const QString& key, int index) {
        if (key.isEmpty()) return;
        const auto found = firstWithKey.constFind(key);
        if (found == firstWithKey.cend())
            firstWithKey.insert(key, index);
        else
            groups.join(*found, index);
    };
    for (int i = 0; i < contacts.size(); ++i) {
        const ContactKeys& c = contacts[i];
        const QString name = FoldedName(c.firstName, c.lastName);
        if (!name.isEmpty()) meet(QStringLiteral("n:") + name, i);
        for (const QString& email : c.emails)
            if (!email.trimmed().isEmpty()) meet(QStringLiteral("e:") + Folded(email.trimmed()), i);
        for (const QString& phone : c.phones) {
            const QString key = PhoneKey(phone);
            if (!key.isEmpty()) meet(QStringLiteral("t:") + key, i);
        }
    }
    QMap<int, QList<int>> byRoot;
    for (int i = 0; i < contacts.size(); ++i)
        byRoot[groups.root(i)].append(i);
    QList<QList<int>> found;
    for (const QList<int>& members : byRoot)
        if (members.size() > 1) found.append(members);
    return found;
}

QString MergeText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Bool:
            return value.toBool() ? QStringLiteral("X") : QString();
        case QMetaType::QDate:
            return value.toDate().isValid() ? DTOC(value.toDate()) : QString();
        default:
            return value.toString().trimmed();
    }
}

QList<MergeChoice> MergeChoices(const QList<AddressValues>& members, const QStringList& fields) {
    QList<MergeChoice> choices;
    for (const QString& field : fields) {
        if (field == kMemo) continue;
        QStringList values;
        for (const AddressValues& member : members) {
            const QString text = MergeText(member.value(field));
            if (!text.isEmpty() && !values.contains(text)) values.append(text);
        }
        if (values.size() > 1) choices.append({field, values});
    }
    return choices;
}

AddressValues MergedRecord(const QList<AddressValues>& members, int kept, const QStringList& fields,
                           const QHash<QString, QString>& chosen, const QStringList& memoLines) {
    AddressValues merged = members.value(kept);
    QList<int> order{kept};
    for (int i = 0; i < members.size(); ++i)
        if (i != kept) order.append(i);
    for (const QString& field : fields) {
        if (field == kMemo) continue;
        const QString wanted = chosen.value(field);
        for (const int i : order) {
            const QVariant value = members[i].value(field);
            const QString text = MergeText(value);
            if (text.isEmpty()) continue;
            if (!wanted.isEmpty() && text != wanted) continue;
            merged[field] = value;
            break;
        }
    }
    QStringList memos;
    for (const int i : order) {
        const QString memo = members[i].value(kMemo).toString().trimmed();
        if (!memo.isEmpty() && !memos.contains(memo)) memos.append(memo);
    }
    memos += memoLines;
    merged[kMemo] = memos.join(QStringLiteral("\r\n"));
    return merged;
}
