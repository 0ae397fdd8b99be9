#include "apps/common/record_export.h"

#include "apps/common/export_file.h"
#include "apps/common/semicolon_csv.h"
#include "kernel/public_variables.h"
#include "store/xbase.h"

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
    return ExportHeadersOf(columns, userCaptions);
}

QStringList ExportHeadersOf(const QList<ExportColumn>& columns, const QStringList& userCaptions) {
    QStringList headers;
    for (const ExportColumn& column : columns) {
        headers.append(column.userCaption > 0 ? userCaptions.value(column.userCaption - 1)
                                              : TEXT(column.header));
    }
    return headers;
}

QStringList ExportValues(const QString& alias, const QList<ExportColumn>& columns) {
    QStringList values;
    for (const ExportColumn& column : columns)
        values.append(Rendered(FIELD(alias + "->" + column.field), column.kind));
    return values;
}

QByteArray SemicolonFileOfView(const QString& alias, const QStringList& headers,
                               const QList<ExportColumn>& columns) {
    SemicolonCsv csv;
    csv.addLine(headers);
    const int current = RECNO();
    DBGOTOP();
    while (!DBEOF()) {
        csv.addLine(ExportValues(alias, columns));
        DBSKIP(1);
    }
    DBGOTO(current);
    return csv.bytes();
}

void ExportVisibleRecords(const RecordWindow& record) {
    const RecordExport& plan = record.exportFile;
    const QStringList headers = ExportHeaders(record);
    DBSELECTAREA(ShownWorkArea(record));
    const QByteArray bytes = SemicolonFileOfView(record.alias, headers, ExportColumns(record));
    record.actions.fill();
    WriteExportFileAndReport(TEXT(plan.fileName), bytes,
                             {plan.createdMessage, plan.cannotWrite, *record.messageTitle});
}
