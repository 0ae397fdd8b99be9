#include "apps/addresses/duplicate_groups.h"

#include "store/xbase.h"

#include <QHash>
#include <QSet>

#include <algorithm>

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

// "Jürgen" as "juergen": the umlauts written out, as a keyboard without them has them.
QString UmlautsWrittenOut(const QString& text) {
    QString out;
    for (const QChar c : text) {
        switch (c.unicode()) {
            case u'ä':
            case u'Ä':
                out += QStringLiteral("ae");
                break;
            case u'ö':
            case u'Ö':
                out += QStringLiteral("oe");
                break;
            case u'ü':
            case u'Ü':
                out += QStringLiteral("ue");
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A word of a name in its two folded forms: "Müller" as "muller" and "mueller".
struct NameWord {
    QString plain;
    QString writtenOut;

    bool isInitial() const { return plain.size() == 1; }
    bool same(const NameWord& other) const {
        return plain == other.plain || writtenOut == other.writtenOut;
    }
    // "J." against "John"
    bool initialOf(const NameWord& other) const {
        return isInitial() && !other.isInitial() && other.plain.startsWith(plain);
    }
};

QStringList LetterRuns(const QString& folded) {
    QStringList runs;
    QString run;
    for (const QChar c : folded) {
        if (c.isLetterOrNumber()) {
            run += c;
        } else if (!run.isEmpty()) {
            runs.append(run);
            run.clear();
        }
    }
    if (!run.isEmpty()) runs.append(run);
    return runs;
}

QList<NameWord> NameWords(const QString& firstName, const QString& lastName) {
    const QString name = firstName + u' ' + lastName;
    const QStringList plain = LetterRuns(Folded(name));
    const QStringList writtenOut = LetterRuns(Folded(UmlautsWrittenOut(name)));
    QList<NameWord> words;
    // Both forms split alike: only letters are written out, never separators.
    for (int i = 0; i < plain.size() && i < writtenOut.size(); ++i)
        words.append({plain[i], writtenOut[i]});
    return words;
}

enum class NameAgreement { None, WithInitials, Same };

NameAgreement NamesAgree(const QList<NameWord>& a, const QList<NameWord>& b) {
    if (a.isEmpty() || a.size() != b.size()) return NameAgreement::None;
    QList<bool> taken(b.size(), false);
    QList<int> open;
    for (int i = 0; i < a.size(); ++i) {
        bool paired = false;
        for (int j = 0; j < b.size() && !paired; ++j)
            if (!taken[j] && a[i].same(b[j])) taken[j] = paired = true;
        if (!paired) open.append(i);
    }
    for (const int i : open) {
        bool paired = false;
        for (int j = 0; j < b.size() && !paired; ++j)
            if (!taken[j] && (a[i].initialOf(b[j]) || b[j].initialOf(a[i])))
                taken[j] = paired = true;
        if (!paired) return NameAgreement::None;
    }
    return open.isEmpty() ? NameAgreement::Same : NameAgreement::WithInitials;
}

// What a contact is compared by, folded once.
struct Person {
    QList<NameWord> words;
    QSet<QString> emails;
    QSet<QString> phones;
    QDate birthday;
};

Person PersonOf(const ContactKeys& c) {
    Person p{NameWords(c.firstName, c.lastName), {}, {}, c.birthday};
    for (const QString& email : c.emails)
        if (!email.trimmed().isEmpty()) p.emails.insert(Folded(email.trimmed()));
    for (const QString& phone : c.phones)
        if (const QString key = PhoneKey(phone); !key.isEmpty()) p.phones.insert(key);
    return p;
}

bool Same(const Person& a, const Person& b) {
    if (!BirthdaysAgree(a.birthday, b.birthday)) return false;
    const bool shareContact = a.emails.intersects(b.emails) || a.phones.intersects(b.phones);
    if (a.words.isEmpty() != b.words.isEmpty()) return a.emails.intersects(b.emails);
    switch (NamesAgree(a.words, b.words)) {
        case NameAgreement::Same:
            return true;
        case NameAgreement::WithInitials:
            return shareContact;
        case NameAgreement::None:
            return false;
    }
    return false;
}

// The words by which records that may agree are found: those longer than an initial.
QStringList BucketWords(const Person& p) {
    QStringList keys;
    for (const NameWord& word : p.words) {
        if (word.isInitial()) continue;
        keys << QStringLiteral("p:") + word.plain << QStringLiteral("w:") + word.writtenOut;
    }
    keys.removeDuplicates();
    return keys;
}

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

bool BirthdaysAgree(const QDate& a, const QDate& b) {
    if (!a.isValid() || !b.isValid() || a == b) return true;
    constexpr int kWithoutYear = 1904;
    const bool yearless = a.year() == kWithoutYear || b.year() == kWithoutYear;
    return yearless && a.month() == b.month() && a.day() == b.day();
}

bool SamePerson(const ContactKeys& a, const ContactKeys& b) {
    return Same(PersonOf(a), PersonOf(b));
}

QList<QList<int>> DuplicateGroups(const QList<ContactKeys>& contacts) {
    QList<Person> people;
    for (const ContactKeys& c : contacts)
        people.append(PersonOf(c));
    QList<QList<int>> groups;
    QList<int> groupOf(people.size(), -1);
    const auto joinsWhole = [&](int index, int group) {
        return std::all_of(groups[group].cbegin(), groups[group].cend(),
                           [&](int member) { return Same(people[index], people[member]); });
    };
    const auto join = [&](int index, int group) {
        if (group < 0) {
            group = int(groups.size());
            groups.append(QList<int>());
        }
        groups[group].append(index);
        groupOf[index] = group;
    };

    // The named, each compared only with those sharing a word of its name.
    QHash<QString, QList<int>> byWord;
    QHash<QString, QList<int>> byEmail;
    for (int i = 0; i < people.size(); ++i) {
        if (people[i].words.isEmpty()) continue;
        const QStringList words = BucketWords(people[i]);
        QList<int> candidates;
        for (const QString& word : words)
            for (const int other : byWord.value(word))
                if (!candidates.contains(groupOf[other])) candidates.append(groupOf[other]);
        std::sort(candidates.begin(), candidates.end());
        int found = -1;
        for (const int group : candidates) {
            if (joinsWhole(i, group)) {
                found = group;
                break;
            }
        }
        join(i, found);
        for (const QString& word : words)
            byWord[word].append(i);
        for (const QString& email : people[i].emails)
            byEmail[email].append(i);
    }
    // The nameless, to the one person holding their e-mail address.
    for (int i = 0; i < people.size(); ++i) {
        if (!people[i].words.isEmpty()) continue;
        QSet<int> owners;
        for (const QString& email : people[i].emails)
            for (const int other : byEmail.value(email))
                owners.insert(groupOf[other]);
        if (owners.size() != 1) continue;
        const int group = *owners.cbegin();
        const bool agrees =
            std::all_of(groups[group].cbegin(), groups[group].cend(), [&](int member) {
                return BirthdaysAgree(people[i].birthday, people[member].birthday);
            });
        if (agrees) join(i, group);
    }

    QList<QList<int>> found;
    for (QList<int>& members : groups) {
        if (members.size() < 2) continue;
        std::sort(members.begin(), members.end());
        found.append(members);
    }
    std::sort(found.begin(), found.end(),
              [](const QList<int>& a, const QList<int>& b) { return a.first() < b.first(); });
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
