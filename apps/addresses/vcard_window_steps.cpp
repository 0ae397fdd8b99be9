#include "apps/addresses/vcard_window_steps.h"

#include "apps/common/export_file.h"
#include "apps/common/import_file.h"
#include "apps/common/record_steps.h"
#include "apps/common/steps_to_the_end.h"
#include "kernel/problem_texts.h"
#include "kernel/public_variables.h"
#include "store/fault.h"
#include "store/xbase.h"
#include "toolkit/forms.h"

#include <QDir>

namespace {

const Texts kVCardFiles{"vCard-Dateien (*.vcf *.vcard)", "vCard files (*.vcf *.vcard)",
                        "Arquivos vCard (*.vcf *.vcard)"};
const Texts kAnyFile{"Alle Dateien (*)", "All files (*)", "Todos os arquivos (*)"};
const Texts kCannotWrite{
    "Die vCard-Datei konnte nicht geschrieben werden:", "The vCard file could not be written:",
    "Não foi possível gravar o arquivo vCard:"};
const Texts kNoneImported{"Keine Karte der Datei wurde gespeichert.",
                          "None of the file's cards was stored.",
                          "Nenhum cartão do arquivo foi gravado."};

}  // namespace

void ExportVCardOfWindow(const RecordWindow& record, const VCardBook& book, VCardVersion version) {
    DBSELECTAREA(ShownWorkArea(record));
    int cards = 0;
    QByteArray bytes;
    try {
        bytes = VCardFileOfView(book, record.alias, version, &cards);
    } catch (const kesp::WriteFailure& failure) {
        record.actions.fill();
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure) + "\r" + TEXT(kCannotWrite),
                       *record.messageTitle);
        return;
    }
    record.actions.fill();
    const QString path = THE_EXPORT_PATH + TEXT(book.fileName);
    QString reason;
    if (WriteFileWhole(path, bytes, &reason)) {
        MSGBOX(VCardExportSummary(cards, version, path), *record.messageTitle);
    } else {
        MSGEXCLAMATION(TEXT(kCannotWrite) + "\r" + QDir::toNativeSeparators(path) + ": " + reason,
                       *record.messageTitle);
    }
}

void ImportVCardIntoWindow(const RecordWindow& record, const VCardBook& book) {
    const QString path =
        GETFILE({TEXT(kVCardFiles), TEXT(kAnyFile)}, TEXT(kImportVCardText), THE_EXPORT_PATH);
    if (path.isEmpty()) return;
    const std::optional<QByteArray> bytes = OpenImportFile(path, *record.messageTitle);
    if (!bytes) return;
    DBSELECTAREA(record.workArea);
    VCardImport import;
    try {
        import = ImportVCards(book, record.alias, *bytes, path);
    } catch (const kesp::WriteFailure& failure) {
        // The table is back at its last commit: none of the file's cards.
        StepsToTheEnd steps;
        steps.Run([&record] {
            OpenRecordTable(record);
            RefreshRecordWindow(record);
        });
        MSGEXCLAMATION(WRITE_FAILURE_TEXT(failure) + "\r" + TEXT(kNoneImported),
                       *record.messageTitle);
        return;
    }
    if (!import.read) {
        MSGEXCLAMATION(import.problem, *record.messageTitle);
        return;
    }
    // Ctrl+Z takes each change back, the last first.
    for (const auto& [changed, earlier] : import.replaced)
        NoteReplacement(record, ShownWorkArea(record), changed, earlier);
    StepsToTheEnd after;
    after.Run([&record] {
        ShowTableAgain(record);
        RefreshRecordWindow(record);
    });
    MSGBOX(VCardImportSummary(import), *record.messageTitle);
    after.TellSavedAnyway(*record.messageTitle);
}
