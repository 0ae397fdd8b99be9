#include "apps/addresses/duplicates_window.h"

#include "apps/addresses/business_operations.h"
#include "apps/addresses/duplicate_groups.h"
#include "apps/addresses/private_operations.h"
#include "apps/addresses/vcard_exchange.h"
#include "apps/common/index_files.h"
#include "apps/common/record_steps.h"
#include "apps/common/record_versions.h"
#include "apps/common/steps_to_the_end.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/live_records.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QHash>

#include <algorithm>

namespace {

const QString kWindow = QStringLiteral("doppelt");
const QString kOtherAlias = QStringLiteral("anderesbuch");
const QString kGroupsLabel = QStringLiteral("Label_1");
const QString kCountLabel = QStringLiteral("Label_count");
const QString kGroupFrame = QStringLiteral("Frame_1");
const QString kMembersLabel = QStringLiteral("Label_members");
const QString kKeepLabel = QStringLiteral("Label_keep");
const QString kFieldsLabel = QStringLiteral("Label_fields");
const QString kValueLabel = QStringLiteral("Label_value");
const QString kMoreLabel = QStringLiteral("Label_more");
const QString kHintLabel = QStringLiteral("Label_hint");
const QString kCloseButton = QStringLiteral("Button_close");
const QString kMergeButton = QStringLiteral("Button_merge");
const QString kKeepBox = QStringLiteral("Combo_keep");
const QString kValueBox = QStringLiteral("Combo_value");
const QString kMemberList = QStringLiteral("List_members");
const QString kFieldList = QStringLiteral("List_fields");
const QString kGroupList = QStringLiteral("List_1");

const Texts kGroupsCaption{"Gruppen wahrscheinlich doppelter Einträge",
                           "Groups of likely duplicates", "Grupos de prováveis duplicados"};
const Texts kMergeCaption{"Zusammenführen", "Merge", "Unir"};
const Texts kMembersCaption{"Einträge der Gruppe (angehakt: dieselbe Person):",
                            "Records of the group (ticked: the same person):",
                            "Registros do grupo (marcados: a mesma pessoa):"};
const Texts kKeepCaption{"Behalten wird:", "Keep:", "Manter:"};
const Texts kFieldsCaption{"Felder mit verschiedenen Werten:", "Fields with differing values:",
                           "Campos com valores diferentes:"};
const Texts kValueCaption{"Gewählter Wert:", "Value kept:", "Valor mantido:"};
const Texts kHint{
    "Wo die Einträge verschiedene Werte haben, gilt der gewählte. Notizen werden "
    "zusammengefügt, die anderen angehakten Einträge gelöscht; was nicht angehakt "
    "ist, bleibt, wie es ist.",
    "Where the records differ, the value chosen is kept. The notes are joined, the "
    "other ticked records deleted; what is not ticked stays as it is.",
    "Onde os registros diferem, vale o valor escolhido. As notas são unidas, os "
    "outros registros marcados apagados; o que não está marcado fica como está."};
const Texts kGroupFound{"%1 Gruppe gefunden", "%1 group found", "%1 grupo encontrado"};
const Texts kGroupsFound{"%1 Gruppen gefunden", "%1 groups found", "%1 grupos encontrados"};
const Texts kNoneFound{"Keine doppelten Einträge gefunden.", "No duplicates found.",
                       "Nenhum duplicado encontrado."};
const Texts kNoDifference{"Keine Felder mit verschiedenen Werten.",
                          "No fields with differing values.",
                          "Nenhum campo com valores diferentes."};
const Texts kFieldDiffers{"%1 Feld hat verschiedene Werte.", "%1 field differs.",
                          "%1 campo tem valores diferentes."};
const Texts kFieldsDiffer{"%1 Felder haben verschiedene Werte.", "%1 fields differ.",
                          "%1 campos têm valores diferentes."};
const Texts kTickTwo{"Bitte mindestens zwei Einträge anhaken, die dieselbe Person sind.",
                     "Please tick at least two records that are the same person.",
                     "Marque pelo menos dois registros que sejam a mesma pessoa."};
// %1 the count, %2 the record kept.
const Texts kMergedOne{"Zusammengeführt: „%2“ behalten, %1 Eintrag gelöscht.",
                       "Merged: \"%2\" kept, %1 record deleted.",
                       "Unidos: \"%2\" mantido, %1 registro apagado."};
const Texts kMergedMany{"Zusammengeführt: „%2“ behalten, %1 Einträge gelöscht.",
                        "Merged: \"%2\" kept, %1 records deleted.",
                        "Unidos: \"%2\" mantido, %1 registros apagados."};
const Texts kPrivateWord{"Privat", "Private", "Amigos"};
const Texts kBusinessWord{"Firmen", "Business", "Comercial"};

// The place of the controls: the window's size as defined is its smallest.
constexpr int kWidth = 860;
constexpr int kHeight = 600;
constexpr int kTitleBar = 27;
constexpr int kGroupsWidth = 300;
constexpr int kLine = 24;  // a closed combo box

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
    QStringList captions[2];         // of the extra fields, by book
    QList<int> ticked;               // the shown group's ticked members (indexes into members)
    QHash<QString, QString> chosen;  // field → value the user chose for the merge
    bool filling = false;            // controls being filled: their change actions wait
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

// The member in full: its name, then every field it fills with its caption
// (a yes field by its caption alone), the notes' lines joined by " / ".
QString MemberInFull(const Member& m) {
    QStringList filled;
    for (const QString& field : AddressFieldsOf(m.kind)) {
        if (field == QStringLiteral("VORNAME") || field == QStringLiteral("NACHNAME")) continue;
        const QVariant value = m.values.value(field);
        QString text = MergeText(value);
        if (text.isEmpty()) continue;
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
        text.replace(u'\n', QStringLiteral(" / "));
        filled.append(value.typeId() == QMetaType::Bool
                          ? Caption(m.kind, field)
                          : Caption(m.kind, field) + QStringLiteral(": ") + text);
    }
    return MemberName(m) +
           (filled.isEmpty() ? QString() : u'\n' + filled.join(QStringLiteral("; ")));
}

// The person a record is: a private record by its first and last name, a
// business record by its contact person, or by the company without one.
ContactKeys KeysOf(const Member& m) {
    const auto text = [&m](const char* field) { return m.values.value(field).toString(); };
    if (m.kind == AddressBookKind::Private)
        return {.firstName = text("VORNAME"),
                .lastName = text("NACHNAME"),
                .emails = {text("EMAIL"), text("EMAILFIRMA")},
                .phones = {text("TEL"), text("HANDY")},
                .birthday = m.values.value("GEBURTSTAG").toDate()};
    const QString contact = text("NACHNAME").trimmed();
    return {.firstName = {},
            .lastName = contact.isEmpty() ? text("VORNAME") : contact,
            .emails = {text("EMAIL")},
            .phones = {text("TEL"), text("HANDY"), text("TELFIRMA")},
            .birthday = {}};
}

void Gather() {
    State& s = S();
    s.members.clear();
    QList<ContactKeys> keys;
    for (const AddressBookKind kind : {AddressBookKind::Private, AddressBookKind::Business}) {
        const QString alias = AliasOf(kind);
        DBSELECTAREA(alias);
        DBEVALLIVE([&] {
            Member m{kind, RECNO(), {}};
            for (const QString& field : AddressFieldsOf(kind)) {
                const QVariant value = FIELD(alias + "->" + field);
                m.values[field] = value.typeId() == QMetaType::QString
                                      ? QVariant(value.toString().trimmed())
                                      : value;
            }
            keys.append(KeysOf(m));
            s.members.append(m);
        });
    }
    s.groups = DuplicateGroups(keys);
}

int ShownGroup() {
    const int shown = GETPROPERTY(kWindow, kGroupList, "value").toInt() - 1;
    return shown >= 0 && shown < S().groups.size() ? shown : -1;
}

// The ticked member to keep: its place in S().ticked.
int KeptMember() {
    const int kept = GETPROPERTY(kWindow, kKeepBox, "value").toInt() - 1;
    return std::clamp(kept, 0, std::max(0, int(S().ticked.size()) - 1));
}

// The group's values as the kept record's book has them: members of the
// other book without its own extra fields, which go to `memoLines`.
struct Projection {
    AddressBookKind kind;
    QStringList fields;
    QList<AddressValues> values;
    QStringList memoLines;
};

Projection Project(const QList<int>& members, int kept) {
    const AddressBookKind kind = S().members[members[kept]].kind;
    Projection p{kind, AddressFieldsOf(kind), {}, {}};
    for (const int index : members) {
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

// The choices of the ticked members, each with the value the merge keeps.
struct Choices {
    AddressBookKind kind = AddressBookKind::Private;
    QList<MergeChoice> fields;
    QHash<QString, QString> kept;  // field → value
};

Choices CurrentChoices() {
    Choices c;
    if (S().ticked.size() < 2) return c;
    const int kept = KeptMember();
    const Projection p = Project(S().ticked, kept);
    c.kind = p.kind;
    c.fields = MergeChoices(p.values, p.fields);
    for (const MergeChoice& choice : c.fields) {
        QString value = S().chosen.value(choice.field);
        if (!choice.values.contains(value)) {
            const QString own = MergeText(p.values[kept].value(choice.field));
            value = own.isEmpty() ? choice.values.first() : own;
        }
        c.kept[choice.field] = value;
    }
    return c;
}

void ShowValues() {
    const Choices c = CurrentChoices();
    const int field = GETPROPERTY(kWindow, kFieldList, "value").toInt() - 1;
    S().filling = true;
    DOMETHOD(kWindow, kValueBox, "DeleteAllItems");
    if (field >= 0 && field < c.fields.size()) {
        const MergeChoice& choice = c.fields[field];
        for (const QString& value : choice.values)
            DOMETHOD(kWindow, kValueBox, "AddItem", value);
        SETPROPERTY(kWindow, kValueBox, "value",
                    int(choice.values.indexOf(c.kept[choice.field])) + 1);
    }
    SETPROPERTY(kWindow, kValueBox, "enabled", field >= 0 && field < c.fields.size());
    S().filling = false;
}

void ShowChoices() {
    const Choices c = CurrentChoices();
    const int current = GETPROPERTY(kWindow, kFieldList, "value").toInt();
    S().filling = true;
    DOMETHOD(kWindow, kFieldList, "DeleteAllItems");
    for (const MergeChoice& choice : c.fields)
        DOMETHOD(kWindow, kFieldList, "AddItem",
                 Caption(c.kind, choice.field) + QStringLiteral(": ") + c.kept[choice.field]);
    if (!c.fields.isEmpty())
        SETPROPERTY(kWindow, kFieldList, "value", std::clamp(current, 1, int(c.fields.size())));
    S().filling = false;
    QString more;
    if (S().ticked.size() >= 2)
        more = c.fields.isEmpty() ? TEXT(kNoDifference)
                                  : COUNTED(int(c.fields.size()), kFieldDiffers, kFieldsDiffer);
    SETPROPERTY(kWindow, kMoreLabel, "value", more);
    SETPROPERTY(kWindow, kMergeButton, "enabled", S().ticked.size() >= 2);
    ShowValues();
}

void ValueChosen() {
    if (S().filling) return;
    const Choices c = CurrentChoices();
    const int field = GETPROPERTY(kWindow, kFieldList, "value").toInt() - 1;
    const int value = GETPROPERTY(kWindow, kValueBox, "value").toInt() - 1;
    if (field < 0 || field >= c.fields.size()) return;
    const MergeChoice& choice = c.fields[field];
    if (value < 0 || value >= choice.values.size()) return;
    S().chosen[choice.field] = choice.values[value];
    SETPROPERTY(kWindow, kFieldList, "item", field + 1,
                Caption(c.kind, choice.field) + QStringLiteral(": ") + choice.values[value]);
}

void FieldChanged() {
    if (!S().filling) ShowValues();
}

void KeepChanged() {
    if (!S().filling) ShowChoices();
}

// The keep choice offers the ticked members; the one kept stays while it is ticked.
void TicksChanged() {
    if (S().filling) return;
    const int group = ShownGroup();
    if (group < 0) return;
    const int keptBefore = S().ticked.isEmpty() ? -1 : S().ticked.value(KeptMember());
    S().ticked.clear();
    const QList<int>& members = S().groups[group];
    for (int i = 0; i < members.size(); ++i)
        if (GETPROPERTY(kWindow, kMemberList, "checked", i + 1).toBool())
            S().ticked.append(members[i]);
    S().filling = true;
    DOMETHOD(kWindow, kKeepBox, "DeleteAllItems");
    for (const int index : S().ticked)
        DOMETHOD(kWindow, kKeepBox, "AddItem", MemberName(S().members[index]));
    SETPROPERTY(kWindow, kKeepBox, "value",
                S().ticked.isEmpty() ? 0 : std::max<int>(1, S().ticked.indexOf(keptBefore) + 1));
    SETPROPERTY(kWindow, kKeepBox, "enabled", S().ticked.size() >= 2);
    S().filling = false;
    ShowChoices();
}

void ShowGroup() {
    if (S().filling) return;
    const int group = ShownGroup();
    S().filling = true;
    S().chosen.clear();
    S().ticked.clear();
    DOMETHOD(kWindow, kMemberList, "DeleteAllItems");
    if (group >= 0) {
        const QList<int>& members = S().groups[group];
        for (int i = 0; i < members.size(); ++i) {
            DOMETHOD(kWindow, kMemberList, "AddItem", MemberInFull(S().members[members[i]]));
            SETPROPERTY(kWindow, kMemberList, "checked", i + 1, true);
        }
        SETPROPERTY(kWindow, kMemberList, "value", 1);
    }
    S().filling = false;
    TicksChanged();
    if (group < 0) {
        DOMETHOD(kWindow, kKeepBox, "DeleteAllItems");
        SETPROPERTY(kWindow, kKeepBox, "enabled", false);
        ShowChoices();
    }
}

void FillGroups() {
    S().filling = true;
    DOMETHOD(kWindow, kGroupList, "DeleteAllItems");
    for (const QList<int>& group : S().groups) {
        QStringList names;
        for (const int index : group)
            names.append(MemberName(S().members[index]));
        DOMETHOD(kWindow, kGroupList, "AddItem", names.join(QStringLiteral(" · ")));
    }
    if (!S().groups.isEmpty()) SETPROPERTY(kWindow, kGroupList, "value", 1);
    const int found = int(S().groups.size());
    SETPROPERTY(kWindow, kCountLabel, "value",
                found == 0 ? TEXT(kNoneFound) : COUNTED(found, kGroupFound, kGroupsFound));
    S().filling = false;
    ShowGroup();
}

// The table file of a book the calling window does not show; empty for its own.
QString TableForUndo(AddressBookKind kind) {
    return kind == S().callerKind ? QString() : THE_DATA_PATH + BookOf(kind).table;
}

// Writes the merge: the kept record changed (its earlier version kept as a
// deleted copy), the other ticked members deleted. What was written is noted
// in `noted`, also when a write is refused half-way.
void WriteMerge(const Member& keeper, const QStringList& fields, const AddressValues& merged,
                const QList<int>& others, QList<NotedRecord>& noted) {
    const QString keptAlias = AliasOf(keeper.kind);
    DBSELECTAREA(keptAlias);
    const int earlier = KeepEarlierVersion(keeper.record);
    DBGOTO(keeper.record);
    for (const QString& field : fields)
        REPLACE(keptAlias + "->" + field, merged.value(field));
    DBCOMMIT();
    noted.append({keeper.record, earlier, TableForUndo(keeper.kind)});
    for (const int index : others) {
        const Member& gone = S().members[index];
        DBSELECTAREA(AliasOf(gone.kind));
        DBGOTO(gone.record);
        DBDELETE();
        DBCOMMIT();
        noted.append({gone.record, 0, TableForUndo(gone.kind)});
    }
}

void Merge() {
    if (S().ticked.size() < 2) {
        MSGEXCLAMATION(TEXT(kTickTwo), THE_APP_NAME);
        return;
    }
    const QList<int> members = S().ticked;
    const int kept = KeptMember();
    const Projection p = Project(members, kept);
    const Choices c = CurrentChoices();
    const AddressValues merged = MergedRecord(p.values, kept, p.fields, c.kept, p.memoLines);
    const Member keeper = S().members[members[kept]];
    QList<int> others = members;
    others.removeAt(kept);
    QList<NotedRecord> noted;
    // Ctrl+Z in the calling window takes the whole merge back at once.
    const auto note = [&noted] {
        if (!noted.isEmpty()) NoteStep(*S().caller, ShownWorkArea(*S().caller), noted);
    };
    try {
        WriteMerge(keeper, p.fields, merged, others, noted);
    } catch (const kesp::WriteFailure& failure) {
        note();
        Gather();
        FillGroups();
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure), THE_APP_NAME);
        return;
    }
    note();
    Gather();
    FillGroups();
    const int deleted = int(others.size());
    MSGBOX(COUNTED(deleted, kMergedOne, kMergedMany).arg(MemberName(keeper)), THE_APP_NAME);
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
    StepsToTheEnd after;
    after.Run([&caller] { ShowTableAgain(caller); });
    DBSELECTAREA(caller.workArea);
    RefreshRecordWindow(caller);
    after.TellSavedAnyway(*caller.messageTitle);
}

void Label(const QString& name, const QString& value = {}, bool bold = false) {
    _DEFINELABEL(name, {.height = 20, .value = value, .bold = bold, .background = Qt::white});
}

void Place(const QString& control, int row, int col, int width, int height) {
    SETPROPERTY(kWindow, control, "row", row);
    SETPROPERTY(kWindow, control, "col", col);
    SETPROPERTY(kWindow, control, "width", width);
    SETPROPERTY(kWindow, control, "height", height);
}

// The controls for the window's size: the lists take what the window gains,
// the members' list most of it.
void PlaceControls() {
    const int width = std::max(kWidth, GETPROPERTY(kWindow, "width").toInt());
    const int height = std::max(kHeight, GETPROPERTY(kWindow, "height").toInt()) - kTitleBar;
    const int bottom = height - 45;  // the buttons' row
    Place(kGroupsLabel, 10, 10, kGroupsWidth, 20);
    Place(kGroupList, 35, 10, kGroupsWidth, bottom - 35 - 35);
    Place(kCountLabel, bottom - 28, 10, kGroupsWidth, 20);

    const int frameCol = kGroupsWidth + 20;
    const int col = frameCol + 10;
    const int inner = width - frameCol - 30;
    Place(kGroupFrame, 10, frameCol, width - frameCol - 10, bottom - 20);
    const int fixed = 57 + 8 + 28 + 24 + 6 + 28 + 24 + 60 + 10;
    const int lists = std::max(120, bottom - 10 - fixed);
    const int membersHeight = lists * 3 / 5;
    Place(kMembersLabel, 35, col, inner, 20);
    Place(kMemberList, 57, col, inner, membersHeight);
    int row = 57 + membersHeight + 8;
    Place(kKeepLabel, row, col, 140, 20);
    Place(kKeepBox, row, col + 145, inner - 145, kLine);
    row += 28;
    Place(kFieldsLabel, row, col, inner, 20);
    row += 24;
    Place(kFieldList, row, col, inner, lists - membersHeight);
    row += lists - membersHeight + 6;
    Place(kValueLabel, row, col, 140, 20);
    Place(kValueBox, row, col + 145, inner - 145, kLine);
    row += 28;
    Place(kMoreLabel, row, col, inner, 20);
    row += 24;
    Place(kHintLabel, row, col, inner, 56);
    Place(kMergeButton, bottom, width - 260, 120, 28);
    Place(kCloseButton, bottom, width - 130, 120, 28);
}

// Defined anew at every opening, in the language in force.
void DefineWindow() {
    _DEFINEMODALWINDOW(kWindow, {.title = TEXT(kFindDuplicatesText),
                                 .width = kWidth,
                                 .height = kHeight,
                                 .icon = "img/hauptuser.ico",
                                 .onInit = Begin,
                                 .onRelease = End,
                                 .resizable = true,
                                 .onResize = PlaceControls});
    Label(kGroupsLabel, TEXT(kGroupsCaption), true);
    _DEFINELISTBOX(kGroupList, {.onChange = ShowGroup, .wrap = true});
    Label(kCountLabel);
    _DEFINEFRAME(
        kGroupFrame,
        {.caption = TEXT(kMergeCaption), .bold = true, .background = Qt::white, .tabGroup = true});
    Label(kMembersLabel, TEXT(kMembersCaption), true);
    _DEFINELISTBOX(kMemberList, {.checkable = true, .onCheck = TicksChanged, .wrap = true});
    Label(kKeepLabel, TEXT(kKeepCaption), true);
    _DEFINECOMBOBOX(kKeepBox, {.height = 200, .onChange = KeepChanged});
    Label(kFieldsLabel, TEXT(kFieldsCaption), true);
    _DEFINELISTBOX(kFieldList, {.onChange = FieldChanged});
    Label(kValueLabel, TEXT(kValueCaption), true);
    _DEFINECOMBOBOX(kValueBox, {.height = 200, .onChange = ValueChosen});
    Label(kMoreLabel);
    Label(kHintLabel, TEXT(kHint));
    _DEFINEBUTTON(kMergeButton, {.caption = TEXT(kMergeCaption), .action = Merge});
    _DEFINEBUTTON(kCloseButton,
                  {.caption = TEXT(kCloseCaption), .action = [] { RELEASEWINDOW(kWindow); }});
    PlaceControls();
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
