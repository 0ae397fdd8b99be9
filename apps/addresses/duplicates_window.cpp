#include "apps/addresses/duplicates_window.h"

#include "apps/addresses/business_operations.h"
#include "apps/addresses/duplicate_groups.h"
#include "apps/addresses/private_operations.h"
#include "apps/addresses/vcard_exchange.h"
#include "apps/common/index_files.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

namespace {

const QString kWindow = QStringLiteral("doppelt");
const QString kOtherAlias = QStringLiteral("anderesbuch");
constexpr int kChoiceRows = 12;
constexpr int kRowHeight = 24;

const Texts kGroupsCaption{"Gruppen wahrscheinlich doppelter Einträge",
                           "Groups of likely duplicates", "Grupos de prováveis duplicados"};
const Texts kMergeCaption{"Zusammenführen", "Merge", "Unir"};
const Texts kKeepCaption{"Behalten wird:", "Keep:", "Manter:"};
const Texts kChosenHint{"Wo die Einträge verschiedene Werte haben, gilt der gewählte.",
                        "Where the records differ, the value chosen is kept.",
                        "Onde os registros diferem, vale o valor escolhido."};
const Texts kJoinedHint{"Notizen werden zusammengefügt, die anderen Einträge gelöscht.",
                        "The notes are joined, the other records deleted.",
                        "As notas são unidas, os outros registros apagados."};
const Texts kGroupsFound{"%1 Gruppen gefunden", "%1 groups found", "%1 grupos encontrados"};
const Texts kNoneFound{"Keine doppelten Einträge gefunden.", "No duplicates found.",
                       "Nenhum duplicado encontrado."};
const Texts kNoDifference{"Keine Felder mit verschiedenen Werten.",
                          "No fields with differing values.",
                          "Nenhum campo com valores diferentes."};
const Texts kMoreFields{"%1 weitere Felder behalten den Wert des behaltenen Eintrags.",
                        "%1 more fields keep the value of the record kept.",
                        "%1 outros campos mantêm o valor do registro mantido."};
const Texts kMerged{"Zusammengeführt: „%1“ behalten, %2 Einträge gelöscht.",
                    "Merged: \"%1\" kept, %2 records deleted.",
                    "Unidos: \"%1\" mantido, %2 registros apagados."};
const Texts kPrivateWord{"Privat", "Private", "Amigos"};
const Texts kBusinessWord{"Firmen", "Business", "Comercial"};

struct Member {
    AddressBookKind kind;
    int record = 0;
    AddressValues values;
};

struct State {
    const RecordWindow* caller = nullptr;
    AddressBookKind callerKind = AddressBookKind::Private;
    QList<Member> members;  // the live records of both books
    QList<QList<int>> groups;
    QStringList captions[2];  // of the extra fields, by book
    bool filling = false;     // controls being filled: their change actions wait
};

State& S() {
    static State state;
    return state;
}

int Index(AddressBookKind kind) {
    return kind == AddressBookKind::Private ? 0 : 1;
}

const VCardBook& BookOf(AddressBookKind kind) {
    return kind == AddressBookKind::Private ? PrivateVCardBook() : BusinessVCardBook();
}

const RecordWindow& WindowOf(AddressBookKind kind) {
    return kind == AddressBookKind::Private ? PrivateAddressBook() : BusinessAddressBook();
}

QString AliasOf(AddressBookKind kind) {
    return kind == S().callerKind ? S().caller->alias : kOtherAlias;
}

bool IsExtraField(const QString& field) {
    return field.startsWith(QStringLiteral("FREE")) && field != QStringLiteral("FREE10");
}

// The field's caption in the book, the user's for an extra field.
QString Caption(AddressBookKind kind, const QString& field) {
    for (const FieldRow& row : WindowOf(kind).fields) {
        if (row.field.compare(field, Qt::CaseInsensitive) != 0) continue;
        if (row.userCaption > 0) {
            const QString own = S().captions[Index(kind)].value(row.userCaption - 1);
            return own.isEmpty() ? field : own;
        }
        return TEXT(row.caption);
    }
    return field;
}

QString MemberName(const Member& m) {
    const QString name = (m.values.value("VORNAME").toString().trimmed() + u' ' +
                          m.values.value("NACHNAME").toString().trimmed())
                             .trimmed();
    return name + QStringLiteral(" [") +
           TEXT(m.kind == AddressBookKind::Private ? kPrivateWord : kBusinessWord) + u']';
}

void Gather() {
    State& s = S();
    s.members.clear();
    QList<ContactKeys> keys;
    for (const AddressBookKind kind : {AddressBookKind::Private, AddressBookKind::Business}) {
        const QString alias = AliasOf(kind);
        DBSELECTAREA(alias);
        const int here = RECNO();
        for (int number = 1; number <= RECCOUNT(); ++number) {
            DBGOTO(number);
            if (DELETED()) continue;
            Member m{kind, number, {}};
            for (const QString& field : AddressFieldsOf(kind)) {
                const QVariant value = FIELD(alias + "->" + field);
                m.values[field] = value.typeId() == QMetaType::QString
                                      ? QVariant(value.toString().trimmed())
                                      : value;
            }
            const bool personal = kind == AddressBookKind::Private;
            keys.append({.firstName = m.values["VORNAME"].toString(),
                         .lastName = m.values["NACHNAME"].toString(),
                         .emails = personal ? QStringList{m.values["EMAIL"].toString(),
                                                          m.values["EMAILFIRMA"].toString()}
                                            : QStringList{m.values["EMAIL"].toString()},
                         .phones = personal ? QStringList{m.values["TEL"].toString(),
                                                          m.values["HANDY"].toString()}
                                            : QStringList{m.values["TEL"].toString(),
                                                          m.values["HANDY"].toString(),
                                                          m.values["TELFIRMA"].toString()}});
            s.members.append(m);
        }
        DBGOTO(here);
    }
    s.groups = DuplicateGroups(keys);
}

int ShownGroup() {
    const int shown = GETPROPERTY(kWindow, "List_1", "value").toInt() - 1;
    return shown >= 0 && shown < S().groups.size() ? shown : -1;
}

int KeptMember() {
    return std::max(0, GETPROPERTY(kWindow, "Combo_keep", "value").toInt() - 1);
}

// The group's values as the kept record's book has them: members of the
// other book without its own extra fields, which go to `memoLines`.
struct Projection {
    AddressBookKind kind;
    QStringList fields;
    QList<AddressValues> values;
    QStringList memoLines;
};

Projection Project(const QList<int>& group, int kept) {
    const AddressBookKind kind = S().members[group[kept]].kind;
    Projection p{kind, AddressFieldsOf(kind), {}, {}};
    for (const int index : group) {
        const Member& m = S().members[index];
        AddressValues values;
        for (auto it = m.values.cbegin(); it != m.values.cend(); ++it) {
            const bool belongs =
                p.fields.contains(it.key()) && (m.kind == kind || !IsExtraField(it.key()));
            if (belongs)
                values[it.key()] = it.value();
            else if (!MergeText(it.value()).isEmpty())
                p.memoLines.append(Caption(m.kind, it.key()) + QStringLiteral(": ") +
                                   MergeText(it.value()));
        }
        p.values.append(values);
    }
    return p;
}

void ShowChoices() {
    const int group = ShownGroup();
    QList<MergeChoice> choices;
    AddressBookKind kind = AddressBookKind::Private;
    if (group >= 0) {
        const Projection p = Project(S().groups[group], KeptMember());
        choices = MergeChoices(p.values, p.fields);
        kind = p.kind;
    }
    S().filling = true;
    for (int row = 1; row <= kChoiceRows; ++row) {
        const QString label = QStringLiteral("Label_c%1").arg(row);
        const QString combo = QStringLiteral("Combo_c%1").arg(row);
        const bool used = row <= choices.size();
        SETPROPERTY(kWindow, label, "visible", used);
        SETPROPERTY(kWindow, combo, "visible", used);
        if (!used) continue;
        const MergeChoice& choice = choices[row - 1];
        SETPROPERTY(kWindow, label, "value", Caption(kind, choice.field));
        SETPROPERTY(kWindow, combo, "tooltip", Caption(kind, choice.field));
        DOMETHOD(kWindow, combo, "DeleteAllItems");
        for (const QString& value : choice.values)
            DOMETHOD(kWindow, combo, "AddItem", value);
        SETPROPERTY(kWindow, combo, "value", 1);
    }
    S().filling = false;
    QString more;
    if (group >= 0 && choices.isEmpty()) more = TEXT(kNoDifference);
    if (choices.size() > kChoiceRows) more = TEXT(kMoreFields).arg(choices.size() - kChoiceRows);
    SETPROPERTY(kWindow, "Label_more", "value", more);
    SETPROPERTY(kWindow, "Button_merge", "enabled", group >= 0);
    SETPROPERTY(kWindow, "Combo_keep", "enabled", group >= 0);
}

void ShowGroup() {
    if (S().filling) return;
    const int group = ShownGroup();
    S().filling = true;
    DOMETHOD(kWindow, "Combo_keep", "DeleteAllItems");
    if (group >= 0) {
        for (const int index : S().groups[group])
            DOMETHOD(kWindow, "Combo_keep", "AddItem", MemberName(S().members[index]));
        SETPROPERTY(kWindow, "Combo_keep", "value", 1);
    }
    S().filling = false;
    ShowChoices();
}

void KeepChanged() {
    if (!S().filling) ShowChoices();
}

void FillGroups() {
    S().filling = true;
    DOMETHOD(kWindow, "List_1", "DeleteAllItems");
    for (const QList<int>& group : S().groups) {
        QStringList names;
        for (const int index : group)
            names.append(MemberName(S().members[index]));
        DOMETHOD(kWindow, "List_1", "AddItem", names.join(QStringLiteral(" · ")));
    }
    if (!S().groups.isEmpty()) SETPROPERTY(kWindow, "List_1", "value", 1);
    SETPROPERTY(
        kWindow, "Label_count", "value",
        S().groups.isEmpty() ? TEXT(kNoneFound) : TEXT(kGroupsFound).arg(S().groups.size()));
    S().filling = false;
    ShowGroup();
}

void Merge() {
    const int group = ShownGroup();
    if (group < 0) return;
    const QList<int> members = S().groups[group];
    const int kept = KeptMember();
    const Projection p = Project(members, kept);
    const QList<MergeChoice> choices = MergeChoices(p.values, p.fields);
    QHash<QString, QString> chosen;
    for (int row = 1; row <= std::min<int>(kChoiceRows, int(choices.size())); ++row) {
        const QString combo = QStringLiteral("Combo_c%1").arg(row);
        const int item = GETPROPERTY(kWindow, combo, "value").toInt();
        chosen[choices[row - 1].field] = choices[row - 1].values.value(item - 1);
    }
    const AddressValues merged = MergedRecord(p.values, kept, p.fields, chosen, p.memoLines);
    const Member keeper = S().members[members[kept]];
    try {
        DBSELECTAREA(AliasOf(keeper.kind));
        DBGOTO(keeper.record);
        for (const QString& field : p.fields)
            REPLACE(AliasOf(keeper.kind) + "->" + field, merged.value(field));
        DBCOMMIT();
        for (int i = 0; i < members.size(); ++i) {
            if (i == kept) continue;
            const Member& gone = S().members[members[i]];
            DBSELECTAREA(AliasOf(gone.kind));
            DBGOTO(gone.record);
            DBDELETE();
            // Ctrl+Z in the calling window takes back what left its own book.
            if (gone.kind == S().callerKind)
                NoteDeletion(*S().caller, ShownWorkArea(*S().caller), gone.record);
        }
    } catch (const kesp::WriteFailure& failure) {
        Gather();
        FillGroups();
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure), THE_APP_NAME);
        return;
    }
    Gather();
    FillGroups();
    MSGBOX(TEXT(kMerged).arg(MemberName(keeper)).arg(members.size() - 1), THE_APP_NAME);
}

