#include "reports/printgraph.h"

#include "kernel/public_variables.h"
#include "reports/page_folder.h"
#include "reports/page_output.h"
#include "reports/print_job.h"
#include "reports/print_preview.h"
#include "reports/report_dialogs.h"
#include "store/fault.h"
#include "toolkit/forms.h"
#include "toolkit/operation_trail.h"

#include <QApplication>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {

QWidget* WindowNamed(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName().compare(name, Qt::CaseInsensitive) == 0) return widget;
    }
    kesp::Fault fault;
    fault.subsystem = "REPORT";
    fault.subCode = 3002;
    fault.description = "Window not defined";
    fault.operation = "PRINTGRAPH(" + name + ")";
    kesp::RaiseFault(fault);
}

// The sheet and its non-printable offsets for the chosen printer; a PDF file
// has no offsets.
QPageLayout SheetOf(const std::optional<PrintChoice>& choice) {
    if (choice && !choice->printer.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(choice->printer);
        if (!info.isNull()) {
            QPrinter printer(info, QPrinter::HighResolution);
            QPageLayout layout = printer.pageLayout();
            layout.setUnits(QPageLayout::Millimeter);
            layout.setMargins(layout.minimumMargins());
            return layout;
        }
    }
    QPdfWriter pdf(QString{});
    QPageLayout layout = pdf.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    return layout;
}

}  // namespace

QRectF ChartAreaMm(QSizeF paperMm, QSizeF offsetMm, QSizeF pictureSize) {
    const QSizeF printable(paperMm.width() - 2 * offsetMm.width(),
                           paperMm.height() - 2 * offsetMm.height());
    const QSizeF usable(printable.width() - 10 - 2 * offsetMm.width(),
                        printable.height() - 10 - 2 * offsetMm.height());
    if (usable.width() <= 0 || usable.height() <= 0 || pictureSize.isEmpty()) return {};
    const QSizeF fitted = pictureSize.scaled(usable, Qt::KeepAspectRatio);
    return QRectF(
        QPointF((paperMm.width() - fitted.width()) / 2, (paperMm.height() - fitted.height()) / 2),
        fitted);
}

void PRINTGRAPH(const QString& windowName, bool preview, bool printerDialog) {
    KESP_OPERATION();
    const PrintJob job;
    if (!job.accepted() || PrintPreview::IsOpen()) {
        MSGBOX("Print preview pending, close first", THE_APP_NAME);
        return;
    }
    QWidget* window = WindowNamed(windowName);
    std::optional<PrintChoice> printer;
    if (printerDialog) {
        printer = CurrentReportDialogs().askPrinter(window, 1);
        if (!printer) return;
    } else if (!preview) {
        printer = DefaultPrintChoice(window);
        if (!printer) return;
    }

    auto pages = std::make_unique<PageFolder>();
    const QRect chart = window->property("chartRect").toRect();
    const QPixmap picture = window->grab(chart.isValid() ? chart : window->rect());
    const QString bitmap = pages->path() + "/chart.bmp";
    if (!picture.save(bitmap, "BMP")) return;  // the printer cannot be opened: nothing printed

    const QPageLayout sheet = SheetOf(printer);
    RecordedPage page;
    page.paperMm = sheet.fullRect(QPageLayout::Millimeter).size();
    const QMarginsF offset = sheet.margins(QPageLayout::Millimeter);
    const QRectF area =
        ChartAreaMm(page.paperMm, QSizeF(offset.left(), offset.top()), picture.size());
    page.pictures.append(PagePicture{area, bitmap});
    pages->addPage(std::move(page));

    if (!preview) {
        PrintPages(*pages, *printer);
        return;
    }
    PrintPreview previewWindow(std::move(pages), window);
    CurrentReportDialogs().runPreview(previewWindow);
}
