// The own application's records window: its description and its named
// operations, each a step of the shared record window. Its field captions,
// list headers and title are the names stored in the names table.
#include "apps/custom/custom_database.h"

#include "apps/common/quick_search.h"
#include "apps/common/record_export.h"
#include "apps/common/record_steps.h"
#include "apps/custom/custom_operations.h"
#include "apps/custom/database_templates.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"
#include "toolkit/operation_trail.h"

namespace {

const QString kWindow = "myapp_frm";
const Texts kMatchWords{" gefunden", " found", " encontrado(s)"};

// In the order the fields are written and exported; caption n is the n-th
// stored name.
FieldRows MyAppRows() {
    auto text = [](int n, Box at, Box captionAt) {
        return FieldRow{.control = "Text_" + QString::number(n),
                        .field = QString("FREE%1").arg(n, 2, 10, QChar('0')),
                        .at = at,
                        .inputLimit = 150,
                        .captionLabel = "Label_" + QString::number(n),
                        .captionAt = captionAt,
                        .userCaption = n};
    };
    auto yesNo = [](int n, int row) {
        return FieldRow{.control = "Check_" + QString::number(n - 5),
                        .field = QString("FREE%1").arg(n, 2, 10, QChar('0')),
                        .kind = FieldKind::Logical,
                        .at = {row, 500, 160},
                        .userCaption = n};
    };
    return {text(1, {100, 300, 180}, {80, 300, 190}),
            text(2, {100, 490, 180}, {80, 490, 180}),
            text(3, {150, 300, 180}, {130, 300, 190}),
            text(4, {150, 490, 180}, {130, 490, 180}),
            text(5, {200, 300, 180}, {180, 300, 180}),
            yesNo(6, 200),
            yesNo(7, 220),
            yesNo(8, 240),
            {.control = "DatePicker_1",
             .field = "FREE09",
             .kind = FieldKind::Date,
             .at = {250, 300, 120},
             .captionLabel = "Label_9",
             .captionAt = {230, 300, 180},
             .onNew = OnNew::Today,
             .userCaption = 9},
            {.control = "Edit_1",
             .field = "FREE10",
             .kind = FieldKind::Memo,
             .at = {300, 300, 370, 100},
             .captionLabel = "Label_10",
             .captionAt = {280, 300, 370},
             .userCaption = 10}};
}

RecordWindow DescribeMyApp() {
    RecordWindow myApp;
    myApp.window = kWindow;
    myApp.titleUserCaption = kNamedFields + 1;
    myApp.icon = "img/myform.ico";
    myApp.place = {.width = 700, .height = 560};
    myApp.messageTitle = &THE_APP_NAME2;
    myApp.table = "kespfree.dbf";
    myApp.alias = "myapp";
    myApp.indexes = {{"ifree02", KeyForm::Upper, "free02"}, {"ifree01", KeyForm::Upper, "free01"}};
    myApp.normalOrder = "ifree01";
    myApp.fields = MyAppRows();
    myApp.list = {.name = "Browse_2",
                  .at = {100, 10, 270, 290},
                  .columns = {{.field = "free01", .width = 130, .userCaption = 1},
                              {.field = "free02", .width = 130, .userCaption = 2}}};
    myApp.searches = {
        {.box = "txt_suche_1", .at = {60, 10, 130, 20}, .index = "ifree01", .run = SUCHE_1_MYAPP},
        {.box = "txt_suche_2", .at = {60, 150, 130, 20}, .index = "ifree02", .run = SUCHE_2_MYAPP}};
    myApp.resultLine = {.name = "Label_91",
                        .at = {80, 10, 270, 20},
                        .found = kMatchWords,
                        .miss = Texts{"0 ", "0 ", "0 "}};
    myApp.countLine = {.name = "Label_11",
                       .at = {390, 10, 270, 20},
                       .words = {" Daten in der Datenbank", " records in the database",
                                 " registros no banco de dados"}};
    myApp.frames = {{.name = "Frame_1",
                     .at = {30, 290, 390, 380},
                     .caption = {"Details", "Details", "Detalhes"}},
                    {.name = "Frame_2",
                     .at = {180, 490, 180, 90},
                     .caption = {"Ja / Nein Felder", "Yes / No fields", "Campos sim / não"},
                     // Read after the fields to its left: the date comes before "borrowed".
                     .tabGroup = true}};
    myApp.labels = {
        {.name = "Label_8", .at = {40, 10, 270, 20}},
        {.name = "lbl_vorlage1",
         .at = {420, 10, 670, 30},
         .text = {"Benutzen Sie die Vorlagen (unten) um eine andere Anwendung zu erstellen oder, "
                  "gehen Sie im Hauptformular ( unter [Freie Felder benennen] ) und erstellen Sie "
                  "eine ganz persönliche Anwendung.",
                  "Use some pattern (below) or, go to the Main form and click on [Set free "
                  "fields] to personalize your application.",
                  "Utilize os modelos (abaixo) para criar um aplicativo ou, vá ao formulário "
                  "principal ( em [Definir campos livres] ) e gere um aplicativo totalmente a seu "
                  "gosto."}},
        {.name = "lbl_vorlage2",
         .at = {450, 255, 150, 15},
         .text = {"Vorlagen", "Pattern ", "Modelos"}}};
    myApp.toolbar.insert = {"Daten hinzufügen", "Insert", "Inserir"};
    myApp.entryButtons.saveAt = {45, 440, 40, 28};
    myApp.entryButtons.cancelAt = {45, 490, 40, 28};
    myApp.readUserCaptions = [] { return ReadMyAppNames("myfields"); };
    const Texts fieldWord{"Feld: ", "Field: ", "Campo: "};
    myApp.required = {
        .control = "Text_1",
        .onSaveNew = {fieldWord,
                      {" darf nicht leer sein!", " cannot be empty!", " não pode estar vazio!"}},
        .onSave = {fieldWord, {" darf nicht leer sein!", " cannot be empty!", " está vazio!"}},
        .namesCaption = true};
    myApp.savedNewMessage = {"Daten wurden gespeichert!", "Data saved!", "O registro foi salvo!"};
    myApp.deleteQuestion = {.field = "FREE01",
                            .wording = {.before = {"Daten: ", "Delete data: ", "Apagar o dado: "},
                                        .after = {" löschen?", " ?", " ?"}}};
    myApp.exportFile.fileName = {"Myapp.CSV", "Myapp.CSV", "Myapp.CSV"};
    myApp.exportFile.createdMessage = {"Datei Myapp.csv wurde erstellt.", "File Myapp.csv created.",
                                       "Arquivo Myapp.csv foi criado."};
    myApp.actions = {.open = OPENMYAPP,
                     .fill = MYAPP_AKTUALISIEREN,
                     .first = T_FIRST_MYAPP,
                     .previous = T_PREV_MYAPP,
                     .next = T_NEXT_MYAPP,
                     .last = T_LAST_MYAPP,
                     .newRecord = T_NEW_MYAPP_P,
                     .deleteRecord = T_DELETE_MYAPP,
                     .exportCsv = EXPORT_MYAPP,
                     .save = T_SAVE_MYAPP,
                     .saveNew = T_NEW_MYAPP,
                     .cancel = T_CANCEL_MYAPP};
    return myApp;
}

// A name longer than 15 characters is cut to 14 and "..." in the hint.
QString Shortened(const QString& name) {
    return name.size() > 15 ? name.left(14) + "..." : name;
}

QString SearchHint(const QString& name1, const QString& name2) {
    return TEXT({"Suche in ", "search: ", "procurar em "}) + Shortened(name1) +
           TEXT({" bzw. ", " or ", " ou "}) + Shortened(name2);
}

void ShowMatchCount(int matches) {
    SETPROPERTY(kWindow, "Label_91", "value", QString::number(matches) + TEXT(kMatchWords));
}

// The records the list presents now, under a search filter only the matches.
int PresentedRecords() {
    const int presented = CountPresentedRecords();
    DBGOTOP();
    return presented;
}

}  // namespace

