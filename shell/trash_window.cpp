#include "shell/trash_window.h"

#include "kernel/public_variables.h"
#include "kernel/search_folding.h"
#include "kernel/t_close.h"
#include "kernel/texts.h"
#include "shell/list_window.h"
#include "shell/statistics.h"
#include "shell/trash.h"
#include "store/fault.h"
#include "store/xbase.h"
#include "toolkit/action_dispatch.h"
#include "toolkit/control.h"
#include "toolkit/form_window.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QKeyEvent>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString kWindow = QStringLiteral("papierkorb");
const QString kSearchBox = QStringLiteral("s_papier");
const QString kCountLine = QStringLiteral("Label_2");
const QString kRestoreButton = QStringLiteral("Button_1");
const QString kEmptyButton = QStringLiteral("Button_2");

const Texts kTitle{"Papierkorb", "Trash", "Lixeira"};
const Texts kSearch{"Suchen:", "Search:", "Procurar:"};
const Texts kApplication{"Anwendung", "Application", "Aplicativo"};
const Texts kRecord{"Eintrag", "Record", "Registro"};
const Texts kDeleted{"Gelöscht am", "Deleted on", "Excluído em"};
const Texts kRestore{"Wiederherstellen", "Restore", "Restaurar"};
const Texts kEmpty{"Papierkorb leeren", "Empty trash", "Esvaziar lixeira"};
const Texts kCountOne{"%1 Eintrag der letzten %2 Tage", "%1 record of the last %2 days",
                      "%1 registro dos últimos %2 dias"};
const Texts kCount{"%1 Einträge der letzten %2 Tage", "%1 records of the last %2 days",
                   "%1 registros dos últimos %2 dias"};
const Texts kChooseFirst{"Bitte zuerst die Einträge wählen, die zurückkommen sollen.",
                         "Please choose the records to bring back first.",
                         "Escolha primeiro os registros que devem voltar."};
const Texts kRestoredOne{"%1 Eintrag ist wieder in seiner Anwendung.",
                         "%1 record is back in its application.",
                         "%1 registro voltou ao seu aplicativo."};
const Texts kRestored{"%1 Einträge sind wieder in ihren Anwendungen.",
                      "%1 records are back in their applications.",
                      "%1 registros voltaram aos seus aplicativos."};
const Texts kInUse{"Einige Einträge blieben im Papierkorb: ihre Tabelle ist gerade in Gebrauch.",
                   "Some records stayed in the trash: their table is in use just now.",
                   "Alguns registros ficaram na lixeira: a tabela deles está em uso agora."};
const Texts kNotWrittenStayed{
    "Im Papierkorb blieben, weil ihre Tabelle nicht geschrieben werden konnte: %1",
    "Stayed in the trash, as their table could not be written: %1",
    "Ficaram na lixeira, pois a tabela deles não pôde ser gravada: %1"};
const Texts kAskEmptyOne{"Den %1 Eintrag im Papierkorb endgültig löschen?",
                         "Delete the %1 record in the trash for good?",
                         "Excluir definitivamente o %1 registro da lixeira?"};
const Texts kAskEmpty{"Alle %1 Einträge im Papierkorb endgültig löschen?",
                      "Delete all %1 records in the trash for good?",
                      "Excluir definitivamente todos os %1 registros da lixeira?"};
const Texts kNotWritten{"Der Papierkorb kann nicht geschrieben werden:",
                        "The trash cannot be written:", "Não é possível gravar a lixeira:"};

constexpr int kEntryRole = Qt::UserRole;

QList<TrashEntry>& Entries() {
    static QList<TrashEntry> entries;
    return entries;
}

// Every typed word occurs in the text, as the search over everything folds them.
bool WordsOccurIn(const std::vector<FoldedWord>& words, const QString& text) {
    const QByteArray plain = FoldPlain(text);
    const QByteArray spelled = FoldSpelled(text);
    return std::all_of(words.begin(), words.end(), [&](const FoldedWord& word) {
        return plain.contains(word.plain) || spelled.contains(word.spelled);
    });
}

QTreeWidget* List() {
    return ListOf(kWindow);
}

void FillList() {
    QTreeWidget* list = List();
    list->clear();
    const std::vector<FoldedWord> words =
        FoldedWords(GETPROPERTY(kWindow, kSearchBox, "value").toString());
    int shown = 0;
    for (int at = 0; at < Entries().size(); ++at) {
        const TrashEntry& entry = Entries()[at];
        const QString application = KindName(*entry.kind);
        if (!WordsOccurIn(words, application + QLatin1Char(' ') + entry.name)) continue;
        auto* item = new QTreeWidgetItem(
            list, QStringList{application, entry.name,
                              DTOC(entry.packedAt.date()) + QLatin1Char(' ') +
                                  entry.packedAt.time().toString(QStringLiteral("HH:mm"))});
        item->setData(0, kEntryRole, at);
        ++shown;
    }
    if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
    SETPROPERTY(kWindow, kCountLine, "value", COUNTED(shown, kCountOne, kCount).arg(kTrashDays));
    for (const QString& button : {kRestoreButton, kEmptyButton})
        SETPROPERTY(kWindow, button, "enabled", !Entries().isEmpty());
}

