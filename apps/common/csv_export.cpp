#include "apps/common/csv_export.h"

#include "apps/common/semicolon_csv.h"
#include "shell/public_variables.h"
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
    if (!file.open(QIODevice::WriteOnly)) {
        MSGEXCLAMATION(TEXT(kCannotWriteExport), THE_APP_NAME);
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
    const bool written = file.write(csv.bytes()) == csv.bytes().size() && file.commit();

    DBGOTO(THE_RECNO.trimmed().toInt());
    plan.fillWindow();
    if (written) {
        MSGEXCLAMATION(TEXT(plan.createdMessage) + "\r" + THE_EXPORT_PATH, THE_APP_NAME);
    } else {
        MSGEXCLAMATION(TEXT(kCannotWriteExport), THE_APP_NAME);
    }
    QDir::setCurrent(THE_DATA_PATH);
}