const RecordWindow& MyApp() {
    static const RecordWindow myApp = DescribeMyApp();
    return myApp;
}

void OPENFORM_MYAPP() {
    KESP_OPERATION();
    ShowRecordWindow(MyApp());
}

void OPENMYAPP() {
    KESP_OPERATION();
    const int records =
        OpenRecordWindow(MyApp());  // the stored names become captions, headers and title
    THE_APP_NAME2 = GETPROPERTY(kWindow, "Title").toString();
    SETPROPERTY(kWindow, "Label_8", "value",
                SearchHint(GETPROPERTY(kWindow, "Label_1", "caption").toString(),
                           GETPROPERTY(kWindow, "Label_2", "caption").toString()));
    ShowMatchCount(records);
    BuildTemplateToolbar(kWindow, "ToolBar_2",
                         {VOR_LITER2, VOR_VERSICHERUNG2, VOR_KOCH2, VOR_KFZ2, VOR_CDS2, VOR_VIDEOS2,
                          VOR_SAMMLUNGEN2});
}

void MYAPP_AKTUALISIEREN() {
    KESP_OPERATION();
    FillRecordWindow(MyApp());
}

void T_FIRST_MYAPP() {
    KESP_OPERATION();
    GoFirstRecord(MyApp());
}

void T_PREV_MYAPP() {
    KESP_OPERATION();
    GoPreviousRecord(MyApp());
}

