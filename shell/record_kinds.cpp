#include "shell/record_kinds.h"

#include "apps/addresses/business_addresses.h"
#include "apps/addresses/private_addresses.h"
#include "apps/agenda/agenda.h"
#include "apps/birthdays/birthdays.h"
#include "apps/bookmarks/bookmarks.h"
#include "apps/custom/custom_database.h"
#include "apps/notes/notes.h"
#include "apps/projects/projects.h"
#include "apps/tips/tips.h"
#include "apps/words/word_list.h"
#include "store/fault.h"

const QList<PlacedKind>& PlacedKinds() {
    static const QList<PlacedKind> kinds{
        {&PrivateAddressesKind(), {170, "Button_1", "Button_5", "lbl_1", 210, 20, 0}},
        {&BirthdaysKind(), {200, "Button_4", "Button_6", "lbl_2", 210, 20, 10}},
        {&BusinessAddressesKind(), {230, "Button_2", "Button_9", "lbl_3", 210, 20, 20}},
        {&AgendaKind(), {290, "Button_13", "Button_10", "lbl_4", 210, 25, 30}},
        {&NotesKind(), {320, "Button_14", "Button_11", "lbl_5", 210, 20, 40}},
        {&ProjectsKind(), {350, "Button_15", "Button_12", "lbl_6", 210, 25, 50}},
        {&BookmarksKind(), {490, "Button_19", "Button_16", "lbl_7", 120, 20, 50}},
        {&TipsKind(), {520, "Button_20", "Button_17", "lbl_8", 120, 20, 60}},
        {&WordsKind(), {550, "Button_21", "Button_18", "lbl_9", 120, 20, 70}},
        {&MyAppKind(), {610, "Button_27", "Button_24", "lbl_12", 120, 15, 100}},
    };
    return kinds;
}

const QList<RecordKind>& RecordKinds() {
    static const QList<RecordKind> kinds = [] {
        QList<RecordKind> all;
        for (const PlacedKind& placed : PlacedKinds())
            all.append(*placed.kind);
        return all;
    }();
    return kinds;
}

QList<const RecordKind*> KindsWithTablesOfTheirOwn() {
    QList<const RecordKind*> kinds;
    for (const RecordKind& kind : RecordKinds())
        if (kind.viewOf.isEmpty()) kinds.append(&kind);
    return kinds;
}

const RecordKind& RecordKindNamed(const QString& id) {
    for (const RecordKind& kind : RecordKinds())
        if (kind.id == id) return kind;
    kesp::RaiseFault({.subsystem = "KESP",
                      .description = "No record kind",
                      .detail = "the catalogue holds no kind \"" + id + "\""});
}