void ReadTrash() {
    Entries() = TrashEntries();
    FillList();
}

void TellNotWritten(const kesp::WriteFailure& failure) {
    MSGEXCLAMATION(TEXT(kNotWritten) + QLatin1Char('\r') + failure.fault().reason(), THE_APP_NAME);
}

void RESTORE_CHOSEN() {
    KESP_OPERATION();
    QList<TrashEntry> chosen;
    for (QTreeWidgetItem* item : List()->selectedItems())
        chosen.append(Entries()[item->data(0, kEntryRole).toInt()]);
    if (chosen.isEmpty()) {
        MSGBOX(TEXT(kChooseFirst), THE_APP_NAME);
        return;
    }
    const TrashRestore restore = RestoreTrashEntries(chosen);
    if (!restore.reason.isEmpty())
        MSGEXCLAMATION(TEXT(kNotWritten) + QLatin1Char('\r') + restore.reason, THE_APP_NAME);
    ReadTrash();
    if (ISWINDOWDEFINED("haupt")) HAUPT_STATISTIK();
    QString told = COUNTED(restore.restored, kRestoredOne, kRestored);
    if (restore.inUse) told += QLatin1Char('\r') + TEXT(kInUse);
    QStringList stayed;
    for (const auto& [kind, count] : restore.notWritten)
        stayed.append(QStringLiteral("%1 (%2)").arg(KindName(*kind)).arg(count));
    if (!stayed.isEmpty())
        told += QLatin1Char('\r') + TEXT(kNotWrittenStayed).arg(stayed.join(", "));
    MSGBOX(told, THE_APP_NAME);
    List()->setFocus();
}

void EMPTY_TRASH() {
    KESP_OPERATION();
    if (Entries().isEmpty()) return;
    if (!MSGYESNO(COUNTED(int(Entries().size()), kAskEmptyOne, kAskEmpty), THE_APP_NAME)) return;
    try {
        EmptyTrash();
    } catch (const kesp::WriteFailure& failure) {
        TellNotWritten(failure);
    }
    ReadTrash();
    List()->setFocus();
}

void OPENPAPIERKORB() {
    KESP_OPERATION();
    ReadTrash();
    List()->setFocus();
}

void SEARCH_CHANGED() {
    if (!kesp::FindFormWindow(kWindow) ||
        !kesp::FormWindowNamed(kWindow)->findControl(kListWindowList))
        return;  // still being defined
    FillList();
}

// Defined anew at every opening, in the language in force.
void DefineTrashWindow() {
    DefineListWindow(
        {.window = kWindow,
         .title = kTitle,
         .width = 620,
         .height = 485,
         .onInit = OPENPAPIERKORB,
         .defineAbove =
             [] {
                 _DEFINELABEL("Label_1", {.row = 14,
                                          .col = 10,
                                          .width = 90,
                                          .height = 20,
                                          .value = TEXT(kSearch),
                                          .bold = true,
                                          .background = Qt::white});
                 _DEFINETEXTBOX(kSearchBox, {.row = 12,
                                             .col = 105,
                                             .width = 300,
                                             .height = 22,
                                             .onChange = SEARCH_CHANGED});
                 kesp::FormWindowNamed(kWindow)
                     ->control(kSearchBox)
                     ->widget()
                     ->setAccessibleName(TEXT(kSearch));
             },
         .listTop = 45,
         .headers = {TEXT(kApplication), TEXT(kRecord), TEXT(kDeleted)},
         .sectionWidths = {150, 290},
         .severalChosen = true,
         .rootDecorated = false,
         .line = kCountLine,
         .lineRow = 385,
         .buttonRow = 420,
         .buttons = {{.name = kRestoreButton, .caption = kRestore, .action = RESTORE_CHOSEN},
                     {.name = kEmptyButton, .col = 180, .caption = kEmpty, .action = EMPTY_TRASH},
                     {.name = "Button_3"}}});
}

}  // namespace

void OPENFORM_PAPIERKORB() {
    KESP_OPERATION();
    T_CLOSE();
    DefineTrashWindow();
    DOMETHOD(kWindow, "Center");
    _ACTIVATEWINDOW(kWindow);
}