void T_NEXT_MYAPP() {
    KESP_OPERATION();
    GoNextRecord(MyApp());
}

void T_LAST_MYAPP() {
    KESP_OPERATION();
    GoLastRecord(MyApp());
}

void T_NEW_MYAPP_P() {
    KESP_OPERATION();
    EnterNewRecord(MyApp());
}

void T_CANCEL_MYAPP() {
    KESP_OPERATION();
    CancelNewRecord(MyApp());
}

void T_NEW_MYAPP() {
    KESP_OPERATION();
    // After a new record the list narrows again by the text of search 1,
    // whichever search was in force before.
    if (SaveNewRecord(MyApp())) QuickSearchRecords(MyApp(), "txt_suche_1");
}

void T_SAVE_MYAPP() {
    KESP_OPERATION();
    SaveCurrentRecord(MyApp());
}

void T_DELETE_MYAPP() {
    KESP_OPERATION();
    if (DeleteCurrentRecord(MyApp())) ShowMatchCount(PresentedRecords());
}

void SUCHE_1_MYAPP() {
    KESP_OPERATION();
    QuickSearchRecords(MyApp(), "txt_suche_1");
}

void SUCHE_2_MYAPP() {
    KESP_OPERATION();
    QuickSearchRecords(MyApp(), "txt_suche_2");
}

void EXPORT_MYAPP() {
    KESP_OPERATION();
    ExportVisibleRecords(MyApp());
}

const RecordKind& MyAppKind() {
    static const RecordKind kind{
        .id = "custom",
        .table = MyApp().table,
        .otherTables = {MyAppNaming().table},
        .memoFile = MemoFileOf(MyApp().table),
        .name = {"Eigene Anwendung", "My own application", "Meu próprio aplicativo"},
        .picture = "img/myform.bmp",
        .open = OPENFORM_MYAPP,
        .nameTemplate = "{FREE01}",
        .nameCaption = 1,
        .searchFields = {"FREE01", "FREE02", "FREE03", "FREE04", "FREE05", "FREE10"},
        .userCaptions = UserCaptions{.table = MyAppNaming().table,
                                     .captionFields = NumberedFields("FREE", 2),
                                     .fields = NumberedFields("FREE", 2),
                                     .applicationName = "APPNAME"},
        .dates = {{.field = "FREE09", .meaning = DateMeaning::Named, .userCaption = 9}},
        .statistics = {{.status = {"[Daten] wird aktualisiert", "Update [Data]",
                                   "[Dados] estão sendo atualizados"},
                        .suffix = {" [Daten]", " [Data]", " [Dados]"}}}};
    return kind;
}
