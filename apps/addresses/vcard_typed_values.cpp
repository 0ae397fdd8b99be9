#include "apps/addresses/vcard_typed_values.h"

#include <QSet>

#include <algorithm>
#include <optional>

namespace {

enum class ValueKind { Voice, Cell, Fax, Email, Address, Unfit };

// What the types of a value say.
struct Typing {
    ValueKind kind = ValueKind::Unfit;
    bool home = false;
    bool work = false;
    bool other = false;  // a type that is neither HOME nor WORK nor only a manner of sending
    bool pref = false;
};

// Types that say how a value is used, not whose it is.
bool IsNeutralType(const QString& type) {
    static const QSet<QString> neutral{"voice",  "internet", "x-internet", "pref",   "postal",
                                       "parcel", "dom",      "intl",       "msg",    "x400",
                                       "text",   "uri",      "cell",       "mobile", "fax"};
    return neutral.contains(type);
}

Typing TypingOf(const VCardProperty& property) {
    Typing typing;
    QSet<QString> types;
    for (const QString& value : property.parameter(QStringLiteral("TYPE")))
        for (const QString& one : value.split(u','))
            if (!one.trimmed().isEmpty()) types.insert(one.trimmed().toLower());
    typing.pref = types.contains(QStringLiteral("pref")) ||
                  !property.parameter(QStringLiteral("PREF")).isEmpty();
    typing.home = types.contains(QStringLiteral("home"));
    typing.work = types.contains(QStringLiteral("work"));
    for (const QString& type : types)
        if (type != QStringLiteral("home") && type != QStringLiteral("work") &&
            !IsNeutralType(type))
            typing.other = true;
    if (property.name == QStringLiteral("EMAIL")) {
        typing.kind = ValueKind::Email;
    } else if (property.name == QStringLiteral("ADR")) {
        typing.kind = ValueKind::Address;
    } else if (types.contains(QStringLiteral("cell")) || types.contains(QStringLiteral("mobile"))) {
        typing.kind = ValueKind::Cell;
        typing.other = false;
    } else if (typing.other) {
        typing.kind = ValueKind::Unfit;  // a pager, a car phone, an assistant's phone
    } else {
        typing.kind = types.contains(QStringLiteral("fax")) ? ValueKind::Fax : ValueKind::Voice;
    }
    return typing;
}

bool Untyped(const Typing& t) {
    return !t.home && !t.work && !t.other;
}

// The rank a value has for a field (0 best); none when it may not go there.
using Rank = std::optional<int>;

struct FieldRule {
    QString field;
    ValueKind kind;
    Rank (*rank)(const Typing&);
};

Rank Any(const Typing&) {
    return 0;
}
Rank HomeThenUntyped(const Typing& t) {
    if (t.home) return 0;
    if (Untyped(t)) return 1;
    return std::nullopt;
}
Rank HomeThenUntypedThenNotWork(const Typing& t) {
    if (t.home) return 0;
    if (Untyped(t)) return 1;
    if (!t.work) return 2;
    return std::nullopt;
}
Rank WorkOnly(const Typing& t) {
    return t.work ? Rank(0) : std::nullopt;
}
Rank UntypedOnly(const Typing& t) {
    return Untyped(t) ? Rank(0) : std::nullopt;
}
Rank WorkThenUntypedThenAny(const Typing& t) {
    if (t.work) return 0;
    if (Untyped(t)) return 1;
    return 2;
}

// The fields in the order they choose.
const QList<FieldRule>& RulesOf(AddressBookKind kind) {
    static const QList<FieldRule> personal{
        {"TEL", ValueKind::Voice, HomeThenUntyped},
        {"HANDY", ValueKind::Cell, Any},
        {"FAX", ValueKind::Fax, HomeThenUntyped},
        {"TELFIRMA", ValueKind::Voice, WorkOnly},
        {"FAXFIRMA", ValueKind::Fax, WorkOnly},
        {"EMAIL", ValueKind::Email, HomeThenUntypedThenNotWork},
        {"EMAILFIRMA", ValueKind::Email, WorkOnly},
        {"STRASSE", ValueKind::Address, HomeThenUntypedThenNotWork}};
    static const QList<FieldRule> business{{"TELFIRMA", ValueKind::Voice, UntypedOnly},
                                           {"FAXFIRMA", ValueKind::Fax, UntypedOnly},
                                           {"TEL", ValueKind::Voice, WorkThenUntypedThenAny},
                                           {"HANDY", ValueKind::Cell, Any},
                                           {"FAX", ValueKind::Fax, WorkThenUntypedThenAny},
                                           {"EMAIL", ValueKind::Email, WorkThenUntypedThenAny},
                                           {"STRASSE", ValueKind::Address, WorkThenUntypedThenAny}};
    return kind == AddressBookKind::Private ? personal : business;
}

}  // namespace

QHash<int, QString> ChooseTypedFields(AddressBookKind kind, const VCard& card) {
    QHash<int, Typing> candidates;
    for (int i = 0; i < card.size(); ++i) {
        const QString& name = card[i].name;
        if (name == QStringLiteral("TEL") || name == QStringLiteral("EMAIL") ||
            name == QStringLiteral("ADR"))
            candidates.insert(i, TypingOf(card[i]));
    }
    QHash<int, QString> chosen;
    for (const FieldRule& rule : RulesOf(kind)) {
        std::optional<std::tuple<int, bool, int>> best;  // rank, not preferred, order
        for (auto it = candidates.cbegin(); it != candidates.cend(); ++it) {
            if (it.value().kind != rule.kind || chosen.contains(it.key())) continue;
            const Rank rank = rule.rank(it.value());
            if (!rank) continue;
            const std::tuple<int, bool, int> key{*rank, !it.value().pref, it.key()};
            if (!best || key < *best) best = key;
        }
        if (best) chosen.insert(std::get<2>(*best), rule.field);
    }
    return chosen;
}
