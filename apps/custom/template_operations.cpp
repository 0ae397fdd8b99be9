// The seven templates applied in either window: in the naming window they
// only fill its boxes and title (nothing is stored until its Save); in the
// records window they rename the open window and store the names at once.
#include "apps/common/record_steps.h"
#include "apps/custom/custom_database.h"
#include "apps/custom/custom_operations.h"
#include "apps/custom/database_templates.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

namespace {

const DatabaseTemplate& Template(int number) {
    return DatabaseTemplates()[number - 1];
}

void FillNamingBoxes(const DatabaseTemplate& chosen) {
    const QString& window = MyAppNaming().window;
    QStringList typed;
    for (int n = 1; n <= kNamedFields; ++n)
        typed.append(GETPROPERTY(window, "Text_" + QString::number(n), "value").toString());
    if (!MayReplaceNames(typed)) return;
    const QStringList names = TemplateNames(chosen);
    for (int n = 1; n <= kNamedFields; ++n)
        SETPROPERTY(window, "Text_" + QString::number(n), "value", names[n - 1]);
    SETPROPERTY(window, "Text_11", "value",
                TEXT(IsBlank(chosen.nameInBox) ? chosen.application : chosen.nameInBox));
    SETPROPERTY(window, "Title", TEXT(chosen.application));
}

// The records, the count lines, the search boxes and the title of the
// window's messages stay as they are until the window opens again.
void RenameRecordsWindow(const DatabaseTemplate& chosen) {
    const RecordWindow& myApp = MyApp();
    DBSELECTAREA("b");
    const QStringList stored = ReadMyAppNames("mynamesnow");
    DBSELECTAREA(myApp.workArea);
    if (!MayReplaceNames(stored)) return;
    const QStringList names = TemplateNames(chosen);
    SetUserCaptions(myApp, names);
    for (int column = 1; column <= 2; ++column)
        SETPROPERTY(myApp.window, myApp.list.name, "header", column,
                    TemplateHeader(chosen, column));
    SETPROPERTY(myApp.window, "Label_8", "value", TEXT(chosen.searchHint));
    DBSELECTAREA("b");
    StoreMyAppNames(names);
    TellKindRenamed(MyAppKind(), names.last());
    DBSELECTAREA(myApp.workArea);
}

}  // namespace

void VOR_LITER() {
    KESP_OPERATION();
    FillNamingBoxes(Template(1));
}

void VOR_VERSICHERUNG() {
    KESP_OPERATION();
    FillNamingBoxes(Template(2));
}

void VOR_KOCH() {
    KESP_OPERATION();
    FillNamingBoxes(Template(3));
}

void VOR_KFZ() {
    KESP_OPERATION();
    FillNamingBoxes(Template(4));
}

void VOR_CDS() {
    KESP_OPERATION();
    FillNamingBoxes(Template(5));
}

void VOR_VIDEOS() {
    KESP_OPERATION();
    FillNamingBoxes(Template(6));
}

void VOR_SAMMLUNGEN() {
    KESP_OPERATION();
    FillNamingBoxes(Template(7));
}

void VOR_LITER2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(1));
}

void VOR_VERSICHERUNG2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(2));
}

void VOR_KOCH2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(3));
}

void VOR_KFZ2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(4));
}

void VOR_CDS2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(5));
}

void VOR_VIDEOS2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(6));
}

void VOR_SAMMLUNGEN2() {
    KESP_OPERATION();
    RenameRecordsWindow(Template(7));
}
