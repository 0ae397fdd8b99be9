#include "apps/common/csv_export.h"

#include "apps/common/semicolon_csv.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <QDir>
#include <QSaveFile>

const Texts kCannotWriteExport{
    "Sorry, CSV Datei konnte nicht erstellt werden. Rechte und Schutz prüfen.",
    "Sorry, I can not write the file. Permission?",
    "Sorry, não foi possível criar o arquivo. Permissão?"};

void ExportVisibleRecords(const CsvExport& plan) {
    QDir::setCurrent(THE_EXPORT_PATH);
    const QString fileName = TEXT(plan.fileName);
    QSaveFile file(THE_EXPORT_PATH + fileName);
    // Unbuffered, so that a short write shows in write()'s result: a buffered
    // QSaveFile can commit a file that its last flush cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        MSGEXCLAMATION(TEXT(plan.cannotWrite), THE_APP_NAME);
        QDir::setCurrent(THE_DATA_PATH);
        return;
    }

    SemicolonCsv csv;
    csv.addLine(plan.readHeaders());
    DBSELECTAREA("a");
    THE_RECNO = STR(RECNO());
    DBGOTOP();
    while (!DBEOF()) {
        csv.addLine(plan.currentRecordValues());
        DBSKIP(1);
    }
    const bool complete = file.write(csv.bytes()) == csv.bytes().size();
    if (!complete) file.cancelWriting();  // the earlier file stays as it was
    const bool written = file.commit() && complete;

    DBGOTO(THE_RECNO.trimmed().toInt());
    plan.fillWindow();
    if (written) {
        MSGEXCLAMATION(TEXT(plan.createdMessage) + "\r" + THE_EXPORT_PATH, THE_APP_NAME);
    } else {
        MSGEXCLAMATION(TEXT(plan.cannotWrite), THE_APP_NAME);
    }
    QDir::setCurrent(THE_DATA_PATH);
}
