#include "reports/extreport.h"

#include "kernel/public_variables.h"
#include "reports/page_folder.h"
#include "reports/page_output.h"
#include "reports/paper_size.h"
#include "reports/print_job.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"
#include "reports/report_layout.h"
#include "reports/store_records.h"
#include "store/xbase.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QSizeF SheetMm(const ReportDefinition& definition) {
    const QSizeF portrait =
        PaperPageSize(PaperNumber(definition.paperName)).size(QPageSize::Millimeter);
    return definition.landscape ? portrait.transposed() : portrait;
}

QStringList FieldsNamed(const CompiledReport& report) {
    QStringList names;
    if (report.title) names += report.title->fieldNames();
    for (const ReportExpression& column : report.columns)
        names += column.fieldNames();
    if (report.groupKey) names += report.groupKey->fieldNames();
    return names;
}

}  // namespace

void EXTREPORT(const QString& reportName, const QString& extraHeading) {
    KESP_OPERATION();
    const PrintJob job;
    if (!job.accepted() || PrintPreview::IsOpen()) {
        MSGBOX("Print preview pending, close first", THE_APP_NAME);
        return;
    }
    const auto definition = ReadReportDefinitionFile(QDir::currentPath(), reportName);
    if (!definition) {
        MSGBOX("(" + reportName + ".rpt)  File not found", "Information");
        return;
    }
    auto compiled = CompileReport(*definition);
    if (const auto* problem = std::get_if<QString>(&compiled)) {
        MSGBOX(*problem, "Information");
        return;
    }
    CompiledReport& report = std::get<CompiledReport>(compiled);
    report.extraHeading = extraHeading;
    const QString where = "(" + reportName + ".rpt)  ";

    DBSELECTAREA(definition->workArea);
    if (const QStringList missing = StoreRecords::MissingFields(FieldsNamed(report));
        !missing.isEmpty()) {
        MSGBOX(where + "Field not found: " + missing.join(", "), "Information");
        return;
    }

    ReportLayoutSettings settings;
    settings.paperMm = SheetMm(*definition);
    if (definition->image) {
        const QFileInfo picture(definition->image->file);
        if (picture.isFile()) {
            settings.imageFile = picture.absoluteFilePath();
        } else {
            MSGBOX("graphic file not found", "error");
        }
    }
    settings.onEachRecord = EventsNowAndThen();

    QWidget* parent = QApplication::activeWindow();
    std::optional<PrintChoice> printer;
    if (!definition->preview) {
        printer = definition->selectPrinter ? CurrentReportDialogs().askPrinter(parent, 0)
                                            : DefaultPrintChoice(parent);
        if (!printer) return;
    }

    auto pages = std::make_unique<PageFolder>();
    StoreRecords records;
    try {
        LayOutReport(report, records, *pages, settings);
    } catch (const ReportExpressionError& error) {
        MSGBOX(where + error.message(), "Information");
        return;
    }

    if (printer) {
        PrintPages(*pages, *printer);
        return;
    }
    PrintPreview preview(std::move(pages), parent);
    CurrentReportDialogs().runPreview(preview);
}