void Begin() {
    S().captions[0] = ReadBookCaptions(PrivateVCardBook());
    S().captions[1] = ReadBookCaptions(BusinessVCardBook());
    Gather();
    FillGroups();
}

// The other book goes; the caller shows its table with the merges.
void End() {
    DBSELECTAREA(kOtherAlias);
    DBCLOSEAREA();
    const RecordWindow& caller = *S().caller;
    DBSELECTAREA(caller.workArea);
    StepsToTheEnd after;
    after.Run([&caller] { CreateIndexFiles(caller.indexes, caller.normalOrder); });
    DBGOTOP();
    THE_ANZAHL = CountLiveRecords();
    RefreshRecordWindow(caller);
    after.TellSavedAnyway(*caller.messageTitle);
}

void Label(const QString& name, int row, int col, int width, bool bold = false,
           const QString& value = {}) {
    _DEFINELABEL(name, {.row = row,
                        .col = col,
                        .width = width,
                        .height = 20,
                        .value = value,
                        .bold = bold,
                        .background = Qt::white});
}

// Defined anew at every opening, in the language in force.
void DefineWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kFindDuplicatesText),
                                 .width = 780,
                                 .height = 500,
                                 .icon = "img/hauptuser.ico",
                                 .onInit = Begin,
                                 .onRelease = End});
    Label("Label_1", 10, 10, 330, true, TEXT(kGroupsCaption));
    _DEFINELISTBOX("List_1",
                   {.row = 35, .col = 10, .width = 330, .height = 370, .onChange = ShowGroup});
    Label("Label_count", 410, 10, 330);
    _DEFINEFRAME("Frame_1", {.row = 10,
                             .col = 350,
                             .width = 420,
                             .height = 420,
                             .caption = TEXT(kMergeCaption),
                             .bold = true,
                             .background = Qt::white});
    Label("Label_keep", 35, 360, 110, true, TEXT(kKeepCaption));
    _DEFINECOMBOBOX("Combo_keep",
                    {.row = 35, .col = 475, .width = 285, .height = 200, .onChange = KeepChanged});
    SETPROPERTY(kWindow, "Combo_keep", "tooltip", TEXT(kKeepCaption));
    for (int row = 1; row <= kChoiceRows; ++row) {
        const int at = 65 + (row - 1) * kRowHeight;
        Label(QStringLiteral("Label_c%1").arg(row), at, 360, 110);
        _DEFINECOMBOBOX(QStringLiteral("Combo_c%1").arg(row),
                        {.row = at, .col = 475, .width = 285, .height = 200});
    }
    Label("Label_more", 65 + kChoiceRows * kRowHeight + 4, 360, 400);
    Label("Label_hint1", 380, 360, 400, false, TEXT(kChosenHint));
    Label("Label_hint2", 400, 360, 400, false, TEXT(kJoinedHint));
    _DEFINEBUTTON("Button_merge", {.row = 440,
                                   .col = 530,
                                   .width = 115,
                                   .height = 28,
                                   .caption = TEXT(kMergeCaption),
                                   .action = Merge});
    _DEFINEBUTTON("Button_close", {.row = 440,
                                   .col = 655,
                                   .width = 115,
                                   .height = 28,
                                   .caption = TEXT(kCloseCaption),
                                   .action = [] { RELEASEWINDOW(kWindow); }});
    _ENDWINDOW();
}

}  // namespace

void ShowDuplicatesWindow(const RecordWindow& caller, AddressBookKind callerKind) {
    S().caller = &caller;
    S().callerKind = callerKind;
    const AddressBookKind other = callerKind == AddressBookKind::Private ? AddressBookKind::Business
                                                                         : AddressBookKind::Private;
    DBUSEAREA(true, THE_DATA_PATH + BookOf(other).table, kOtherAlias);
    DefineWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}
