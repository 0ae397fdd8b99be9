#include "apps/common/record_export.h"

#include "apps/common/semicolon_csv.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"

#include <QDir>
#include <QSaveFile>

namespace {

QString Rendered(const QVariant& stored, FieldKind kind) {
    switch (kind) {
        case FieldKind::Text:
            return CsvText(stored.toString());
        case FieldKind::Memo:
            return CsvLongText(stored.toString());
        case FieldKind::Logical:
            return CsvYesNo(stored.toBool());
        case FieldKind::Date:
        case FieldKind::DateText:
            return CsvDate(stored.toDate());
    }
    return {};
}

bool NeedsUserCaptions(const QList<ExportColumn>& columns) {
    for (const ExportColumn& column : columns)
        if (column.userCaption > 0) return true;
    return false;
}

}  // namespace

QList<ExportColumn> ExportColumns(const RecordWindow& record) {
    if (!record.exportFile.columns.isEmpty()) return record.exportFile.columns;
    QList<ExportColumn> columns;
    for (const FieldRow& row : record.fields) {
        columns.append({.field = row.field,
                        .kind = row.kind,
                        .header = IsBlank(row.exportHeader) ? row.caption : row.exportHeader,
                        .userCaption = row.userCaption});
    }
    return columns;
}

QStringList ExportHeaders(const RecordWindow& record) {
    const QList<ExportColumn> columns = ExportColumns(record);
    QStringList userCaptions;
    if (NeedsUserCaptions(columns) && record.readUserCaptions) {
        DBSELECTAREA("b");
        userCaptions = record.readUserCaptions();
    }
    QStringList headers;
    for (const ExportColumn& column : columns) {
        headers.append(column.userCaption > 0 ? userCaptions.value(column.userCaption - 1)
                                              : TEXT(column.header));
    }
    return headers;
}

QStringList ExportValues(const RecordWindow& record, const QList<ExportColumn>& columns) {
    QStringList values;
    for (const ExportColumn& column : columns)
        values.append(Rendered(FIELD(record.alias + "->" + column.field), column.kind));
    return values;
}

void ExportVisibleRecords(const RecordWindow& record) {
    const RecordExport& plan = record.exportFile;
    const QString& title = *record.messageTitle;
    QDir::setCurrent(THE_EXPORT_PATH);
    QSaveFile file(THE_EXPORT_PATH + TEXT(plan.fileName));
    // Unbuffered, so that a short write shows in write()'s result: a buffered
    // QSaveFile can commit a file that its last flush cut short.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        MSGEXCLAMATION(TEXT(plan.cannotWrite), title);
        QDir::setCurrent(THE_DATA_PATH);
        return;
    }

    const QList<ExportColumn> columns = ExportColumns(record);
    SemicolonCsv csv;
    csv.addLine(ExportHeaders(record));
    DBSELECTAREA(ShownWorkArea(record));
    THE_RECNO = STR(RECNO());
    DBGOTOP();
    while (!DBEOF()) {
        csv.addLine(ExportValues(record, columns));
        DBSKIP(1);
    }
    const bool complete = file.write(csv.bytes()) == csv.bytes().size();
    if (!complete) file.cancelWriting();  // the earlier file stays as it was
    const bool written = file.commit() && complete;

    DBGOTO(THE_RECNO.trimmed().toInt());
    record.actions.fill();
    if (written) {
        MSGEXCLAMATION(TEXT(plan.createdMessage) + "\r" + THE_EXPORT_PATH, title);
    } else {
        MSGEXCLAMATION(TEXT(plan.cannotWrite), title);
    }
    QDir::setCurrent(THE_DATA_PATH);
}
